#include "SoakService.h"

#include "HttpServer.h"
#include "TestCertificates.h"

#include <QTcpSocket>

SoakService::SoakService()
    : FakeService(Security::Https)
{
    m_clock.start();
    connect(server(), &HttpServer::connectionOpened, this, &SoakService::open);
}

void SoakService::setUntrustedConnections(std::function<bool(qsizetype connection)> untrusted)
{
    server()->setTlsConfiguration([untrusted = std::move(untrusted)](qsizetype connection) {
        return TestCertificates::server(!untrusted(connection));
    });
}

bool SoakService::setListening(bool listening)
{
    if (!listening) {
        server()->close();
        return true;
    }
    return server()->isListening() || server()->listen(QHostAddress::LocalHost, port());
}

FakeService::Answer SoakService::answerTo(qsizetype connection, const QByteArray& target)
{
    return m_handler ? m_handler(connection, target) : FakeService::answerTo(connection, target);
}

void SoakService::open(HttpConnection* connection)
{
    const qsizetype number = connection->number();
    Q_ASSERT(number == m_connections.size());
    m_connections.append({m_clock.elapsed(), -1});
    const auto closed = [this, number] {
        if (m_connections[number].closedMs < 0)
            m_connections[number].closedMs = m_clock.elapsed();
    };
    connect(connection->socket(), &QTcpSocket::disconnected, this, closed);
    connect(connection->socket(), &QObject::destroyed, this, closed);
}
