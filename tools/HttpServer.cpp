#include "HttpServer.h"

#include <QSslSocket>

HttpServer::HttpServer(QObject* parent)
    : QTcpServer(parent)
{}

void HttpServer::setTlsConfiguration(TlsConfiguration configuration)
{
    m_tls = std::move(configuration);
}

void HttpServer::incomingConnection(qintptr descriptor)
{
    QSslSocket* tls = m_tls ? new QSslSocket : nullptr;
    QTcpSocket* socket = tls ? tls : new QTcpSocket;
    if (!socket->setSocketDescriptor(descriptor)) {
        delete socket;
        return;
    }
    auto* connection = new HttpConnection(socket, m_connections++, m_maximumHeadSize, this);
    connect(connection, &HttpConnection::requestReceived, this,
            [this, connection](const HttpConnection::Request& request) {
                Q_EMIT requestReceived(connection, request);
            });
    connect(connection, &HttpConnection::requestRejected, this,
            [this, connection](int status) { Q_EMIT requestRejected(connection, status); });
    Q_EMIT connectionOpened(connection);
    if (!tls)
        return;
    tls->setSslConfiguration(m_tls(connection->number()));
    // A failed handshake ends the connection; it never had a request.
    connect(tls, &QAbstractSocket::errorOccurred, connection, [tls, connection] {
        if (!tls->isEncrypted())
            connection->deleteLater();
    });
    tls->startServerEncryption();
}
