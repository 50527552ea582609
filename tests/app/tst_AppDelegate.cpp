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
#include <optional>

namespace {

class RecordingServices : public AppServices {
public:
    void startNotificationTask(const QString& guid) override
    {
        calls.append(QStringLiteral("start ") + guid);
    }
    void stopNotificationTask() override { calls.append(QStringLiteral("stop")); }
    void setLoginItemEnabled(const QString& applicationId, bool enabled) override
    {
        QCOMPARE(applicationId, QStringLiteral("tovo.TOVO.TOVOLauncher"));
        loginItem.append(enabled);
    }
    void runAlert(const Alert& alert) override { alerts.append(alert); }
    void openUrl(const QString& url) override { opened.append(url); }
    void terminate() override { ++terminated; }
    void registerForRemoteNotifications(int types) override
    {
        calls.append(QStringLiteral("remote %1").arg(types));
    }
    QStringList launchArguments() const override { return arguments; }

    QStringList arguments{QStringLiteral("/usr/bin/tovo")};
    QStringList calls;
    QList<bool> loginItem;
    QList<Alert> alerts;
    QStringList opened;
    int terminated = 0;
};

Keychain tokens()
{
    return Keychain(QStringLiteral("tovo"));
}

void launch(AppDelegate& delegate, const QStringList& urls, const QVariantMap& userInfo = {})
{
    delegate.applicationWillFinishLaunching();
    for (const QString& url : urls)
        delegate.openUrl(url);
    delegate.applicationDidFinishLaunching(userInfo);
}

} // namespace

