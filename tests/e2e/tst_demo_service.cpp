// The demo service against the real service client: what the demo, the end-to-end tests and
// the benchmark rely on (sign-in, the feeds' scripts, answers the client parses as intended) and
// that bad requests do not take the service down.

#include "AlarmTimeline.h"
#include "DemoCertificates.h"
#include "DemoService.h"
#include "HttpServer.h"
#include "core/APIClient.h"

#include <QSet>
#include <QSslConfiguration>
#include <QSslSocket>
#include <QTest>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

const QString email = u"demo@tovo.example"_s;
const QString password = u"demo1234"_s;
const QString guid = u"0F1E2D3C-AAAA-4BBB-8CCC-123456789ABC"_s;

template <typename T> std::optional<Result<T>> awaitResult(auto start)
{
    std::optional<Result<T>> result;
    start([&result](Result<T> r) { result = std::move(r); });
    (void)QTest::qWaitFor([&result] { return result.has_value(); }, 10000); // nullopt: timed out
    return result;
}

std::optional<Result<AlarmList>> fetchFeed(const QString& id)
{
    return awaitResult<AlarmList>(
        [&id](auto done) { APIClient::sharedClient().alarmFeed(id, std::move(done)); });
}

} // namespace

class TestDemoService : public QObject {
    Q_OBJECT
private:
    DemoCertificates certificates;
    std::unique_ptr<DemoService> service;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(certificates.create(), qPrintable(certificates.error()));
        service = std::make_unique<DemoService>(DemoService::Account{email, password, guid},
                                                AlarmTimeline(AlarmTimeline::Mode::Growing, 3));
        QVERIFY(service->listen(0, certificates.serverCertificate(), certificates.serverKey()));
        const QByteArray base = "https://127.0.0.1:" + QByteArray::number(service->port());
        qputenv("TOVO_WEB_BASE", base);
        qputenv("TOVO_FEED_BASE", base);
        qputenv("SSL_CERT_FILE", certificates.caPath().toLocal8Bit());
    }

    void signIn_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("demo account") << email << password << true;
        QTest::newRow("password in other case") << email << u"DEMO1234"_s << false;
        QTest::newRow("percent-encoded address") << u"demo%40tovo.example"_s << password << true;
    }

    void signIn()
    {
        QFETCH(QString, address);
        QFETCH(QString, secret);
        QFETCH(bool, accepted);
        const auto result = awaitResult<QString>([&](auto done) {
            APIClient::sharedClient().authenticate(address, secret, std::move(done));
        });
        QVERIFY(result);
        QCOMPARE(result->isSuccess(), accepted);
        if (accepted)
            QCOMPARE(result->value(), guid);
        else
            QCOMPARE(result->error().localizedDescription(), u"Error"_s);
    }

    void feedsByAccount()
    {
        // The demo account's growing feed keeps its alarms and adds one per answer.
        QSet<QString> seen;
        for (qsizetype size = 3; size <= 6; ++size) {
            const auto next = fetchFeed(guid);
            QVERIFY(next && next->isSuccess());
            QSet<QString> guids;
            for (const AlarmPtr& alarm : next->value())
                guids.insert(alarm->alarmGuid());
            QVERIFY(guids.contains(seen));
            QCOMPARE(next->value().size(), size);
            QCOMPARE(guids.size(), size);
            seen = guids;
        }

        // An unknown account gets the feed's exception alarm.
        const auto unknown = fetchFeed(u"NOT-THE-DEMO-GUID"_s);
        QVERIFY(unknown && unknown->isSuccess());
        QCOMPARE(unknown->value().size(), 1);
        QCOMPARE(unknown->value().first()->alarmAgent(), u"T-O-VO Feed Exception"_s);
        QCOMPARE(unknown->value().first()->alarmDescription(),
                 u"Please go to settings to set up your account"_s);
    }

    void scriptedAlarmsKeepTheirGuidAndLeaveQuiet()
    {
        // Two cycles, second by second: an alarm keeps its guid while its level changes, ends
        // quiet before it leaves the feed, never comes back, and the next cycle brings new guids.
        const AlarmTimeline timeline(AlarmTimeline::Mode::Scripted, 0);
        const QSet<QString> quiet{u"Resolved"_s, u"Okay"_s, u"Closed"_s};
        QHash<QString, QString> last;
        QSet<QString> seen;
        for (qint64 second = 0; second < 2 * AlarmTimeline::cycleSeconds; ++second) {
            QHash<QString, QString> now;
            for (const DemoAlarm& alarm : timeline.alarms(1, second)) {
                QVERIFY2(last.contains(alarm.guid) || !seen.contains(alarm.guid),
                         qPrintable(alarm.guid));
                QVERIFY(!now.contains(alarm.guid));
                now.insert(alarm.guid, alarm.level);
                seen.insert(alarm.guid);
            }
            for (auto it = last.cbegin(); it != last.cend(); ++it)
                QVERIFY2(now.contains(it.key()) || quiet.contains(it.value()),
                         qPrintable(it.key()));
            last = now;
        }
        QCOMPARE(seen.size(), 14);
    }

    void scriptedTextsSurviveTheFeed()
    {
        // Every scripted text, markup characters included, reaches the client unchanged.
        QList<DemoAlarm> all;
        for (qint64 second = 0; second < AlarmTimeline::cycleSeconds; second += 30)
            all += AlarmTimeline(AlarmTimeline::Mode::Scripted, 0).alarms(1, second);
        const AlarmList parsed = APIClient::parseAlarmFeed(DemoService::rss(all));
        QCOMPARE(parsed.size(), all.size());
        bool markup = false;
        for (qsizetype i = 0; i < all.size(); ++i) {
            const Alarm& got = *parsed[i];
            QCOMPARE((QStringList{got.alarmAgent(), got.alarmResource(), got.alarmDescription(),
                                  got.alarmLevel(), got.alarmGuid()}),
                     (QStringList{all[i].agent, all[i].resource, all[i].text, all[i].level,
                                  all[i].guid}));
            markup = markup || all[i].text.contains(u'<');
        }
        QVERIFY(markup);
    }

    void badRequestsAreAnsweredAndServiceGoesOn_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        const QByteArray longTarget(HttpServer::defaultMaximumHeadSize, 'a');
        QTest::newRow("not http") << QByteArray("hello\r\n\r\n") << 400;
        QTest::newRow("oversized head")
            << QByteArray("GET /" + longTarget + " HTTP/1.1\r\n\r\n") << 431;
        QTest::newRow("unknown path") << QByteArray("GET /admin HTTP/1.1\r\n\r\n") << 404;
    }

    void badRequestsAreAnsweredAndServiceGoesOn()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QVERIFY(rawExchange(request).startsWith("HTTP/1.1 " + QByteArray::number(status)));
        QVERIFY(
            rawExchange("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").startsWith("HTTP/1.1 200"));
    }

private:
    QByteArray rawExchange(const QByteArray& request)
    {
        QSslSocket socket;
        QSslConfiguration configuration = socket.sslConfiguration();
        configuration.setCaCertificates(QSslCertificate::fromPath(certificates.caPath()));
        socket.setSslConfiguration(configuration);
        socket.connectToHostEncrypted(u"127.0.0.1"_s, service->port());
        if (!QTest::qWaitFor([&socket] { return socket.isEncrypted(); }, 10000))
            return {};
        socket.write(request);
        // The service closes the connection after its one answer.
        QByteArray answer;
        const bool closed = QTest::qWaitFor(
            [&] {
                answer += socket.readAll();
                return socket.state() == QAbstractSocket::UnconnectedState;
            },
            10000);
        return closed ? answer + socket.readAll() : QByteArray();
    }
};

QTEST_GUILESS_MAIN(TestDemoService)
#include "tst_demo_service.moc"
