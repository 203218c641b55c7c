#include "LoadGenerator.h"

#include <algorithm>
#include <arpa/inet.h>
#include <atomic>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <mutex>
#include <poll.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace tavrin::bench {

namespace {

using Clock = std::chrono::steady_clock;

int connectTo(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    int yes = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &yes, sizeof yes);
    // A server that stops answering shows as failed requests, not as a benchmark that hangs.
    // (On Linux the send timeout bounds connect() too: a full accept queue does not hang us.)
    const timeval patience{10, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
    const timeval connectPatience{2, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &connectPatience, sizeof connectPatience);
    sockaddr_in sa{};
    sa.sin_family = AF_INET;
    sa.sin_port = htons(std::uint16_t(port));
    sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Reads one answer with a Content-Length body; the status, or -1 when the connection failed.
int readAnswer(int fd, std::string& buffer) {
    buffer.clear();
    char chunk[16384];
    std::size_t headerEnd = std::string::npos;
    std::size_t total = 0;
    for (;;) {
        if (headerEnd == std::string::npos) {
            headerEnd = buffer.find("\r\n\r\n");
            if (headerEnd != std::string::npos) {
                const std::size_t at = buffer.find("Content-Length: ");
                const std::size_t length = at == std::string::npos ? 0 : std::stoul(buffer.substr(at + 16));
                total = headerEnd + 4 + length;
            }
        }
        if (headerEnd != std::string::npos && buffer.size() >= total)
            return std::atoi(buffer.c_str() + 9);
        const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
        if (n <= 0)
            return -1;
        buffer.append(chunk, std::size_t(n));
    }
}

} // namespace

double LoadResult::percentile(double p) const {
    if (latenciesMs.empty())
        return 0;
    const std::size_t i = std::min(latenciesMs.size() - 1, std::size_t(std::ceil(p / 100.0 * double(latenciesMs.size()))) - 1);
    return latenciesMs[i];
}

std::string exchangeOnce(int port, const std::string& request) {
    const int fd = connectTo(port);
    if (fd < 0)
        return {};
    std::string buffer;
    const bool ok = ::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size()) &&
                    readAnswer(fd, buffer) > 0;
    ::close(fd);
    return ok ? buffer : std::string();
}

SlowCrowd::SlowCrowd(int port, int halfOpen, int idle) {
    static const std::string unfinished = "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: slow";
    static const std::string health = "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
    std::vector<int> waiting;
    const auto giveUp = Clock::now() + std::chrono::seconds(10);
    for (int i = 0; i < halfOpen + idle && Clock::now() < giveUp; ++i) {
        const int fd = connectTo(port);
        if (fd < 0)
            continue;
        const std::string& bytes = i < halfOpen ? unfinished : health;
        if (::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) != ssize_t(bytes.size())) {
            ::close(fd);
            continue;
        }
        (i < halfOpen ? m_fds : waiting).push_back(fd);
    }
    // The idle ones become idle once answered; a server that cannot answer them all within a
    // few seconds keeps the rest busy instead, and they are not counted.
    const auto deadline = Clock::now() + std::chrono::seconds(5);
    std::string buffer;
    for (int fd : waiting) {
        const auto left = std::max<Clock::duration>(std::chrono::milliseconds(1), deadline - Clock::now());
        const auto us = std::chrono::duration_cast<std::chrono::microseconds>(left).count();
        const timeval patience{time_t(us / 1'000'000), suseconds_t(us % 1'000'000)};
        ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof patience);
        if (readAnswer(fd, buffer) == 200)
            m_fds.push_back(fd);
        else
            ::close(fd);
    }
}

SlowCrowd::~SlowCrowd() {
    for (int fd : m_fds)
        ::close(fd);
}

int SlowCrowd::stillOpen() const {
    int open = 0;
    for (int fd : m_fds) {
        char c;
        if (::recv(fd, &c, 1, MSG_PEEK | MSG_DONTWAIT) < 0 && errno == EAGAIN)
            ++open;
    }
    return open;
}

