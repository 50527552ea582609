#include "FakeService.h"
#include "TestCertificates.h"
#include "net/HttpSession.h"

#include <QRegularExpression>
#include <QTest>

namespace {

const qint64 feedLimit = 16 * 1024 * 1024;

// Runs one GET through `session` and waits for its completion.
HttpSession::Response get(HttpSession& session, const QString& url, qint64 limit = feedLimit)
{
    std::optional<HttpSession::Response> response;
    session.get(url, limit, [&](HttpSession::Response r) { response = std::move(r); });
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

class TestHttpSession : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(TestCertificates::install()); }

    // An error status is no answer: its page is held back and the status becomes the error.
    // Whatever the service does, the call puts one request on the wire, ends in bounded time and
    // memory, stores none of the cookies it is sent, and the next request goes through.
    void answers_data()
    {
        QTest::addColumn<Security>("security");
        QTest::addColumn<int>("behaviour"); // -1: nothing listens
        QTest::addColumn<int>("status");
        QTest::addColumn<qint64>("limit");
        QTest::addColumn<QString>("pattern"); // what describe() gives, as a regular expression

        const auto row = [](const char* name, Security security, int behaviour, int status,
                            const char* pattern, qint64 limit = feedLimit) {
            QTest::newRow(name) << security << behaviour << status << limit
                                << QString::fromUtf8(pattern);
        };
        const auto respond = static_cast<int>(Behaviour::Respond);
        const auto misbehaving = [&](const char* name, Behaviour behaviour, const char* pattern) {
            row(name, Security::Http, static_cast<int>(behaviour), 200, pattern);
        };
        const char* const tooLarge = "\\d+ HttpTransport 1000 The answer is too large";
        const char* const timedOut = "\\d+ HttpTransport 1002 The request timed out";
        row("http 200", Security::Http, respond, 200, "200 body 65536");
        row("404 page", Security::Http, respond, 404, "404 HttpStatus 404 HTTP 404");
        row("refused connection", Security::Http, -1, 0,
            "0 HttpTransport 7 Couldn't connect to server");
        row("untrusted certificate", Security::HttpsUntrusted, respond, 200,
            "0 HttpTransport 60 SSL peer certificate or SSH remote key was not OK");
        row("body above the caller's limit", Security::Http, respond, 200, tooLarge, 1024);
        misbehaving("reset", Behaviour::Reset,
                    "0 HttpTransport 56 Failure when receiving data from the peer");
        misbehaving("reset mid-body", Behaviour::ResetMidBody,
                    "200 HttpTransport 56 Failure when receiving data from the peer");
        misbehaving("truncated", Behaviour::Truncate,
                    "200 HttpTransport 18 Transferred a partial file");
        misbehaving("stalled", Behaviour::Stall, timedOut);
        misbehaving("drip past the deadline", Behaviour::Drip, timedOut);
        misbehaving("garbage", Behaviour::Garbage, "0 HttpTransport 1 Unsupported protocol");
        misbehaving("header flood", Behaviour::HeaderFlood,
                    "200 HttpTransport 1003 The answer's headers are too large");
        misbehaving("oversized", Behaviour::Oversized, tooLarge);
        row("oversized, tls", Security::Https, static_cast<int>(Behaviour::Oversized), 200,
            tooLarge);
        // What libcurl reads and discards counts as well.
        const qint64 signInLimit = 64 * 1024;
        const auto chunks = static_cast<int>(Behaviour::ChunkExtensions);
        row("chunk extensions", Security::Http, chunks, 200, tooLarge, signInLimit);
        row("redirect with a long body", Security::Http, chunks, 302, tooLarge, signInLimit);
        row("redirect with a long body, tls", Security::Https, chunks, 302, tooLarge, signInLimit);
    }

    void answers()
    {
        QFETCH(Security, security);
        QFETCH(int, behaviour);
        QFETCH(int, status);
        QFETCH(qint64, limit);
        QFETCH(QString, pattern);

        auto service = std::make_unique<FakeService>(security);
        const QString url = service->baseUrl() + u"/rssalarms?mac2&id=g"_qs;
        if (behaviour < 0) {
            service.reset();
        } else {
            FakeService::Answer answer(status, QByteArray(64 * 1024, 'b'), Behaviour(behaviour));
            for (const QByteArray name : {"a", "b", "c"})
                answer.headers.append({"Set-Cookie", name + "=" + QByteArray(1000, 'c')});
            if (status / 100 == 3)
                answer.headers.append({QByteArray("Location"), QByteArray("/next")});
            service->setAnswer(answer);
        }
        HttpSession session;
        if (behaviour == static_cast<int>(Behaviour::Stall))
            session.setInactivityTimeout(std::chrono::milliseconds(500));
        if (behaviour == static_cast<int>(Behaviour::Drip))
            session.setDeadline(std::chrono::milliseconds(1000));
        const QString text = describe(get(session, url, limit));
        QVERIFY2(
            QRegularExpression(QRegularExpression::anchoredPattern(pattern)).match(text).hasMatch(),
            qPrintable(text));
        if (!service || security == Security::HttpsUntrusted)
            return;

        service->setAnswer({200, "ok"});
        QCOMPARE(describe(get(session, url)), u"200 body 2"_qs);
        QCOMPARE(service->requestTargets().size(), 2);
        QVERIFY2(!service->requestHeaders().last().toLower().contains("cookie:"),
                 service->requestHeaders().last().constData());
    }

