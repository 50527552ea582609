// The tray application's delegate, its effects recorded; the token store is the real one, in the
// test's private configuration folder.

#include "app/AppDelegate.h"
#include "app/AppServices.h"
#include "app/DesktopAppServices.h"
#include "app/LoginItemChoice.h"
#include "app/NotificationClient.h"
#include "core/Keychain.h"
#include "core/Settings.h"
#include "desktop/Alert.h"
#include "desktop/Autostart.h"
#include "desktop/TrayIcon.h"
#include "desktop/TrayMenuItem.h"

#include <QFile>
#include <QProcess>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// Every effect as one line: "stop", "start <guid>", "remote <types>", "login on|off",
// "alert <message>", "open <url>", "panel [<activation token>]", "quit", "notify <title>".
class RecordingServices : public AppServices {
public:
    void startNotificationTask(const QString& guid) override { effects << u"start "_s + guid; }
    void stopNotificationTask() override { effects << u"stop"_s; }
    void setPollListener(PollListener listener) override { pollCompleted = std::move(listener); }
    void postNotification(const QString& title, const QString&) override
    {
        effects << u"notify "_s + title;
    }
    void setLoginItemEnabled(const QString& id, bool enabled) override
    {
        effects << (id == "tovo.TOVO.TOVOLauncher"_L1 ? u"login "_s : id + u' ') +
                       (enabled ? "on"_L1 : "off"_L1);
    }
    int runAlert(const Alert& alert) override
    {
        effects << u"alert "_s + alert.messageText;
        alertTexts << alert.informativeText;
        return alertAnswer;
    }
    void openUrl(const QString& url) override { effects << u"open "_s + url; }
    void openTodayPanel(const QString& token) override
    {
        effects << (u"panel "_s + token).trimmed();
    }
    void terminate() override { effects << u"quit"_s; }
    void registerForRemoteNotifications(int types) override
    {
        effects << u"remote "_s + QString::number(types);
    }
    QStringList launchArguments() const override { return arguments; }

    QStringList arguments{u"/usr/bin/tovo"_s};
    QStringList effects;
    QStringList alertTexts;
    int alertAnswer = 0;
    PollListener pollCompleted;
};

const auto tokens = [] { return Keychain(u"tovo"_s); };

QString checkMark(const AppDelegate& delegate)
{
    const TrayMenuItem::State state = delegate.runAtLoginMenuItem()->state();
    return state == TrayMenuItem::State::On    ? u"on"_s
           : state == TrayMenuItem::State::Off ? u"off"_s
                                               : u"mixed"_s;
}

} // namespace

