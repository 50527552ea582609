// The real tovo's tray icon as a panel's StatusNotifierWatcher and host on the test's bus see it
// (KDE Plasma, GNOME with AppIndicator, and every Wayland desktop), on a display of its own.

#include "BusFixture.h"
#include "FakeStatusNotifierWatcher.h"
#include "HeadlessDisplay.h"
#include "ProbeLog.h"
#include "bus/ApplicationBus.h"

#include <QFile>
#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
constexpr int startWaitMs = 20000;
} // namespace

class TestTrayIconOverBus : public BusFixture {
    Q_OBJECT

    int m_trays = 0;

    std::unique_ptr<FakeStatusNotifierWatcher> newTray()
    {
        auto tray =
            std::make_unique<FakeStatusNotifierWatcher>(newConnection(u"tray-%1"_s.arg(++m_trays)));
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

        QCOMPARE(tray->itemProperty(item, u"Title"_s).toString(), u"T-O-VO"_s);
        QCOMPARE(tray->itemProperty(item, u"Status"_s).toString(), u"Active"_s);
        // An icon of a tray's size with something drawn: not all of its (premultiplied) ARGB
        // bytes are zero, which is fully transparent.
        const FakeStatusNotifierWatcher::Pixmap icon = tray->iconPixmap(item);
        QVERIFY2(icon.width >= 16 && icon.height >= 16, qPrintable(QString::number(icon.width)));
        QCOMPARE(icon.argb.size(), qsizetype(icon.width) * icon.height * 4);
        QVERIFY(icon.argb.count('\0') < icon.argb.size());
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
        const ProbeLog today{m_dir.filePath(u"today-%1"_s.arg(m_trays)), u"tovo.TOVO.TOVOToday"_s};
        QVERIFY(addService(today.id, today.command({ApplicationBus::activationFlag})));
        tray->activate(item, u"token-7"_s);
        QTRY_COMPARE_WITH_TIMEOUT(today.lines().mid(1, 1), QStringList{u"activate token-7"_s},
                                  startWaitMs);
        application(today.id).call(u"ActivateAction"_s, {u"quit"_s, QVariantList(), QVariantMap()});
        QTRY_VERIFY(!application(today.id).isRunning());
        QVERIFY(removeService(today.id));

        // The panel restarts: the icon leaves with the old tray and comes back to the new one.
        tray.reset();
        tray = newTray();
        QVERIFY(tray);
        QTRY_COMPARE_WITH_TIMEOUT(tray->items(), QStringList{item}, startWaitMs);
        QCOMPARE(tray->menu(item), menu);

        QVERIFY(tray->click(item, u"Quit"_s));
        QVERIFY(program.waitForFinished(startWaitMs));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
    }

    // The menu and the tooltip in the user's language, times in the locale's format. A poll that
    // fails is told in the tooltip: a short reason, none of the URL or GUID. Started by the panel
    // with an account, tovo starts at login (the user never chose otherwise).
    void speaksTheUserLanguage_data()
    {
        QTest::addColumn<QString>("language"); // of LANG; LANGUAGE is its first two letters
        QTest::addColumn<QStringList>("menu");
        QTest::addColumn<QString>("failedPoll");
        QTest::newRow("C") << u"C"_s
                           << QStringList{u"T-O-VO..."_s, u"[x] Start at login"_s, u"-"_s,
                                          u"Quit"_s}
                           << u"^Cannot reach T-O-VO since [0-9:]+: no connection$"_s;
        QTest::newRow("English (US)")
            << u"en_US"_s << QStringList{u"T-O-VO..."_s, u"[x] Start at login"_s, u"-"_s, u"Quit"_s}
            << u"^Cannot reach T-O-VO since [0-9]{1,2}:[0-9]{2}\\s[AP]M: no connection$"_s;
        QTest::newRow("German")
            << u"de_DE"_s
            << QStringList{u"T-O-VO..."_s, u"[x] Beim Anmelden starten"_s, u"-"_s, u"Beenden"_s}
            << u"^T-O-VO seit [0-9]{2}:[0-9]{2} nicht erreichbar: keine Verbindung$"_s;
        QTest::newRow("French")
            << u"fr_FR"_s
            << QStringList{u"T-O-VO..."_s, u"[x] Démarrer à l’ouverture de session"_s, u"-"_s,
                           u"Quitter"_s}
            << u"^T-O-VO injoignable depuis [0-9]{2}:[0-9]{2} : pas de connexion$"_s;
    }

    void speaksTheUserLanguage()
    {
        QFETCH(QString, language);
        HeadlessDisplay screen(HeadlessDisplay::Kind::Wayland);
        QVERIFY2(screen.start(), qPrintable(screen.problem()));
        std::unique_ptr<FakeStatusNotifierWatcher> tray = newTray();
        QVERIFY(tray);
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        screen.addTo(environment);
        for (const QString& overriding : {u"LC_ALL"_s, u"LC_MESSAGES"_s, u"LC_TIME"_s})
            environment.remove(overriding);
        environment.insert(u"LANG"_s, language + u".UTF-8"_s);
        environment.insert(u"LANGUAGE"_s, language.left(2));
        environment.insert(u"TOVO_FEED_BASE"_s, u"http://127.0.0.1:1"_s); // nothing listens
        environment.insert(u"TOVO_POLL_INTERVAL_SECONDS"_s, u"0.2"_s);
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(TOVO_APP), {u"tovo://GUID-4711"_s});
        QTRY_COMPARE_WITH_TIMEOUT(tray->items().size(), 1, startWaitMs);
        const QString item = tray->items().constFirst();
        QTEST(tray->menu(item), "menu");
        QFETCH(QString, failedPoll);
        const QRegularExpression failed(failedPoll);
        QTRY_VERIFY2_WITH_TIMEOUT(failed.match(tray->toolTip(item)).hasMatch(),
                                  qPrintable(tray->toolTip(item)), startWaitMs);
        QVERIFY(tray->click(item, tray->menu(item).constLast()));
        QVERIFY(program.waitForFinished(startWaitMs));
    }
};

QTEST_MAIN(TestTrayIconOverBus)
#include "tst_TrayIconOverBus.moc"
