#include "server/engines/UpstreamExchange.h"

#include <boost/asio/post.hpp>
#include <boost/asio/write.hpp>
#include <boost/asio/ssl/error.hpp>
#include <boost/asio/ip/address.hpp>
#include <boost/beast/core/error.hpp>

#include <QUrl>

#include <openssl/ssl.h>
#include <openssl/x509_vfy.h>

namespace tavrin {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
namespace ssl = net::ssl;

namespace {

// A refusal's body is read this far; what a person reads of it, shorter still.
constexpr std::size_t errorBodyLimit = 64 * 1024;
// What one read of an answer takes in; every open generation holds a buffer of it.
constexpr std::size_t readPiece = 16 * 1024;
// After its last event, what is left of an answer (a chunked body's end) comes at once from an
// engine that keeps its connection; one that does not send it soon loses the connection.
constexpr auto drainPatience = std::chrono::seconds(2);

QString seconds(std::chrono::seconds span) {
    return span.count() == 1 ? QStringLiteral("1 second") : QStringLiteral("%1 seconds").arg(span.count());
}

QString describe(const boost::system::error_code& ec) {
    return QString::fromStdString(ec.message()).toLower();
}

} // namespace

std::expected<UpstreamTarget, QString> UpstreamTarget::parse(const QString& url) {
    const QUrl parsed(url, QUrl::StrictMode);
    const QString scheme = parsed.scheme().toLower();
    if (!parsed.isValid() || parsed.host().isEmpty() || (scheme != QLatin1StringView("http") && scheme != QLatin1StringView("https")))
        return std::unexpected(QStringLiteral("The engine's address must be an http or https URL."));
    UpstreamTarget target;
    target.tls = scheme == QLatin1StringView("https");
    target.host = parsed.host(QUrl::FullyEncoded).toStdString();
    if (target.host.starts_with('[')) // an IPv6 literal: the resolver wants it bare
        target.host = target.host.substr(1, target.host.size() - 2);
    const int port = parsed.port(target.tls ? 443 : 80);
    target.port = std::to_string(port);
    QString path = parsed.path(QUrl::FullyEncoded);
    while (path.endsWith(QLatin1Char('/')))
        path.chop(1);
    target.basePath = path.toStdString();
    // Scheme, host and port only: a user name or password in the URL never reaches a message.
    target.address = scheme + QStringLiteral("://") + parsed.host(QUrl::FullyEncoded) +
                     (parsed.port() >= 0 ? QStringLiteral(":%1").arg(port) : QString());
    return target;
}

namespace {

// The request as it goes on the wire, written once: Beast's serializer took more of the loop's
// time for this one small message than reading the whole answer's head.
std::string wireOf(const UpstreamExchange::Request& request) {
    std::string wire;
    wire.reserve(256 + request.body().size());
    const auto method = request.method_string();
    const auto target = request.target();
    wire.append(method.data(), method.size()).append(" ").append(target.data(), target.size()).append(" HTTP/1.1\r\n");
    for (const auto& field : request) {
        const auto name = field.name_string();
        const auto value = field.value();
        wire.append(name.data(), name.size()).append(": ").append(value.data(), value.size()).append("\r\n");
    }
    return wire.append("\r\n").append(request.body());
}

} // namespace

UpstreamExchange::UpstreamExchange(net::io_context& io, std::shared_ptr<ssl::context> tls, UpstreamTarget target,
                                   UpstreamTimeouts timeouts, std::size_t bodyLimit, std::shared_ptr<UpstreamPool> pool)
    : m_io(io), m_tlsContext(std::move(tls)), m_target(std::move(target)), m_timeouts(timeouts), m_bodyLimit(bodyLimit),
      m_resolver(io), m_deadline(io), m_pool(std::move(pool)) {
    // The parser reads into this buffer as far as its room goes: left to grow on its own it takes
    // 512 bytes a read, and a burst of pieces came as a dozen reads, each written on to the client
    // on its own.
    m_buffer.reserve(readPiece);
}

void UpstreamExchange::start(Request request) {
    if (m_done)
        return; // cancelled before it began
    m_request = std::move(request);
    m_request.version(11);
    const bool v6 = m_target.host.find(':') != std::string::npos;
    m_request.set(http::field::host, (v6 ? "[" + m_target.host + "]" : m_target.host) + ":" + m_target.port);
    m_request.set(http::field::user_agent, "tavrin-server");
    m_request.keep_alive(m_pool != nullptr);
    m_request.prepare_payload();
    m_wire = wireOf(m_request);
    m_request.body().clear(); // sent from m_wire; the head stays to be asked about
    m_request.body().shrink_to_fit();
    m_deadline.expires_after(m_timeouts.whole);
    m_deadline.async_wait([self = shared_from_this()](boost::system::error_code ec) {
        if (ec || self->m_done)
            return;
        self->m_timedOut = true;
        self->m_resolver.cancel();
        beast::error_code ignored;
        self->lowest().socket().close(ignored); // the pending operation fails, and says why below
    });
    if (auto idle = m_pool ? m_pool->take() : std::nullopt) {
        m_connection = std::move(*idle);
        m_reused = true;
        return send();
    }
    open();
}

void UpstreamExchange::open() {
    m_reused = false;
    m_connecting = true;
    if (m_target.tls) {
        m_connection.tls = std::make_unique<beast::ssl_stream<beast::tcp_stream>>(m_io, *m_tlsContext);
        // The certificate must name the host asked for. OpenSSL checks the name itself (rather than
        // a verify callback), so that a certificate for another host fails with a reason of its own.
        // A name is also told in the handshake; an address never is.
        SSL* handle = m_connection.tls->native_handle();
        boost::system::error_code notAddress;
        (void)net::ip::make_address(m_target.host, notAddress);
        const bool named = notAddress ? ::SSL_set_tlsext_host_name(handle, m_target.host.c_str()) == 1 &&
                                            ::SSL_set1_host(handle, m_target.host.c_str()) == 1
                                      : ::X509_VERIFY_PARAM_set1_ip_asc(::SSL_get0_param(handle), m_target.host.c_str()) == 1;
        // Without its name to check, any certificate a trusted authority signed would pass.
        if (!named)
            return fail({502, "upstream_untrusted",
                         QStringLiteral("The engine at %1 cannot be checked against its certificate, so it is not trusted.")
                             .arg(m_target.address)});
        m_connection.tls->set_verify_mode(ssl::verify_peer);
    } else {
        m_connection.plain = std::make_unique<beast::tcp_stream>(m_io);
    }
    // An engine given by its address needs no lookup: the resolver works on a thread of its own,
    // and the way there and back would come before every generation's first byte.
    boost::system::error_code notLiteral;
    const auto literal = net::ip::make_address(m_target.host, notLiteral);
    if (!notLiteral)
        return connect(net::ip::tcp::resolver::results_type::create(
            net::ip::tcp::endpoint(literal, net::ip::port_type(std::stoi(m_target.port))), m_target.host, m_target.port));
    m_resolver.async_resolve(m_target.host, m_target.port,
                             [self = shared_from_this()](boost::system::error_code ec, net::ip::tcp::resolver::results_type results) {
                                 if (self->m_done)
                                     return;
                                 if (ec)
                                     return self->failWith(ec, "resolve");
                                 self->connect(results);
                             });
}

void UpstreamExchange::connect(const net::ip::tcp::resolver::results_type& endpoints) {
    lowest().expires_after(m_timeouts.connect);
    lowest().async_connect(endpoints, [self = shared_from_this()](beast::error_code ec, const auto&) {
        if (self->m_done)
            return;
        if (ec)
            return self->failWith(ec, "connect");
        // What goes upstream in more than one write (a request over TLS) does not wait for the
        // first write to be acknowledged.
        beast::error_code ignored;
        self->lowest().socket().set_option(net::ip::tcp::no_delay(true), ignored);
        self->connected();
    });
}

void UpstreamExchange::connected() {
    if (!m_connection.tls)
        return send();
    lowest().expires_after(m_timeouts.connect);
    m_connection.tls->async_handshake(ssl::stream_base::client, [self = shared_from_this()](beast::error_code ec) {
        if (self->m_done)
            return;
        if (ec)
            return self->failWith(ec, "handshake");
        self->send();
    });
}

void UpstreamExchange::send() {
    m_connecting = false;
    lowest().expires_never(); // from here the whole request's deadline rules
    onStream([&](auto& stream) {
        net::async_write(stream, net::buffer(m_wire), [self = shared_from_this()](beast::error_code ec, std::size_t sent) {
            if (self->m_done)
                return;
            // A kept connection the engine closed just now: nothing of the request reached it, so
            // it goes once more, on a connection of its own.
            if (ec && self->m_reused && sent == 0 && !self->m_timedOut) {
                std::exchange(self->m_connection, {}).close();
                return self->open();
            }
            if (ec)
                return self->failWith(ec, "send");
            self->readHead();
        });
    });
}

void UpstreamExchange::readHead() {
    m_parser.emplace();
    m_parser->header_limit(headLimit);
    m_parser->body_limit(m_bodyLimit);
    onStream([&](auto& stream) {
        http::async_read_header(stream, m_buffer, *m_parser, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (self->m_done)
                return;
            if (ec)
                return self->failWith(ec, "head");
            self->m_status = int(self->m_parser->get().result_int());
            if (self->m_status >= 300 && self->m_status < 400)
                return self->fail({502, "upstream_error",
                                   QStringLiteral("The engine at %1 answered with a redirect (%2), which is not followed.")
                                       .arg(self->m_target.address)
                                       .arg(self->m_status)});
            if (self->m_status < 200 || self->m_status >= 300) {
                self->m_parser->body_limit(boost::none); // read to errorBodyLimit below, then no further
                return self->readError();
            }
            self->readBody();
        });
    });
}

