#pragma once

// An open-loop HTTP load: requests are due at a fixed rate whether or not earlier answers have
// come back, and each latency is counted from when its request was due, so a stalled server
// shows up in the percentiles instead of quietly lowering the rate (coordinated omission).

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace tavrin::bench {

struct LoadResult {
    std::vector<double> latenciesMs; // of the answered requests, sorted
    std::uint64_t sent = 0;
    std::uint64_t failed = 0; // no answer, or not 2xx
    double seconds = 0;

    double percentile(double p) const;
    double throughput() const { return seconds > 0 ? double(sent - failed) / seconds : 0; }
};

struct LoadPlan {
    int port = 0;
    std::string request; // the whole HTTP/1.1 request, keep-alive
    double ratePerSecond = 1000;
    std::chrono::seconds duration{10};
    int connections = 4;
};

LoadResult runLoad(const LoadPlan& plan);

// One request on a fresh connection; the whole answer, or empty when there was none.
std::string exchangeOnce(int port, const std::string& request);

// Connections that hold a place on the server and do nothing more: `halfOpen` that stop in the
// middle of their request's headers, and `idle` that keep the connection after one answer.
class SlowCrowd {
public:
    SlowCrowd(int port, int halfOpen, int idle);
    ~SlowCrowd();
    SlowCrowd(const SlowCrowd&) = delete;
    SlowCrowd& operator=(const SlowCrowd&) = delete;

    int opened() const { return int(m_fds.size()); }
    // How many the server has not closed.
    int stillOpen() const;

private:
    std::vector<int> m_fds;
};

// A connection kept open for one request after another, as the panel keeps its own.
class KeptConnection {
public:
    explicit KeptConnection(int port);
    ~KeptConnection();
    KeptConnection(const KeptConnection&) = delete;
    KeptConnection& operator=(const KeptConnection&) = delete;

    // The answer's status, or -1 when there was none.
    int exchange(const std::string& request);

private:
    int m_fd;
};

// How a password guesser gets around a throttle that delays only the (slow) wrong answers:
// `connections` at once, each sending a guess, dropping the connection when no answer has come
// within `patience`, and starting over with the next guess, for `duration`.
struct DroppedGuesses {
    std::uint64_t sent = 0;
    std::uint64_t answered = 0; // within the patience
};
DroppedGuesses guessAndDrop(int port, int connections, std::chrono::milliseconds patience, std::chrono::seconds duration,
                            const std::function<std::string(std::uint64_t number)>& guess);

} // namespace tavrin::bench
