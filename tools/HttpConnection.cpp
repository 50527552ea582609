#include "HttpConnection.h"

#include <QTcpSocket>
#include <sys/socket.h>

namespace {

QByteArray reason(int status)
{
    switch (status) {
    case 200:
        return "OK";
    case 400:
        return "Bad Request";
    case 404:
        return "Not Found";
    case 405:
        return "Method Not Allowed";
    case 431:
        return "Request Header Fields Too Large";
    default:
        return "Error";
    }
}

} // namespace

HttpConnection::HttpConnection(QTcpSocket* socket, qsizetype number, qsizetype maximumHeadSize,
                               QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_number(number)
    , m_maximumHeadSize(maximumHeadSize)
{
    m_socket->setParent(this);
    m_idle.setSingleShot(true);
    m_idle.setInterval(idleTimeoutMs);
    connect(&m_idle, &QTimer::timeout, m_socket, &QTcpSocket::abort);
    connect(m_socket, &QTcpSocket::readyRead, this, &HttpConnection::readHead);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    m_idle.start();
}

void HttpConnection::readHead()
{
    if (m_received) {
        m_socket->readAll(); // one request per connection
        return;
    }
    m_idle.start();
    m_head += m_socket->read(m_maximumHeadSize + 1 - m_head.size());
    const qsizetype end = m_head.indexOf("\r\n\r\n");
    if (end < 0) {
        if (m_head.size() > m_maximumHeadSize)
            reject(431);
        return;
    }
    m_received = true;
    m_idle.stop();
    const qsizetype lineEnd = m_head.indexOf("\r\n");
    const QList<QByteArray> parts = m_head.left(lineEnd).split(' ');
    // Origin form ("/path?query"), or as a proxy is sent: absolute form, or a CONNECT's
    // "host:port".
    if (parts.size() != 3 || parts[0].isEmpty() ||
        !(parts[1].startsWith('/') || parts[1].contains("://") || parts[0] == "CONNECT") ||
        !parts[2].startsWith("HTTP/1.")) {
        reject(400);
        return;
    }
    Q_EMIT requestReceived({parts[0], parts[1], m_head.mid(lineEnd + 2, end - lineEnd)});
}

void HttpConnection::reject(int status)
{
    m_received = true;
    respond(status, {{"Content-Type", "text/plain"}}, reason(status) + '\n');
    Q_EMIT requestRejected(status);
}

void HttpConnection::respond(int status, const QList<Header>& headers, const QByteArray& body)
{
    if (std::exchange(m_answered, true))
        return;
    m_socket->write(head(status, headers, body.size()) + body);
    m_idle.start();
    // Closes once the answer is written.
    m_socket->disconnectFromHost();
}

void HttpConnection::reset()
{
    // Closing a socket that lingers for zero seconds makes the kernel send RST instead of FIN.
    const linger option{1, 0};
    ::setsockopt(static_cast<int>(m_socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &option,
                 sizeof option);
    m_socket->abort();
}

QByteArray HttpConnection::head(int status, const QList<Header>& headers,
                                std::optional<qsizetype> contentLength)
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) +
                      "\r\nConnection: close\r\n";
    if (contentLength)
        text += "Content-Length: " + QByteArray::number(*contentLength) + "\r\n";
    for (const auto& [name, value] : headers)
        text += name + ": " + value + "\r\n";
    return text + "\r\n";
}
