#include "HttpConnection.h"

#include <QSslSocket>

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

HttpConnection::HttpConnection(QSslSocket* socket_, QObject* parent)
    : QObject(parent)
    , socket(socket_)
{
    socket->setParent(this);
    idle.setSingleShot(true);
    idle.setInterval(idleTimeoutMs);
    connect(&idle, &QTimer::timeout, socket, &QSslSocket::abort);
    connect(socket, &QSslSocket::readyRead, this, &HttpConnection::readHead);
    connect(socket, &QSslSocket::disconnected, this, &QObject::deleteLater);
    idle.start();
    if (socket->state() != QAbstractSocket::ConnectedState)
        deleteLater();
    else if (socket->bytesAvailable() > 0)
        readHead();
}

void HttpConnection::readHead()
{
    if (answered) {
        socket->readAll();
        return;
    }
    idle.start();
    head += socket->read(maxHeadSize + 1 - head.size());
    const qsizetype end = head.indexOf("\r\n\r\n");
    if (end < 0) {
        if (head.size() > maxHeadSize)
            reject(431);
        return;
    }
    const QByteArray requestLine = head.left(head.indexOf("\r\n"));
    const QList<QByteArray> parts = requestLine.split(' ');
    if (parts.size() != 3 || parts[0].isEmpty() || !parts[1].startsWith('/') ||
        !parts[2].startsWith("HTTP/1.")) {
        reject(400);
        return;
    }
    Q_EMIT requestReceived(parts[0], parts[1]);
}

void HttpConnection::reject(int status)
{
    respond(status, "text/plain", reason(status) + '\n');
    Q_EMIT requestRejected(status);
}

void HttpConnection::respond(int status, const QByteArray& contentType, const QByteArray& body)
{
    if (answered)
        return;
    answered = true;
    QByteArray answer = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reason(status) +
                        "\r\nContent-Type: " + contentType +
                        "\r\nContent-Length: " + QByteArray::number(body.size()) +
                        "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" + body;
    socket->write(answer);
    // Closes once the answer is written; a client that never reads it is cut off by the timer.
    socket->disconnectFromHost();
}
