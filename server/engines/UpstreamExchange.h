#pragma once

#include "server/engines/UpstreamPool.h"
#include "server/engines/UpstreamRecords.h"
#include "server/runtime/InferenceEngine.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/ssl/context.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/ssl/ssl_stream.hpp>

#include <QString>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tavrin {

// Where an upstream engine is, read once from its base URL.
struct UpstreamTarget {
    bool tls = false;
    std::string host;
    std::string port;
    std::string basePath; // without a trailing slash: "/v1"
    QString address;      // scheme, host and port, for messages: never a path's query, never a user name

    static std::expected<UpstreamTarget, QString> parse(const QString& url);
};

struct UpstreamTimeouts {
    std::chrono::seconds connect{10};
    std::chrono::seconds whole{300}; // from the request's start to its answer's last byte
};

// One HTTP exchange with the upstream, on the I/O loop: resolve, connect, TLS (system's trust
// store, the host's name checked), the request, the answer's head, then its body as it comes.
// Every read is bounded (the head 16 KiB, the body `bodyLimit`), no redirect is followed, and every
// fault becomes an EngineFailure in the engine's words. Subclasses read the answer; all calls come
// on the loop, and none after cancel().
//
// Given a pool, the exchange asks to keep its connection, takes an idle one when there is one, and
// gives it back only when its answer was read to the end without a fault or a cancel. A request is
// never sent twice: a pooled connection found closed before anything was written to it is replaced
// by a fresh one, but one that fails after the request went out fails the exchange.
class UpstreamExchange : public std::enable_shared_from_this<UpstreamExchange> {
public:
    using Request = boost::beast::http::request<boost::beast::http::string_body>;

    UpstreamExchange(boost::asio::io_context& io, std::shared_ptr<boost::asio::ssl::context> tls, UpstreamTarget target,
                     UpstreamTimeouts timeouts, std::size_t bodyLimit, std::shared_ptr<UpstreamPool> pool = nullptr);
    virtual ~UpstreamExchange() = default;

    void start(Request request); // on the loop
    void cancel();               // from any thread: closes the connection; nothing more is heard

    static constexpr std::size_t headLimit = 16 * 1024;

protected:
    // The answer's status is 2xx. Then its body, piece by piece: false when the reader is done
    // with it (finished or failed on its own), which ends the exchange.
    virtual bool consume(std::string_view bytes) = 0;
    // The body ended as its head said it would.
    virtual void ended() = 0;
    virtual void fault(EngineFailure failure) = 0;
    // Cancelled: let go at once of whatever the caller gave (a generation's sink settles its
    // request when it goes, and must go while the server it settles with is still there).
    virtual void dropped() {}

    const UpstreamTarget& target() const { return m_target; }
    bool cancelled() const { return m_cancelled; }
    void finish(); // closes the connection once the reader is done
    // The reader has all it wants of the answer (its caller was told): the rest of the body is read
    // only to keep the connection, briefly, and no fault is reported any more.
    void settle();
    // An engine may echo the key it was sent (a refusal that quotes it): no text of the engine's
    // reaches a person with the key in it.
    QString withoutKey(QString text) const;

private:
    void fail(EngineFailure failure);
    void failWith(const boost::system::error_code& ec, const char* stage);
    void open();
    void release();
    void connect(const boost::asio::ip::tcp::resolver::results_type& endpoints);
    void connected();
    void send();
    void readHead();
    void landBodyIn();
    void readBody();
    void readError();

    template <class F> void onStream(F&& f) {
        if (m_connection.tls)
            f(*m_connection.tls);
        else
            f(*m_connection.plain);
    }
    boost::beast::tcp_stream& lowest() { return m_connection.lowest(); }

    boost::asio::io_context& m_io;
    std::shared_ptr<boost::asio::ssl::context> m_tlsContext;
    UpstreamTarget m_target;
    UpstreamTimeouts m_timeouts;
    std::size_t m_bodyLimit;
    boost::asio::ip::tcp::resolver m_resolver;
    boost::asio::steady_timer m_deadline;
    std::shared_ptr<UpstreamPool> m_pool;
    UpstreamConnection m_connection;
    Request m_request;
    std::string m_wire; // the request as sent, kept to send again on a fresh connection
    boost::beast::flat_buffer m_buffer;
    std::optional<boost::beast::http::response_parser<boost::beast::http::buffer_body>> m_parser;
    std::unique_ptr<char[]> m_chunk; // where the body's bytes land
    std::string m_errorBody; // a refusal's body, read to a small limit
    int m_status = 0;
    bool m_cancelled = false;
    bool m_done = false;
    bool m_timedOut = false;
    bool m_connecting = true;
    bool m_reused = false;  // the connection came from the pool
    bool m_settled = false;
};

} // namespace tavrin
