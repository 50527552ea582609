#pragma once
// The tests' fake service with what only the soak needs: answers chosen by connection number,
// the untrusted certificate on the connections chosen, refusing connections for a while, and the
// time each connection was open.

#include "FakeService.h"

#include <QElapsedTimer>

class SoakService : public FakeService {
public:
    using ConnectionHandler = std::function<Answer(qsizetype connection, const QByteArray& target)>;

    // Milliseconds since the service was made; closedMs is -1 while the connection is open.
    struct Connection {
        qint64 openedMs = 0;
        qint64 closedMs = -1;
    };

    SoakService();

    void setConnectionHandler(ConnectionHandler handler) { m_handler = std::move(handler); }
    // The connections, by number, that get the untrusted certificate.
    void setUntrustedConnections(std::function<bool(qsizetype connection)> untrusted);
    // Stops accepting (new connections are refused) or accepts again on the same port.
    bool setListening(bool listening);
    const QList<Connection>& connections() const { return m_connections; }

protected:
    Answer answerTo(qsizetype connection, const QByteArray& target) override;

private:
    void open(HttpConnection* connection);

    ConnectionHandler m_handler;
    QElapsedTimer m_clock;
    QList<Connection> m_connections;
};
