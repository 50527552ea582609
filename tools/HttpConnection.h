#pragma once
// One client connection of the demo service: reads a single HTTP/1.1 request head, hands the
// request line on, writes one answer and closes. Oversized, malformed or stalled requests get
// an error answer or are dropped; the connection deletes itself when it is closed.

#include <QByteArray>
#include <QObject>
#include <QTimer>

class QSslSocket;

class HttpConnection : public QObject {
    Q_OBJECT
public:
    static constexpr qsizetype maxHeadSize = 16 * 1024;
    static constexpr int idleTimeoutMs = 10000;

    explicit HttpConnection(QSslSocket* socket, QObject* parent = nullptr);

    void respond(int status, const QByteArray& contentType, const QByteArray& body);

Q_SIGNALS:
    // method and target exactly as they stood in the request line
    void requestReceived(const QByteArray& method, const QByteArray& target);
    // A request that could not be read; it has been answered already.
    void requestRejected(int status);

private:
    void readHead();
    void reject(int status);

    QSslSocket* socket;
    QByteArray head;
    QTimer idle;
    bool answered = false;
};
