#include "FakeService.h"
#include "TestCertificates.h"
#include "platform/HttpSession.h"

#include <QNetworkReply>
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

using Security = FakeService::Security;
using Behaviour = FakeService::Behaviour;

} // namespace

class tst_HttpSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(TestCertificates::install()); }

    // Sent as given, except for QUrl's normalisation of escapes, which leaves the decoded value as
    // it was. The client's own request targets are checked through the client.
    void requestTargetIsSentExactly()
    {
        FakeService service;
        for (const char* target :
             {"/r?id=%2F%25%20%3D%26%3F%23%2B", "/a//b/?c=/d??e/./..", "/r?id=%7e%41%2f%3d"})
            get(service.baseUrl() + QString::fromLatin1(target));
        QCOMPARE(service.requestTargets(),
                 (QList<QByteArray>{"/r?id=%2F%25%20%3D%26%3F%23%2B", "/a//b/?c=/d??e/./..",
                                    "/r?id=~A%2F%3D"}));
    }

    void answers_data()
    {
        QTest::addColumn<Security>("security");
        QTest::addColumn<int>("behaviour"); // -1: nothing listens
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("domain"); // empty: the body is delivered
        QTest::addColumn<int>("code");       // -1: any of Qt's network errors

        const auto row = [](const char* name, Security security, int behaviour, int status,
                            const QString& domain = {}, int code = 0) {
            QTest::newRow(name) << security << behaviour << status << domain << code;
        };
        const auto respond = static_cast<int>(Behaviour::Respond);
        const QString http = HttpSession::httpErrorDomain;
        const QString transport = HttpSession::transportErrorDomain;
        row("http 200", Security::Http, respond, 200);
        row("https 200", Security::Https, respond, 200);
        // An error status is no answer: its page is held back and the status becomes the error.
        row("404 page", Security::Http, respond, 404, http, 404);
        row("500 page", Security::Https, respond, 500, http, 500);
        row("refused connection", Security::Http, -1, 0, transport,
            QNetworkReply::ConnectionRefusedError);
        row("untrusted certificate", Security::HttpsUntrusted, respond, 0, transport, -1);
        row("reset mid-body", Security::Http, static_cast<int>(Behaviour::ResetMidBody), 200,
            transport, -1);
        row("truncated", Security::Http, static_cast<int>(Behaviour::Truncate), 200, transport, -1);
        row("stalled", Security::Http, static_cast<int>(Behaviour::Stall), 0, transport,
            HttpSession::TimedOut);
        for (const Security security : {Security::Http, Security::Https})
            row(security == Security::Http ? "oversized" : "oversized, tls", security,
                static_cast<int>(Behaviour::Oversized), 200, transport, HttpSession::BodyTooLarge);
    }

    void answers()
    {
        QFETCH(Security, security);
        QFETCH(int, behaviour);
        QFETCH(int, status);
        QFETCH(QString, domain);
        QFETCH(int, code);

        auto service = std::make_unique<FakeService>(security);
        const QString url = service->baseUrl() + u"/rssalarms?mac2&id=g"_qs;
        const QByteArray body(64 * 1024, 'b');
        if (behaviour < 0)
            service.reset();
        else
            service->setAnswer({status, body, static_cast<Behaviour>(behaviour)});
        if (behaviour == static_cast<int>(Behaviour::Stall))
            HttpSession::shared().setInactivityTimeout(std::chrono::milliseconds(300));
        const HttpSession::Response response = get(url);
        HttpSession::shared().setInactivityTimeout(HttpSession::defaultInactivityTimeout);

        if (domain.isEmpty()) {
            QVERIFY(!response.error);
            QCOMPARE(response.httpStatus, status);
            QCOMPARE(response.body, std::optional<QByteArray>(body));
            return;
        }
        QVERIFY(!response.body);
        QVERIFY(response.error);
        QCOMPARE(response.error->domain(), domain);
        const QString description = response.error->localizedDescription();
        if (code >= 0)
            QCOMPARE(response.error->code(), code);
        else
            QVERIFY2(response.error->code() > 0 &&
                         response.error->code() < HttpSession::BodyTooLarge,
                     qPrintable(description));
        if (domain == HttpSession::httpErrorDomain) {
            QCOMPARE(response.httpStatus, status);
            QCOMPARE(description, u"HTTP %1"_qs.arg(status));
        }
        QVERIFY(!description.isEmpty());
    }

    // The desktop's proxy settings reach the session through the environment.
    void proxyFromEnvironment()
    {
        FakeService proxy;
        proxy.setAnswer({200, "via proxy"});
        qputenv("http_proxy", proxy.baseUrl().toUtf8());
        const HttpSession::Response response =
            get(u"http://feeds.tovo.example/rssalarms?mac2&id=g"_qs);
        qunsetenv("http_proxy");
        QCOMPARE(response.body, std::optional<QByteArray>("via proxy"));
        QCOMPARE(proxy.requestTargets(),
                 QList<QByteArray>{"http://feeds.tovo.example/rssalarms?mac2&id=g"});
    }
};

QTEST_GUILESS_MAIN(tst_HttpSession)
#include "tst_HttpSession.moc"
