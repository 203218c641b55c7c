#include "support/ScriptedHttpServer.h"

#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>

#include <arpa/inet.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <stdexcept>

namespace tavrin::test {

// One client's connection: the socket itself, or TLS over it once the handshake is done.
class ScriptedWire {
public:
    ScriptedWire(int fd, SSL* tls) : m_fd(fd), m_tls(tls) {}

    // What arrived, or <= 0 once the peer has closed or failed.
    ssize_t receive(char* into, std::size_t size) {
        if (m_tls)
            return ::SSL_read(m_tls, into, int(size));
        for (;;) {
            const ssize_t n = ::recv(m_fd, into, size, 0);
            if (n >= 0 || errno != EINTR)
                return n;
        }
    }

    bool writeAll(const QByteArray& bytes) {
        for (qsizetype sent = 0; sent < bytes.size();) {
            const qsizetype left = bytes.size() - sent;
            ssize_t n = 0;
            if (m_tls) {
                n = ::SSL_write(m_tls, bytes.constData() + sent, int(std::min<qsizetype>(left, 1 << 20)));
            } else {
                n = ::send(m_fd, bytes.constData() + sent, size_t(left), MSG_NOSIGNAL);
                if (n < 0 && errno == EINTR)
                    continue;
            }
            if (n <= 0)
                return false;
            sent += n;
        }
        return true;
    }

private:
    int m_fd;
    SSL* m_tls;
};

namespace {

// Reads one request from `buffer` + the socket. Returns false when the peer closed first.
bool readRequest(ScriptedWire& wire, QByteArray& buffer, RecordedRequest& out) {
    const auto receive = [&] {
        char chunk[16384];
        const ssize_t n = wire.receive(chunk, sizeof chunk);
        if (n > 0)
            buffer.append(chunk, n);
        return n > 0;
    };
    qsizetype headerEnd = -1;
    while ((headerEnd = buffer.indexOf("\r\n\r\n")) < 0)
        if (!receive())
            return false;
    const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
    const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
    out.method = requestLine.value(0);
    out.target = requestLine.value(1);
    qsizetype contentLength = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const QByteArray line = lines[i].trimmed();
        const qsizetype colon = line.indexOf(':');
        if (colon <= 0)
            continue;
        QByteArray name = line.left(colon).trimmed();
        QByteArray value = line.mid(colon + 1).trimmed();
        if (name.toLower() == "content-length")
            contentLength = value.toLongLong();
        out.headers.emplace_back(std::move(name), std::move(value));
    }
    buffer.remove(0, headerEnd + 4);
    while (buffer.size() < contentLength)
        if (!receive())
            return false;
    out.body = buffer.left(contentLength);
    buffer.remove(0, contentLength);
    return true;
}

} // namespace

std::optional<QByteArray> RecordedRequest::header(QByteArrayView name) const {
    for (const auto& [key, value] : headers)
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    return std::nullopt;
}

QByteArray RecordedRequest::path() const {
    const qsizetype q = target.indexOf('?');
    return q < 0 ? target : target.left(q);
}

ScriptedResponse ScriptedResponse::json(int status, QByteArray body) {
    return {Kind::Respond, status, std::move(body), {{"Content-Type", "application/json"}}, {}, {}};
}

ScriptedResponse ScriptedResponse::text(int status, QByteArray body) {
    return {Kind::Respond, status, std::move(body), {{"Content-Type", "text/plain; charset=utf-8"}}, {}, {}};
}

ScriptedResponse ScriptedResponse::bytes(int status, QByteArray body) {
    return {Kind::Respond, status, std::move(body), {{"Content-Type", "application/octet-stream"}}, {}, {}};
}

ScriptedResponse ScriptedResponse::stall() {
    return {Kind::Stall, 0, {}, {}, {}, {}};
}

ScriptedResponse ScriptedResponse::closeMidBody(int status, QByteArray partialBody) {
    return {Kind::CloseMidBody, status, std::move(partialBody), {{"Content-Type", "application/json"}}, {}, {}};
}

