#include "FakeService.h"

#include "TestCertificates.h"

#include <QSslConfiguration>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <algorithm>
#include <functional>
#include <memory>
#include <sys/socket.h>

namespace {

const char* bufferProperty = "fakeServiceBuffer";
const char* connectionProperty = "fakeServiceConnection";
// An oversized body goes out a piece at a time, as the client takes it.
constexpr qsizetype streamPiece = 256 * 1024;

QByteArray head(int status, const QList<std::pair<QByteArray, QByteArray>>& headers,
                std::optional<qsizetype> contentLength)
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(status) +
                      (status == 200 ? " OK" : " Fake Status") + "\r\nConnection: close\r\n";
    if (contentLength)
        text += "Content-Length: " + QByteArray::number(*contentLength) + "\r\n";
    for (const auto& [name, value] : headers)
        text += name + ": " + value + "\r\n";
    return text + "\r\n";
}

// Closing a socket that lingers for zero seconds makes the kernel send RST instead of FIN.
void reset(QTcpSocket* socket)
{
    const linger option{1, 0};
    ::setsockopt(static_cast<int>(socket->socketDescriptor()), SOL_SOCKET, SO_LINGER, &option,
                 sizeof option);
    socket->abort();
}

QSslConfiguration serverConfiguration(const TestCertificates::Identity& identity)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setLocalCertificate(identity.certificate);
    configuration.setPrivateKey(identity.key);
    configuration.setPeerVerifyMode(QSslSocket::VerifyNone);
    return configuration;
}

// A TLS server that hands each connection to `start` before its handshake begins, so it can
// be numbered and given its identity, and queues it once the handshake is done.
class TlsServer : public QTcpServer {
public:
    TlsServer(std::function<void(QSslSocket*)> start, QObject* parent)
        : QTcpServer(parent)
        , m_start(std::move(start))
    {}

protected:
    void incomingConnection(qintptr descriptor) override
    {
        auto* socket = new QSslSocket(this);
        if (!socket->setSocketDescriptor(descriptor)) {
            delete socket;
            return;
        }
        m_start(socket);
        connect(socket, &QSslSocket::encrypted, this, [this, socket] {
            socket->disconnect(this);
            addPendingConnection(socket);
        });
        connect(socket, &QAbstractSocket::errorOccurred, this, [socket] {
            if (!socket->isEncrypted())
                socket->deleteLater();
        });
        socket->startServerEncryption();
    }

private:
    std::function<void(QSslSocket*)> m_start;
};

} // namespace

FakeService::FakeService(Security security, QObject* parent)
    : QObject(parent)
    , m_security(security)
    , m_handler([](qsizetype, const QByteArray&) { return Answer(); })
{
    m_clock.start();
    if (security == Security::Http) {
        m_server = new QTcpServer(this);
    } else {
        // A TLS connection counts from its handshake on: one that fails is never accepted.
        m_server = new TlsServer(
            [this](QSslSocket* socket) {
                const qsizetype number = open(socket);
                socket->setSslConfiguration(serverConfiguration(
                    m_security == Security::Https && !(m_untrusted && m_untrusted(number))
                        ? TestCertificates::trustedServer()
                        : TestCertificates::untrustedServer()));
            },
            this);
    }
    connect(m_server, &QTcpServer::pendingConnectionAvailable, this, &FakeService::accept);
    m_server->listen(QHostAddress::LocalHost);
    m_port = m_server->serverPort();
}

FakeService::~FakeService() = default;

QString FakeService::baseUrl() const
{
    return QStringLiteral("%1://127.0.0.1:%2")
        .arg(m_security == Security::Http ? QStringLiteral("http") : QStringLiteral("https"))
        .arg(port());
}

quint16 FakeService::port() const
{
    return m_port;
}

void FakeService::setAnswer(Answer answer)
{
    m_handler = [answer = std::move(answer)](qsizetype, const QByteArray&) { return answer; };
}

void FakeService::setHandler(Handler handler)
{
    m_handler = [handler = std::move(handler)](qsizetype, const QByteArray& target) {
        return handler(target);
    };
}

void FakeService::setConnectionHandler(ConnectionHandler handler)
{
    m_handler = std::move(handler);
}

void FakeService::setUntrustedConnections(std::function<bool(qsizetype connection)> untrusted)
{
    m_untrusted = std::move(untrusted);
}

bool FakeService::setListening(bool listening)
{
    if (!listening) {
        m_server->close();
        return true;
    }
    return m_server->isListening() || m_server->listen(QHostAddress::LocalHost, m_port);
}

qsizetype FakeService::open(QTcpSocket* socket)
{
    const qsizetype number = m_connections.size();
    m_connections.append({m_clock.elapsed(), -1});
    socket->setProperty(connectionProperty, number);
    const auto closed = [this, number] {
        if (m_connections[number].closedMs < 0)
            m_connections[number].closedMs = m_clock.elapsed();
    };
    connect(socket, &QTcpSocket::disconnected, this, closed);
    connect(socket, &QObject::destroyed, this, closed);
    return number;
}

void FakeService::accept()
{
    while (QTcpSocket* socket = m_server->nextPendingConnection()) {
        if (!socket->property(connectionProperty).isValid())
            open(socket);
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        read(socket);
    }
}

void FakeService::read(QTcpSocket* socket)
{
    QByteArray buffer = socket->property(bufferProperty).toByteArray() + socket->readAll();
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    if (end < 0) {
        socket->setProperty(bufferProperty, buffer);
        return;
    }
    socket->setProperty(bufferProperty, QByteArray());
    disconnect(socket, &QTcpSocket::readyRead, this, nullptr); // one request per connection
    const qsizetype lineEnd = buffer.indexOf("\r\n");
    const QList<QByteArray> requestLine = buffer.left(lineEnd).split(' ');
    const QByteArray target = requestLine.size() == 3 ? requestLine[1] : QByteArray();
    m_targets.append(target);
    m_headers.append(buffer.mid(lineEnd + 2, end + 2 - (lineEnd + 2)));
    Q_EMIT requestReceived(target);
    answer(socket, m_handler(socket->property(connectionProperty).value<qsizetype>(), target));
}

void FakeService::answer(QTcpSocket* socket, const Answer& answer)
{
    switch (answer.behaviour) {
    case Behaviour::Respond:
        socket->write(head(answer.status, answer.headers, answer.body.size()) + answer.body);
        socket->disconnectFromHost();
        break;
    case Behaviour::Stall:
        break;
    case Behaviour::Reset:
        reset(socket);
        break;
    case Behaviour::ResetMidBody:
        socket->write(head(answer.status, answer.headers, answer.body.size()) +
                      answer.body.left(answer.body.size() / 2));
        socket->flush();
        reset(socket);
        break;
    case Behaviour::Truncate:
        socket->write(head(answer.status, answer.headers, answer.body.size() + 1000) + answer.body);
        socket->disconnectFromHost();
        break;
    case Behaviour::Oversized: {
        socket->write(head(answer.status, answer.headers, std::nullopt));
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
        socket->write(head(answer.status, headers, answer.body.size()) + answer.body);
        socket->disconnectFromHost();
        break;
    }
    case Behaviour::Drip: {
        socket->write(head(answer.status, answer.headers, answer.body.size()));
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
