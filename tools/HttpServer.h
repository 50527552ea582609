#pragma once
// A small HTTP/1.1 server on loopback for the demo service and the tests' fake service, not for
// the product: plain HTTP or TLS, one request per connection (HttpConnection). Connections are
// numbered in the order they arrive; a TLS one is given its configuration, by its number, before
// its handshake. It hands out requests through its signals, never through nextPendingConnection.

#include "HttpConnection.h"

#include <QSslConfiguration>
#include <QTcpServer>
#include <functional>

class HttpServer : public QTcpServer {
    Q_OBJECT
public:
    static constexpr qsizetype defaultMaximumHeadSize = 16 * 1024;
    using TlsConfiguration = std::function<QSslConfiguration(qsizetype connection)>;

    explicit HttpServer(QObject* parent = nullptr);

    // TLS for the connections from now on, configured one by one.
    void setTlsConfiguration(TlsConfiguration configuration);
    void setMaximumHeadSize(qsizetype size) { m_maximumHeadSize = size; }

Q_SIGNALS:
    // A new connection, before anything was read from it (a TLS one before its handshake).
    void connectionOpened(HttpConnection* connection);
    void requestReceived(HttpConnection* connection, const HttpConnection::Request& request);
    void requestRejected(HttpConnection* connection, int status);

protected:
    void incomingConnection(qintptr descriptor) override;

private:
    TlsConfiguration m_tls;
    qsizetype m_maximumHeadSize = defaultMaximumHeadSize;
    qsizetype m_connections = 0;
};
