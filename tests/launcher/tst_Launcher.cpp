// Starting the programs as processes on the test's bus: the login launcher, and the real tray
// application however it is started.

#include "BusFixture.h"
#include "base/SettingsFile.h"
#include "bus/ApplicationBus.h"
#include "desktop/DesktopUrlOpener.h"

#include <QFile>
#include <QTest>

using namespace Qt::StringLiterals;

class TestLauncher : public BusFixture {
    Q_OBJECT

    // Runs the launcher to its end; its exit code (negative when it crashed).
    static int runLauncher() { return QProcess::execute(QStringLiteral(TOVO_LAUNCHER)); }

private Q_SLOTS:
    void initTestCase() { startBus(); }
    void cleanup() { freeTheTrayName(); }

    void quitsQuietlyWithoutTheApplication() { QCOMPARE(runLauncher(), 0); }

    // The real program: a URL on a command line is readable by every local user, and a token URL
    // carries the account's GUID. However it is started, the URL must be part of the launch (not
    // the user's start, which registers the login item and shows the alert; with the user's choice
    // of starting at login made, nothing else registers it).
    void theRealTrayApplicationKeepsUrlsOffItsCommandLine_data()
    {
        QTest::addColumn<QString>("start");
        QTest::addColumn<QString>("url");
        const auto row = [](const char* name, const char* start, const char* url) {
            QTest::newRow(name) << QString::fromLatin1(start) << QString::fromLatin1(url);
        };
        row("by hand with a token", "hand", "tovo://G-1");
        row("by the panel, no bus activation", "panel", "tovo://G-2");
        row("by the launcher, no bus activation", "await", "tovo://START");
        row("by the launcher through the bus", "launcher", "tovo://START");
    }

    void theRealTrayApplicationKeepsUrlsOffItsCommandLine()
    {
        QFETCH(QString, start);
        QFETCH(QString, url);
        const QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
        const QString settings = config + u"/tovo/tovo.TOVO.conf"_s;
        QFile::remove(settings);
        SettingsFile choice(settings);
        choice.setString(u"startAtLogin"_s, u"on"_s);
        QVERIFY(choice.sync());
        const QString app = QStringLiteral(TOVO_APP);
        // What the bus cannot start: the real program behind a script that notes its arguments
        // (the program blanks a URL it finds there).
        const QString noted = m_dir.filePath(u"arguments"_s);
        QFile::remove(noted);
        const QString fallback =
            script(u"tovo.sh"_s, u"echo \"$@\" >'%1'\nexec '%2' \"$@\"\n"_s.arg(noted, app));
        DesktopUrlOpener panel(QDBusConnection::sessionBus());
        panel.addFallbackProgram(u"tovo.TOVO"_s, fallback);
        QProcess byHand;
        if (start == "hand"_L1) {
            byHand.start(app, {url});
        } else if (start == "launcher"_L1) {
            QVERIFY(addService(u"tovo.TOVO"_s, {app, ApplicationBus::activationFlag}));
            QCOMPARE(runLauncher(), 0);
        } else if (start == "panel"_L1) {
            QVERIFY(!panel.openUrls({u"tovo://ok"_s, u"tovo://a b"_s}, u"tovo.TOVO"_s));
            QVERIFY(panel.openUrls({url}, u"tovo.TOVO"_s)); // does not wait
        } else {
            QVERIFY(ApplicationBus::openUrls(QDBusConnection::sessionBus(), {url}, u"tovo.TOVO"_s,
                                             fallback, ApplicationBus::Delivery::Await));
        }
        const QString token = url == "tovo://START"_L1 ? QString() : url.mid(7);
        QTRY_COMPARE_WITH_TIMEOUT(SettingsFile(settings).string(u"guid"_s).value_or(QString()),
                                  token, 10000);
        QTRY_VERIFY(tovo().isRunning());
        // Two round trips: the launch is over.
        tovo().call(u"Activate"_s, {QVariantMap()});
        tovo().call(u"Activate"_s, {QVariantMap()});
        QVERIFY(!QFile::exists(config + u"/autostart/tovo.TOVO.TOVOLauncher.desktop"_s));

        const uint pid = names()->servicePid(u"tovo.TOVO"_s).value();
        QByteArray seen;
        for (const QString& path : {u"/proc/%1/cmdline"_s.arg(pid), noted}) {
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                seen += file.readAll().replace('\0', ' ');
        }
        QVERIFY2(seen.startsWith(app.toUtf8()) && !seen.contains("tovo:"), seen.constData());
        QVERIFY(tovo().terminate());
        byHand.waitForFinished();
    }
};

QTEST_MAIN(TestLauncher)
#include "tst_Launcher.moc"
