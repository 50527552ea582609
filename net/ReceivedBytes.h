#pragma once
// What the connections of one request have received, as the kernel counts it (TCP_INFO): every
// byte off the wire, whatever libcurl then makes of it (headers, bodies it hands over or discards,
// chunk framing, TLS records, a proxy's answers). A request may open and close several
// connections (redirects); each counts from its opening until it closes.

#include <QtGlobal>
#include <vector>

class ReceivedBytes {
public:
    // Starts counting what `socket`, a new TCP connection, receives.
    void add(int socket);
    // Counts `socket` one last time before it closes; false when it is not one of these.
    bool close(int socket);
    qint64 total() const;
    // What the connection added last has received, while it is open.
    qint64 latest() const;
    // Ends reading on the open connections, so that libcurl's next read on them finds their end.
    void cutOff() const;

private:
    std::vector<int> m_sockets;
    qint64 m_closed = 0; // received by the connections closed so far
};
