// The real tovo's tray icon as a panel sees it over D-Bus (KDE Plasma, GNOME with AppIndicator,
// and every Wayland desktop): with a StatusNotifierWatcher and host on a private bus, tovo under a
// display of the test's own registers a StatusNotifierItem with its icon, title and menu; the
// menu's entries work through dbusmenu events; a left click opens the Today panel with the
// panel's activation token; the item survives a restart of the panel and, on Wayland, reaches a
// panel that comes up after tovo.

#include "BusFixture.h"
#include "FakeStatusNotifierWatcher.h"
#include "HeadlessDisplay.h"
#include "ProbeLog.h"
#include "bus/ApplicationBus.h"
#include "desktop/TrayIcon.h"

#include <QFile>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace {
constexpr int startWaitMs = 20000;

// How far the item's icon is from our muted StatusItem image drawn at its size (0: the same).
int differenceFromStatusItem(const FakeStatusNotifierWatcher::Pixmap& pixmap)
{
    if (pixmap.width <= 0 || pixmap.argb.size() != qsizetype(pixmap.width) * pixmap.height * 4)
        return -1;
    QImage expected(pixmap.width, pixmap.height, QImage::Format_ARGB32);
    expected.fill(Qt::transparent);
    QPainter painter(&expected);
    TrayIcon::imageIcon(u"StatusItem"_s, true).paint(&painter, expected.rect());
    painter.end();
    int differing = 0;
    for (int i = 0; i < pixmap.width * pixmap.height; ++i) {
        const QRgb shown = qFromBigEndian<quint32>(pixmap.argb.constData() + 4 * i);
        const QRgb drawn = expected.pixel(i % pixmap.width, i / pixmap.width);
        differing += std::abs(qAlpha(shown) - qAlpha(drawn)) > 64 ? 1 : 0;
    }
    return differing;
}
} // namespace

class TestTrayIconOverBus : public BusFixture {
    Q_OBJECT

    int m_trays = 0;

    std::unique_ptr<FakeStatusNotifierWatcher> newTray()
    {
        auto tray =
            std::make_unique<FakeStatusNotifierWatcher>(m_bus.connect(u"tray-%1"_s.arg(++m_trays)));
        return tray->registerOnBus() ? std::move(tray) : nullptr;
    }

private Q_SLOTS:
    void initTestCase() { startBus(); }
    void cleanup() { freeTheTrayName(); }

    void panelShowsAndDrivesTheItem_data()
    {
        QTest::addColumn<HeadlessDisplay::Kind>("display");
        QTest::addColumn<bool>("panelFirst");
        QTest::newRow("X11") << HeadlessDisplay::Kind::X11 << true;
        QTest::newRow("Wayland") << HeadlessDisplay::Kind::Wayland << true;
        // On X11 a late panel gets the XEmbed icon, which its XEmbed proxy shows.
        QTest::newRow("Wayland, the panel comes later") << HeadlessDisplay::Kind::Wayland << false;
    }

