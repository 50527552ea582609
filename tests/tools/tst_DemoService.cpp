// The demo service against the real service client: what the demo, the end-to-end tests and the
// benchmark rely on, and bad requests answered without taking the service down.

#include "DemoCertificates.h"
#include "DemoService.h"
#include "core/APIClient.h"

#include <QSet>
#include <QSslSocket>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString email = u"demo@tovo.example"_s;
const QString guid = u"0F1E2D3C-AAAA-4BBB-8CCC-123456789ABC"_s;

// The outcome of one call of the client; none when it did not come.
template <typename T> std::optional<Result<T>> await(auto call)
{
    std::optional<Result<T>> result;
    call([&result](Result<T> r) { result = std::move(r); });
    (void)QTest::qWaitFor([&result] { return result.has_value(); }, 10000);
    return result;
}

AlarmList feedOf(const QString& id)
{
    const auto result = await<AlarmList>(
        [&id](auto done) { APIClient::sharedClient().alarmFeed(id, std::move(done)); });
    return result && result->isSuccess() ? result->value() : AlarmList();
}

} // namespace

class TestDemoService : public QObject {
    Q_OBJECT

    DemoCertificates m_certificates;
    std::unique_ptr<DemoService> m_service;

    // The service's whole answer to `request`, sent on a connection of its own.
    QByteArray exchange(const QByteArray& request)
    {
        QSslSocket socket;
        QSslConfiguration configuration = socket.sslConfiguration();
        configuration.setCaCertificates(QSslCertificate::fromPath(m_certificates.caPath()));
        socket.setSslConfiguration(configuration);
        socket.connectToHostEncrypted(u"127.0.0.1"_s, m_service->port());
        if (!QTest::qWaitFor([&socket] { return socket.isEncrypted(); }, 10000))
            return {};
        socket.write(request);
        QByteArray answer;
        const bool closed = QTest::qWaitFor(
            [&] {
                answer += socket.readAll();
                return socket.state() == QAbstractSocket::UnconnectedState;
            },
            10000);
        return closed ? answer + socket.readAll() : QByteArray();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(m_certificates.create(), qPrintable(m_certificates.error()));
        m_service = std::make_unique<DemoService>(DemoService::Account{email, u"demo1234"_s, guid},
                                                  AlarmTimeline(AlarmTimeline::Mode::Growing, 3));
        QVERIFY(
            m_service->listen(0, m_certificates.serverCertificate(), m_certificates.serverKey()));
        const QByteArray base = "https://127.0.0.1:" + QByteArray::number(m_service->port());
        qputenv("TOVO_WEB_BASE", base);
        qputenv("TOVO_FEED_BASE", base);
        qputenv("SSL_CERT_FILE", m_certificates.caPath().toLocal8Bit());
    }

    void signIn_data()
    {
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("secret");
        QTest::addColumn<QString>("outcome"); // the GUID or the failure
        QTest::newRow("demo account") << email << u"demo1234"_s << guid;
        QTest::newRow("password in other case") << email << u"DEMO1234"_s << u"Error"_s;
        // Typed, not an escape: the client encodes the '%' as well.
        QTest::newRow("escape typed in the address")
            << u"demo%40tovo.example"_s << u"demo1234"_s << u"Error"_s;
    }

    void signIn()
    {
        QFETCH(QString, address);
        QFETCH(QString, secret);
        QFETCH(QString, outcome);
        const auto result = await<QString>([&](auto done) {
            APIClient::sharedClient().authenticate(address, secret, std::move(done));
        });
        QVERIFY(result);
        QCOMPARE(result->isSuccess() ? result->value() : result->error().localizedDescription(),
                 outcome);
    }

    // The account's growing feed keeps its alarms and adds one per answer; an unknown account
    // gets the feed's exception alarm.
    void feedsByAccount()
    {
        QSet<QString> seen;
        for (qsizetype size = 3; size <= 6; ++size) {
            QSet<QString> guids;
            for (const AlarmPtr& alarm : feedOf(guid))
                guids.insert(alarm->alarmGuid());
            QCOMPARE(guids.size(), size);
            QVERIFY(guids.contains(seen));
            seen = guids;
        }
        const AlarmList unknown = feedOf(u"NOT-THE-DEMO-GUID"_s);
        QCOMPARE(unknown.size(), 1);
        QCOMPARE(unknown.first()->alarmAgent(), u"T-O-VO Feed Exception"_s);
        QCOMPARE(unknown.first()->alarmDescription(),
                 u"Please go to settings to set up your account"_s);
    }

    // Two cycles, second by second: an alarm keeps its guid while its level changes, is quiet
    // when it leaves the feed and never comes back; the next cycle brings new guids. Every text,
    // markup characters included, reaches the client unchanged.
    void scriptedAlarms()
    {
        const AlarmTimeline timeline(AlarmTimeline::Mode::Scripted, 0);
        const QSet<QString> quiet{u"Resolved"_s, u"Okay"_s, u"Closed"_s};
        QHash<QString, QString> last;
        QSet<QString> seen;
        bool markup = false;
        for (qint64 second = 0; second < 2 * AlarmTimeline::cycleSeconds; ++second) {
            const QList<DemoAlarm> alarms = timeline.alarms(1, second);
            QHash<QString, QString> now;
            for (const DemoAlarm& alarm : alarms) {
                QVERIFY(last.contains(alarm.guid) || !seen.contains(alarm.guid));
                now.insert(alarm.guid, alarm.level);
                seen.insert(alarm.guid);
                markup = markup || alarm.text.contains(u'<');
            }
            for (auto it = last.cbegin(); it != last.cend(); ++it)
                QVERIFY(now.contains(it.key()) || quiet.contains(it.value()));
            last = now;
            if (second % 30 != 0)
                continue;
            const AlarmList parsed = APIClient::parseAlarmFeed(DemoService::rss(alarms));
            QCOMPARE(parsed.size(), alarms.size());
            for (qsizetype i = 0; i < alarms.size(); ++i) {
                const Alarm& got = *parsed[i];
                QCOMPARE((QStringList{got.alarmAgent(), got.alarmResource(), got.alarmDescription(),
                                      got.alarmLevel(), got.alarmGuid()}),
                         (QStringList{alarms[i].agent, alarms[i].resource, alarms[i].text,
                                      alarms[i].level, alarms[i].guid}));
            }
        }
        QCOMPARE(seen.size(), 14);
        QVERIFY(markup);
    }

    void badRequestsAreAnsweredAndServiceGoesOn_data()
    {
        QTest::addColumn<QByteArray>("request");
        QTest::addColumn<int>("status");
        const QByteArray longTarget(HttpServer::defaultMaximumHeadSize, 'a');
        QTest::newRow("not http") << QByteArray("hello\r\n\r\n") << 400;
        QTest::newRow("oversized head") << "GET /" + longTarget + " HTTP/1.1\r\n\r\n" << 431;
        QTest::newRow("unknown path") << QByteArray("GET /admin HTTP/1.1\r\n\r\n") << 404;
    }

    void badRequestsAreAnsweredAndServiceGoesOn()
    {
        QFETCH(QByteArray, request);
        QFETCH(int, status);
        QVERIFY(exchange(request).startsWith("HTTP/1.1 " + QByteArray::number(status)));
        QVERIFY(exchange("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").startsWith("HTTP/1.1 200"));
    }
};

QTEST_GUILESS_MAIN(TestDemoService)
#include "tst_DemoService.moc"
