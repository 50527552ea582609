#include "net/ReceivedBytes.h"

#include <algorithm>
#include <cstddef>
#include <linux/tcp.h>
#include <netinet/in.h>
#include <sys/socket.h>

namespace {

qint64 receivedOn(int socket)
{
    tcp_info info{};
    socklen_t size = sizeof info;
    if (::getsockopt(socket, IPPROTO_TCP, TCP_INFO, &info, &size) != 0 ||
        size < offsetof(tcp_info, tcpi_bytes_received) + sizeof info.tcpi_bytes_received)
        return 0;
    return static_cast<qint64>(info.tcpi_bytes_received);
}

} // namespace

void ReceivedBytes::add(int socket)
{
    m_sockets.push_back(socket);
}

bool ReceivedBytes::close(int socket)
{
    const auto found = std::find(m_sockets.begin(), m_sockets.end(), socket);
    if (found == m_sockets.end())
        return false;
    m_closed += receivedOn(socket);
    m_sockets.erase(found);
    return true;
}

qint64 ReceivedBytes::total() const
{
    qint64 total = m_closed;
    for (const int socket : m_sockets)
        total += receivedOn(socket);
    return total;
}

qint64 ReceivedBytes::latest() const
{
    return m_sockets.empty() ? 0 : receivedOn(m_sockets.back());
}

void ReceivedBytes::cutOff() const
{
    for (const int socket : m_sockets)
        ::shutdown(socket, SHUT_RD);
}
