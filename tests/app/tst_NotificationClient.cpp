// The polling client: when it asks for the feed, which alarms become notifications, and what a
// notification carries, with a recording notification server on the test's session bus.

#include "FakeNotificationServer.h"
#include "FakeService.h"
#include "NotificationClient.h"
#include "platform/MainQueue.h"
#include "platform/UserNotificationCenter.h"

#include <QMutex>
#include <QSignalSpy>
#include <QTest>
#include <condition_variable>
#include <mutex>
#include <optional>

namespace {

using Fetch = std::optional<QStringList>; // guids of one successful fetch, or a failed fetch

AlarmPtr alarm(const QString& guid)
{
    return std::make_shared<Alarm>(QStringLiteral("agent ") + guid, QStringLiteral("resource"),
                                   QStringLiteral("description ") + guid,
                                   QStringLiteral("Critical"), AlarmType::Alarm, guid);
}

// The polling loops' sleep, opened by the test: wakeAll() lets every loop asleep at that moment
// make exactly one more request; open() ends every sleep for good.
class SleepGate {
public:
    void sleep()
    {
        std::unique_lock lock(m_mutex);
        const int generation = m_generation;
        ++m_sleeping;
        m_wake.wait(lock, [&] { return m_open || m_generation != generation; });
    }
    bool waitForSleepers(int count)
    {
        return QTest::qWaitFor(
            [&] {
                const std::lock_guard lock(m_mutex);
                return m_sleeping >= count;
            },
            5000);
    }
    void wakeAll()
    {
        const std::lock_guard lock(m_mutex);
        ++m_generation;
        m_sleeping = 0;
        m_wake.notify_all();
    }
    void open()
    {
        const std::lock_guard lock(m_mutex);
        m_open = true;
        m_wake.notify_all();
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_wake;
    int m_generation = 0;
    int m_sleeping = 0;
    bool m_open = false;
};

// The feed: answers from a script, in order; failures once the script is used up.
class ScriptedFeed {
public:
    explicit ScriptedFeed(QList<Fetch> script = {})
        : m_script(std::move(script))
    {}

    void fetch(const QString& guid, APIClient::AlarmFeedCompletion completion)
    {
        const QMutexLocker lock(&m_mutex);
        const Fetch answer = m_script.isEmpty() ? Fetch() : m_script.takeFirst();
        MainQueue::async([answer, completion = std::move(completion)] {
            if (!answer) {
                completion(Result<AlarmList>::failure(Error()));
                return;
            }
            AlarmList alarms;
            for (const QString& id : *answer)
                alarms.append(alarm(id));
            completion(Result<AlarmList>::success(alarms));
        });
        m_requests.append(guid);
    }
    void append(const Fetch& fetch)
    {
        const QMutexLocker lock(&m_mutex);
        m_script.append(fetch);
    }
    QStringList requests() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_requests;
    }

private:
    mutable QMutex m_mutex;
    QList<Fetch> m_script;
    QStringList m_requests;
};

} // namespace

class tst_NotificationClient : public QObject {
    Q_OBJECT

private:
    std::shared_ptr<NotificationClient> makeClient(NotificationClient::FeedSource feed = {})
    {
        auto client =
            NotificationClient::create(std::chrono::seconds(60), std::move(feed), m_center.get());
        client->backgroundQueue().setSleeper(
            [gate = m_gate](std::chrono::milliseconds) { gate->sleep(); });
        return client;
    }
    std::shared_ptr<NotificationClient> makeScriptedClient()
    {
        return makeClient([feed = m_feed](const QString& guid, auto completion) {
            feed->fetch(guid, std::move(completion));
        });
    }
    bool waitForSleeps(int count) { return m_gate->waitForSleepers(count); }
    // Wakes the sleeping loops and waits for `requests` requests in total.
    bool wake(qsizetype requests)
    {
        m_gate->wakeAll();
        return QTest::qWaitFor([&] { return m_feed->requests().size() >= requests; }, 5000);
    }
    // Waits until everything queued so far has reached the server: a marker notification,
    // posted after the pending completions have run, arrives after their notifications.
    QStringList notificationsSoFar(NotificationClient& client)
    {
        MainQueue::async([&client] { client.postNotification(QStringLiteral("marker"), {}); });
        if (!QTest::qWaitFor(
                [&] { return m_server->summaries().contains(QStringLiteral("marker")); }, 5000))
            return {QStringLiteral("marker missing")};
        QStringList summaries = m_server->summaries();
        summaries.removeAll(QStringLiteral("marker"));
        return summaries;
    }

