#pragma once
// One client connection of an HttpServer: reads a single HTTP/1.1 request head, within a size
// limit and an idle time, and hands it on; then the server's user answers it (respond) or does
// with the socket what it likes. A malformed or oversized head gets an error answer, a connection
// that stays idle is cut off, and the connection deletes itself (and its socket) once closed.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QTimer>
#include <optional>
#include <utility>

class QTcpSocket;

class HttpConnection : public QObject {
    Q_OBJECT
public:
    struct Request {
        QByteArray method;
        QByteArray target;      // exactly as it stood in the request line
        QByteArray headerLines; // "Name: value\r\n" each
    };
    using Header = std::pair<QByteArray, QByteArray>;

    static constexpr int idleTimeoutMs = 10000;

    // Takes `socket` over. `number` counts the server's connections from 0.
    HttpConnection(QTcpSocket* socket, qsizetype number, qsizetype maximumHeadSize,
                   QObject* parent = nullptr);

    qsizetype number() const { return m_number; }
    QTcpSocket* socket() const { return m_socket; }

    // Answers with `status`, `headers`, the Content-Length and `body`, then closes; a client that
    // never reads the answer is cut off after the idle time. Only the first answer counts.
    void respond(int status, const QList<Header>& headers, const QByteArray& body);
    // Ends the connection with a reset (RST) instead of a close.
    void reset();

    // The status line and header lines of an answer that closes its connection, with a
    // Content-Length when one is given.
    static QByteArray head(int status, const QList<Header>& headers,
                           std::optional<qsizetype> contentLength);

Q_SIGNALS:
    void requestReceived(const HttpConnection::Request& request);
    // A request that could not be read; it has been answered already.
    void requestRejected(int status);

private:
    void readHead();
    void reject(int status);

    QTcpSocket* const m_socket;
    const qsizetype m_number;
    const qsizetype m_maximumHeadSize;
    QByteArray m_head;
    QTimer m_idle;
    bool m_received = false;
    bool m_answered = false;
};
