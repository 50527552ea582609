#include "FakeService.h"
#include "TestCertificates.h"
#include "platform/HttpSession.h"

#include <QNetworkReply>
#include <QTcpServer>
#include <QTest>

namespace {

// Runs one GET through the shared session and waits for its completion.
HttpSession::Response get(const QString& url)
{
    std::optional<HttpSession::Response> response;
    HttpSession::shared().get(url, [&](HttpSession::Response r) { response = std::move(r); });
    [&] { QTRY_VERIFY_WITH_TIMEOUT(response.has_value(), 20000); }();
    return response.value_or(HttpSession::Response());
}

} // namespace

class tst_HttpSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void requestTargetIsSentExactly_data();
    void requestTargetIsSentExactly();
    void bodyAndStatus_data();
    void bodyAndStatus();
    void transportFailures_data();
    void transportFailures();
    void refusedConnection();
    void proxyFromEnvironment();
    void stalledTransferTimesOut();
};

void tst_HttpSession::initTestCase()
{
    QVERIFY(TestCertificates::install());
}

void tst_HttpSession::requestTargetIsSentExactly_data()
{
    QTest::addColumn<QByteArray>("target");
    QTest::addColumn<QByteArray>("sent"); // empty: the target itself

    QTest::newRow("feed") << QByteArray("/rssalarms?mac2&id=a1B2-c3") << QByteArray();
    QTest::newRow("empty id") << QByteArray("/rssalarms?mac2&id=") << QByteArray();
    QTest::newRow("escapes of reserved characters")
        << QByteArray("/r?id=%2F%25%20%3D%26%3F%23%2B") << QByteArray();
    QTest::newRow("slashes and question marks")
        << QByteArray("/a//b/?c=/d??e/./..") << QByteArray();
    QTest::newRow("case") << QByteArray("/ResolveGUID?EMAIL=A&Id=MiXeD") << QByteArray();
    // QUrl's normalisation, which leaves the decoded value as it was.
    QTest::newRow("escapes normalised")
        << QByteArray("/r?id=%7e%41%2f%3d") << QByteArray("/r?id=~A%2F%3D");
}

void tst_HttpSession::requestTargetIsSentExactly()
{
    QFETCH(QByteArray, target);
    QFETCH(QByteArray, sent);
    FakeService service;
    get(service.baseUrl() + QString::fromLatin1(target));
    QCOMPARE(service.requestTargets(), QList<QByteArray>{sent.isEmpty() ? target : sent});
}

void tst_HttpSession::bodyAndStatus_data()
{
    QTest::addColumn<bool>("https");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("delivered");

    const QByteArray page = "<html><body>down for maintenance</body></html>";
    QTest::newRow("http 200") << false << 200 << QByteArray("<guid>x</guid>") << true;
    QTest::newRow("https 200") << true << 200 << QByteArray("<guid>x</guid>") << true;
    QTest::newRow("404 page") << false << 404 << page << false;
    QTest::newRow("500 page") << true << 500 << page << false;
}

// An error status is no answer: its page is held back and the status becomes the error.
void tst_HttpSession::bodyAndStatus()
{
    QFETCH(bool, https);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, delivered);

    FakeService service(https ? FakeService::Security::Https : FakeService::Security::Http);
    service.setAnswer({status, body});
    const HttpSession::Response response = get(service.baseUrl() + u"/x"_qs);
    QCOMPARE(response.httpStatus, status);
    if (delivered) {
        QVERIFY(!response.error);
        QCOMPARE(response.body, std::optional<QByteArray>(body));
    } else {
        QVERIFY(!response.body);
        QVERIFY(response.error);
        QCOMPARE(response.error->domain(), HttpSession::httpErrorDomain);
        QCOMPARE(response.error->code(), status);
        QCOMPARE(response.error->localizedDescription(), QStringLiteral("HTTP %1").arg(status));
    }
}

