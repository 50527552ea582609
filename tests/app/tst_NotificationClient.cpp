// The polling client: when it asks for the feed and which alarms become notifications, with a
// recording notification server on the test's session bus. The loops' sleep is a gate the test
// opens, so no test waits for the interval.

#include "FakeNotificationServer.h"
#include "FakeService.h"
#include "NotificationClient.h"
#include "platform/MainQueue.h"
#include "platform/UserNotificationCenter.h"

#include <QMutex>
#include <QTest>
#include <condition_variable>
#include <mutex>

namespace {

// wakeAll() lets every loop asleep at that moment make one more request; open() ends all sleeps.
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
        return QTest::qWaitFor([&] {
            const std::lock_guard lock(m_mutex);
            return m_sleeping >= count;
        });
    }
    void wakeAll()
    {
        change([this] { ++m_generation, m_sleeping = 0; });
    }
    void open()
    {
        change([this] { m_open = true; });
    }

private:
    void change(const std::function<void()>& what)
    {
        const std::lock_guard lock(m_mutex);
        what();
        m_wake.notify_all();
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    int m_generation = 0;
    int m_sleeping = 0;
    bool m_open = false;
};

// Answers from a script, one entry per request: the guids of a successful fetch separated by
// blanks, or "!" for a failed fetch (also once the script is used up).
class ScriptedFeed {
public:
    void fetch(const QString& guid, APIClient::AlarmFeedCompletion completion)
    {
        const QMutexLocker lock(&m_mutex);
        const QString answer = m_script.isEmpty() ? QStringLiteral("!") : m_script.takeFirst();
        MainQueue::async([answer, completion = std::move(completion)] {
            if (answer == QLatin1String("!"))
                return completion(Result<AlarmList>::failure(Error()));
            AlarmList alarms;
            for (const QString& id : answer.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                alarms.append(std::make_shared<Alarm>(QStringLiteral("agent ") + id, QString(),
                                                      QString(), QString(), AlarmType::Alarm, id));
            completion(Result<AlarmList>::success(alarms));
        });
        m_requests.append(guid);
    }
    void append(const QStringList& answers)
    {
        const QMutexLocker lock(&m_mutex);
        m_script += answers;
    }
    QStringList requests() const
    {
        const QMutexLocker lock(&m_mutex);
        return m_requests;
    }

private:
    mutable QMutex m_mutex;
    QStringList m_script;
    QStringList m_requests;
};

} // namespace

class tst_NotificationClient : public QObject {
    Q_OBJECT

