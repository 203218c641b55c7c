#pragma once

#include <boost/asio/io_context.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/ssl/ssl_stream.hpp>

#include <atomic>
#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

namespace tavrin {

// An upstream connection between two exchanges: plain or TLS, as its engine speaks.
struct UpstreamConnection {
    std::unique_ptr<boost::beast::tcp_stream> plain;
    std::unique_ptr<boost::beast::ssl_stream<boost::beast::tcp_stream>> tls;

    boost::beast::tcp_stream& lowest();
    void close();
};

// One engine's idle connections, kept so that a generation does not pay for a connection (and a
// TLS handshake) of its own, as a reverse proxy keeps its upstream's. Only a connection whose last
// answer was read to its end, unasked to close and left nothing unread comes back; the most
// recently used goes out first, so that the others age out at the engine rather than here.
// A connection the engine has closed meanwhile is found before anything is written to it, and
// let go. At most `idleLimit` wait; once retired, none does.
//
// take() and give() on the loop; retire() from any thread.
class UpstreamPool : public std::enable_shared_from_this<UpstreamPool> {
public:
    UpstreamPool(boost::asio::io_context& io, std::size_t idleLimit);

    std::optional<UpstreamConnection> take();
    void give(UpstreamConnection connection);
    void retire();

    std::size_t idle() const { return m_idle.size(); }

private:
    boost::asio::io_context& m_io;
    std::size_t m_idleLimit;
    std::atomic<bool> m_retired = false;
    std::vector<UpstreamConnection> m_idle;
};

} // namespace tavrin
