// The server as a gateway in front of an OpenAI-compatible engine, against the same scripted
// engine called directly and through nginx as a plain reverse proxy (unbuffered, keep-alive to the
// engine, one worker process, as the gateway has one I/O thread): time to the first piece (p50,
// p99) and pieces per second at 1, 16 and 64 streams at once, each path's added time over direct
// and its throughput against nginx's; then the server's resident memory per open stream. Prints
// numbers, ending with a Markdown table; judges none. Without nginx installed, it says so and
// leaves its column out.
// Usage: bench-server-gateway (with TAVRIN_BUILD_DIR set, as the tests have it)

#include "support/HttpProbe.h"
#include "support/ReferenceServer.h"
#include "support/ScriptedHttpServer.h"

#include "protocol/DaemonClient.h"
#include "protocol/Task.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <expected>
#include <map>
#include <memory>
#include <thread>
#include <vector>

using namespace tavrin;
using namespace tavrin::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int piecesPerAnswer = 64;
// About two thousand answers at each level, so that a p99 rests on some twenty of them.
int answersPerStream(int streams) { return std::max(32, 2048 / streams); }

QByteArray eventStream() {
    QByteArray out;
    for (int i = 0; i < piecesPerAnswer; ++i)
        out += "data: {\"choices\":[{\"index\":0,\"delta\":{\"content\":\"word" + QByteArray::number(i) + " \"}}]}\n\n";
    out += "data: {\"choices\":[{\"index\":0,\"delta\":{},\"finish_reason\":\"stop\"}]}\n\n";
    out += "data: {\"choices\":[],\"usage\":{\"prompt_tokens\":8,\"completion_tokens\":64,\"total_tokens\":72}}\n\n";
    return out + "data: [DONE]\n\n";
}

struct Timing {
    double firstPieceMs = -1;
    int pieces = 0;
};

// One streamed answer on a fresh connection: when its first piece came, and how many came.
Timing stream(quint16 port, const QByteArray& request) {
    Timing timing;
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const auto start = Clock::now();
    if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL) != request.size()) {
        ::close(fd);
        return timing;
    }
    QByteArray received;
    char buffer[16384];
    while (!received.contains("data: [DONE]")) {
        pollfd watch{fd, POLLIN, 0};
        if (::poll(&watch, 1, 30000) != 1)
            break;
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        received.append(buffer, n);
        if (timing.firstPieceMs < 0 && received.contains("\"content\":\"word"))
            timing.firstPieceMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
    }
    timing.pieces = int(received.count("\"content\":\"word"));
    ::close(fd);
    return timing;
}

QByteArray chatRequest(const QString& key) {
    const QByteArray body = R"({"model":"bench-model","messages":[{"role":"user","content":"Count to sixty-four."}],"stream":true})";
    QByteArray request = "POST /v1/chat/completions HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n";
    if (!key.isEmpty())
        request += "Authorization: Bearer " + key.toUtf8() + "\r\n";
    return request + "Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
}

struct Figures {
    double p50 = std::nan(""); // no answer came
    double p99 = std::nan("");
    double piecesPerSecond = 0;
};

Figures measure(const char* path, int streams, quint16 port, const QByteArray& request) {
    const int answers = answersPerStream(streams);
    std::vector<Timing> timings(std::size_t(streams * answers));
    const auto start = Clock::now();
    std::vector<std::thread> threads;
    for (int s = 0; s < streams; ++s)
        threads.emplace_back([&, s] {
            for (int a = 0; a < answers; ++a)
                timings[std::size_t(s * answers + a)] = stream(port, request);
        });
    for (auto& thread : threads)
        thread.join();
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::vector<double> first;
    long pieces = 0;
    for (const auto& t : timings) {
        if (t.firstPieceMs >= 0)
            first.push_back(t.firstPieceMs);
        pieces += t.pieces;
    }
    std::sort(first.begin(), first.end());
    const auto at = [&](double p) { return first.empty() ? std::nan("") : first[std::min(first.size() - 1, std::size_t(p * double(first.size())))]; };
    const Figures figures{at(0.5), at(0.99), double(pieces) / seconds};
    std::printf("%-8s streams %3d  first piece p50 %7.2f ms  p99 %7.2f ms  %9.0f pieces/s  (%zu of %zu answers)\n", path, streams,
                figures.p50, figures.p99, figures.piecesPerSecond, first.size(), timings.size());
    std::fflush(stdout);
    return figures;
}

