// The polling client: when it asks for the feed and which alarms become notifications, seen by a
// recording notification server on the test's session bus. No test waits for the interval.

#include "FakeNotificationServer.h"
#include "app/NotificationClient.h"
#include "base/MainQueue.h"
#include "desktop/DesktopNotifications.h"

#include <QTest>
#include <condition_variable>
#include <mutex>
#include <type_traits>

using namespace Qt::StringLiterals;

namespace {

// What the polling loops meet on their threads: a sleep that lasts until the test wakes the loops
// asleep at that moment (or opens it for good), and a feed that answers from a script, one entry
// per request: the guids of a successful fetch separated by blanks, or "!" for a failed fetch
// (also once the script is used up).
class Loops {
public:
    void sleep()
    {
        std::unique_lock lock(m_mutex);
        const int generation = m_generation;
        ++m_sleeping;
        m_wake.wait(lock, [&] { return m_open || m_generation != generation; });
    }
    void fetch(const QString& guid, const APIClient::AlarmFeedCompletion& done)
    {
        const std::lock_guard lock(m_mutex);
        m_requests.append(guid);
        const QString answer = m_script.isEmpty() ? u"!"_s : m_script.takeFirst();
        MainQueue::async([answer, done] {
            if (answer == "!"_L1)
                return done(Result<AlarmList>::failure(Error()));
            AlarmList alarms;
            for (const QString& id : answer.split(u' ', Qt::SkipEmptyParts))
                alarms.append(std::make_shared<Alarm>(u"agent "_s + id, QString(), id + u" down"_s,
                                                      QString(), AlarmType::Alarm, id));
            done(Result<AlarmList>::success(alarms));
        });
    }

    bool waitForSleepers(int count)
    {
        return QTest::qWaitFor([&] { return locked([&] { return m_sleeping >= count; }); });
    }
    // Waits for `loops` sleeping loops, wakes them and waits for `total` requests in all.
    bool wake(int loops, qsizetype total = 0)
    {
        if (!waitForSleepers(loops))
            return false;
        locked([this] { ++m_generation, m_sleeping = 0; });
        m_wake.notify_all();
        return QTest::qWaitFor([&] { return requests().size() >= total; });
    }
    void open()
    {
        locked([this] { m_open = true; });
        m_wake.notify_all();
    }
    void append(const QStringList& answers)
    {
        locked([&] { m_script += answers; });
    }
    QStringList requests()
    {
        return locked([this] { return m_requests; });
    }

private:
    template <typename F> std::invoke_result_t<F> locked(F f)
    {
        const std::lock_guard lock(m_mutex);
        return f();
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    int m_generation = 0, m_sleeping = 0;
    bool m_open = false;
    QStringList m_script, m_requests;
};

} // namespace

class TestNotificationClient : public QObject {
    Q_OBJECT

    std::unique_ptr<FakeNotificationServer> m_server;
    std::unique_ptr<DesktopNotifications> m_notifications;
    std::shared_ptr<Loops> m_loops;
    std::shared_ptr<NotificationClient> m_client;
    int m_panelsOpened = 0;