ScriptedResponse ScriptedResponse::raw(QByteArray bytes) {
    return {Kind::Raw, 0, std::move(bytes), {}, {}, {}};
}

ScriptedResponse ScriptedResponse::endless(int status, QByteArray piece) {
    return {Kind::Endless, status, std::move(piece), {{"Content-Type", "application/json"}}, {}, {}};
}

ScriptedResponse ScriptedResponse::gated(int status, QByteArray contentType, QByteArray first, QByteArray rest) {
    ScriptedResponse response{Kind::Gated, status, std::move(first), {{"Content-Type", std::move(contentType)}}, {}, {}};
    response.rest = std::move(rest);
    return response;
}

ScriptedResponse ScriptedResponse::withType(QByteArray contentType) const {
    ScriptedResponse copy = *this;
    for (auto& [name, value] : copy.headers)
        if (name.compare("Content-Type", Qt::CaseInsensitive) == 0)
            value = contentType;
    return copy;
}

ScriptedResponse ScriptedResponse::thenClose() const {
    ScriptedResponse copy = *this;
    copy.closeAfter = true;
    return copy;
}

ScriptedResponse ScriptedResponse::withHeader(QByteArray name, QByteArray value) const {
    ScriptedResponse copy = *this;
    copy.headers.emplace_back(std::move(name), std::move(value));
    return copy;
}

ScriptedResponse ScriptedResponse::after(std::chrono::milliseconds wait) const {
    ScriptedResponse copy = *this;
    copy.delay = wait;
    return copy;
}

namespace {

// The status line, `framing` (how the body's end is told) and the response's own headers. Clients
// read the status code alone; the reason phrase is any text.
QByteArray headOf(const ScriptedResponse& response, const QByteArray& framing) {
    QByteArray head = "HTTP/1.1 " + QByteArray::number(response.status) + " Scripted\r\n" + framing + "\r\n";
    for (const auto& [name, value] : response.headers)
        head += name + ": " + value + "\r\n";
    return head + "\r\n";
}

std::shared_ptr<ssl_ctx_st> serverContext(const TlsIdentity& identity) {
    std::shared_ptr<SSL_CTX> context(SSL_CTX_new(TLS_server_method()), &SSL_CTX_free);
    const auto read = [](const QByteArray& pem, auto reader) {
        std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new_mem_buf(pem.constData(), int(pem.size())), &BIO_free);
        return bio ? reader(bio.get(), nullptr, nullptr, nullptr) : nullptr;
    };
    std::unique_ptr<X509, decltype(&X509_free)> certificate(read(identity.certificatePem, PEM_read_bio_X509), &X509_free);
    std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)> key(read(identity.privateKeyPem, PEM_read_bio_PrivateKey), &EVP_PKEY_free);
    if (!context || !certificate || !key || SSL_CTX_use_certificate(context.get(), certificate.get()) != 1 ||
        SSL_CTX_use_PrivateKey(context.get(), key.get()) != 1 || SSL_CTX_check_private_key(context.get()) != 1)
        throw std::runtime_error("the scripted server's TLS identity cannot be used");
    return context;
}

} // namespace

ScriptedHttpServer::ScriptedHttpServer() : ScriptedHttpServer(std::shared_ptr<ssl_ctx_st>()) {}

ScriptedHttpServer::ScriptedHttpServer(const TlsIdentity& tls) : ScriptedHttpServer(serverContext(tls)) {}

