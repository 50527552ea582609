#include "FakeService.h"

#include "HttpServer.h"
#include "TestCertificates.h"

#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <memory>

// An oversized body goes out a piece at a time, as the client takes it.
constexpr qsizetype streamPiece = 256 * 1024;

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
    case Behaviour::Oversized: {
        socket->write(HttpConnection::head(answer.status, answer.headers, std::nullopt));
        static const QByteArray piece(streamPiece, 'x');
        const auto more = [socket, left = std::make_shared<qsizetype>(answer.oversizedSize)] {
            for (; *left > 0 && socket->bytesToWrite() < streamPiece; *left -= streamPiece)
                socket->write(piece.left(std::min(*left, streamPiece)));
            if (*left <= 0)
                socket->disconnectFromHost(); // once the rest is written
        };
        connect(socket, &QTcpSocket::bytesWritten, socket, more);
        more();
        break;
    }
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