    void makeClient(NotificationClient::FeedSource feed)
    {
        m_client =
            NotificationClient::create(std::chrono::seconds(60), std::move(feed), &*m_center);
        m_client->backgroundQueue().setSleeper([gate = m_gate](auto) { gate->sleep(); });
    }
    void makeScriptedClient()
    {
        makeClient([feed = m_feed](const QString& guid, auto done) { feed->fetch(guid, done); });
    }
    // Waits for `loops` sleeping loops, wakes them and waits for `requests` requests in total.
    bool wake(int loops, qsizetype requests)
    {
        if (!m_gate->waitForSleepers(loops))
            return false;
        m_gate->wakeAll();
        return QTest::qWaitFor([&] { return m_feed->requests().size() >= requests; });
    }
    // The summaries shown so far: a marker, posted once the pending completions have run,
    // reaches the server after their notifications.
    QStringList shown()
    {
        MainQueue::async([c = m_client] { c->postNotification(QStringLiteral("marker"), {}); });
        const auto marked = [&] {
            return m_server->summaries().contains(QStringLiteral("marker"));
        };
        if (!QTest::qWaitFor(marked))
            return {QStringLiteral("marker missing")};
        return m_server->summaries().mid(0, m_server->summaries().size() - 1);
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
            QStringList{QStringLiteral("body")});
        QVERIFY(m_server->registerOnBus());
        m_center = std::make_unique<UserNotificationCenter>(QStringLiteral("tovo.TOVO"),
                                                            QDBusConnection::sessionBus());
        m_gate = std::make_shared<SleepGate>();
        m_feed = std::make_shared<ScriptedFeed>();
    }

    void cleanup()
    {
        m_client->stopNotificationTask();
        m_gate->open(); // sleeping loops make their last request and end
        QVERIFY(m_client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
        m_client.reset();
        m_center.reset();
        m_server.reset();
    }

    void notifiesNewGuidsOnly_data()
    {
        QTest::addColumn<QStringList>("fetches");
        QTest::addColumn<QString>("notified"); // guids, in order
        const auto row = [](const char* name, const char* fetches, const char* notified) {
            QTest::newRow(name) << QString::fromUtf8(fetches).split(QLatin1Char('|'))
                                << QString::fromUtf8(notified);
        };
        row("first success is silent, then one per new guid", "a b c|a b c d", "d");
        row("an empty first success ends the silent phase", "|a b", "a b");
        row("a failed first fetch keeps the silent phase", "!|a|a b", "b");
        row("later failures change nothing", "a|!|a b", "b");
        row("in list order", "|c a b", "c a b");
        row("a guid twice in one fetch notifies once", "|a b a", "a b");
        row("a guid that vanishes and returns does not notify again", "|a b|b||a b", "a b");
        row("canonically equal guids are one alarm", "caf\u00e9|cafe\u0301", "");
    }

    void notifiesNewGuidsOnly()
    {
        QFETCH(QStringList, fetches);
        QFETCH(QString, notified);
        m_feed->append(fetches);
        makeScriptedClient();
        m_client->startNotificationTask(QStringLiteral("guid"));
        for (qsizetype i = 0; i < fetches.size(); ++i)
            QVERIFY(wake(1, i + 1));
        QStringList expected;
        for (const QString& guid : notified.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            expected.append(QStringLiteral("agent ") + guid);
        QCOMPARE(shown(), expected);
    }

    void stopDuringSleepStillMakesOneRequest()
    {
        m_feed->append({QStringLiteral("a")});
        makeScriptedClient();
        m_client->setFirsttime(false);
        m_client->startNotificationTask(QStringLiteral("guid"));
        QVERIFY(m_gate->waitForSleepers(1));
        m_client->stopNotificationTask();
        QVERIFY(wake(1, 1));
        QVERIFY(m_client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
        QCOMPARE(m_feed->requests().size(), 1);
        QCOMPARE(shown(), QStringList{QStringLiteral("agent a")}); // its answer still counts
    }

    void everyStartAddsALoopAndKeepsWhatWasSeen()
    {
        m_feed->append({QStringLiteral("a"), QStringLiteral("a")});
        makeScriptedClient();
        m_client->startNotificationTask(QStringLiteral("one"));
        m_client->startNotificationTask(QStringLiteral("two"));
        QVERIFY(wake(2, 2));
        QVERIFY(wake(2, 4));
        QStringList requested = m_feed->requests();
        requested.sort();
        QCOMPARE(requested.join(QLatin1Char(' ')), QStringLiteral("one one two two"));

        // Restarting with another account forgets neither the guids nor the silent phase.
        m_client->stopNotificationTask();
        QVERIFY(wake(2, 6));
        QVERIFY(m_client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
        m_feed->append({QStringLiteral("a b")});
        m_client->startNotificationTask(QStringLiteral("three"));
        QVERIFY(wake(1, 7));
        QCOMPARE(m_feed->requests().constLast(), QStringLiteral("three"));
        QCOMPARE(shown(), QStringList{QStringLiteral("agent b")});
    }

    void notificationFromTheService()
    {
        FakeService service;
        qputenv("TOVO_FEED_BASE", service.baseUrl().toUtf8());
        const auto rss = [](const char* items) {
            return "<rss><channel>" + QByteArray(items) + "</channel></rss>";
        };
        service.setAnswer(
            {200, rss("<item><title>Disk agent: Major</title><guid>g1</guid></item>")});
        makeClient({});
        m_client->startNotificationTask(QStringLiteral("GUID-1"));
        QVERIFY(m_gate->waitForSleepers(1));
        QCOMPARE(service.requestTargets().size(), 0); // not before one interval
        m_gate->wakeAll();
        QTRY_COMPARE(service.requestTargets(), QList<QByteArray>{"/rssalarms?mac2&id=GUID-1"});
        QTRY_VERIFY(!m_client->firsttime());

        service.setAnswer({200, rss("<item><title>Disk agent: Major</title><guid>g1</guid></item>"
                                    "<item><title>Web agent: Critical</title><description>Resource:"
                                    " www&lt;br&gt;Down &lt;since&gt; 5 min\nmore</description>"
                                    "<guid>g2</guid></item>")});
        QVERIFY(m_gate->waitForSleepers(1));
        m_gate->wakeAll();
        QTRY_COMPARE(m_server->notifications().size(), 1);
        const auto& notification = m_server->notifications().constFirst();
        QCOMPARE(notification.summary, QStringLiteral("Web agent"));
        QCOMPARE(notification.body, QStringLiteral("Down <since> 5 min"));
        QCOMPARE(notification.hints.value(QStringLiteral("sound-name")),
                 QVariant(QStringLiteral("message-new-instant")));
        qunsetenv("TOVO_FEED_BASE");
    }
};

QTEST_MAIN(tst_NotificationClient)
#include "tst_NotificationClient.moc"