ScriptedHttpServer::ScriptedHttpServer(std::shared_ptr<ssl_ctx_st> tls)
    : m_tls(std::move(tls)), m_fallback(ScriptedResponse::text(404, "no route")) {
    m_listenFd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{}; // port 0: any free one
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (m_listenFd < 0 || ::bind(m_listenFd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(m_listenFd, 64) != 0)
        throw std::runtime_error("socket/bind/listen failed");
    socklen_t length = sizeof address;
    ::getsockname(m_listenFd, reinterpret_cast<sockaddr*>(&address), &length);
    m_port = ntohs(address.sin_port);
    m_acceptThread = std::thread([this] { acceptLoop(); });
}

ScriptedHttpServer::~ScriptedHttpServer() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        for (int fd : m_clientFds)
            ::shutdown(fd, SHUT_RDWR);
    }
    m_stopping.notify_all();
    ::shutdown(m_listenFd, SHUT_RDWR);
    m_acceptThread.join();
    ::close(m_listenFd);
    // The accept loop has ended, so no thread is added any more.
    for (auto& thread : m_clientThreads)
        thread.join();
}

QUrl ScriptedHttpServer::baseUrl() const {
    return QUrl(QStringLiteral("%1://127.0.0.1:%2").arg(m_tls ? QStringLiteral("https") : QStringLiteral("http")).arg(m_port));
}

std::size_t ScriptedHttpServer::refusedHandshakes() const {
    std::lock_guard lock(m_mutex);
    return m_refusedHandshakes;
}

void ScriptedHttpServer::route(const QByteArray& path, ScriptedResponse response) {
    std::lock_guard lock(m_mutex);
    m_routes[path] = std::move(response);
}

void ScriptedHttpServer::setFallback(ScriptedResponse response) {
    std::lock_guard lock(m_mutex);
    m_fallback = std::move(response);
}

std::size_t ScriptedHttpServer::openConnections() const {
    std::lock_guard lock(m_mutex);
    return m_clientFds.size();
}

bool ScriptedHttpServer::waitForClosedConnection(std::size_t connection, std::chrono::milliseconds patience) {
    std::unique_lock lock(m_mutex);
    return m_stopping.wait_for(lock, patience, [&] { return m_closed.contains(connection); });
}

std::vector<RecordedRequest> ScriptedHttpServer::requests() const {
    std::lock_guard lock(m_mutex);
    return m_requests;
}

std::size_t ScriptedHttpServer::requestCount() const {
    std::lock_guard lock(m_mutex);
    return m_requests.size();
}

std::size_t ScriptedHttpServer::requestCount(const QByteArray& path) const {
    std::lock_guard lock(m_mutex);
    return std::size_t(std::ranges::count(m_requests, path, &RecordedRequest::path));
}

void ScriptedHttpServer::clearRequests() {
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

void ScriptedHttpServer::openGate() {
    {
        std::lock_guard lock(m_mutex);
        m_gateOpen = true;
    }
    m_stopping.notify_all();
}

std::size_t ScriptedHttpServer::hangUps() const {
    std::lock_guard lock(m_mutex);
    return m_hangUps;
}

bool ScriptedHttpServer::waitForHangUps(std::size_t count, std::chrono::milliseconds patience) {
    std::unique_lock lock(m_mutex);
    return m_stopping.wait_for(lock, patience, [&] { return m_hangUps >= count; });
}

void ScriptedHttpServer::acceptLoop() {
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            if (errno == EINTR || errno == ECONNABORTED)
                continue;
            return;
        }
        std::lock_guard lock(m_mutex);
        if (m_stop) {
            ::close(fd);
            return;
        }
        m_clientFds.push_back(fd);
        m_clientThreads.emplace_back([this, fd, connection = ++m_accepted] { serve(fd, connection); });
    }
}

bool ScriptedHttpServer::waitUnlessStopping(std::chrono::milliseconds wait) {
    std::unique_lock lock(m_mutex);
    return !m_stopping.wait_for(lock, wait, [this] { return m_stop; });
}