    // A client on the scripted feed with one loop per guid.
    void start(const QStringList& guids)
    {
        const auto feed = [loops = m_loops](const QString& guid, auto done) {
            loops->fetch(guid, done);
        };
        m_client = NotificationClient::create(std::chrono::seconds(60), feed, &*m_notifications,
                                              [this] { ++m_panelsOpened; });
        m_client->backgroundQueue().setSleeper([loops = m_loops](auto) { loops->sleep(); });
        for (const QString& guid : guids)
            m_client->startNotificationTask(guid);
    }
    // The summaries shown so far: a marker, posted once the pending completions have run,
    // reaches the server after their notifications.
    QStringList shown()
    {
        const qsizetype markers = m_server->summaries().count(u"marker"_s);
        MainQueue::async([client = std::weak_ptr(m_client)] {
            if (const auto c = client.lock())
                c->postNotification(u"marker"_s, {});
        });
        if (!QTest::qWaitFor([&] { return m_server->summaries().count(u"marker"_s) > markers; }))
            return {u"marker missing"_s};
        QStringList summaries = m_server->summaries();
        summaries.removeAll(u"marker"_s);
        return summaries;
    }

private Q_SLOTS:
    void init()
    {
        m_server = std::make_unique<FakeNotificationServer>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, u"server"_s),
            QStringList{u"actions"_s, u"body"_s});
        QVERIFY(m_server->registerOnBus());
        m_notifications = std::make_unique<DesktopNotifications>(u"T-O-VO"_s, u"tovo.TOVO"_s,
                                                                 QDBusConnection::sessionBus());
        m_loops = std::make_shared<Loops>();
        m_panelsOpened = 0;
    }

    void cleanup()
    {
        m_client->stopNotificationTask();
        m_loops->open(); // sleeping loops make their last request and end
        QVERIFY(m_client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
        m_client.reset();
        m_notifications.reset();
        m_server.reset();
    }

    void notifiesNewGuidsOnly_data()
    {
        QTest::addColumn<QString>("fetches"); // '|' between fetches
        // The summaries "agent <guid>" by their guids, in order; "+N" for the summary of N more.
        QTest::addColumn<QString>("notified");
        const auto row = [](const char* name, const char* fetches, const char* notified) {
            QTest::newRow(name) << fetches << notified;
        };
        row("first success is silent, then one per new guid", "a b c|a b c d", "d");
        row("a failed first fetch keeps the silent phase", "!|a|a b", "b");
        row("later failures change nothing", "a|!|a b", "b");
        row("an empty first success ends the silent phase; in list order", "|c a b", "c a b");
        row("a guid twice in one fetch notifies once", "|a b a", "a b");
        row("a guid that vanishes and returns does not notify again", "|a b|b||a b", "a b");
        row("canonically equal guids are one alarm", "caf\u00e9|cafe\u0301", "");
        QStringList many;
        for (int i = 1; i <= NotificationClient::maxRememberedAlarms + 1; ++i)
            many << u"n%1"_s.arg(i);
        const QString twenty = many.mid(0, 20).join(u' ');
        QTest::newRow("twenty new alarms notify each") << u"|"_s + twenty << twenty;
        // The rest were seen all the same: only z is new in the next fetch.
        QTest::newRow("past twenty, one summary for the rest")
            << u"|%1|%1 z"_s.arg(many.mid(0, 25).join(u' ')) << twenty + u" +5 z"_s;
        // Past the bound of remembered guids, those not in the last fetch are forgotten.
        QTest::newRow("a flood of guids is not kept for ever")
            << u"|%1|z|z n1"_s.arg(many.join(u' '))
            << u"%1 +%2 z n1"_s.arg(twenty).arg(many.size() - 20);
        // Nor a few guids of millions of characters each; a summary is cut at 100 characters.
        const QString huge = QString(NotificationClient::maxRememberedCharacters + 1, u'h');
        QTest::newRow("ever longer guids are not kept for ever")
            << u"|%1|z|z %1"_s.arg(huge) << u"%1 z %1"_s.arg(QString(93, u'h') + u'\u2026');
    }

    void notifiesNewGuidsOnly()
    {
        QFETCH(QString, fetches);
        QFETCH(QString, notified);
        const QStringList script = fetches.split(u'|');
        m_loops->append(script);
        start({u"guid"_s});
        QVERIFY(m_loops->waitForSleepers(1));
        QVERIFY(m_loops->requests().isEmpty()); // not before one interval
        for (qsizetype i = 0; i < script.size(); ++i)
            QVERIFY(m_loops->wake(1, i + 1));
        QStringList expected = notified.split(u' ', Qt::SkipEmptyParts);
        for (QString& guid : expected)
            guid = guid.startsWith(u'+') ? guid.mid(1) + u" more new alarms"_s : u"agent "_s + guid;
        QCOMPARE(shown(), expected);
    }

    // Two fetches of 60,000 new guids each: the second takes the place of the first rather than
    // joining it, and is itself remembered.
    void theBoundHoldsAcrossTwoLargeFetches()
    {
        QStringList first;
        QStringList second;
        for (int i = 0; i < 60000; ++i)
            first << u"a%1"_s.arg(i), second << u"b%1"_s.arg(i);
        m_loops->append({first.join(u' '), second.join(u' '), second.join(u' ')});
        start({u"guid"_s});
        QVERIFY(m_loops->wake(1, 1) && m_loops->wake(1, 2));
        QCOMPARE(shown().size(), 21);
        QCOMPARE(m_client->alarmSet().size(), 60000);
        QVERIFY(m_loops->wake(1, 3));
        QCOMPARE(shown().size(), 21);
    }

    void stopDuringSleepStillNotifiesAndAClickOpensThePanel()
    {
        m_loops->append({u"a"_s});
        start({u"guid"_s});
        m_client->setFirsttime(false); // before any fetch: the loop still sleeps
        QVERIFY(m_loops->waitForSleepers(1));
        m_client->stopNotificationTask();
        QVERIFY(m_loops->wake(1, 1));
        QVERIFY(m_client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
        QCOMPARE(m_loops->requests().size(), 1);
        QCOMPARE(shown(), QStringList{u"agent a"_s}); // its answer still counts
        const auto& shownA = m_server->notifications().constFirst();
        QCOMPARE(shownA.body, u"a down"_s);
        QCOMPARE(shownA.hints.value(u"sound-name"_s), QVariant(u"message-new-instant"_s));
        QCOMPARE(shownA.actions, QStringList({u"default"_s, u"Show alarms"_s}));
        m_server->invokeAction(shownA.id, u"default"_s);
        QTRY_COMPARE(m_panelsOpened, 1);
    }

    void everyStartAddsALoopAndKeepsWhatWasSeen()
    {
        m_loops->append({u"a"_s, u"a"_s});
        start({u"one"_s, u"two"_s});
        QVERIFY(m_loops->wake(2, 2));
        QVERIFY(m_loops->wake(2, 4));
        QStringList requested = m_loops->requests();
        requested.sort();
        QCOMPARE(requested.join(u' '), u"one one two two"_s);

        // Restarting with another account forgets neither the guids nor the silent phase.
        m_client->stopNotificationTask();
        QVERIFY(m_loops->wake(2, 6));
        QVERIFY(m_client->backgroundQueue().waitForDone(std::chrono::seconds(5)));
        m_loops->append({u"a b"_s});
        m_client->startNotificationTask(u"three"_s);
        QVERIFY(m_loops->wake(1, 7));
        QCOMPARE(m_loops->requests().constLast(), u"three"_s);
        QCOMPARE(shown(), QStringList{u"agent b"_s});
    }
};

QTEST_MAIN(TestNotificationClient)
#include "tst_NotificationClient.moc"
