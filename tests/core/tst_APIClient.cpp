#include "FakeService.h"
#include "TestCertificates.h"
#include "core/APIClient.h"
#include "platform/HttpSession.h"
#include "platform/MainQueue.h"

#include <QTcpServer>
#include <QTest>
#include <QThread>

namespace {

// One completion: its result, how often and where it ran, and whether before the call returned.
template <typename T> struct Outcome {
    std::optional<Result<T>> result;
    int calls = 0;
    bool onMainThread = false;
    bool beforeReturn = false;
};

template <typename T, typename Call> Outcome<T> run(Call call)
{
    Outcome<T> outcome;
    bool returned = false;
    call([&](Result<T> result) {
        outcome.result = std::move(result);
        ++outcome.calls;
        outcome.onMainThread = MainQueue::isMainThread();
        outcome.beforeReturn = !returned;
    });
    returned = true;
    [&] { QTRY_VERIFY_WITH_TIMEOUT(outcome.result.has_value(), 20000); }();
    return outcome;
}

Outcome<AlarmList> alarmFeed(const QString& guid)
{
    return run<AlarmList>([&](auto done) { APIClient::sharedClient().alarmFeed(guid, done); });
}

Outcome<QString> authenticate(const QString& email, const QString& password)
{
    return run<QString>(
        [&](auto done) { APIClient::sharedClient().authenticate(email, password, done); });
}

const QByteArray oneAlarm = "<rss><channel><item><title>web01: Critical</title>"
                            "<description>Resource: CPU&lt;br&gt;Load</description>"
                            "<guid>a1</guid></item></channel></rss>";

} // namespace

class tst_APIClient : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void requestUrls_data();
    void requestUrls();
    void rejectedUrlFailsSynchronouslyWithoutRequest_data();
    void rejectedUrlFailsSynchronouslyWithoutRequest();
    void feedOutcomes_data();
    void feedOutcomes();
    void signInAnswers_data();
    void signInAnswers();
    void transportErrorsPassThrough();
    void feedFromWorkerThreadCompletesOnMainThread();

private:
    std::unique_ptr<FakeService> m_service;
};

void tst_APIClient::initTestCase()
{
    QVERIFY(TestCertificates::install());
}

void tst_APIClient::init()
{
    m_service = std::make_unique<FakeService>(FakeService::Security::Https);
    qputenv("TOVO_FEED_BASE", m_service->baseUrl().toUtf8());
    qputenv("TOVO_WEB_BASE", m_service->baseUrl().toUtf8());
}

// Nothing is trimmed, encoded or case-folded on the way.
void tst_APIClient::requestUrls_data()
{
    QTest::addColumn<QString>("guid"); // null: sign in instead
    QTest::addColumn<QByteArray>("target");

    QTest::newRow("feed") << u"3F2504E0-4f89"_qs << QByteArray("/rssalarms?mac2&id=3F2504E0-4f89");
    QTest::newRow("feed, empty guid") << u""_qs << QByteArray("/rssalarms?mac2&id=");
    QTest::newRow("feed, escapes")
        << u"a%2Fb%20c+d"_qs << QByteArray("/rssalarms?mac2&id=a%2Fb%20c+d");
    QTest::newRow("sign-in") << QString()
                             << QByteArray("/resolveGUID?email=Jane.Doe+ops@Example.COM"
                                           "&password=p!$'()*,;=:@&x=y");
}

void tst_APIClient::requestUrls()
{
    QFETCH(QString, guid);
    QFETCH(QByteArray, target);
    m_service->setAnswer({200, "<guid>g</guid>"});
    if (guid.isNull())
        authenticate(u"Jane.Doe+ops@Example.COM"_qs, u"p!$'()*,;=:@&x=y"_qs);
    else
        alarmFeed(guid);
    QCOMPARE(m_service->requestTargets(), QList<QByteArray>{target});
}

void tst_APIClient::rejectedUrlFailsSynchronouslyWithoutRequest_data()
{
    QTest::addColumn<bool>("signIn");
    QTest::addColumn<QString>("text"); // the guid, or the password

    QTest::newRow("guid with blank") << false << u"a b"_qs;
    QTest::newRow("guid with non-ascii") << false << u"caf\u00e9"_qs;
    QTest::newRow("guid with bad escape") << false << u"50%"_qs;
    QTest::newRow("password with blank") << true << u"secret word"_qs;
}

void tst_APIClient::rejectedUrlFailsSynchronouslyWithoutRequest()
{
    QFETCH(bool, signIn);
    QFETCH(QString, text);

    // Also from a worker thread: the failure runs on the calling thread before the call returns.
    for (const bool fromWorker : {false, true}) {
        int calls = 0;
        bool beforeReturn = false;
        std::optional<Error> error;
        bool onCallingThread = false;
        const auto call = [&] {
            bool returned = false;
            QThread* const caller = QThread::currentThread();
            auto record = [&](const auto& result) {
                ++calls;
                beforeReturn = !returned;
                onCallingThread = QThread::currentThread() == caller;
                if (!result.isSuccess())
                    error = result.error();
            };
            if (signIn)
                APIClient::sharedClient().authenticate(u"a@b.c"_qs, text, record);
            else
                APIClient::sharedClient().alarmFeed(text, record);
            returned = true;
        };
        if (fromWorker) {
            std::unique_ptr<QThread> worker(QThread::create(call));
            worker->start();
            QVERIFY(worker->wait());
        } else {
            call();
        }
        QCOMPARE(calls, 1);
        QVERIFY(beforeReturn);
        QVERIFY(onCallingThread);
        QVERIFY(error);
        QCOMPARE(error->domain(), u"TOVOErrorDomain"_qs);
        QCOMPARE(error->code(), 0);
        QCOMPARE(error->localizedDescription(), u"Wrong url"_qs);
        QCOMPARE(error->userInfo().size(), 1);
    }
    // A request made after the rejected ones is the first and only one to arrive.
    alarmFeed(u"after"_qs);
    QCOMPARE(m_service->requestTargets(), QList<QByteArray>{"/rssalarms?mac2&id=after"});
}

