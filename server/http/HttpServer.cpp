#include "server/http/HttpServer.h"

#include "base/ServerAddress.h"
#include "protocol/AdminRoute.h"
#include "server/support/AnswerFeed.h"
#include "server/support/HttpMessage.h"
#include "server/support/ServerLog.h"

#include <QHostAddress>

#include <boost/asio/executor_work_guard.hpp>
#include <boost/asio/io_context.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/asio/thread_pool.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core/flat_buffer.hpp>
#include <boost/beast/core/tcp_stream.hpp>
#include <boost/beast/http.hpp>

#include <array>
#include <charconv>
#include <list>
#include <optional>

#include <poll.h>

namespace tavrin {

namespace net = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = net::ip::tcp;

namespace {

// An admin-only listener answers /healthz and /admin/ alone; the client one answers everything.
enum class Role { client, admin };
enum PeerClass { loopbackPeers = 0, otherPeers = 1 };

constexpr std::size_t headerLimit = 16 * 1024;
constexpr auto lingerLimit = std::chrono::seconds(2);

bool needsBody(std::string_view method) { return method == "POST" || method == "PUT" || method == "PATCH"; }

// An IPv6 socket reports an IPv4 client as ::ffff:a.b.c.d; the allowlist and the logs want a.b.c.d.
net::ip::address plain(const net::ip::address& address) {
    if (address.is_v6() && address.to_v6().is_v4_mapped())
        return net::ip::make_address_v4(net::ip::v4_mapped, address.to_v6());
    return address;
}

class Session;

// Timers for the handlers, on the loop. The handle cancels on the loop too, from whatever thread
// lets go of it, so that a timer is only ever touched there once armed.
InferenceApi::Alarm alarmOn(net::io_context& io) {
    return [&io](std::chrono::milliseconds delay, std::function<void()> work) -> std::shared_ptr<void> {
        auto timer = std::make_shared<net::steady_timer>(io, delay);
        timer->async_wait([timer, work = std::move(work)](beast::error_code ec) {
            if (!ec)
                work();
        });
        return std::shared_ptr<void>(timer.get(), [&io, timer](void*) { net::post(io, [timer] { timer->cancel(); }); });
    };
}

} // namespace

struct HttpServer::Impl {
    Impl(ServerContext& context, Limits limits, net::io_context& io)
        : limits(limits), admin(context), inference(context, limits.unreadAnswerBytes, alarmOn(io)), bodies(limits.bodies), io(io),
          adminPool(limits.adminWorkers), clientPool(limits.clientWorkers) {}

    struct Listener {
        tcp::acceptor acceptor;
        Role role;
        net::steady_timer retry;
        tcp::endpoint peer; // the accepted connection's far end, as accept gives it: no call more to ask
    };
    struct Peers {
        std::size_t open = 0;
        std::list<Session*> waiting; // connections between requests, the longest waiting first
    };

    std::expected<int, QString> listen(const QString& host, int port, Role role);
    void accept(Listener& listener);
    void admit(tcp::socket socket, Role role, const tcp::endpoint& remote);
    void shutDown();
    // Once stopping and the last connection has gone, the loop is left, whatever engines still run on it.
    void finishIfDone();
    // Judges a request on its head: false with the refusal in `res`, which is to wait
    // `refusalDelay` before it goes out; true with the id of the API key it comes with in `key`
    // (empty for none). Runs on the I/O thread.
    bool screen(const HttpRequest& head, Role role, HttpResponse& res, std::chrono::milliseconds& refusalDelay,
                std::string& key);
    // Judges the waiting admin passwords in turn, as long as the throttle's gate is open.
    void judgeGuesses();
    void handle(const HttpRequest& req, HttpResponse& res);