// nginx as a plain reverse proxy in front of the engine, run as a child of this process with its
// own configuration in a folder of its own; gone with this object.
class ReverseProxy {
public:
    static std::expected<std::unique_ptr<ReverseProxy>, QString> start(quint16 upstreamPort) {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("nginx"), {"/usr/sbin", "/usr/local/sbin", "/sbin"});
        const QString onPath = program.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("nginx")) : program;
        if (onPath.isEmpty())
            return std::unexpected(QStringLiteral("nginx is not installed (apt-get install nginx)"));
        auto proxy = std::unique_ptr<ReverseProxy>(new ReverseProxy);
        if (!proxy->m_folder.isValid())
            return std::unexpected(QStringLiteral("no temporary folder for its configuration"));
        proxy->m_port = freeLoopbackPort();
        const QString folder = proxy->m_folder.path();
        QFile config(folder + "/nginx.conf");
        if (!config.open(QIODevice::WriteOnly))
            return std::unexpected(QStringLiteral("its configuration could not be written"));
        config.write(QStringLiteral(R"(worker_processes 1;
error_log %1/error.log warn;
pid %1/nginx.pid;
events { worker_connections 4096; }
http {
    access_log off;
    client_body_temp_path %1/body;
    proxy_temp_path %1/proxy;
    fastcgi_temp_path %1/fastcgi;
    uwsgi_temp_path %1/uwsgi;
    scgi_temp_path %1/scgi;
    upstream engine {
        server 127.0.0.1:%2;
        keepalive 128;
    }
    server {
        listen 127.0.0.1:%3;
        location / {
            proxy_pass http://engine;
            proxy_http_version 1.1;
            proxy_set_header Connection "";
            proxy_buffering off;
        }
    }
}
)")
                         .arg(folder)
                         .arg(upstreamPort)
                         .arg(proxy->m_port)
                         .toUtf8());
        config.close();
        proxy->m_process.setProcessChannelMode(QProcess::MergedChannels);
        proxy->m_process.start(onPath, {"-p", folder, "-c", folder + "/nginx.conf", "-g", "daemon off;"});
        if (!proxy->m_process.waitForStarted(5000))
            return std::unexpected(QStringLiteral("nginx did not start: %1").arg(proxy->m_process.errorString()));
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (proxy->m_process.state() != QProcess::Running)
                return std::unexpected(QStringLiteral("nginx stopped at once: %1").arg(QString::fromLocal8Bit(proxy->m_process.readAll()).trimmed()));
            if (accepts(proxy->m_port))
                return proxy;
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        return std::unexpected(QStringLiteral("nginx did not listen on port %1 within 5 seconds").arg(proxy->m_port));
    }
    ~ReverseProxy() {
        if (m_process.state() == QProcess::NotRunning)
            return;
        m_process.terminate();
        if (!m_process.waitForFinished(5000)) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    quint16 port() const { return m_port; }

private:
    ReverseProxy() = default;

    static bool accepts(quint16 port) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(port);
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
        ::close(fd);
        return connected;
    }

    QTemporaryDir m_folder;
    QProcess m_process;
    quint16 m_port = 0;
};

QString ms(double value) { return std::isnan(value) ? QStringLiteral("—") : QString::number(value, 'f', 2); }