void tst_APIClient::feedOutcomes_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<int>("alarms"); // -1: Failure with an HTTP error

    QTest::newRow("one alarm") << 200 << oneAlarm << 1;
    QTest::newRow("html page with 200")
        << 200 << QByteArray("<html><body>x<br></body></html>") << 0;
    QTest::newRow("empty body") << 200 << QByteArray() << 0;
    // An outage is no empty feed: it would end the tray's silent first fetch.
    QTest::newRow("500 with html") << 500 << QByteArray("<html><body>down</body></html>") << -1;
    QTest::newRow("503 even with a feed") << 503 << oneAlarm << -1;
}

void tst_APIClient::feedOutcomes()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(int, alarms);

    m_service->setAnswer({status, body});
    const Outcome<AlarmList> outcome = alarmFeed(u"g"_qs);
    QCOMPARE(outcome.calls, 1);
    QVERIFY(outcome.onMainThread);
    QVERIFY(!outcome.beforeReturn);
    if (alarms < 0) {
        QVERIFY(!outcome.result->isSuccess());
        QCOMPARE(outcome.result->error().domain(), HttpSession::httpErrorDomain);
        QCOMPARE(outcome.result->error().code(), status);
    } else {
        QVERIFY(outcome.result->isSuccess());
        QCOMPARE(outcome.result->value().size(), alarms);
    }
}

void tst_APIClient::signInAnswers_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QString>("guid"); // null: Failure "Error"

    QTest::newRow("guid kept as sent")
        << 200 << QByteArray("<?xml version=\"1.0\"?><guid> g \n</guid>") << u" g \n"_qs;
    QTest::newRow("empty guid element") << 200 << QByteArray("<guid/>") << u""_qs;
    QTest::newRow("nested text") << 200 << QByteArray("<guid>a<b>b</b><![CDATA[c]]></guid>")
                                 << u"abc"_qs;
    QTest::newRow("root differs in case") << 200 << QByteArray("<GUID>g</GUID>") << QString();
    QTest::newRow("prefixed root")
        << 200 << QByteArray("<x:guid xmlns:x=\"urn:x\">g</x:guid>") << QString();
    QTest::newRow("html that does not parse")
        << 200 << QByteArray("<html><body>Wrong password<br></body></html>") << QString();
    QTest::newRow("not xml") << 200 << QByteArray("Wrong password") << QString();
    QTest::newRow("empty body") << 200 << QByteArray() << QString();
}

void tst_APIClient::signInAnswers()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QString, guid);

    m_service->setAnswer({status, body});
    const Outcome<QString> outcome = authenticate(u"a@b.c"_qs, u"pw"_qs);
    QCOMPARE(outcome.calls, 1);
    QVERIFY(outcome.onMainThread);
    if (guid.isNull()) {
        QVERIFY(!outcome.result->isSuccess());
        QCOMPARE(outcome.result->error().domain(), u"TOVOErrorDomain"_qs);
        QCOMPARE(outcome.result->error().code(), 0);
        QCOMPARE(outcome.result->error().localizedDescription(), u"Error"_qs);
    } else {
        QVERIFY(outcome.result->isSuccess());
        QCOMPARE(outcome.result->value(), guid);
    }
}

void tst_APIClient::transportErrorsPassThrough()
{
    QTcpServer closed;
    QVERIFY(closed.listen(QHostAddress::LocalHost));
    const QByteArray base = "http://127.0.0.1:" + QByteArray::number(closed.serverPort());
    closed.close();
    qputenv("TOVO_FEED_BASE", base);
    qputenv("TOVO_WEB_BASE", base);

    const Outcome<AlarmList> feed = alarmFeed(u"g"_qs);
    QVERIFY(!feed.result->isSuccess());
    QCOMPARE(feed.result->error().domain(), HttpSession::transportErrorDomain);
    QVERIFY(feed.onMainThread);
    const Outcome<QString> signIn = authenticate(u"a@b.c"_qs, u"pw"_qs);
    QVERIFY(!signIn.result->isSuccess());
    QCOMPARE(signIn.result->error().domain(), HttpSession::transportErrorDomain);
}

void tst_APIClient::feedFromWorkerThreadCompletesOnMainThread()
{
    m_service->setAnswer({200, oneAlarm});
    std::optional<Result<AlarmList>> result;
    bool onMain = false;
    std::unique_ptr<QThread> worker(QThread::create([&] {
        APIClient::sharedClient().alarmFeed(u"g"_qs, [&](Result<AlarmList> r) {
            onMain = MainQueue::isMainThread();
            result = std::move(r);
        });
    }));
    worker->start();
    QVERIFY(worker->wait());
    QTRY_VERIFY(result.has_value());
    QVERIFY(onMain);
    QVERIFY(result->isSuccess());
    QCOMPARE(result->value().first()->alarmAgent(), u"web01"_qs);
}

QTEST_GUILESS_MAIN(tst_APIClient)
#include "tst_APIClient.moc"