    std::unique_ptr<FakeNotificationServer> m_server;
    std::unique_ptr<UserNotificationCenter> m_center;
    std::shared_ptr<SleepGate> m_gate;
    std::shared_ptr<ScriptedFeed> m_feed;
    std::shared_ptr<NotificationClient> m_client;

private Q_SLOTS:
    void init()
    {
        m_server = std::make_unique<FakeNotificationServer>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("server")),
            QStringList{QStringLiteral("body"), QStringLiteral("actions")});
        QVERIFY(m_server->registerOnBus());
        m_center = std::make_unique<UserNotificationCenter>(QStringLiteral("tovo.TOVO"),
                                                            QDBusConnection::sessionBus());
        m_gate = std::make_shared<SleepGate>();
        m_feed = std::make_shared<ScriptedFeed>();
    }

    void cleanup()
    {
        if (m_client) {
            m_client->stopNotificationTask();
            m_gate->open(); // sleeping loops make their last request and end
            QVERIFY(m_client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
            m_client.reset();
        }
        m_center.reset();
        m_server.reset();
    }

    void firstRequestOnlyAfterOneInterval()
    {
        m_client = makeScriptedClient();
        m_client->startNotificationTask(QStringLiteral("guid-1"));
        QVERIFY(waitForSleeps(1));
        QCOMPARE(m_feed->requests().size(), 0);
        QVERIFY(wake(1));
        QCOMPARE(m_feed->requests(), QStringList{QStringLiteral("guid-1")});
    }

    void notifiesNewGuidsOnly_data()
    {
        QTest::addColumn<QList<Fetch>>("fetches");
        QTest::addColumn<QStringList>("notified"); // guids, in order
        const auto guids = [](const char* text) {
            return QString::fromLatin1(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        };
        QTest::newRow("first success is silent, then one per new guid")
            << QList<Fetch>{guids("a b c"), guids("a b c d")} << guids("d");
        QTest::newRow("an empty first success ends the silent phase")
            << QList<Fetch>{guids(""), guids("a b")} << guids("a b");
        QTest::newRow("a failed first fetch keeps the silent phase")
            << QList<Fetch>{Fetch(), guids("a"), guids("a b")} << guids("b");
        QTest::newRow("later failures change nothing")
            << QList<Fetch>{guids("a"), Fetch(), guids("a b")} << guids("b");
        QTest::newRow("in list order") << QList<Fetch>{guids(""), guids("c a b")} << guids("c a b");
        QTest::newRow("a guid twice in one fetch notifies once")
            << QList<Fetch>{guids(""), guids("a b a")} << guids("a b");
        QTest::newRow("a guid that vanishes and returns does not notify again")
            << QList<Fetch>{guids(""), guids("a b"), guids("b"), guids(""), guids("a b")}
            << guids("a b");
        QTest::newRow("canonically equal guids are one alarm")
            << QList<Fetch>{QStringList{QStringLiteral("caf\u00e9")},
                            QStringList{QStringLiteral("cafe\u0301")}}
            << QStringList();
    }

    void notifiesNewGuidsOnly()
    {
        QFETCH(QList<Fetch>, fetches);
        QFETCH(QStringList, notified);
        for (const Fetch& fetch : fetches)
            m_feed->append(fetch);
        m_client = makeScriptedClient();
        m_client->startNotificationTask(QStringLiteral("guid"));
        for (qsizetype i = 0; i < fetches.size(); ++i) {
            QVERIFY(waitForSleeps(1));
            QVERIFY(wake(i + 1));
        }
        QStringList summaries;
        for (const QString& guid : notified)
            summaries.append(QStringLiteral("agent ") + guid);
        QCOMPARE(notificationsSoFar(*m_client), summaries);
    }

    void stopDuringSleepStillMakesOneRequest()
    {
        m_feed->append(QStringList{QStringLiteral("a")});
        m_client = makeScriptedClient();
        m_client->setFirsttime(false);
        m_client->startNotificationTask(QStringLiteral("guid"));
        QVERIFY(waitForSleeps(1));
        m_client->stopNotificationTask();
        QVERIFY(wake(1));
        QVERIFY(m_client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
        QCOMPARE(m_feed->requests().size(), 1);
        // The answer of that last request is still processed.
        QCOMPARE(notificationsSoFar(*m_client), QStringList{QStringLiteral("agent a")});
    }

    void everyStartAddsALoopAndKeepsWhatWasSeen()
    {
        m_client = makeScriptedClient();
        m_feed->append(QStringList{QStringLiteral("a")});
        m_feed->append(QStringList{QStringLiteral("a")});
        m_client->startNotificationTask(QStringLiteral("one"));
        m_client->startNotificationTask(QStringLiteral("two"));
        QVERIFY(waitForSleeps(2));
        QVERIFY(wake(2));
        QVERIFY(waitForSleeps(2));
        QVERIFY(wake(4));
        QStringList requested = m_feed->requests();
        requested.sort();
        QCOMPARE(requested, QString::fromLatin1("one one two two").split(QLatin1Char(' ')));

        // Restarting with another account neither forgets the guids nor the silent phase.
        m_client->stopNotificationTask();
        m_gate->wakeAll();
        QVERIFY(m_client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
        const qsizetype before = m_feed->requests().size();
        m_feed->append(QStringList{QStringLiteral("a"), QStringLiteral("b")});
        m_client->startNotificationTask(QStringLiteral("three"));
        QVERIFY(waitForSleeps(1));
        QVERIFY(wake(before + 1));
        QCOMPARE(m_feed->requests().constLast(), QStringLiteral("three"));
        QCOMPARE(notificationsSoFar(*m_client), QStringList{QStringLiteral("agent b")});
    }

    void notificationFromTheService()
    {
        FakeService service;
        qputenv("TOVO_FEED_BASE", service.baseUrl().toUtf8());
        const auto rss = [](const QByteArray& items) {
            return QByteArray("<?xml version=\"1.0\"?><rss><channel>") + items +
                   QByteArray("</channel></rss>");
        };
        const QByteArray known =
            "<item><title>Disk agent: Major</title><description>Resource: db1&lt;br&gt;Disk "
            "almost full</description><guid>g1</guid></item>";
        const QByteArray fresh =
            "<item><title>Web agent: Critical</title><description>Resource: www&lt;br&gt;Down "
            "&lt;since&gt; 5 min &amp; counting\nmore</description><guid>g2</guid></item>";
        service.setAnswer({200, rss(known)});

        m_client = makeClient();
        m_client->startNotificationTask(QStringLiteral("GUID-1"));
        QVERIFY(waitForSleeps(1));
        m_gate->wakeAll();
        QTRY_COMPARE(service.requestTargets().size(), 1);
        QCOMPARE(service.requestTargets().constFirst(), QByteArray("/rssalarms?mac2&id=GUID-1"));
        QTRY_VERIFY(!m_client->firsttime());

        service.setAnswer({200, rss(known + fresh)});
        QVERIFY(waitForSleeps(1));
        m_gate->wakeAll();
        QTRY_COMPARE(m_server->notifications().size(), 1);
        const FakeNotificationServer::Notification& shown = m_server->notifications().constFirst();
        QCOMPARE(shown.summary, QStringLiteral("Web agent"));
        QCOMPARE(shown.body, QStringLiteral("Down <since> 5 min & counting"));
        QCOMPARE(shown.hints.value(QStringLiteral("sound-name")).toString(),
                 QStringLiteral("message-new-instant"));
        QCOMPARE(shown.hints.value(QStringLiteral("desktop-entry")).toString(),
                 QStringLiteral("tovo.TOVO"));
        qunsetenv("TOVO_FEED_BASE");
    }
};

QTEST_MAIN(tst_NotificationClient)
#include "tst_NotificationClient.moc"