void ScriptedHttpServer::serve(int fd, std::size_t connection) {
    if (!m_tls) {
        ScriptedWire wire(fd, nullptr);
        answer(fd, connection, wire);
    } else if (std::unique_ptr<SSL, decltype(&SSL_free)> tls(SSL_new(m_tls.get()), &SSL_free); tls && SSL_set_fd(tls.get(), fd) == 1) {
        // A peer that goes mid-answer must not end the test with SIGPIPE, and TLS writes with write():
        // the signal is held back in this thread, and dropped with it.
        sigset_t pipe;
        sigemptyset(&pipe);
        sigaddset(&pipe, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipe, nullptr);
        if (SSL_accept(tls.get()) == 1) {
            ScriptedWire wire(fd, tls.get());
            answer(fd, connection, wire);
            SSL_shutdown(tls.get());
        } else {
            std::lock_guard lock(m_mutex);
            ++m_refusedHandshakes;
        }
    }
    ::shutdown(fd, SHUT_RDWR);
    std::lock_guard lock(m_mutex);
    m_clientFds.erase(std::remove(m_clientFds.begin(), m_clientFds.end(), fd), m_clientFds.end());
    ::close(fd);
    m_closed.insert(connection);
    m_stopping.notify_all();
}

void ScriptedHttpServer::answer(int fd, std::size_t connection, ScriptedWire& wire) {
    QByteArray buffer;
    for (;;) {
        RecordedRequest request;
        if (!readRequest(wire, buffer, request))
            break;
        request.connection = connection;
        ScriptedResponse response;
        {
            std::lock_guard lock(m_mutex);
            m_requests.push_back(request);
            const auto route = m_routes.find(request.path());
            response = route != m_routes.end() ? route->second : m_fallback;
        }
        if (response.delay.count() > 0 && !waitUnlessStopping(response.delay))
            break;

        if (response.kind == ScriptedResponse::Kind::Stall) {
            waitUnlessStopping(std::chrono::hours(1));
            break;
        }
        if (response.kind == ScriptedResponse::Kind::Raw) {
            wire.writeAll(response.body);
            break;
        }
        if (response.kind == ScriptedResponse::Kind::Endless) {
            bool sent = wire.writeAll(headOf(response, "Connection: close"));
            const QByteArray piece = response.body.repeated(std::max<qsizetype>(1, 64 * 1024 / std::max<qsizetype>(1, response.body.size())));
            while (sent && !piece.isEmpty()) {
                {
                    std::lock_guard lock(m_mutex);
                    if (m_stop)
                        break;
                }
                sent = wire.writeAll(piece);
            }
            break;
        }
        if (response.kind == ScriptedResponse::Kind::Gated) {
            const auto chunk = [](const QByteArray& bytes) {
                return bytes.isEmpty() ? QByteArray() : QByteArray::number(bytes.size(), 16) + "\r\n" + bytes + "\r\n";
            };
            if (!wire.writeAll(headOf(response, "Transfer-Encoding: chunked") + chunk(response.body))) {
                std::lock_guard lock(m_mutex);
                ++m_hangUps; // gone before the answer began
                m_stopping.notify_all();
                break;
            }
            // Wait for the gate, looking out for the client's hang-up meanwhile.
            bool hungUp = false;
            for (;;) {
                std::unique_lock lock(m_mutex);
                if (m_stop || m_gateOpen)
                    break;
                pollfd watch{fd, POLLRDHUP, 0};
                if (::poll(&watch, 1, 0) == 1 && (watch.revents & (POLLRDHUP | POLLHUP | POLLERR))) {
                    hungUp = true;
                    ++m_hangUps;
                    m_stopping.notify_all();
                    break;
                }
                m_stopping.wait_for(lock, std::chrono::milliseconds(20));
            }
            if (hungUp || !wire.writeAll(chunk(response.rest) + "0\r\n\r\n") || response.closeAfter)
                break;
            continue;
        }
        const bool cut = response.kind == ScriptedResponse::Kind::CloseMidBody; // promises more than it sends
        const qsizetype declared = cut ? response.body.size() * 2 + 64 : response.body.size();
        if (!wire.writeAll(headOf(response, "Content-Length: " + QByteArray::number(declared)) + response.body) || cut ||
            response.closeAfter)
            break;
    }
}

} // namespace tavrin::test
