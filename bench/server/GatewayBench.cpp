// The server as a gateway in front of an OpenAI-compatible engine, against the same scripted
// engine called directly: time to the first piece (p50, p99) and pieces per second at 1, 16 and
// 64 streams at once, and the server's resident memory per open stream. Prints numbers; judges none.
// Usage: bench-server-gateway (with TAVRIN_BUILD_DIR set, as the tests have it)

#include "support/ReferenceServer.h"
#include "support/ScriptedHttpServer.h"

#include "protocol/DaemonClient.h"
#include "protocol/Task.h"

#include <QCoreApplication>
#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

using namespace tavrin;
using namespace tavrin::test;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int piecesPerAnswer = 64;
constexpr int answersPerStream = 20;

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

void measure(const char* path, quint16 port, const QByteArray& request) {
    for (const int streams : {1, 16, 64}) {
        std::vector<Timing> timings(std::size_t(streams * answersPerStream));
        const auto start = Clock::now();
        std::vector<std::thread> threads;
        for (int s = 0; s < streams; ++s)
            threads.emplace_back([&, s] {
                for (int a = 0; a < answersPerStream; ++a)
                    timings[std::size_t(s * answersPerStream + a)] = stream(port, request);
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
        const auto at = [&](double p) { return first.empty() ? -1.0 : first[std::min(first.size() - 1, std::size_t(p * double(first.size())))]; };
        std::printf("%-8s streams %3d  first piece p50 %7.2f ms  p99 %7.2f ms  %9.0f pieces/s  (%zu of %zu answers)\n", path, streams,
                    at(0.5), at(0.99), double(pieces) / seconds, first.size(), timings.size());
    }
}

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

    std::printf("%d pieces an answer, %d answers a stream, each on a fresh connection\n", piecesPerAnswer, answersPerStream);
    measure("direct", upstream.port(), chatRequest(QString()));
    measure("gateway", gateway.port(), chatRequest(key));

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
