#include "server/HttpServer.h"

#include "server/HttpReply.h"

#include <QHostAddress>

#include <thread>

#include <cerrno>
#include <cstring>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace tavrin {

namespace {

// Only SO_REUSEADDR: the library's default adds SO_REUSEPORT, with which a second server
// would silently share the port and the kernel would split requests between the two.
void exclusiveSocketOptions(int sock) {
    int yes = 1;
    ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
}

// cpp-httplib reports a failed bind without its cause; a plain bind of the same address finds it.
QString bindFailure(const QString& host, int port) {
    const QHostAddress address(host);
    const bool v6 = address.protocol() == QAbstractSocket::IPv6Protocol;
    const int sock = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    QString reason = QStringLiteral("cannot bind");
    if (sock >= 0) {
        exclusiveSocketOptions(sock);
        int rc = -1;
        if (v6) {
            sockaddr_in6 sa{};
            sa.sin6_family = AF_INET6;
            sa.sin6_port = htons(quint16(port));
            const Q_IPV6ADDR raw = address.toIPv6Address();
            std::memcpy(&sa.sin6_addr, &raw, sizeof raw);
            rc = ::bind(sock, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        } else {
            sockaddr_in sa{};
            sa.sin_family = AF_INET;
            sa.sin_port = htons(quint16(port));
            sa.sin_addr.s_addr = htonl(address.toIPv4Address());
            rc = ::bind(sock, reinterpret_cast<sockaddr*>(&sa), sizeof sa);
        }
        if (rc != 0)
            reason = QString::fromLocal8Bit(std::strerror(errno)).toLower();
        ::close(sock);
    }
    return QStringLiteral("cannot listen on %1:%2: %3").arg(host).arg(port).arg(reason);
}

} // namespace

HttpServer::HttpServer(ServerContext& context, std::size_t workers)
    : m_context(context), m_admin(context), m_inference(context) {
    m_server.new_task_queue = [workers] { return new httplib::ThreadPool(workers); };
    m_server.set_socket_options(exclusiveSocketOptions);
    // Headers and body go out in separate writes; without this, Nagle's algorithm and delayed
    // acknowledgements add tens of milliseconds to every keep-alive answer.
    m_server.set_tcp_nodelay(true);
    m_server.set_keep_alive_max_count(1000);
    m_server.set_payload_max_length(maxBodyBytes);
    m_server.set_error_handler([](const httplib::Request& req, httplib::Response& res) {
        if (!res.body.empty() || res.has_header("Content-Type"))
            return;
        if (res.status == 413)
            replyText(res, 413, QStringLiteral("request body is larger than 1 MiB"));
        else if (res.status == 400 && !req.has_header("Content-Length") &&
                 (req.method == "POST" || req.method == "PUT" || req.method == "PATCH"))
            replyText(res, 400, QStringLiteral("%1 needs a body with a Content-Length, even if it is {}")
                                    .arg(QString::fromStdString(req.method)));
        else if (res.status != 204 && !res.is_chunked_content_provider_)
            replyText(res, res.status, QStringLiteral("request failed: %1").arg(pathOf(req)));
    });
    const auto route = [this](const httplib::Request& req, httplib::Response& res) { dispatch(req, res); };
    static const std::string everything = R"(/.*)";
    m_server.Get(everything, route);
    m_server.Post(everything, route);
    m_server.Put(everything, route);
    m_server.Patch(everything, route);
    m_server.Delete(everything, route);
    m_server.Options(everything, route);
}

void HttpServer::dispatch(const httplib::Request& req, httplib::Response& res) {
    const std::string& path = req.path;
    if (path == "/healthz") {
        if (req.method == "GET")
            replyText(res, 200, QStringLiteral("ok"));
        else
            replyText(res, 405, QStringLiteral("method %1 is not allowed on /healthz").arg(QString::fromStdString(req.method)));
    } else if (path.starts_with("/admin/") || path == "/admin") {
        m_admin.handle(req, res);
    } else if (path.starts_with("/v1/") || path.starts_with("/api/")) {
        m_inference.handle(req, res);
    } else {
        replyText(res, 404, QStringLiteral("nothing at %1").arg(pathOf(req)));
    }
}

std::expected<int, QString> HttpServer::bind(const QString& host, int port) {
    const std::string h = host.toStdString();
    if (port == 0) {
        const int bound = m_server.bind_to_any_port(h);
        if (bound <= 0)
            return std::unexpected(bindFailure(host, 0));
        return bound;
    }
    if (!m_server.bind_to_port(h, port))
        return std::unexpected(bindFailure(host, port));
    return port;
}

bool HttpServer::serve() {
    const bool served = m_server.listen_after_bind();
    m_served = true;
    return served;
}

void HttpServer::stop() {
    // cpp-httplib ignores a stop that comes before it starts serving, and the server would then
    // serve on; a SIGTERM right after start waits the moment until serving has begun.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (!m_server.is_running() && !m_served && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    m_server.stop();
}

} // namespace tavrin