void UpstreamExchange::landBodyIn() {
    // Room taken once and never cleared: only the bytes a read brings are looked at, and clearing
    // 16 KiB for every answer cost more than reading its head.
    if (!m_chunk)
        m_chunk = std::make_unique_for_overwrite<char[]>(readPiece);
    m_parser->get().body().data = m_chunk.get();
    m_parser->get().body().size = readPiece;
}

void UpstreamExchange::readBody() {
    landBodyIn();
    onStream([&](auto& stream) {
        http::async_read_some(stream, m_buffer, *m_parser, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (self->m_done)
                return;
            if (ec && ec != http::error::need_buffer)
                return self->failWith(ec, "body");
            const std::size_t got = readPiece - self->m_parser->get().body().size;
            if (got > 0 && (!self->consume(std::string_view(self->m_chunk.get(), got)) || self->m_done))
                return;
            if (self->m_parser->is_done()) {
                self->ended();
                return self->release();
            }
            self->readBody();
        });
    });
}

void UpstreamExchange::readError() {
    landBodyIn();
    onStream([&](auto& stream) {
        http::async_read_some(stream, m_buffer, *m_parser, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (self->m_done)
                return;
            const std::size_t got = readPiece - self->m_parser->get().body().size;
            self->m_errorBody.append(self->m_chunk.get(), std::min(got, errorBodyLimit - self->m_errorBody.size()));
            const bool more = (!ec || ec == http::error::need_buffer) && !self->m_parser->is_done() &&
                              self->m_errorBody.size() < errorBodyLimit;
            if (more)
                return self->readError();
            // Whatever stopped the reading, the engine's refusal is what the client hears.
            self->fail({self->m_status, "upstream_error", upstreamRefusal(self->m_target.address, self->m_status, self->m_errorBody)});
        });
    });
}

