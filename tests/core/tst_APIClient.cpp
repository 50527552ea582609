#include "FakeService.h"
#include "TestCertificates.h"
#include "base/MainQueue.h"
#include "core/APIClient.h"

#include <QTest>
#include <QThread>
#include <atomic>

namespace {

QString describe(const QString& guid)
{
    return u"guid:"_qs + guid;
}

QString describe(const AlarmList& alarms)
{
    QStringList agents;
    for (const AlarmPtr& alarm : alarms)
        agents.append(alarm->alarmAgent());
    return u"alarms:"_qs + agents.join(u',');
}

QString describe(const Error& error)
{
    return error.domain() + u' ' + QString::number(error.code()) + u' ' +
           error.localizedDescription() +
           (error.userInfo().size() == 1 ? QString() : u" <more user info>"_qs);
}

// Runs one call of the client, from the main thread or from a worker, and describes its outcome.
// The thread contract is checked on the way: a "Wrong url" failure completes once, on the calling
// thread, before the call returns; any other outcome completes once, on the main thread, after it.
template <typename T>
QString run(const std::function<void(std::function<void(Result<T>)>)>& call, bool fromWorker)
{
    std::optional<Result<T>> result;
    std::atomic<int> calls = 0;
    std::atomic<bool> returned = false;
    std::atomic<bool> keptContract = true;
    const auto callOnce = [&] {
        QThread* const caller = QThread::currentThread();
        call([&, caller](Result<T> outcome) {
            const bool wrongUrl =
                !outcome.isSuccess() && outcome.error().localizedDescription() == u"Wrong url"_qs;
            keptContract =
                keptContract && returned != wrongUrl &&
                (wrongUrl ? QThread::currentThread() == caller : MainQueue::isMainThread());
            ++calls;
            result = std::move(outcome);
        });
        returned = true;
    };
    if (fromWorker) {
        std::unique_ptr<QThread> worker(QThread::create(callOnce));
        worker->start();
        worker->wait();
    } else {
        callOnce();
    }
    if (!QTest::qWaitFor([&] { return result.has_value(); }, 20000))
        return u"<no completion>"_qs;
    return (result->isSuccess() ? describe(result->value()) : describe(result->error())) +
           (calls == 1 && keptContract ? QString() : u" <thread contract broken>"_qs);
}

const QString email = u"Jane.Doe+ops@Example.COM"_qs;

// Signs in with `text` as the password, or fetches the feed of `text` as the guid.
QString call(bool signIn, const QString& text, bool fromWorker)
{
    APIClient& client = APIClient::sharedClient();
    if (signIn)
        return run<QString>([&](auto done) { client.authenticate(email, text, done); }, fromWorker);
    return run<AlarmList>([&](auto done) { client.alarmFeed(text, done); }, fromWorker);
}

const QString wrongUrl = u"TOVOErrorDomain 0 Wrong url"_qs;

} // namespace