class TestAppDelegate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { Settings::common().startAtLogin().setValue(QString()); } // never chosen

    void launchPaths_data()
    {
        QTest::addColumn<QString>("arguments"); // after the program path
        QTest::addColumn<QString>("message");   // a URL, "notification", "action <name>" or nothing
        QTest::addColumn<QString>("stored");    // the token stored before the launch
        QTest::addColumn<QString>("choice");    // of starting at login, before the launch
        QTest::addColumn<RanBy>("ranBy");
        QTest::addColumn<QString>("effects"); // '|'-separated, with the check mark after polling
        const auto row = [](const char* name, const char* arguments, const char* message,
                            const char* stored, RanBy ranBy, const QString& effects,
                            const char* choice = "") {
            QTest::newRow(name) << arguments << message << stored << choice << ranBy << effects;
        };
        const QString polls = u"stop|start G1|remote 6|"_s;
        const QString user = u"on|login on|alert T-O-VO is Running"_s;
        row("user with token", "", "", "G1", RanBy::User, polls + user);
        row("user without token", "", "", "", RanBy::User, user);
        row("user, launched first", "launched", "", "G1", RanBy::User, polls + u"on|login on"_s);
        row("user, launched third", "-x launched", "", "G1", RanBy::User, polls + user);
        row("launcher", "", "tovo://START", "G1", RanBy::Launcher, polls + u"on"_s);
        // The panel's hand-over of an account registers the launcher while the user never chose.
        row("widget token", "", "tovo://G2", "G1", RanBy::Widget,
            u"stop|start G2|remote 6|on|login on"_s);
        row("widget without token", "", "tovo://", "G1", RanBy::Widget, u"off"_s);
        row("notification", "", "notification", "G1", RanBy::Notification, polls + u"off"_s);
        // A choice once made stands, whoever starts the program.
        row("user, chose off", "", "", "G1", RanBy::User, polls + u"off|alert T-O-VO is Running"_s,
            "off");
        row("widget token, chose off", "", "tovo://G2", "G1", RanBy::Widget,
            u"stop|start G2|remote 6|off"_s, "off");
        row("notification, chose on", "", "notification", "G1", RanBy::Notification,
            polls + u"on"_s, "on");
        // Started for a desktop action, the program carries it out and nothing else.
        row("action start-at-login", "", "action start-at-login", "G1", RanBy::User,
            polls + u"on|login on|notify T-O-VO will start at login"_s);
        row("action quit", "", "action quit", "G1", RanBy::User, polls + u"off|quit"_s);
    }

    void launchPaths()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        QFETCH(QString, choice);
        QFETCH(RanBy, ranBy);
        QFETCH(QString, effects);
        tokens().storeToken(stored);
        Settings::common().startAtLogin().setValue(choice);
        RecordingServices services;
        services.arguments += arguments.split(u' ', Qt::SkipEmptyParts);
        AppDelegate delegate(services);

        delegate.applicationWillFinishLaunching();
        QVariantMap userInfo;
        if (message == "notification"_L1)
            userInfo.insert(ApplicationHost::launchNotificationKey, QVariantList{1});
        else if (message.startsWith(u"action "_s))
            delegate.activateAction(message.mid(7), {});
        else if (!message.isEmpty())
            delegate.openUrls({message});
        delegate.applicationDidFinishLaunching(userInfo);

        QCOMPARE(delegate.ranBy(), ranBy);
        // The check mark is set before the login item and the alert.
        services.effects.insert(services.effects.indexOf(u"remote 6"_s) + 1, checkMark(delegate));
        QCOMPARE(services.effects.join(u'|'), effects);
    }

    void menuIsBuiltOnce()
    {
        RecordingServices services;
        AppDelegate delegate(services);
        delegate.menu(true);
        TrayIcon* item = delegate.statusItem();
        QCOMPARE(item->items().size(), 4);
        QVERIFY(item->items().at(2)->isSeparator());
        TrayMenuItem* login = item->items().at(1);
        QCOMPARE(login, delegate.runAtLoginMenuItem());
        delegate.menu(false);
        QCOMPARE(delegate.statusItem(), item);

        // "Start at login" flips the check mark and the login item; mixed counts as off.
        QStringList seen{checkMark(delegate)};
        for (const auto state :
             {TrayMenuItem::State::On, TrayMenuItem::State::Off, TrayMenuItem::State::Mixed}) {
            login->setState(state);
            login->trigger();
            seen << checkMark(delegate) << services.effects.takeLast();
        }
        QCOMPARE(seen.join(u'|'), u"on|off|login off|on|login on|on|login on"_s);

        item->items().at(0)->trigger();
        item->items().at(3)->trigger();
        QCOMPARE(services.effects, QStringList({u"open https://www.tovo.example"_s, u"quit"_s}));
        QCOMPARE(LoginItemChoice::stored(), true); // the last toggle's
    }

    // Without a tray (as here) the alert says where the controls are; its second button and a
    // left click on the icon open the panel; the desktop actions work as the menu does.
    void alertTrayClickAndDesktopActions()
    {
        tokens().storeToken(QString());
        RecordingServices services;
        services.alertAnswer = 1;
        AppDelegate delegate(services);
        delegate.applicationDidFinishLaunching({});
        QCOMPARE(services.alertTexts,
                 QStringList{u"To sign in and see your alarms, open T-O-VO Today from the "
                             "applications menu. This desktop has no tray for the T-O-VO icon: "
                             "\"Start at login\" and \"Quit T-O-VO\" are on the menu that a "
                             "right click on T-O-VO in the applications menu opens."_s});
        Q_EMIT delegate.statusItem()->activated(u"T1"_s);
        for (const QString& action :
             {u"start-at-login"_s, u"start-at-login"_s, u"other"_s, u"quit"_s})
            delegate.activateAction(action, {});
        QCOMPARE(services.effects.join(u'|'),
                 u"login on|alert T-O-VO is Running|panel|panel T1|login off|notify T-O-VO will "
                 "not start at login|login on|notify T-O-VO will start at login|quit"_s);
    }

    void urlGrammar_data()
    {
        QTest::addColumn<QString>("url"); // '|' between the URLs of one message
        QTest::addColumn<RanBy>("ranBy");
        QTest::addColumn<QString>("token"); // stored afterwards; "OLD" was stored before
        QTest::newRow("lower case is a token") << "tovo://start" << RanBy::Widget << "start";
        QTest::newRow("prefix alone clears") << "tovo://" << RanBy::Widget << "";
        QTest::newRow("doubled prefix") << "tovo://tovo://START" << RanBy::Launcher << "OLD";
        QTest::newRow("every prefix goes") << "tovo://a-tovo://-b" << RanBy::Widget << "a--b";
        QTest::newRow("percent escapes kept") << "tovo://a%20b%2F" << RanBy::Widget << "a%20b%2F";
        QTest::newRow("prefix is case-sensitive")
            << "TOVO://START" << RanBy::Widget << "TOVO://START";
        QTest::newRow("the same token again") << "tovo://OLD" << RanBy::Widget << "OLD";
        QTest::newRow("not our scheme") << "file:///home/u/salaries.ods" << RanBy::User << "OLD";
        QTest::newRow("token too long")
            << u"tovo://"_s + QString(257, u'x') << RanBy::User << "OLD";
        // Each URL undoes the one before it: only the last token is stored, and followed once.
        QTest::newRow("one message, the last token")
            << "tovo://A|tovo://START|tovo://B" << RanBy::Widget << "B";
        QTest::newRow("one message, START last")
            << "tovo://A|tovo://START" << RanBy::Launcher << "A";
    }

    void urlGrammar()
    {
        QFETCH(QString, url);
        QFETCH(RanBy, ranBy);
        QFETCH(QString, token);
        tokens().storeToken(u"OLD"_s);
        RecordingServices services;
        services.arguments << u"launched"_s;
        AppDelegate delegate(services);
        delegate.applicationWillFinishLaunching();
        delegate.applicationDidFinishLaunching({});
        services.effects.clear();
        delegate.openUrls(url.split(u'|'));
        QCOMPARE(delegate.ranBy(), ranBy);
        QCOMPARE(tokens().storedToken().value_or(QString()), token);
        // The running poll follows another token, stops without one, and goes on with the same;
        // a new account registers the launcher while the user never chose.
        const QStringList follows{u"stop"_s, u"start "_s + token, u"remote 6"_s, u"login on"_s};
        QCOMPARE(services.effects, token == "OLD"_L1 ? QStringList()
                                   : token.isEmpty() ? follows.mid(0, 1)
                                                     : follows);
    }

    // Completed polls reach the tray and the outage notifications (texts: AccountHealth's test).
    void pollsReachTheTray()
    {
        tokens().storeToken(u"G1"_s);
        RecordingServices services;
        AppDelegate delegate(services);
        delegate.applicationDidFinishLaunching({});
        services.effects.clear();
        for (int poll = 1; poll <= 15; ++poll)
            services.pollCompleted(u"G1"_s,
                                   Result<AlarmList>::failure(Error(u"HttpStatus"_s, 503, {})));
        TrayIcon* tray = delegate.statusItem();
        QVERIFY2(tray->isMuted() && tray->toolTip().endsWith(u": HTTP 503"_s),
                 qPrintable(tray->toolTip()));
        services.pollCompleted(u"G1"_s, Result<AlarmList>::success({}));
        QVERIFY(!tray->isMuted());
        QCOMPARE(services.effects, QStringList({u"notify T-O-VO cannot reach the service"_s,
                                                u"notify T-O-VO reaches the service again"_s}));
    }

    // Its path and its removal are driven by real menu clicks in tst_TrayIconOverBus.
    void loginItemIsTheLaunchersAutostartEntry()
    {
        const QString id = u"tovo.TOVO.TOVOLauncher"_s;
        Autostart items;
        const QString program = DesktopAppServices::launcherProgram();
        QVERIFY(items.setEnabled(id, program, true));
        QFile file(items.entryPath(id));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        QVERIFY2(text.startsWith(u"[Desktop Entry]\n"_s) &&
                     text.contains(u"\nExec="_s + program + u'\n'),
                 qPrintable(text));
        QVERIFY(program.startsWith(u'/') && program.endsWith(u"/tovo-launcher"_s));
        QCOMPARE(QProcess::execute(u"desktop-file-validate"_s, {file.fileName()}), 0);
        QVERIFY(!items.setEnabled(u"org.example.Other"_s, program, true)); // not ours
    }

    void quitEndsASleepingLoop()
    {
        // The real services: quitting while a loop sleeps its hour must not wait for it (a hang
        // ends in the test's time-out) nor let it wake into a dying application.
        qputenv("TOVO_POLL_INTERVAL_SECONDS", "3600");
        {
            DesktopAppServices services;
            services.startNotificationTask(u"GUID-1"_s);
        }
        QVERIFY(NotificationClient::sharedClient().backgroundQueue().waitForDone(
            std::chrono::milliseconds(0)));
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_AppDelegate.moc"