class tst_AppDelegate : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() { tokens().storeToken(QString()); }

    void launchPaths_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("byNotification");
        QTest::addColumn<QString>("storedToken");
        QTest::addColumn<int>("ranBy");
        QTest::addColumn<QString>("polledToken"); // empty: no polling
        QTest::addColumn<bool>("checked");
        QTest::addColumn<bool>("registersLauncher");
        QTest::addColumn<bool>("alert");

        const auto user = static_cast<int>(RanBy::User);
        const QString tovo = QStringLiteral("/usr/bin/tovo");
        const QString launched = QStringLiteral("launched");
        const QString token = QStringLiteral("GUID-1");
        QTest::newRow("user with token") << QStringList{tovo} << QString() << false << token << user
                                         << token << true << true << true;
        QTest::newRow("user without token") << QStringList{tovo} << QString() << false << QString()
                                            << user << QString() << true << true << true;
        QTest::newRow("user, launched first") << QStringList{tovo, launched} << QString() << false
                                              << token << user << token << true << true << false;
        QTest::newRow("user, launched third")
            << QStringList{tovo, QStringLiteral("-x"), launched} << QString() << false << token
            << user << token << true << true << true;
        QTest::newRow("launcher") << QStringList{tovo} << QStringLiteral("tovo://START") << false
                                  << token << static_cast<int>(RanBy::Launcher) << token << true
                                  << false << false;
        QTest::newRow("widget token replaces the stored one")
            << QStringList{tovo} << QStringLiteral("tovo://GUID-2") << false << token
            << static_cast<int>(RanBy::Widget) << QStringLiteral("GUID-2") << false << false
            << false;
        QTest::newRow("widget without token clears it")
            << QStringList{tovo} << QStringLiteral("tovo://") << false << token
            << static_cast<int>(RanBy::Widget) << QString() << false << false << false;
        QTest::newRow("notification")
            << QStringList{tovo} << QString() << true << token
            << static_cast<int>(RanBy::Notification) << token << false << false << false;
    }

    void launchPaths()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, url);
        QFETCH(bool, byNotification);
        QFETCH(QString, storedToken);
        QFETCH(int, ranBy);
        QFETCH(QString, polledToken);
        QFETCH(bool, checked);
        QFETCH(bool, registersLauncher);
        QFETCH(bool, alert);

        tokens().storeToken(storedToken);
        RecordingServices services;
        services.arguments = arguments;
        AppDelegate delegate(services);
        QVariantMap userInfo;
        if (byNotification)
            userInfo.insert(ApplicationHost::launchNotificationKey, QVariantList{1});
        launch(delegate, url.isNull() ? QStringList() : QStringList{url}, userInfo);

        QCOMPARE(static_cast<int>(delegate.ranBy()), ranBy);
        const QStringList polling =
            polledToken.isEmpty()
                ? QStringList()
                : QStringList{QStringLiteral("stop"), QStringLiteral("start ") + polledToken,
                              QStringLiteral("remote 6")};
        QCOMPARE(services.calls, polling);
        QVERIFY(delegate.runAtLoginMenuItem());
        QCOMPARE(delegate.runAtLoginMenuItem()->state(),
                 checked ? StatusMenuItem::State::On : StatusMenuItem::State::Off);
        QCOMPARE(services.loginItem, registersLauncher ? QList<bool>{true} : QList<bool>());
        QCOMPARE(services.alerts.size(), alert ? 1 : 0);
        if (alert) {
            const Alert& shown = services.alerts.constFirst();
            QCOMPARE(shown.messageText, QStringLiteral("T-O-VO is Running"));
            QCOMPARE(shown.buttonTitles, QStringList{QStringLiteral("Got it")});
            QCOMPARE(shown.style, Alert::Style::Informational);
        }
    }

    void menuHasFourEntriesBuiltOnce()
    {
        RecordingServices services;
        AppDelegate delegate(services);
        delegate.menu(true);
        StatusItem* item = delegate.statusItem();
        QVERIFY(item);
        QStringList titles;
        for (const StatusMenuItem* entry : item->items()) {
            titles.append(entry->isSeparator() ? QStringLiteral("---") : entry->title());
            QVERIFY(entry->keyEquivalent().isEmpty());
        }
        QCOMPARE(titles, QString::fromUtf8("T-O-VO...|Start at login|---|Quit").split(u'|'));
        QCOMPARE(item->items().at(1), delegate.runAtLoginMenuItem());

        delegate.menu(false);
        QCOMPARE(delegate.statusItem(), item);
        QCOMPARE(delegate.runAtLoginMenuItem()->state(), StatusMenuItem::State::On);

        item->items().at(0)->trigger();
        QCOMPARE(services.opened, QStringList{ServiceEndpoints::webBase()});
        item->items().at(3)->trigger();
        QCOMPARE(services.terminated, 1);
    }

    void toggleStartAtLogin_data()
    {
        QTest::addColumn<StatusMenuItem::State>("initial");
        QTest::addColumn<QList<bool>>("registrations"); // after toggling twice
        QTest::newRow("checked") << StatusMenuItem::State::On << QList<bool>{false, true};
        QTest::newRow("unchecked") << StatusMenuItem::State::Off << QList<bool>{true, false};
        QTest::newRow("mixed") << StatusMenuItem::State::Mixed << QList<bool>{true, false};
    }

    void toggleStartAtLogin()
    {
        QFETCH(StatusMenuItem::State, initial);
        QFETCH(QList<bool>, registrations);
        RecordingServices services;
        AppDelegate delegate(services);
        delegate.menu(true);
        StatusMenuItem* item = delegate.runAtLoginMenuItem();
        item->setState(initial);

        item->trigger();
        QCOMPARE(item->state(),
                 registrations.at(0) ? StatusMenuItem::State::On : StatusMenuItem::State::Off);
        item->trigger();
        QCOMPARE(item->state(),
                 registrations.at(1) ? StatusMenuItem::State::On : StatusMenuItem::State::Off);
        QCOMPARE(services.loginItem, registrations);
    }

    void urlGrammar_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("ranBy");
        QTest::addColumn<QString>("token"); // null: the stored token stays "OLD"

        const auto widget = static_cast<int>(RanBy::Widget);
        const auto launcher = static_cast<int>(RanBy::Launcher);
        QTest::newRow("command") << QStringLiteral("tovo://START") << launcher << QString();
        QTest::newRow("lower case is a token")
            << QStringLiteral("tovo://start") << widget << QStringLiteral("start");
        QTest::newRow("prefix alone clears")
            << QStringLiteral("tovo://") << widget << QStringLiteral("");
        QTest::newRow("doubled prefix")
            << QStringLiteral("tovo://tovo://START") << launcher << QString();
        QTest::newRow("prefix inside is removed too")
            << QStringLiteral("tovo://ab-tovo://-cd") << widget << QStringLiteral("ab--cd");
        QTest::newRow("percent escapes kept")
            << QStringLiteral("tovo://a%20b%2F") << widget << QStringLiteral("a%20b%2F");
        QTest::newRow("prefix is case-sensitive")
            << QStringLiteral("TOVO://START") << widget << QStringLiteral("TOVO://START");
    }

    void urlGrammar()
    {
        QFETCH(QString, url);
        QFETCH(int, ranBy);
        QFETCH(QString, token);
        tokens().storeToken(QStringLiteral("OLD"));
        RecordingServices services;
        AppDelegate delegate(services);
        delegate.applicationWillFinishLaunching();
        delegate.openUrl(url);
        QCOMPARE(static_cast<int>(delegate.ranBy()), ranBy);
        const std::optional<QString> expected =
            token.isNull() ? std::optional<QString>(QStringLiteral("OLD"))
                           : (token.isEmpty() ? std::nullopt : std::optional<QString>(token));
        QCOMPARE(tokens().storedToken(), expected);
    }

    void tokenWhileRunningLeavesPollingAlone()
    {
        tokens().storeToken(QStringLiteral("OLD"));
        RecordingServices services;
        services.arguments.append(QStringLiteral("launched"));
        AppDelegate delegate(services);
        launch(delegate, {});
        const QStringList atLaunch = services.calls;

        delegate.openUrl(QStringLiteral("tovo://NEW"));
        QCOMPARE(services.calls, atLaunch);
        QCOMPARE(tokens().storedToken(), std::optional<QString>(QStringLiteral("NEW")));

        // The next launch polls with it.
        RecordingServices next;
        AppDelegate restarted(next);
        launch(restarted, {QStringLiteral("tovo://START")});
        QVERIFY(next.calls.contains(QStringLiteral("start NEW")));
    }
};

QTEST_MAIN(tst_AppDelegate)
#include "tst_AppDelegate.moc"
