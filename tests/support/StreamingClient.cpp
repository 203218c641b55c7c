#include "support/StreamingClient.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <utility>

namespace tavrin::test {

StreamingClient::StreamingClient(quint16 port, int receiveBuffer, const char* source)
    : m_fd(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
    if (receiveBuffer > 0)
        ::setsockopt(m_fd, SOL_SOCKET, SO_RCVBUF, &receiveBuffer, sizeof receiveBuffer);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    const bool bound = !source || (::inet_pton(AF_INET, source, &address.sin_addr) == 1 &&
                                   ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0);
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (!bound || ::connect(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0)
        hangUp();
}

StreamingClient::StreamingClient(StreamingClient&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_eof(other.m_eof), m_found(other.m_found), m_received(std::move(other.m_received)) {}

StreamingClient::~StreamingClient() { hangUp(); }

bool StreamingClient::send(QByteArrayView bytes) {
    return m_fd >= 0 && ::send(m_fd, bytes.data(), std::size_t(bytes.size()), MSG_NOSIGNAL) == bytes.size();
}

bool StreamingClient::send(const QByteArray& target, const QString& key, const QByteArray& body) {
    return send("POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nAuthorization: Bearer " + key.toUtf8() +
                "\r\nContent-Type: application/json\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body);
}

bool StreamingClient::readUntil(QByteArrayView text, int patienceMs) {
    qsizetype at = -1;
    while ((at = m_received.indexOf(text, m_found)) < 0)
        if (!readSome(patienceMs))
            return false;
    m_found = at + text.size();
    return true;
}

QByteArray StreamingClient::readToEnd() {
    while (!m_received.contains("\r\n0\r\n\r\n") && readSome(20000)) {
    }
    return m_received;
}

bool StreamingClient::closedByServer(int patienceMs) {
    while (readSome(patienceMs)) {
    }
    return m_eof;
}

bool StreamingClient::open() const {
    char c;
    return m_fd >= 0 && !m_eof && ::recv(m_fd, &c, 1, MSG_PEEK | MSG_DONTWAIT) < 0 && errno == EAGAIN;
}

void StreamingClient::hangUp() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

bool StreamingClient::readSome(int patienceMs) {
    if (m_fd < 0 || m_eof)
        return false;
    pollfd watch{m_fd, POLLIN, 0};
    if (::poll(&watch, 1, patienceMs) != 1)
        return false;
    char buffer[16384];
    const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
    if (n <= 0) {
        m_eof = true;
        return false;
    }
    m_received.append(buffer, n);
    return true;
}

} // namespace tavrin::test