    // Declared in this order so that sessions still queued when the I/O context goes find the
    // tables they sign out of, and the sockets go before the context they belong to.
    Limits limits;
    AdminApi admin;
    InferenceApi inference;
    std::array<Peers, 2> peers;
    BodyAllowance bodies;
    bool stopping = false;
    int port = 0;
    int adminPort = 0;
    QString clientHost;
    net::io_context& io;
    net::thread_pool adminPool;
    net::thread_pool clientPool;
    std::vector<std::unique_ptr<Listener>> listeners;
    // Heads presenting an admin password that wait for the throttle's gate, the oldest first. No
    // thread waits with them: a waiting guess costs its connection only, and it is first to go
    // when connections run short. Declared after the I/O context, so that they go before it.
    std::list<std::shared_ptr<Session>> guesses;
    net::steady_timer gate{io};
    bool gateArmed = false;
};

namespace {

// One connection, driven on the I/O thread: wait for a request, read it whole under its
// deadlines, hand it to a worker, write the answer (streamed answers a piece at a time), and
// wait for the next. Every member is touched on the I/O thread only; a worker sees the request
// and the answer it is given, and hands its reference to the session back with its result.
class Session : public std::enable_shared_from_this<Session> {
public:
    Session(HttpServer::Impl& server, tcp::socket socket, Role role, PeerClass peer, std::string remote)
        : m_server(server), m_stream(std::move(socket)), m_role(role), m_peer(peer), m_remote(std::move(remote)),
          m_peerGroup(BodyAllowance::peerGroup(m_remote)) {
        ++m_server.peers[m_peer].open;
    }
    ~Session() {
        leaveWaiting();
        releaseBody();
        if (m_feed)
            m_feed->abandon();
        --m_server.peers[m_peer].open;
        m_server.finishIfDone();
    }

    void start() { awaitRequest(); }

    // Closes a connection that is between requests; its pending read ends and with it the session.
    void drop() {
        const Self keep = shared_from_this(); // the queue of guesses may hold the last reference
        leaveWaiting();
        leaveGuesses();
        m_delay.cancel();
        beast::error_code ignored;
        m_stream.socket().close(ignored);
    }

    // The gate is open and this guess is first in line: its password is judged now, unless its
    // client has gone meanwhile. A guess nobody waits for any more costs nothing of the gate's time.
    void takeTurn() {
        m_queued = false;
        leaveWaiting();
        beast::error_code ignored;
        m_stream.socket().cancel(ignored); // the watch for a hang-up
        if (hungUp())
            return close();
        HttpRequest head = std::move(*m_guess);
        m_guess.reset();
        judge(head);
    }

private:
    using Self = std::shared_ptr<Session>;

    void enterWaiting() {
        auto& waiting = m_server.peers[m_peer].waiting;
        m_waitingAt = waiting.insert(waiting.end(), this);
        m_waiting = true;
    }
    void leaveWaiting() {
        if (m_waiting)
            m_server.peers[m_peer].waiting.erase(m_waitingAt);
        m_waiting = false;
    }

    void awaitRequest() {
        if (m_server.stopping)
            return close();
        enterWaiting();
        m_stream.expires_after(m_served == 0 ? m_server.limits.headerDeadline : m_server.limits.keepAliveIdle);
        if (m_buffer.size() > 0) // the client sent its next request before this answer was out
            return readHeader(m_served > 0);
        m_stream.async_read_some(m_buffer.prepare(1024), [self = shared_from_this()](beast::error_code ec, std::size_t n) {
            if (ec)
                return self->leaveWaiting();
            self->m_buffer.commit(n);
            // A new connection's deadline runs from its opening; a kept-alive one's from its first byte.
            self->readHeader(self->m_served > 0);
        });
    }

    void readHeader(bool restartClock) {
        if (restartClock)
            m_stream.expires_after(m_server.limits.headerDeadline);
        m_parser.emplace();
        m_parser->header_limit(headerLimit);
        m_parser->body_limit(HttpServer::maxBodyBytes);
        http::async_read_header(m_stream, m_buffer, *m_parser,
                                [self = shared_from_this()](beast::error_code ec, std::size_t) { self->onHeader(ec); });
    }

