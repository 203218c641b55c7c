#include "server/engines/UpstreamPool.h"

#include <boost/asio/post.hpp>

#include <sys/socket.h>

#include <cerrno>

namespace tavrin {

namespace net = boost::asio;
namespace beast = boost::beast;

beast::tcp_stream& UpstreamConnection::lowest() { return tls ? beast::get_lowest_layer(*tls) : *plain; }

void UpstreamConnection::close() {
    if (!plain && !tls)
        return;
    beast::error_code ignored;
    lowest().socket().shutdown(net::ip::tcp::socket::shutdown_both, ignored);
    lowest().socket().close(ignored);
}

namespace {

// An idle connection has nothing to read: a byte waiting is the engine's close (or a TLS alert
// before it), either way the end of that connection. Asked without waiting, and without taking the byte.
bool stillOpen(UpstreamConnection& connection) {
    auto& socket = connection.lowest().socket();
    if (!socket.is_open())
        return false;
    char byte;
    const ssize_t got = ::recv(socket.native_handle(), &byte, 1, MSG_PEEK | MSG_DONTWAIT);
    return got < 0 && (errno == EAGAIN || errno == EWOULDBLOCK);
}

} // namespace

UpstreamPool::UpstreamPool(net::io_context& io, std::size_t idleLimit) : m_io(io), m_idleLimit(idleLimit) {}

std::optional<UpstreamConnection> UpstreamPool::take() {
    while (!m_idle.empty()) {
        UpstreamConnection connection = std::move(m_idle.back());
        m_idle.pop_back();
        if (stillOpen(connection))
            return connection;
        connection.close();
    }
    return std::nullopt;
}

void UpstreamPool::give(UpstreamConnection connection) {
    if (m_retired.load() || m_idle.size() >= m_idleLimit)
        return connection.close();
    m_idle.push_back(std::move(connection));
}

void UpstreamPool::retire() {
    m_retired = true;
    net::post(m_io, [self = shared_from_this()] {
        for (auto& connection : self->m_idle)
            connection.close();
        self->m_idle.clear();
    });
}

} // namespace tavrin
