#include "FakeService.h"

#include "HttpServer.h"
#include "TestCertificates.h"

#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <memory>

namespace {

// An oversized body goes out a piece at a time, as the client takes it: `piece` again and again
// until at least `size` bytes are sent, then `end`, then the connection closes.
void stream(QTcpSocket* socket, const QByteArray& piece, qsizetype size, const QByteArray& end = {})
{
    const auto more = [=, left = std::make_shared<qsizetype>(size)] {
        if (*left <= 0)
            return;
        for (; *left > 0 && socket->bytesToWrite() < 4 * piece.size(); *left -= piece.size())
            socket->write(piece);
        if (*left <= 0) {
            socket->write(end);
            socket->disconnectFromHost(); // once the rest is written
        }
    };
    QObject::connect(socket, &QTcpSocket::bytesWritten, socket, more);
    more();
}

} // namespace

FakeService::FakeService(Security security, QObject* parent)
    : QObject(parent)
    , m_security(security)
    , m_server(new HttpServer(this))
    , m_handler([](const QByteArray&) { return Answer(); })
{
    // Whatever the client sends is recorded, however large.
    m_server->setMaximumHeadSize(64 * 1024 * 1024);
    if (security != Security::Http) {
        const bool trusted = security == Security::Https;
        m_server->setTlsConfiguration(
            [trusted](qsizetype) { return TestCertificates::server(trusted); });
    }
    connect(m_server, &HttpServer::requestReceived, this, &FakeService::receive);
    m_server->listen(QHostAddress::LocalHost);
    m_port = m_server->serverPort();
}

QString FakeService::baseUrl() const
{
    return QStringLiteral("%1://127.0.0.1:%2")
        .arg(m_security == Security::Http ? QStringLiteral("http") : QStringLiteral("https"))
        .arg(m_port);
}

void FakeService::setAnswer(Answer answer)
{
    m_handler = [answer = std::move(answer)](const QByteArray&) { return answer; };
}

void FakeService::setHandler(Handler handler)
{
    m_handler = std::move(handler);
}

FakeService::Answer FakeService::answerTo(qsizetype /*connection*/, const QByteArray& target)
{
    return m_handler(target);
}

void FakeService::receive(HttpConnection* connection, const HttpConnection::Request& request)
{
    m_targets.append(request.target);
    m_headers.append(request.headerLines);
    answer(connection, answerTo(connection->number(), request.target));
}

void FakeService::answer(HttpConnection* connection, const Answer& answer)
{
    QTcpSocket* socket = connection->socket();
    const QByteArray head = HttpConnection::head(answer.status, answer.headers, answer.body.size());
    switch (answer.behaviour) {
    case Behaviour::Respond:
        connection->respond(answer.status, answer.headers, answer.body);
        break;
    case Behaviour::Stall:
        break;
    case Behaviour::Reset:
        connection->reset();
        break;
    case Behaviour::ResetMidBody:
        socket->write(head + answer.body.left(answer.body.size() / 2));
        socket->flush();
        connection->reset();
        break;
    case Behaviour::Truncate:
        socket->write(
            HttpConnection::head(answer.status, answer.headers, answer.body.size() + 1000) +
            answer.body);
        socket->disconnectFromHost();
        break;
    case Behaviour::Oversized:
        socket->write(HttpConnection::head(answer.status, answer.headers, std::nullopt));
        stream(socket, QByteArray(64 * 1024, 'x'), answer.oversizedSize);
        break;
    case Behaviour::ChunkExtensions:
        socket->write(
            HttpConnection::head(
                answer.status,
                answer.headers + QList<HttpConnection::Header>{{"Transfer-Encoding", "chunked"}},
                std::nullopt)
                .replace("Connection: close\r\n", ""));
        stream(socket, "1;" + QByteArray(8 * 1024 - 7, 'e') + "\r\nx\r\n", answer.oversizedSize,
               "0\r\n\r\n");
        break;
    case Behaviour::HeaderFlood: {
        auto headers = answer.headers;
        const QByteArray value(8 * 1024, 'h');
        for (qsizetype sent = 0; sent < headerFloodSize; sent += value.size())
            headers.append({"X-Flood-" + QByteArray::number(sent), value});
        connection->respond(answer.status, headers, answer.body);
        break;
    }
    case Behaviour::Drip: {
        socket->write(head);
        auto* timer = new QTimer(socket); // stops with the connection
        connect(timer, &QTimer::timeout, socket, [socket, body = answer.body, sent = 0]() mutable {
            if (sent < body.size())
                socket->write(body.mid(sent++, 1));
        });
        timer->start(dripIntervalMs);
        break;
    }
    case Behaviour::Garbage:
        socket->write(QByteArray("\x16\x03\x01 not an answer\r\n\r\n") + answer.body);
        socket->disconnectFromHost();
        break;
    }
}