    void onHeader(beast::error_code ec) {
        leaveWaiting();
        if (ec == http::error::header_limit)
            return refuse(431, QStringLiteral("request headers are larger than %1 KiB").arg(headerLimit / 1024));
        if (ec == http::error::body_limit) // the announced length is checked with the headers
            return refuse(413, QStringLiteral("request body is larger than 1 MiB"));
        if (ec && ec.category() == http::make_error_code(http::error::bad_target).category() &&
            ec != http::error::end_of_stream && ec != http::error::partial_message)
            return refuse(400, QStringLiteral("malformed request"));
        if (ec)
            return close();
        const auto& header = m_parser->get();
        if (needsBody(header.method_string()) && !m_parser->content_length() && !m_parser->chunked())
            return refuse(400, QStringLiteral("%1 needs a body with a Content-Length, even if it is {}")
                                   .arg(QString::fromStdString(std::string(header.method_string()))));
        HttpRequest head = headOf(header);
        // An admin password is judged only when the throttle's gate is open and every one that
        // came before has had its turn; nothing else waits for the gate. The password this
        // connection has already proven is not a guess: the panel, which keeps its connection,
        // goes on being answered at once while someone else guesses. A newcomer with the right
        // password queues like any guess, since nothing tells it from one before it is judged.
        if (isAdminPath(head.path) && AdminApi::presentsGuess(head) && !proves(head) &&
            (!m_server.guesses.empty() || m_server.admin.throttle().untilOpen().count() > 0))
            return waitTurn(std::move(head));
        judge(head);
    }

    bool proves(const HttpRequest& head) const { return !m_proven.empty() && head.header("Authorization") == m_proven; }

    void waitTurn(HttpRequest head) {
        m_guess = std::move(head);
        m_guessAt = m_server.guesses.insert(m_server.guesses.end(), shared_from_this());
        m_queued = true;
        // Waiting counts as idle: a full house drops it first, and so does a stop.
        m_stream.expires_never();
        enterWaiting();
        watchForHangUp();
        m_server.judgeGuesses();
    }

    // A client that goes while its guess waits takes the guess with it. Only data that arrives
    // ends the watch without a hang-up (the body, sent without waiting for 100 Continue); the turn
    // itself then looks again.
    void watchForHangUp() {
        m_stream.socket().async_wait(tcp::socket::wait_read, [self = shared_from_this(), round = ++m_guessRound](beast::error_code ec) {
            if (!self->m_queued || round != self->m_guessRound)
                return; // its turn came, or it was dropped
            if (ec || self->hungUp()) {
                self->leaveGuesses();
                self->leaveWaiting();
                self->close();
            }
        });
    }

    void leaveGuesses() {
        if (m_queued)
            m_server.guesses.erase(m_guessAt); // the caller holds a reference
        m_queued = false;
    }

