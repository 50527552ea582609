// The tray application's delegate: every way a launch can start, the status menu, the
// "Start at login" switch and the grammar of "tovo://" URLs. Effects go to a recorder; the
// token store is the real one, in the test's private configuration folder.

#include "AppDelegate.h"
#include "AppServices.h"
#include "core/Keychain.h"
#include "platform/Alert.h"
#include "platform/ServiceEndpoints.h"
#include "platform/StatusItem.h"
#include "platform/StatusMenuItem.h"

#include <QTest>

namespace {

// Every effect as one line: "stop", "start <guid>", "remote <types>", "login on|off",
// "alert <message>", "open <url>", "quit".
class RecordingServices : public AppServices {
public:
    void startNotificationTask(const QString& guid) override
    {
        add(QStringLiteral("start ") + guid);
    }
    void stopNotificationTask() override { add(QStringLiteral("stop")); }
    void setLoginItemEnabled(const QString& id, bool enabled) override
    {
        add(id == QLatin1String("tovo.TOVO.TOVOLauncher")
                ? (enabled ? QStringLiteral("login on") : QStringLiteral("login off"))
                : id);
    }
    void runAlert(const Alert& alert) override
    {
        QCOMPARE(alert.buttonTitles, QStringList{QStringLiteral("Got it")});
        QCOMPARE(alert.style, Alert::Style::Informational);
        add(QStringLiteral("alert ") + alert.messageText);
    }
    void openUrl(const QString& url) override { add(QStringLiteral("open ") + url); }
    void terminate() override { add(QStringLiteral("quit")); }
    void registerForRemoteNotifications(int types) override
    {
        add(QStringLiteral("remote ") + QString::number(types));
    }
    QStringList launchArguments() const override { return arguments; }

    QStringList arguments;
    QStringList effects;

private:
    void add(const QString& effect) { effects.append(effect); }
};

Keychain tokens()
{
    return Keychain(QStringLiteral("tovo"));
}

QString checkMark(const AppDelegate& delegate)
{
    switch (delegate.runAtLoginMenuItem()->state()) {
    case StatusMenuItem::State::On:
        return QStringLiteral("on");
    case StatusMenuItem::State::Off:
        return QStringLiteral("off");
    case StatusMenuItem::State::Mixed:
        break;
    }
    return QStringLiteral("mixed");
}

} // namespace