long residentKiB(qint64 pid) {
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ScriptedHttpServer upstream;
    upstream.route("/v1/chat/completions", ScriptedResponse::json(200, eventStream()).withType("text/event-stream"));
    upstream.route("/v1/models", ScriptedResponse::json(200, R"({"data":[{"id":"bench-model"}]})"));

    ReferenceServer gateway;
    if (auto started = gateway.start(ReferenceServerOptions({"--max-concurrency", "128", "--max-queue-depth", "128"})); !started) {
        std::fprintf(stderr, "the gateway did not start: %s\n", qPrintable(started.error()));
        return 1;
    }
    const auto client = gateway.client();
    ClientEngineSettings engine;
    engine.kind = QStringLiteral("openai");
    engine.url = upstream.baseUrl().toString() + "/v1";
    engine.model = QStringLiteral("bench-model");
    if (const auto set = QCoro::waitFor(client->updateEngineSettings(engine)); !set) {
        std::fprintf(stderr, "the engine was not set: %s\n", qPrintable(set.error().message()));
        return 1;
    }
    const QString key = QCoro::waitFor(client->createKey(QStringLiteral("bench"), std::nullopt)).value_or(ClientCreatedAPIKey{}).key;

    auto proxy = ReverseProxy::start(upstream.port());
    if (!proxy)
        std::printf("nginx column left out: %s\n", qPrintable(proxy.error()));

    std::printf("%d pieces an answer, %d to %d answers a stream, each on a fresh connection\n", piecesPerAnswer, answersPerStream(64),
                answersPerStream(1));
    constexpr int levels[] = {1, 16, 64};
    std::map<int, Figures> direct, nginx, through;
    for (const int streams : levels) {
        direct[streams] = measure("direct", streams, upstream.port(), chatRequest(QString()));
        if (proxy)
            nginx[streams] = measure("nginx", streams, (*proxy)->port(), chatRequest(QString()));
        through[streams] = measure("gateway", streams, gateway.port(), chatRequest(key));
    }

    // Ready to paste: first-piece times added over direct, throughput, and throughput against nginx's.
    std::printf("\n| streams | path | first piece p50 (ms) | p99 (ms) | added p50 / p99 over direct (ms) | pieces/s | × nginx |\n");
    std::printf("|---:|---|---:|---:|---:|---:|---:|\n");
    for (const int streams : levels) {
        const auto row = [&](const char* path, const Figures& f) {
            const Figures& d = direct[streams];
            const QString added = &f == &d ? QStringLiteral("—")
                                           : QStringLiteral("%1 / %2").arg(ms(f.p50 - d.p50), ms(f.p99 - d.p99));
            const QString ratio = proxy && nginx[streams].piecesPerSecond > 0
                                      ? QString::number(f.piecesPerSecond / nginx[streams].piecesPerSecond, 'f', 2)
                                      : QStringLiteral("—");
            std::printf("| %d | %s | %s | %s | %s | %.0f | %s |\n", streams, path, qPrintable(ms(f.p50)), qPrintable(ms(f.p99)),
                        qPrintable(added), f.piecesPerSecond, qPrintable(ratio));
        };
        row("direct", direct[streams]);
        if (proxy)
            row("nginx", nginx[streams]);
        row("gateway", through[streams]);
    }
    std::printf("\n");

    // Open streams held at the engine's gate: what each costs the server while it waits.
    upstream.route("/v1/chat/completions",
                   ScriptedResponse::gated(200, "text/event-stream", "data: {\"choices\":[{\"index\":0,\"delta\":{\"content\":\"word0\"}}]}\n\n",
                                           "data: [DONE]\n\n"));
    constexpr int held = 100;
    const long before = residentKiB(gateway.pid());
    std::vector<int> fds;
    for (int i = 0; i < held; ++i) {
        const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(gateway.port());
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        const QByteArray request = chatRequest(key);
        if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0)
            (void)::send(fd, request.constData(), size_t(request.size()), MSG_NOSIGNAL);
        fds.push_back(fd);
    }
    for (int fd : fds) { // each has its first piece: its stream is open end to end
        char buffer[4096];
        pollfd watch{fd, POLLIN, 0};
        if (::poll(&watch, 1, 30000) == 1)
            (void)::recv(fd, buffer, sizeof buffer, 0);
    }
    const long after = residentKiB(gateway.pid());
    std::printf("gateway resident memory: %ld KiB, %ld KiB with %d open streams: %.1f KiB a stream\n", before, after, held,
                double(after - before) / held);
    upstream.openGate();
    for (int fd : fds)
        ::close(fd);
    return 0;
}