    // Whether the client has stopped sending: closed, or gone with an error. Unread data does not
    // hide it, as it would from a read.
    bool hungUp() {
        pollfd fd{m_stream.socket().native_handle(), POLLRDHUP, 0};
        return !m_stream.socket().is_open() || (::poll(&fd, 1, 0) == 1 && (fd.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0);
    }

    // Who may send a body is decided before a byte of it is read: a refused request costs its
    // head only, whatever it announces.
    void judge(const HttpRequest& head) {
        HttpResponse refusal;
        std::chrono::milliseconds delay{0};
        std::string key;
        const bool admitted = m_server.screen(head, m_role, refusal, delay, key);
        const bool admin = isAdminPath(head.path);
        if (admin)
            m_proven = admitted ? head.header("Authorization") : std::string();
        if (!admitted)
            return refuseLater(std::move(refusal), delay);
        if (m_parser->is_done())
            return dispatch();
        const std::size_t announced = m_parser->content_length() ? std::size_t(*m_parser->content_length())
                                                                 : HttpServer::maxBodyBytes;
        if (!reserveBody(announced, admin, key)) {
            HttpResponse busy;
            busy.setHeader("Retry-After", "1");
            replyText(busy, 503, QStringLiteral("the server is receiving too many request bodies at once; try again shortly"));
            return refuseLater(std::move(busy), std::chrono::milliseconds(0));
        }
        m_stream.expires_after(m_server.limits.bodyDeadline);
        const auto& header = m_parser->get();
        if (beast::iequals(header[http::field::expect], "100-continue")) {
            auto proceed = std::make_shared<http::response<http::empty_body>>(http::status::continue_, header.version());
            return http::async_write(m_stream, *proceed, [self = shared_from_this(), proceed](beast::error_code ec, std::size_t) {
                if (ec)
                    return self->close();
                self->readBody();
            });
        }
        readBody();
    }

    void readBody() {
        http::async_read(m_stream, m_buffer, *m_parser, [self = shared_from_this()](beast::error_code ec, std::size_t) {
            if (ec == http::error::body_limit)
                return self->refuse(413, QStringLiteral("request body is larger than 1 MiB"));
            if (ec)
                return self->close();
            self->dispatch();
        });
    }

    // Answers a request that will not be read to its end, and closes the connection after.
    void refuse(int status, const QString& line) {
        HttpResponse res;
        replyText(res, status, line);
        refuseLater(std::move(res), std::chrono::milliseconds(0));
    }

    // The same with an answer of any kind, sent once `delay` has passed. A request without a body
    // is read whole, so its connection may serve the next one.
    void refuseLater(HttpResponse res, std::chrono::milliseconds delay) {
        m_keepAlive = m_parser && m_parser->is_done() && m_parser->get().keep_alive();
        m_unreadInput = !m_keepAlive;
        m_parser.reset();
        if (delay.count() <= 0 || m_server.stopping)
            return respond(std::move(res));
        // Waiting counts as idle: a full house drops it first, and so does a stop.
        m_stream.expires_never();
        enterWaiting();
        m_delay.expires_after(delay);
        m_delay.async_wait([self = shared_from_this(), res = std::move(res)](beast::error_code ec) mutable {
            self->leaveWaiting();
            if (ec || self->m_server.stopping)
                return self->close();
            self->respond(std::move(res));
        });
    }

    template <class Header> HttpRequest headOf(const Header& message) const {
        HttpRequest req;
        req.method = std::string(message.method_string());
        const std::string_view target = message.target();
        const std::size_t query = target.find('?');
        req.path = std::string(target.substr(0, query));
        if (query != std::string_view::npos)
            req.params = parseQuery(target.substr(query + 1));
        for (const auto& field : message)
            req.headers.emplace_back(std::string(field.name_string()), std::string(field.value()));
        req.remoteAddress = m_remote;
        return req;
    }

    // Holds back part of the server's body allowance for this request until it is answered.
    bool reserveBody(std::size_t bytes, bool admin, const std::string& key) {
        auto reservation = admin ? m_server.bodies.reserveAdmin(bytes) : m_server.bodies.reserveClient(bytes, key, m_peerGroup);
        if (!reservation)
            return false;
        m_reservation = std::move(reservation);
        return true;
    }
    void releaseBody() { m_reservation.reset(); }

    void dispatch() {
        m_stream.expires_never();
        auto message = m_parser->release();
        m_parser.reset();
        m_keepAlive = message.keep_alive();
        HttpRequest req = headOf(message);
        req.body = std::move(message.body());

        HttpResponse res;
        if (req.path == healthPath) {
            if (req.method == "GET")
                replyText(res, 200, QStringLiteral("ok"));
            else
                replyText(res, 405, QStringLiteral("method %1 is not allowed on /healthz").arg(QString::fromStdString(req.method)));
            return respond(std::move(res));
        }
        // Every other refusal was answered from the request's head (screen()).
        // A generation asked for in a small body is judged here, on the loop: its handler touches
        // memory only and hands the answer to a feed, and the way to a worker and back (two thread
        // wakes, each a wait for a core on a busy machine) would cost more than the work itself.
        m_pool = isAdminPath(req.path) ? &m_server.adminPool : &m_server.clientPool;
        if (!isAdminPath(req.path) && req.method == "POST" && req.body.size() <= loopBodyBytes)
            return respond(answer(req));
        net::post(*m_pool, [self = shared_from_this(), req = std::move(req), work = net::make_work_guard(m_server.io)]() mutable {
            HttpResponse answer = self->answer(req);
            auto& io = self->m_server.io;
            net::post(io, [self = std::move(self), answer = std::move(answer)]() mutable { self->respond(std::move(answer)); });
        });
    }

    static constexpr std::size_t loopBodyBytes = 16 * 1024;

    HttpResponse answer(const HttpRequest& req) {
        HttpResponse answer;
        try {
            m_server.handle(req, answer);
        } catch (const std::exception&) {
            answer = HttpResponse{};
            replyText(answer, 500, QStringLiteral("request failed: %1").arg(pathOf(req)));
        }
        return answer;
    }

    template <class Message>
    static void fillHead(Message& message, const HttpResponse& res, bool keepAlive) {
        message.version(11);
        message.result(unsigned(res.status));
        for (const auto& [name, value] : res.headers)
            message.set(name, value);
        if (!res.contentType.empty())
            message.set(http::field::content_type, res.contentType);
        message.keep_alive(keepAlive);
    }

    void respond(HttpResponse res) {
        releaseBody(); // the request is done with, whatever the answer still takes to send
        if (res.feed)
            return awaitFeed(std::move(res.feed));
        const bool keepAlive = m_keepAlive && !m_server.stopping;
        const auto fill = [&](auto& message) { fillHead(message, res, keepAlive); };
        m_stream.expires_after(m_server.limits.writeDeadline);
        if (!res.stream) {
            m_whole.emplace();
            fill(*m_whole);
            m_whole->body() = std::move(res.body);
            m_whole->prepare_payload();
            http::async_write(m_stream, *m_whole, [self = shared_from_this(), keepAlive](beast::error_code ec, std::size_t) {
                self->m_whole.reset();
                self->afterAnswer(ec, keepAlive);
            });
            return;
        }
        m_next = std::move(res.stream);
        m_head.emplace();
        fill(*m_head);
        m_head->chunked(true);
        m_headWriter.emplace(*m_head);
        http::async_write_header(m_stream, *m_headWriter, [self = shared_from_this(), keepAlive](beast::error_code ec, std::size_t) {
            if (ec)
                return self->close();
            self->nextPiece(keepAlive);
        });
    }

    // The producer may read files (an export): it runs on the request's pool.
    void nextPiece(bool keepAlive) {
        net::post(*m_pool, [self = shared_from_this(), keepAlive, work = net::make_work_guard(m_server.io)]() mutable {
            std::string piece;
            bool more = false;
            try {
                more = self->m_next(piece);
            } catch (const std::exception&) {
                more = false;
            }
            auto& io = self->m_server.io;
            net::post(io, [self = std::move(self), piece = std::move(piece), more, keepAlive]() mutable {
                self->writePiece(std::move(piece), more, keepAlive);
            });
        });
    }

    void writePiece(std::string piece, bool more, bool keepAlive) {
        m_stream.expires_after(m_server.limits.writeDeadline);
        if (!more || piece.empty()) {
            if (more)
                return nextPiece(keepAlive);
            m_next = nullptr; // lets go of what the producer held, a generation slot among them
            return net::async_write(m_stream, http::make_chunk_last(),
                                    [self = shared_from_this(), keepAlive](beast::error_code ec, std::size_t) {
                                        self->m_headWriter.reset();
                                        self->m_head.reset();
                                        self->afterAnswer(ec, keepAlive);
                                    });
        }
        m_piece = std::move(piece);
        net::async_write(m_stream, http::make_chunk(net::buffer(m_piece)),
                         [self = shared_from_this(), keepAlive](beast::error_code ec, std::size_t) {
                             if (ec)
                                 return self->close();
                             self->m_piece.clear();
                             self->nextPiece(keepAlive);
                         });
    }

    // A generation's answer: written as it comes, with no deadline while the engine is silent
    // (its own timeouts rule that), and the write deadline on every write.
    void awaitFeed(std::shared_ptr<AnswerFeed> feed) {
        m_feed = std::move(feed);
        m_feedBusy = false;
        m_stream.expires_never();
        watchFeedHangUp();
        m_feed->watch([weak = weak_from_this(), &io = m_server.io] {
            net::post(io, [weak] {
                if (const auto self = weak.lock())
                    self->drainFeed();
            });
        });
    }

    // A client that hangs up while its generation runs cancels it now, not at the next piece's
    // write, which an engine that thinks long may not make for minutes. Data that arrives instead
    // (the next request, sent early) does not end the watch; it only slows it to a look now and then.
    void watchFeedHangUp() {
        m_stream.socket().async_wait(tcp::socket::wait_read, [self = shared_from_this()](beast::error_code ec) {
            if (ec || !self->m_feed)
                return;
            if (self->hungUp())
                return self->close();
            self->m_delay.expires_after(std::chrono::milliseconds(250));
            self->m_delay.async_wait([self](beast::error_code waited) {
                if (!waited && self->m_feed)
                    self->watchFeedHangUp();
            });
        });
    }

    void drainFeed() {
        if (!m_feed || m_feedBusy)
            return;
        AnswerFeed::Taken taken = m_feed->take();
        if (taken.whole) {
            leaveFeed();
            return respond(std::move(*taken.whole));
        }
        if (!taken.head && taken.bytes.empty() && !taken.ended)
            return;
        m_feedBusy = true;
        m_feedEnded = taken.ended;
        m_feedCloses = taken.closeConnection;
        // What has come goes out in one write: the head with the first bytes, and the last chunk
        // with the last bytes. An answer that came in one read of the engine's is one write, not
        // three, and its client is woken once. The bytes are not copied on the way: the write
        // takes them where they lie, between their chunk's size line and its end.
        m_piece.clear();
        m_feedBytes = std::move(taken.bytes);
        m_feedAfter.clear();
        if (taken.head) {
            m_feedKeepAlive = m_keepAlive && !m_server.stopping;
            http::response<http::empty_body> head;
            fillHead(head, *taken.head, m_feedKeepAlive);
            head.chunked(true);
            appendHead(m_piece, head);
        }
        if (!m_feedBytes.empty()) {
            char size[2 * sizeof(std::size_t)];
            const auto written = std::to_chars(size, size + sizeof size, m_feedBytes.size(), 16);
            m_piece.append(size, written.ptr);
            m_piece += "\r\n";
            m_feedAfter = "\r\n";
        }
        const bool ended = m_feedEnded;
        const bool keepAlive = m_feedKeepAlive && !m_feedCloses;
        if (ended) {
            m_feedAfter += "0\r\n\r\n"; // the last chunk, with no trailer
            leaveFeed();
        }
        m_stream.expires_after(m_server.limits.writeDeadline);
        const std::array<net::const_buffer, 3> buffers{net::buffer(m_piece), net::buffer(m_feedBytes), net::buffer(m_feedAfter)};
        net::async_write(m_stream, buffers, [self = shared_from_this(), ended, keepAlive](beast::error_code ec, std::size_t) {
            self->m_piece.clear();
            self->m_feedBytes.clear();
            if (ended)
                return self->afterAnswer(ec, keepAlive);
            if (ec)
                return self->close();
            self->m_stream.expires_never();
            self->m_feedBusy = false;
            self->drainFeed(); // more may have come during the write
        });
    }

    // A head as Beast's serializer writes it.
    static void appendHead(std::string& out, http::response<http::empty_body>& head) {
        http::response_serializer<http::empty_body> writer(head);
        writer.split(true);
        beast::error_code ec;
        while (!writer.is_header_done() && !ec)
            writer.next(ec, [&](beast::error_code&, const auto& buffers) {
                for (const auto buffer : beast::buffers_range_ref(buffers))
                    out.append(static_cast<const char*>(buffer.data()), buffer.size());
                writer.consume(beast::buffer_bytes(buffers));
            });
    }

    // The answer is out (or about to be): the watch ends, and whatever the feed held goes.
    void leaveFeed() {
        m_feed.reset();
        m_feedBusy = false;
        m_delay.cancel();
        beast::error_code ignored;
        m_stream.socket().cancel(ignored); // the watch for a hang-up; nothing else is pending now
    }

    void afterAnswer(beast::error_code ec, bool keepAlive) {
        if (ec)
            return close();
        if (!keepAlive)
            return m_unreadInput ? linger() : close();
        ++m_served;
        m_buffer.shrink_to_fit(); // an idle connection keeps no buffer
        awaitRequest();
    }

    // Closing with unread input makes the kernel reset the connection, and the client may
    // lose the answer it has not read yet: say goodbye first, and discard what still arrives.
    void linger() {
        beast::error_code ignored;
        m_stream.socket().shutdown(tcp::socket::shutdown_send, ignored);
        m_stream.expires_after(lingerLimit);
        m_buffer.clear();
        m_stream.async_read_some(m_buffer.prepare(16 * 1024), [self = shared_from_this()](beast::error_code ec, std::size_t) {
            self->m_buffer.clear();
            if (ec)
                return self->close();
            self->linger();
        });
    }

    void close() {
        if (m_feed) {
            m_feed->abandon(); // its generation is cancelled now, not when the last handler lets go
            m_feed.reset();
        }
        m_delay.cancel();
        // Closing alone says goodbye as a shutdown would (what is written still goes, then the
        // end): a shutdown first only cost the busy gateway a call per connection.
        beast::error_code ignored;
        m_stream.socket().close(ignored);
    }

    HttpServer::Impl& m_server;
    beast::tcp_stream m_stream;
    net::steady_timer m_delay{m_stream.get_executor()};
    std::optional<BodyAllowance::Reservation> m_reservation;
    beast::flat_buffer m_buffer{headerLimit + 1024};
    Role m_role;
    PeerClass m_peer;
    std::string m_remote;
    std::string m_peerGroup;
    std::optional<http::request_parser<http::string_body>> m_parser;
    std::optional<HttpRequest> m_guess; // the head waiting for the password gate
    std::list<Self>::iterator m_guessAt;
    bool m_queued = false;
    quint64 m_guessRound = 0;
    std::string m_proven; // the Authorization header an admin request on this connection passed with
    std::list<Session*>::iterator m_waitingAt;
    bool m_waiting = false;
    bool m_keepAlive = false;
    bool m_unreadInput = false;
    quint64 m_served = 0;
    net::thread_pool* m_pool = nullptr;
    std::optional<http::response<http::string_body>> m_whole;
    std::optional<http::response<http::empty_body>> m_head;
    std::optional<http::response_serializer<http::empty_body>> m_headWriter;
    std::function<bool(std::string&)> m_next;
    std::string m_piece;
    std::shared_ptr<AnswerFeed> m_feed;
    bool m_feedBusy = false; // a write of the feed's is under way
    std::string m_feedBytes;  // what the write under way takes from the feed
    std::string m_feedAfter;  // what follows them: the chunk's end, and the last chunk
    bool m_feedEnded = false;
    bool m_feedCloses = false;
    bool m_feedKeepAlive = false;
};

} // namespace

bool listenerCoversAdmin(const QString& host, int port, int adminPort) {
    if (port != adminPort || port == 0)
        return false;
    const QHostAddress address(host);
    return address == QHostAddress(QHostAddress::LocalHost) || address == QHostAddress(QHostAddress::AnyIPv4) ||
           address == QHostAddress(QHostAddress::AnyIPv6);
}

HttpServer::HttpServer(ServerContext& context, Limits limits, net::io_context& io)
    : m_impl(std::make_unique<Impl>(context, limits, io)) {}

HttpServer::~HttpServer() {
    m_impl->adminPool.join();
    m_impl->clientPool.join();
}

int HttpServer::port() const { return m_impl->port; }
int HttpServer::adminPort() const { return m_impl->adminPort; }

std::expected<int, QString> HttpServer::Impl::listen(const QString& host, int port, Role role) {
    const auto failure = [&](const beast::error_code& ec) {
        return std::unexpected(QStringLiteral("cannot listen on %1:%2: %3")
                                   .arg(host)
                                   .arg(port)
                                   .arg(QString::fromStdString(ec.message()).toLower()));
    };
    beast::error_code ec;
    const auto address = net::ip::make_address(host.toStdString(), ec);
    if (ec)
        return failure(ec);
    auto listener = std::make_unique<Listener>(Listener{tcp::acceptor(io), role, net::steady_timer(io), tcp::endpoint()});
    tcp::acceptor& acceptor = listener->acceptor;
    const tcp::endpoint endpoint(address, net::ip::port_type(port));
    // SO_REUSEADDR alone: with SO_REUSEPORT a second server would share the port unnoticed, and
    // the kernel would split the requests between the two.
    if (acceptor.open(endpoint.protocol(), ec); ec)
        return failure(ec);
    if (acceptor.set_option(net::socket_base::reuse_address(true), ec); ec)
        return failure(ec);
    if (acceptor.bind(endpoint, ec); ec)
        return failure(ec);
    if (acceptor.listen(net::socket_base::max_listen_connections, ec); ec)
        return failure(ec);
    const int bound = acceptor.local_endpoint().port();
    listeners.push_back(std::move(listener));
    return bound;
}

std::expected<void, QString> HttpServer::bind(const QString& host, int port, int adminPort) {
    auto bound = m_impl->listen(host, port, Role::client);
    if (!bound)
        return std::unexpected(bound.error());
    m_impl->port = *bound;
    m_impl->clientHost = host;
    m_impl->adminPort = *bound;
    if (!listenerCoversAdmin(host, port, adminPort)) {
        auto admin = m_impl->listen(ServerAddress::defaultHost, adminPort, Role::admin);
        if (!admin)
            return std::unexpected(admin.error());
        m_impl->adminPort = *admin;
    }
    return {};
}

void HttpServer::Impl::accept(Listener& listener) {
    listener.acceptor.async_accept(listener.peer, [this, &listener](beast::error_code ec, tcp::socket socket) {
        if (stopping || ec == net::error::operation_aborted)
            return;
        if (ec) {
            // Out of file descriptors, most likely: connections will close; try again shortly.
            listener.retry.expires_after(std::chrono::milliseconds(50));
            listener.retry.async_wait([this, &listener](beast::error_code waited) {
                if (!waited && !stopping)
                    accept(listener);
            });
            return;
        }
        admit(std::move(socket), listener.role, listener.peer);
        accept(listener);
    });
}

void HttpServer::Impl::admit(tcp::socket socket, Role role, const tcp::endpoint& remote) {
    beast::error_code ec;
    const net::ip::address address = plain(remote.address());
    const PeerClass peer = address.is_loopback() ? loopbackPeers : otherPeers;
    Peers& group = peers[peer];
    if (group.open >= limits.connectionsPerPeerClass) {
        // Full: the connection that has waited longest for a request makes room; a full house of
        // requests in progress refuses the newcomer instead.
        if (group.waiting.empty())
            return;
        group.waiting.front()->drop();
    }
    socket.set_option(tcp::no_delay(true), ec); // headers and body leave in separate writes
    std::make_shared<Session>(*this, std::move(socket), role, peer, address.to_string())->start();
}

bool HttpServer::Impl::screen(const HttpRequest& head, Role role, HttpResponse& res, std::chrono::milliseconds& refusalDelay,
                              std::string& key) {
    refusalDelay = std::chrono::milliseconds(0);
    key.clear();
    if (head.path == healthPath)
        return true;
    // Neither the network nor a misdirected client can occupy an admin worker.
    if (isAdminPath(head.path))
        return admin.admits(head, res, refusalDelay);
    if (role == Role::admin) {
        replyText(res, 404, QStringLiteral("nothing at %1 on the admin port; the client API listens on %2:%3")
                                .arg(pathOf(head), clientHost)
                                .arg(port));
        return false;
    }
    if (head.path.starts_with("/v1/") || head.path.starts_with("/api/")) {
        const auto admitted = inference.admits(head, res);
        if (admitted)
            key = *admitted;
        return admitted.has_value();
    }
    replyText(res, 404, QStringLiteral("nothing at %1").arg(pathOf(head)));
    return false;
}

void HttpServer::Impl::judgeGuesses() {
    while (!guesses.empty() && !stopping) {
        const auto wait = admin.throttle().untilOpen();
        if (wait.count() > 0) {
            if (!gateArmed) {
                gateArmed = true;
                gate.expires_after(wait);
                gate.async_wait([this](beast::error_code ec) {
                    gateArmed = false;
                    if (!ec)
                        judgeGuesses();
                });
            }
            return;
        }
        const std::shared_ptr<Session> next = std::move(guesses.front());
        guesses.pop_front();
        next->takeTurn();
    }
}

void HttpServer::Impl::handle(const HttpRequest& req, HttpResponse& res) {
    if (isAdminPath(req.path))
        admin.handle(req, res);
    else if (req.path.starts_with("/v1/") || req.path.starts_with("/api/"))
        inference.handle(req, res);
    else
        replyText(res, 404, QStringLiteral("nothing at %1").arg(pathOf(req)));
}

void HttpServer::Impl::shutDown() {
    stopping = true;
    for (auto& listener : listeners) {
        beast::error_code ignored;
        listener->acceptor.close(ignored);
        listener->retry.cancel();
    }
    for (Peers& group : peers)
        while (!group.waiting.empty())
            group.waiting.front()->drop();
    gate.cancel();
    finishIfDone();
}

void HttpServer::Impl::finishIfDone() {
    if (stopping && peers[loopbackPeers].open + peers[otherPeers].open == 0)
        io.stop();
}

bool HttpServer::serve() {
    for (auto& listener : m_impl->listeners)
        m_impl->accept(*listener);
    // One failed connection must not take the others down with it.
    for (bool done = false; !done;) {
        try {
            m_impl->io.run();
            done = true;
        } catch (const std::exception& e) {
            logLine(QStringLiteral("a connection failed: %1").arg(QString::fromLocal8Bit(e.what())));
        }
    }
    m_impl->adminPool.join();
    m_impl->clientPool.join();
    return true;
}

void HttpServer::stop() {
    net::post(m_impl->io, [impl = m_impl.get()] { impl->shutDown(); });
}

} // namespace tavrin