class tst_AppDelegate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void launchPaths_data()
    {
        QTest::addColumn<QString>("arguments"); // after the program path
        QTest::addColumn<QString>("message");   // a URL, "notification" or nothing
        QTest::addColumn<QString>("stored");    // the token stored before the launch
        QTest::addColumn<RanBy>("ranBy");
        QTest::addColumn<QString>("effects"); // '|'-separated, then the check mark
        const QString polls = QStringLiteral("stop|start G1|remote 6|");
        const QString user = QStringLiteral("on|login on|alert T-O-VO is Running");
        QTest::newRow("user with token") << ""
                                         << ""
                                         << "G1" << RanBy::User << polls + user;
        QTest::newRow("user without token") << ""
                                            << ""
                                            << "" << RanBy::User << user;
        QTest::newRow("user, launched first")
            << "launched"
            << ""
            << "G1" << RanBy::User << polls + QStringLiteral("on|login on");
        QTest::newRow("user, launched third") << "-x launched"
                                              << ""
                                              << "G1" << RanBy::User << polls + user;
        QTest::newRow("launcher") << ""
                                  << "tovo://START"
                                  << "G1" << RanBy::Launcher << polls + QStringLiteral("on");
        QTest::newRow("widget token")
            << ""
            << "tovo://G2"
            << "G1" << RanBy::Widget << QStringLiteral("stop|start G2|remote 6|off");
        QTest::newRow("widget without token") << ""
                                              << "tovo://"
                                              << "G1" << RanBy::Widget << "off";
        QTest::newRow("notification")
            << ""
            << "notification"
            << "G1" << RanBy::Notification << polls + QStringLiteral("off");
    }

    void launchPaths()
    {
        QFETCH(QString, arguments);
        QFETCH(QString, message);
        QFETCH(QString, stored);
        QFETCH(RanBy, ranBy);
        QFETCH(QString, effects);
        tokens().storeToken(stored);
        RecordingServices services;
        services.arguments = QStringList{QStringLiteral("/usr/bin/tovo")} +
                             arguments.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        AppDelegate delegate(services);

        delegate.applicationWillFinishLaunching();
        QVariantMap userInfo;
        if (message == QLatin1String("notification"))
            userInfo.insert(ApplicationHost::launchNotificationKey, QVariantList{1});
        else if (!message.isEmpty())
            delegate.openUrl(message);
        delegate.applicationDidFinishLaunching(userInfo);

        QCOMPARE(delegate.ranBy(), ranBy);
        // The check mark is set before the login item and the alert.
        const qsizetype polled = services.effects.indexOf(QStringLiteral("remote 6")) + 1;
        services.effects.insert(polled, checkMark(delegate));
        QCOMPARE(services.effects.join(QLatin1Char('|')), effects);
    }

    void menuHasFourEntriesBuiltOnce()
    {
        RecordingServices services;
        AppDelegate delegate(services);
        delegate.menu(true);
        StatusItem* item = delegate.statusItem();
        QStringList titles;
        for (const StatusMenuItem* entry : item->items()) {
            titles.append(entry->isSeparator() ? QStringLiteral("---") : entry->title());
            QVERIFY(entry->keyEquivalent().isEmpty());
        }
        QCOMPARE(titles.join(QLatin1Char('|')),
                 QStringLiteral("T-O-VO...|Start at login|---|Quit"));
        QCOMPARE(item->items().at(1), delegate.runAtLoginMenuItem());

        delegate.menu(false);
        QCOMPARE(delegate.statusItem(), item);
        QCOMPARE(checkMark(delegate), QStringLiteral("on"));

        item->items().at(0)->trigger();
        item->items().at(3)->trigger();
        QCOMPARE(services.effects,
                 QStringList({QStringLiteral("open ") + ServiceEndpoints::webBase(),
                              QStringLiteral("quit")}));
    }

    void toggleStartAtLogin_data()
    {
        QTest::addColumn<StatusMenuItem::State>("initial");
        QTest::addColumn<QString>("afterTwoToggles");
        QTest::newRow("checked") << StatusMenuItem::State::On << "off|login off|on|login on";
        QTest::newRow("unchecked") << StatusMenuItem::State::Off << "on|login on|off|login off";
        QTest::newRow("mixed") << StatusMenuItem::State::Mixed << "on|login on|off|login off";
    }

    void toggleStartAtLogin()
    {
        QFETCH(StatusMenuItem::State, initial);
        QFETCH(QString, afterTwoToggles);
        RecordingServices services;
        AppDelegate delegate(services);
        delegate.menu(true);
        delegate.runAtLoginMenuItem()->setState(initial);
        QStringList seen;
        for (int i = 0; i < 2; ++i) {
            delegate.runAtLoginMenuItem()->trigger();
            seen << checkMark(delegate) << services.effects.takeFirst();
        }
        QCOMPARE(seen.join(QLatin1Char('|')), afterTwoToggles);
    }

    void urlGrammar_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<RanBy>("ranBy");
        QTest::addColumn<QString>("token"); // stored afterwards; "OLD" was stored before
        QTest::newRow("command") << "tovo://START" << RanBy::Launcher << "OLD";
        QTest::newRow("lower case is a token") << "tovo://start" << RanBy::Widget << "start";
        QTest::newRow("prefix alone clears") << "tovo://" << RanBy::Widget << "";
        QTest::newRow("doubled prefix") << "tovo://tovo://START" << RanBy::Launcher << "OLD";
        QTest::newRow("every prefix goes") << "tovo://a-tovo://-b" << RanBy::Widget << "a--b";
        QTest::newRow("percent escapes kept") << "tovo://a%20b%2F" << RanBy::Widget << "a%20b%2F";
        QTest::newRow("prefix is case-sensitive")
            << "TOVO://START" << RanBy::Widget << "TOVO://START";
    }

    void urlGrammar()
    {
        QFETCH(QString, url);
        QFETCH(RanBy, ranBy);
        QFETCH(QString, token);
        tokens().storeToken(QStringLiteral("OLD"));
        RecordingServices services;
        AppDelegate delegate(services);
        delegate.applicationWillFinishLaunching();
        delegate.openUrl(url);
        QCOMPARE(delegate.ranBy(), ranBy);
        QCOMPARE(tokens().storedToken().value_or(QString()), token);
    }

    void tokenWhileRunningWaitsForTheNextLaunch()
    {
        tokens().storeToken(QStringLiteral("OLD"));
        RecordingServices services;
        services.arguments = QStringList{QStringLiteral("tovo"), QStringLiteral("launched")};
        AppDelegate delegate(services);
        delegate.applicationWillFinishLaunching();
        delegate.applicationDidFinishLaunching({});
        services.effects.clear();
        delegate.openUrl(QStringLiteral("tovo://NEW"));
        QCOMPARE(services.effects, QStringList()); // the running poll is left alone
        QCOMPARE(tokens().storedToken(), std::optional<QString>(QStringLiteral("NEW")));
    }
};

QTEST_MAIN(tst_AppDelegate)
#include "tst_AppDelegate.moc"
