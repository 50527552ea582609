// The installed Today panel on a real X display: the user signs in with the demo account by
// keyboard, the panel shows the alarms as coloured rows, and the GUID reaches the running tray
// application. Leaves a picture of the panel in the test output folder.

#include "DemoServiceProcess.h"
#include "HeadlessDesktop.h"
#include "StagedInstall.h"
#include "platform/UserDefaults.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRect>
#include <QTest>

namespace {

constexpr int startWaitMs = 30000;

// How many pixels of `image` have exactly `color`.
int pixelsOf(const QImage& image, QColor color)
{
    int found = 0;
    const QRgb wanted = color.rgb();
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            found += image.pixel(x, y) == wanted ? 1 : 0;
        }
    }
    return found;
}

std::optional<QString> guidOf(const QString& applicationId)
{
    return UserDefaults(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/tovo/") +
                        applicationId + QStringLiteral(".conf"))
        .string(QStringLiteral("guid"));
}

} // namespace

class TestE2EToday : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void signInShowsColouredRowsAndHandsTheGuidToTovo();
    void cleanupTestCase();

private:
    QString xdotool(const QStringList& arguments) const;
    QRect panelGeometry(const QString& window) const;

    StagedInstall installation;
    DemoServiceProcess service;
    HeadlessDesktop desktop;
    QProcessEnvironment env;
    QProcess tovo;
    QProcess today;
};

void TestE2EToday::initTestCase()
{
    QVERIFY2(installation.install(), qPrintable(installation.error()));
    QVERIFY(QFile::exists(installation.path(QStringLiteral("bin/tovo-today"))));
    // Critical, Major and Minor.
    QVERIFY(service.start({QStringLiteral("--timeline"), QStringLiteral("fixed"),
                           QStringLiteral("--count"), QStringLiteral("3")}));
    QVERIFY2(desktop.start(installation.environment(QProcessEnvironment::systemEnvironment())),
             qPrintable(desktop.error()));
    env = service.clientEnvironment(desktop.environment());
}

QString TestE2EToday::xdotool(const QStringList& arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(10000)) {
        tool.kill();
        tool.waitForFinished();
        return {};
    }
    return QString::fromUtf8(tool.readAllStandardOutput()).trimmed();
}

QRect TestE2EToday::panelGeometry(const QString& window) const
{
    QHash<QString, int> values;
    const QString shell =
        xdotool({QStringLiteral("getwindowgeometry"), QStringLiteral("--shell"), window});
    for (const QString& line : shell.split(QLatin1Char('\n'))) {
        const qsizetype at = line.indexOf(QLatin1Char('='));
        values.insert(line.left(at), line.mid(at + 1).toInt());
    }
    return QRect(values.value(QStringLiteral("X")), values.value(QStringLiteral("Y")),
                 values.value(QStringLiteral("WIDTH")), values.value(QStringLiteral("HEIGHT")));
}

void TestE2EToday::signInShowsColouredRowsAndHandsTheGuidToTovo()
{
    const QString guid = service.value(QStringLiteral("TOVO_DEMO_GUID"));
    tovo.setProcessEnvironment(env);
    tovo.setProcessChannelMode(QProcess::ForwardedChannels);
    tovo.start(installation.path(QStringLiteral("bin/tovo")), {QStringLiteral("launched")});
    QTRY_VERIFY_WITH_TIMEOUT(desktop.trayIconOwners().contains(QStringLiteral("tovo")),
                             startWaitMs);
    QCOMPARE(guidOf(QStringLiteral("tovo.TOVO")), std::nullopt);

    today.setProcessEnvironment(env);
    today.setProcessChannelMode(QProcess::ForwardedChannels);
    today.start(installation.path(QStringLiteral("bin/tovo-today")), {});
    QString window;
    QTRY_VERIFY_WITH_TIMEOUT(
        !(window = xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                            QStringLiteral("--name"), QStringLiteral("^Today$")}))
             .isEmpty(),
        startWaitMs);
    window = window.section(QLatin1Char('\n'), 0, 0);

    // The form opens with the e-mail field focused; Tab to the password, Return signs in.
    xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window});
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
             service.value(QStringLiteral("TOVO_DEMO_EMAIL"))});
    xdotool({QStringLiteral("key"), QStringLiteral("Tab")});
    xdotool({QStringLiteral("type"), QStringLiteral("--delay"), QStringLiteral("20"),
             service.value(QStringLiteral("TOVO_DEMO_PASSWORD"))});
    xdotool({QStringLiteral("key"), QStringLiteral("Return")});

    QTRY_COMPARE_WITH_TIMEOUT(guidOf(QStringLiteral("tovo.TOVO.TOVOToday")), std::optional(guid),
                              startWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(guidOf(QStringLiteral("tovo.TOVO")), std::optional(guid),
                              startWaitMs);

    // The rows in the colours of their levels.
    const QRect panel = panelGeometry(window);
    QVERIFY(panel.isValid());
    QImage picture;
    const auto rowsShown = [&] {
        const QString path = desktop.screenshot(QStringLiteral("e2e-today-screen.png"));
        picture = QImage(path).copy(panel);
        const int minimum = panel.width() * 20;
        return pixelsOf(picture, QColor::fromRgbF(0.8f, 0.2f, 0.0f)) > minimum &&
               pixelsOf(picture, QColor::fromRgbF(0.93f, 0.61f, 0.2f)) > minimum &&
               pixelsOf(picture, QColor::fromRgbF(0.95f, 0.76f, 0.0f)) > minimum;
    };
    QTRY_VERIFY_WITH_TIMEOUT(rowsShown(), startWaitMs);
    QVERIFY(picture.save(QDir(qEnvironmentVariable("TOVO_TEST_OUTPUT_DIR"))
                             .filePath(QStringLiteral("e2e-today-panel.png"))));
    QCOMPARE(today.state(), QProcess::Running);
    QCOMPARE(tovo.state(), QProcess::Running);
}

void TestE2EToday::cleanupTestCase()
{
    for (QProcess* program : {&today, &tovo}) {
        if (program->state() != QProcess::NotRunning) {
            program->terminate();
            if (!program->waitForFinished(10000)) {
                program->kill();
            }
            program->waitForFinished(5000);
        }
    }
}

QTEST_GUILESS_MAIN(TestE2EToday)
#include "tst_e2e_today.moc"
