// The demo service answers a request it cannot read and goes on serving; the end-to-end runs
// drive its sign-in and feed.

#include "DemoCertificates.h"
#include "DemoService.h"

#include <QSslSocket>
#include <QTest>

using namespace Qt::StringLiterals;

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
    void oversizedRequestIsAnsweredAndServiceGoesOn()
    {
        QVERIFY2(m_certificates.create(), qPrintable(m_certificates.error()));
        m_service = std::make_unique<DemoService>(
            DemoService::Account{u"demo@tovo.example"_s, u"demo1234"_s, u"GUID"_s},
            AlarmTimeline(AlarmTimeline::Mode::Growing, 3));
        QVERIFY(
            m_service->listen(0, m_certificates.serverCertificate(), m_certificates.serverKey()));
        const QByteArray longTarget(HttpServer::defaultMaximumHeadSize, 'a');
        QVERIFY(exchange("GET /" + longTarget + " HTTP/1.1\r\n\r\n").startsWith("HTTP/1.1 431"));
        QVERIFY(exchange("GET / HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").startsWith("HTTP/1.1 200"));
    }
};

QTEST_GUILESS_MAIN(TestDemoService)
#include "tst_DemoService.moc"