    // The desktop's proxy settings reach the session through the environment. A proxy's answer
    // to CONNECT may take no more than the headers' bound, whatever the body's.
    void proxyFromEnvironment_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<int>("bodySize"); // of the proxy's 407 answer to CONNECT
        QTest::addColumn<QString>("pattern");
        const char* const refused = "0 HttpTransport 56 Failure when receiving data from the peer";
        QTest::newRow("https_proxy") << QByteArray("https_proxy") << 100 << refused;
        QTest::newRow("HTTPS_PROXY") << QByteArray("HTTPS_PROXY") << 100 << refused;
        QTest::newRow("all_proxy") << QByteArray("all_proxy") << 100 << refused;
        QTest::newRow("ALL_PROXY") << QByteArray("ALL_PROXY") << 100 << refused;
        QTest::newRow("407 with a large body") << QByteArray("https_proxy") << 1024 * 1024
                                               << "0 HttpTransport 1000 The answer is too large";
    }

    void proxyFromEnvironment()
    {
        QFETCH(QByteArray, variable);
        QFETCH(int, bodySize);
        QFETCH(QString, pattern);
        FakeService proxy;
        proxy.setAnswer({407, QByteArray(bodySize, 'p')});
        qputenv(variable, proxy.baseUrl().toUtf8());
        HttpSession session;
        const QString text =
            describe(get(session, u"https://feeds.tovo.example/rssalarms?mac2&id=g"_qs));
        qunsetenv(variable);
        QCOMPARE(text, pattern);
        QCOMPARE(proxy.requestTargets(), QList<QByteArray>{"feeds.tovo.example:443"});
    }

    // Plain http goes to this machine only, so neither a proxy nor a redirect takes it (and the
    // GUID in its URL) anywhere else.
    void plainHttpStaysOnItsHost_data()
    {
        QTest::addColumn<QByteArray>("location"); // of a redirect from "/"; none: "/" answers
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QList<QByteArray>>("targets"); // the service's
        QTest::newRow("no redirect") << QByteArray() << u"200 body 2"_qs << QList<QByteArray>{"/"};
        QTest::newRow("redirect on the host")
            << QByteArray("/next") << u"200 body 2"_qs << QList<QByteArray>{"/", "/next"};
        QTest::newRow("redirect to another host")
            << QByteArray("http://feeds.tovo.example/next")
            << u"302 HttpTransport 1004 The answer redirects to another host"_qs
            << QList<QByteArray>{"/"};
        QTest::newRow("redirect to https on another host")
            << QByteArray("https://feeds.tovo.example/next")
            << u"302 HttpTransport 1004 The answer redirects to another host"_qs
            << QList<QByteArray>{"/"};
        QTest::newRow("redirect by another name of this machine")
            << QByteArray("//localhost/next")
            << u"302 HttpTransport 1004 The answer redirects to another host"_qs
            << QList<QByteArray>{"/"};
    }

    void plainHttpStaysOnItsHost()
    {
        QFETCH(QByteArray, location);
        QFETCH(QString, expected);
        QFETCH(QList<QByteArray>, targets);
        FakeService proxy;
        FakeService service;
        service.setHandler([&](const QByteArray& target) {
            FakeService::Answer answer(200, "ok");
            if (target == "/" && !location.isEmpty())
                answer = {302, {}};
            answer.headers.append({"Location", location});
            return answer;
        });
        qputenv("http_proxy", proxy.baseUrl().toUtf8());
        HttpSession session;
        const QString text = describe(get(session, service.baseUrl() + u"/"_qs));
        qunsetenv("http_proxy");
        QCOMPARE(text, expected);
        QCOMPARE(service.requestTargets(), targets);
        QCOMPARE(proxy.requestTargets(), QList<QByteArray>());
    }
};

QTEST_GUILESS_MAIN(TestHttpSession)
#include "tst_HttpSession.moc"