    void panelShowsAndDrivesTheItem()
    {
        QFETCH(HeadlessDisplay::Kind, display);
        QFETCH(bool, panelFirst);
        HeadlessDisplay screen(display);
        QVERIFY2(screen.start(), qPrintable(screen.problem()));
        std::unique_ptr<FakeStatusNotifierWatcher> tray = panelFirst ? newTray() : nullptr;
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        screen.addTo(environment);
        program.setProcessEnvironment(environment);
        program.setProcessChannelMode(QProcess::ForwardedChannels);
        program.start(QStringLiteral(TOVO_APP), {u"launched"_s});
        if (!panelFirst) {
            QTRY_VERIFY_WITH_TIMEOUT(tovo().isRunning(), startWaitMs);
            tray = newTray();
        }
        QVERIFY(tray);
        QTRY_COMPARE_WITH_TIMEOUT(tray->items().size(), 1, startWaitMs);
        const QString item = tray->items().constFirst();

        QCOMPARE(tray->itemProperty(item, u"Title"_s).toString(), u"tovo"_s);
        QCOMPARE(tray->itemProperty(item, u"Status"_s).toString(), u"Active"_s);
        const FakeStatusNotifierWatcher::Pixmap icon = tray->iconPixmap(item);
        QVERIFY2(icon.width >= 16 && differenceFromStatusItem(icon) == 0,
                 qPrintable(u"%1x%2, %3 pixels off"_s.arg(icon.width)
                                .arg(icon.height)
                                .arg(differenceFromStatusItem(icon))));
        const QStringList menu{u"T-O-VO..."_s, u"[x] Start at login"_s, u"-"_s, u"Quit"_s};
        QCOMPARE(tray->menu(item), menu);

        // A start by the user registered the launcher; the check box switches it off and on.
        const QString entry = qEnvironmentVariable("XDG_CONFIG_HOME") +
                              u"/autostart/tovo.TOVO.TOVOLauncher.desktop"_s;
        QVERIFY(QFile::exists(entry));
        QVERIFY(tray->click(item, u"Start at login"_s));
        QTRY_VERIFY(!QFile::exists(entry));
        QCOMPARE(tray->menu(item).at(1), u"[ ] Start at login"_s);
        QVERIFY(tray->click(item, u"Start at login"_s));
        QTRY_VERIFY(QFile::exists(entry));
        QCOMPARE(tray->menu(item), menu);

        // A left click opens the Today panel (here a probe in its place) with the token.
        const ProbeLog today(m_dir.filePath(u"today-%1"_s.arg(m_trays)));
        const QString todayId = u"tovo.TOVO.TOVOToday"_s;
        QStringList command = today.command({ApplicationBus::activationFlag});
        command.replace(command.indexOf(u"tovo.TOVO"_s), todayId);
        QVERIFY(m_bus.addService(todayId, command));
        tray->activate(item, u"token-7"_s);
        QTRY_COMPARE_WITH_TIMEOUT(today.lines().mid(1, 1), QStringList{u"activate token-7"_s},
                                  startWaitMs);
        QVERIFY(ApplicationClient(m_connection, todayId).quitProbe());

        // The panel restarts: the icon leaves with the old tray and comes back to the new one.
        tray.reset();
        tray = newTray();
        QVERIFY(tray);
        QTRY_COMPARE_WITH_TIMEOUT(tray->items(), QStringList{item}, startWaitMs);
        QCOMPARE(tray->menu(item), menu);

        QSignalSpy gone(tray.get(), &FakeStatusNotifierWatcher::StatusNotifierItemUnregistered);
        QVERIFY(tray->click(item, u"Quit"_s));
        QVERIFY(program.waitForFinished(startWaitMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        QTRY_COMPARE(gone.size(), 1);
        QCOMPARE(tray->items(), QStringList());
    }

    // A poll that fails is told in the item's tooltip: a short reason, none of the URL or GUID.
    void toolTipTellsAFailedPoll()
    {
        HeadlessDisplay screen(HeadlessDisplay::Kind::Wayland);
        QVERIFY2(screen.start(), qPrintable(screen.problem()));
        std::unique_ptr<FakeStatusNotifierWatcher> tray = newTray();
        QVERIFY(tray);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        screen.addTo(environment);
        environment.insert(u"TOVO_FEED_BASE"_s, u"http://127.0.0.1:1"_s); // nothing listens
        environment.insert(u"TOVO_POLL_INTERVAL_SECONDS"_s, u"0.2"_s);
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(TOVO_APP), {u"tovo://GUID-4711"_s});
        QTRY_COMPARE_WITH_TIMEOUT(tray->items().size(), 1, startWaitMs);
        const QString item = tray->items().constFirst();
        const QRegularExpression failed(u"^Cannot reach T-O-VO since [0-9:]+: no connection$"_s);
        QTRY_VERIFY2_WITH_TIMEOUT(failed.match(tray->toolTip(item)).hasMatch(),
                                  qPrintable(tray->toolTip(item)), startWaitMs);
        QVERIFY(tray->click(item, u"Quit"_s));
        QVERIFY(program.waitForFinished(startWaitMs));
    }
};

QTEST_MAIN(TestTrayIconOverBus)
#include "tst_TrayIconOverBus.moc"