class TestAPIClient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QVERIFY(TestCertificates::install()); }

    void init()
    {
        m_service = std::make_unique<FakeService>(FakeService::Security::Https);
        qputenv("TOVO_FEED_BASE", m_service->baseUrl().toUtf8());
        qputenv("TOVO_WEB_BASE", m_service->baseUrl().toUtf8());
    }

    void outcomes_data()
    {
        QTest::addColumn<bool>("signIn");
        QTest::addColumn<QString>("text"); // the guid, or the password
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("expected");

        const auto feed = [](const char* name, int status, const QByteArray& body,
                             const QString& expected, const QString& guid = u"g"_qs) {
            QTest::newRow(name) << false << guid << status << body << expected;
        };
        const QByteArray oneAlarm = "<rss><channel><item><title>web01: Critical</title>"
                                    "<description>Resource: CPU&lt;br&gt;Load</description>"
                                    "<guid>a1</guid></item></channel></rss>";
        feed("one alarm", 200, oneAlarm, u"alarms:web01"_qs, u"3F2504E0-4f89"_qs);
        feed("html page with 200", 200, "<html><body>x<br></body></html>", u"alarms:"_qs, u""_qs);
        feed("empty body", 200, "", u"alarms:"_qs, u"a%2Fb%20c+d%25%26%3F%23%3D%2B"_qs);
        // An outage is no empty feed: it would end the tray's silent first fetch.
        feed("503 even with a feed", 503, oneAlarm, u"HttpStatus 503 HTTP 503"_qs);
        feed("guid with blank", 200, oneAlarm, wrongUrl, u"a b"_qs);

        const auto signIn = [](const char* name, const QByteArray& body, const QString& expected,
                               const QString& password = u"pw"_qs) {
            QTest::newRow(name) << true << password << 200 << body << expected;
        };
        const QString error = u"TOVOErrorDomain 0 Error"_qs;
        signIn("guid kept as sent", "<?xml version=\"1.0\"?><guid> g \n</guid>", u"guid: g \n"_qs);
        signIn("empty guid element", "<guid/>", u"guid:"_qs);
        signIn("root differs in case", "<GUID>g</GUID>", error);
        signIn("prefixed root", "<x:guid xmlns:x=\"urn:x\">g</x:guid>", error);
        signIn("html that does not parse", "<html><body>Wrong password<br></body></html>", error);
        signIn("empty body", "", error);
        signIn("answer above its limit", "<guid>g</guid>" + QByteArray(64 * 1024, ' '),
               u"HttpTransport 1000 The answer is too large"_qs);
    }

    // Each call is made from the main thread and from a worker thread. Nothing of the GUID is
    // trimmed, encoded or case-folded on the way, a wrong URL sends nothing, and nothing is sent
    // twice (the session's own test has every misbehaviour of the service).
    void outcomes()
    {
        QFETCH(bool, signIn);
        QFETCH(QString, text);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QString, expected);

        m_service->setAnswer({status, body});
        for (const bool fromWorker : {false, true})
            QCOMPARE(call(signIn, text, fromWorker), expected);
        const QByteArray target =
            signIn ? "/resolveGUID?email=Jane.Doe%2Bops%40Example.COM&password=pw"
                   : "/rssalarms?mac2&id=" + text.toUtf8();
        QCOMPARE(m_service->requestTargets(),
                 (expected == wrongUrl ? QList<QByteArray>() : QList<QByteArray>{target, target}));
    }

    // The e-mail address and the password reach the service as typed: every byte outside the
    // unreserved characters percent-encoded, a blank included.
    void credentialsAreEncoded_data()
    {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("sent");
        QTest::newRow("query syntax")
            << u"pa#ss&admin=1%41+b"_qs << QByteArray("pa%23ss%26admin%3D1%2541%2Bb");
        QTest::newRow("blank") << u"secret word"_qs << QByteArray("secret%20word");
        QTest::newRow("sub-delimiters")
            << u"p!$'()*,;=:@/?"_qs << QByteArray("p%21%24%27%28%29%2A%2C%3B%3D%3A%40%2F%3F");
        QTest::newRow("non-ascii")
            << u"p\u00e4ss \U0001F600"_qs << QByteArray("p%C3%A4ss%20%F0%9F%98%80");
        QTest::newRow("unreserved") << u"Az09-._~"_qs << QByteArray("Az09-._~");
    }

    void credentialsAreEncoded()
    {
        QFETCH(QString, password);
        QFETCH(QByteArray, sent);
        m_service->setAnswer({200, "<guid>g</guid>"});
        QCOMPARE(call(true, password, false), u"guid:g"_qs);
        QCOMPARE(
            m_service->requestTargets(),
            QList<QByteArray>{"/resolveGUID?email=Jane.Doe%2Bops%40Example.COM&password=" + sent});
    }

private:
    std::unique_ptr<FakeService> m_service;
};

QTEST_GUILESS_MAIN(TestAPIClient)
#include "tst_APIClient.moc"
