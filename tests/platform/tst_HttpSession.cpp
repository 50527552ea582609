#include "FakeService.h"
#include "TestCertificates.h"
#include "platform/HttpSession.h"

#include <QRegularExpression>
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

// "<status> body <size>" for an answer, "<status> <domain> <code> <description>" for a failure.
QString describe(const HttpSession::Response& response)
{
    QString text = QString::number(response.httpStatus);
    if (response.body)
        text += u" body "_qs + QString::number(response.body->size());
    if (const std::optional<Error>& error = response.error)
        text += u' ' + error->domain() + u' ' + QString::number(error->code()) + u' ' +
                error->localizedDescription();
    return text;
}

using Security = FakeService::Security;
using Behaviour = FakeService::Behaviour;

} // namespace

class tst_HttpSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(TestCertificates::install()); }

    // An error status is no answer: its page is held back and the status becomes the error.
    void answers_data()
    {
        QTest::addColumn<Security>("security");
        QTest::addColumn<int>("behaviour"); // -1: nothing listens
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("pattern"); // what describe() gives, as a regular expression

        const auto row = [](const char* name, Security security, int behaviour, int status,
                            const char* pattern) {
            QTest::newRow(name) << security << behaviour << status << QString::fromUtf8(pattern);
        };
        const auto respond = static_cast<int>(Behaviour::Respond);
        const char* const qtError = "\\d+ TOVOTransportErrorDomain [1-9]\\d{0,2} .+";
        row("http 200", Security::Http, respond, 200, "200 body 65536");
        row("404 page", Security::Http, respond, 404, "404 TOVOHTTPErrorDomain 404 HTTP 404");
        row("refused connection", Security::Http, -1, 0,
            "0 TOVOTransportErrorDomain 1 Connection refused");
        row("untrusted certificate", Security::HttpsUntrusted, respond, 200, qtError);
        row("reset mid-body", Security::Http, static_cast<int>(Behaviour::ResetMidBody), 200,
            qtError);
        row("truncated", Security::Http, static_cast<int>(Behaviour::Truncate), 200, qtError);
        row("stalled", Security::Http, static_cast<int>(Behaviour::Stall), 200,
            "0 TOVOTransportErrorDomain 4 The request timed out");
        for (const Security security : {Security::Http, Security::Https})
            row(security == Security::Http ? "oversized" : "oversized, tls", security,
                static_cast<int>(Behaviour::Oversized), 200,
                "\\d+ TOVOTransportErrorDomain 1000 The answer is too large");
    }

    void answers()
    {
        QFETCH(Security, security);
        QFETCH(int, behaviour);
        QFETCH(int, status);
        QFETCH(QString, pattern);

        auto service = std::make_unique<FakeService>(security);
        const QString url = service->baseUrl() + u"/rssalarms?mac2&id=g"_qs;
        if (behaviour < 0)
            service.reset();
        else
            service->setAnswer({status, QByteArray(64 * 1024, 'b'), Behaviour(behaviour)});
        if (behaviour == static_cast<int>(Behaviour::Stall))
            HttpSession::shared().setInactivityTimeout(std::chrono::milliseconds(300));
        const QString text = describe(get(url));
        HttpSession::shared().setInactivityTimeout(HttpSession::defaultInactivityTimeout);
        QVERIFY2(
            QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch(),
            qPrintable(text));
    }

    // The desktop's proxy settings reach the session through the environment.
    void proxyFromEnvironment()
    {
        const QString url = u"http://feeds.tovo.example/rssalarms?mac2&id=g"_qs;
        FakeService proxy;
        proxy.setAnswer({200, "via proxy"});
        qputenv("http_proxy", proxy.baseUrl().toUtf8());
        const QString text = describe(get(url));
        qunsetenv("http_proxy");
        QCOMPARE(text, u"200 body 9"_qs);
        QCOMPARE(proxy.requestTargets(), QList<QByteArray>{url.toUtf8()});
    }
};

QTEST_GUILESS_MAIN(tst_HttpSession)
#include "tst_HttpSession.moc"