void tst_HttpSession::transportFailures_data()
{
    QTest::addColumn<int>("security");
    QTest::addColumn<int>("behaviour");
    QTest::addColumn<int>("code"); // expected error code; -1: any Qt network error

    const auto http = static_cast<int>(FakeService::Security::Http);
    const auto https = static_cast<int>(FakeService::Security::Https);
    const auto untrusted = static_cast<int>(FakeService::Security::HttpsUntrusted);
    using B = FakeService::Behaviour;
    QTest::newRow("untrusted certificate") << untrusted << static_cast<int>(B::Respond) << -1;
    QTest::newRow("reset mid-body") << http << static_cast<int>(B::ResetMidBody) << -1;
    QTest::newRow("truncated") << http << static_cast<int>(B::Truncate) << -1;
    QTest::newRow("oversized") << http << static_cast<int>(B::Oversized)
                               << static_cast<int>(HttpSession::BodyTooLarge);
    QTest::newRow("oversized, tls")
        << https << static_cast<int>(B::Oversized) << static_cast<int>(HttpSession::BodyTooLarge);
}

void tst_HttpSession::transportFailures()
{
    QFETCH(int, security);
    QFETCH(int, behaviour);
    QFETCH(int, code);

    FakeService service(static_cast<FakeService::Security>(security));
    FakeService::Answer answer;
    answer.body = QByteArray(64 * 1024, 'b');
    answer.behaviour = static_cast<FakeService::Behaviour>(behaviour);
    service.setAnswer(answer);

    const HttpSession::Response response = get(service.baseUrl() + u"/rssalarms?mac2&id=g"_qs);
    QVERIFY(!response.body);
    QVERIFY(response.error);
    QCOMPARE(response.error->domain(), HttpSession::transportErrorDomain);
    QVERIFY(!response.error->localizedDescription().isEmpty());
    if (code >= 0)
        QCOMPARE(response.error->code(), code);
    else
        QVERIFY2(response.error->code() > 0 && response.error->code() < HttpSession::BodyTooLarge,
                 qPrintable(response.error->localizedDescription()));
}

void tst_HttpSession::refusedConnection()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const quint16 port = server.serverPort();
    server.close();
    const HttpSession::Response response = get(QStringLiteral("http://127.0.0.1:%1/x").arg(port));
    QVERIFY(!response.body);
    QVERIFY(response.error);
    QCOMPARE(response.error->domain(), HttpSession::transportErrorDomain);
    QCOMPARE(response.error->code(), static_cast<int>(QNetworkReply::ConnectionRefusedError));
}

// The desktop's proxy settings reach the session through the environment.
void tst_HttpSession::proxyFromEnvironment()
{
    FakeService proxy;
    proxy.setAnswer({200, "via proxy"});
    qputenv("http_proxy", proxy.baseUrl().toUtf8());
    const HttpSession::Response response = get(u"http://feeds.tovo.example/rssalarms?mac2&id=g"_qs);
    qunsetenv("http_proxy");
    QCOMPARE(response.body, std::optional<QByteArray>("via proxy"));
    QCOMPARE(proxy.requestTargets(),
             QList<QByteArray>{"http://feeds.tovo.example/rssalarms?mac2&id=g"});
}

void tst_HttpSession::stalledTransferTimesOut()
{
    FakeService service;
    service.setAnswer({200, {}, FakeService::Behaviour::Stall});
    HttpSession::shared().setInactivityTimeout(std::chrono::milliseconds(300));
    const HttpSession::Response response = get(service.baseUrl() + u"/x"_qs);
    HttpSession::shared().setInactivityTimeout(HttpSession::defaultInactivityTimeout);
    QVERIFY(!response.body);
    QVERIFY(response.error);
    QCOMPARE(response.error->domain(), HttpSession::transportErrorDomain);
    QCOMPARE(response.error->code(), static_cast<int>(HttpSession::TimedOut));
}

QTEST_GUILESS_MAIN(tst_HttpSession)
#include "tst_HttpSession.moc"