void UpstreamExchange::failWith(const boost::system::error_code& ec, const char* stage) {
    const QString at = m_target.address;
    const std::string_view where(stage);
    if (m_settled)
        return finish(); // the caller has its answer; only the connection is lost
    if (m_timedOut)
        return fail({504, "upstream_timeout",
                     QStringLiteral("The engine at %1 did not finish answering within %2.").arg(at, seconds(m_timeouts.whole))});
    if (ec == beast::error::timeout && m_connecting)
        return fail({504, "upstream_timeout",
                     QStringLiteral("The engine at %1 did not accept a connection within %2.").arg(at, seconds(m_timeouts.connect))});
    if (where == "resolve" || where == "connect")
        return fail({502, "upstream_unreachable", QStringLiteral("The engine at %1 could not be reached (%2).").arg(at, describe(ec))});
    if (where == "handshake") {
        const long verified = ::SSL_get_verify_result(m_connection.tls->native_handle());
        if (verified == X509_V_ERR_HOSTNAME_MISMATCH || verified == X509_V_ERR_IP_ADDRESS_MISMATCH)
            return fail({502, "upstream_untrusted",
                         QStringLiteral("The engine at %1 sent a certificate that is not for %2, so it is not trusted.")
                             .arg(at, QString::fromStdString(m_target.host))});
        if (verified != X509_V_OK)
            return fail({502, "upstream_untrusted",
                         QStringLiteral("The engine at %1 sent a certificate this server does not trust (%2).")
                             .arg(at, QString::fromUtf8(::X509_verify_cert_error_string(verified)))});
        return fail({502, "upstream_unreachable",
                     QStringLiteral("The engine at %1 could not be reached securely (%2).").arg(at, describe(ec))});
    }
    if (ec == http::error::header_limit)
        return fail({502, "upstream_malformed",
                     QStringLiteral("The engine at %1 sent headers larger than %2 KiB.").arg(at).arg(headLimit / 1024)});
    if (ec == http::error::body_limit)
        return fail({502, "upstream_malformed",
                     QStringLiteral("The engine at %1 sent an answer larger than %2 MiB.").arg(at).arg(m_bodyLimit / (1024 * 1024))});
    if (ec == http::error::end_of_stream || ec == http::error::partial_message || ec == net::error::eof ||
        ec == net::error::connection_reset || ec == ssl::error::stream_truncated)
        return fail({502, "upstream_malformed",
                     QStringLiteral("The engine at %1 closed the connection before its answer was complete.").arg(at)});
    if (ec.category() == http::make_error_code(http::error::bad_target).category())
        return fail({502, "upstream_malformed", QStringLiteral("The engine at %1 did not answer in HTTP (%2).").arg(at, describe(ec))});
    fail({502, "upstream_unreachable", QStringLiteral("The connection to the engine at %1 failed (%2).").arg(at, describe(ec))});
}

