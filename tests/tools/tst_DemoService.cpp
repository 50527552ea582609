// The demo service answers a request it cannot read and goes on serving; the end-to-end runs
// drive its sign-in and feed.

#include "DemoCertificates.h"
#include "DemoService.h"

#include <QSslSocket>
#include <QTest>

using namespace Qt::StringLiterals;

class TestDemoService : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oversizedRequestIsAnsweredAndServiceGoesOn()
    {
        DemoCertificates certificates;
        QVERIFY2(certificates.create(), qPrintable(certificates.error()));
        DemoService service(DemoService::Account{u"demo@tovo.example"_s, u"demo1234"_s, u"GUID"_s},
                            AlarmTimeline(AlarmTimeline::Mode::Growing, 3));
        QVERIFY(service.listen(0, certificates.serverCertificate(), certificates.serverKey()));
        // The whole answer to `request`, on a connection of its own.
        const auto exchange = [&service](const QByteArray& request) {
            QSslSocket socket;
            socket.setPeerVerifyMode(QSslSocket::VerifyNone);
            socket.connectToHostEncrypted(u"127.0.0.1"_s, service.port());
            if (!QTest::qWaitFor([&socket] { return socket.isEncrypted(); }, 10000))
                return QByteArray();
            socket.write(request);
            QByteArray answer;
            const bool closed = QTest::qWaitFor(
                [&] {
                    answer += socket.readAll();
                    return socket.state() == QAbstractSocket::UnconnectedState;
                },
                10000);
            return closed ? answer + socket.readAll() : QByteArray();
        };
        const QByteArray longTarget(HttpServer::defaultMaximumHeadSize, 'a');
        QVERIFY(exchange("GET /" + longTarget + " HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 431"));
        QVERIFY(exchange("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").startsWith("HTTP/1.1 200"));
    }
};

QTEST_GUILESS_MAIN(TestDemoService)
#include "tst_DemoService.moc"