LoadResult runLoad(const LoadPlan& plan) {
    LoadResult result;
    std::mutex mutex;
    const auto start = Clock::now() + std::chrono::milliseconds(50);
    const auto end = start + plan.duration;
    const auto interval = std::chrono::duration<double>(double(plan.connections) / plan.ratePerSecond);

    std::vector<std::thread> workers;
    for (int c = 0; c < plan.connections; ++c) {
        workers.emplace_back([&, c] {
            std::vector<double> latencies;
            std::uint64_t sent = 0;
            std::uint64_t failed = 0;
            std::string buffer;
            int fd = connectTo(plan.port);
            const auto offset = std::chrono::duration<double>(double(c) / plan.ratePerSecond);
            for (std::uint64_t k = 0;; ++k) {
                const auto due = start + std::chrono::duration_cast<Clock::duration>(offset + k * interval);
                if (due >= end)
                    break;
                std::this_thread::sleep_until(due);
                ++sent;
                if (fd < 0)
                    fd = connectTo(plan.port);
                const bool written = fd >= 0 && ::send(fd, plan.request.data(), plan.request.size(), MSG_NOSIGNAL) ==
                                                    ssize_t(plan.request.size());
                const int status = written ? readAnswer(fd, buffer) : -1;
                if (status < 0) {
                    if (fd >= 0)
                        ::close(fd);
                    fd = -1;
                }
                if (status < 200 || status > 299) {
                    ++failed;
                    continue;
                }
                // The server closes a keep-alive connection after many requests; reconnect then.
                if (buffer.find("Connection: close") != std::string::npos) {
                    ::close(fd);
                    fd = -1;
                }
                latencies.push_back(std::chrono::duration<double, std::milli>(Clock::now() - due).count());
            }
            if (fd >= 0)
                ::close(fd);
            std::lock_guard lock(mutex);
            result.latenciesMs.insert(result.latenciesMs.end(), latencies.begin(), latencies.end());
            result.sent += sent;
            result.failed += failed;
        });
    }
    for (auto& w : workers)
        w.join();
    result.seconds = std::chrono::duration<double>(plan.duration).count();
    std::sort(result.latenciesMs.begin(), result.latenciesMs.end());
    return result;
}

KeptConnection::KeptConnection(int port) : m_fd(connectTo(port)) {}

KeptConnection::~KeptConnection() {
    if (m_fd >= 0)
        ::close(m_fd);
}

int KeptConnection::exchange(const std::string& request) {
    std::string buffer;
    if (m_fd < 0 || ::send(m_fd, request.data(), request.size(), MSG_NOSIGNAL) != ssize_t(request.size()))
        return -1;
    return readAnswer(m_fd, buffer);
}

DroppedGuesses guessAndDrop(int port, int connections, std::chrono::milliseconds patience, std::chrono::seconds duration,
                            const std::function<std::string(std::uint64_t number)>& guess) {
    std::atomic<std::uint64_t> next = 0;
    std::atomic<std::uint64_t> sent = 0;
    std::atomic<std::uint64_t> answered = 0;
    const auto end = Clock::now() + duration;
    std::vector<std::thread> guessers;
    for (int i = 0; i < connections; ++i)
        guessers.emplace_back([&] {
            while (Clock::now() < end) {
                const std::string request = guess(next++);
                const int fd = connectTo(port);
                if (fd < 0)
                    continue;
                pollfd ready{fd, POLLIN, 0};
                char c;
                if (::send(fd, request.data(), request.size(), MSG_NOSIGNAL) == ssize_t(request.size())) {
                    ++sent;
                    if (::poll(&ready, 1, int(patience.count())) == 1 && ::recv(fd, &c, 1, MSG_PEEK) > 0)
                        ++answered;
                }
                ::close(fd);
            }
        });
    for (std::thread& guesser : guessers)
        guesser.join();
    return {sent.load(), answered.load()};
}

} // namespace tavrin::bench