QString UpstreamExchange::withoutKey(QString text) const {
    static constexpr std::string_view scheme = "Bearer ";
    const auto header = m_request[http::field::authorization];
    if (header.size() > scheme.size() && header.starts_with(scheme)) {
        const auto key = header.substr(scheme.size());
        text.replace(QString::fromUtf8(key.data(), qsizetype(key.size())), QStringLiteral("[the engine's key]"));
    }
    return text;
}

void UpstreamExchange::fail(EngineFailure failure) {
    if (m_done)
        return;
    failure.message = withoutKey(std::move(failure.message));
    finish();
    fault(std::move(failure));
}

void UpstreamExchange::finish() {
    m_done = true;
    m_resolver.cancel();
    m_deadline.cancel();
    m_connection.close();
}

void UpstreamExchange::settle() {
    if (m_settled || m_done)
        return;
    m_settled = true;
    m_deadline.expires_after(drainPatience); // the earlier wait ends with operation_aborted, and is ignored
    m_deadline.async_wait([self = shared_from_this()](boost::system::error_code ec) {
        if (ec || self->m_done)
            return;
        self->finish(); // the read under way ends, and finds the exchange done
    });
}

// The answer was read to its end: its connection goes back to the pool when both sides meant to
// keep it and nothing beyond the answer arrived (bytes the parser holds would be read as the
// next answer's).
void UpstreamExchange::release() {
    if (m_done)
        return;
    const bool keep = m_pool && !m_cancelled && m_request.keep_alive() && m_parser && m_parser->is_done() &&
                      m_parser->keep_alive() && m_buffer.size() == 0;
    if (!keep)
        return finish();
    m_done = true;
    m_resolver.cancel();
    m_deadline.cancel();
    m_pool->give(std::exchange(m_connection, {}));
}

void UpstreamExchange::cancel() {
    const auto stop = [self = shared_from_this()] {
        // Once settled, the generation is over and only its connection's end is still read.
        if (self->m_settled)
            return self->dropped();
        self->m_cancelled = true;
        self->finish();
        self->dropped();
    };
    if (m_io.get_executor().running_in_this_thread())
        stop();
    else
        net::post(m_io, stop);
}

} // namespace tavrin
