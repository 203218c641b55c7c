#pragma once

#include "server/support/HttpMessage.h"

#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

// An answer its handler cannot give before it returns: one that a generation is still making.
// The handler hands the feed over at once, so no worker waits for an engine; the producer fills
// it in from the engine's events, and the HTTP side writes what has come as the client takes it.
// Either a whole answer comes, once (a request that wanted it whole, or a failure before the
// first piece), or a head, then bytes, then an end.
//
// What the client has not taken yet is bounded: a client that reads slower than the engine
// writes does not make the server hold the answer. Past `bound`, push() refuses and the producer
// ends the answer with its last word, which is always taken.
class AnswerFeed {
public:
    explicit AnswerFeed(std::size_t bound) : m_bound(bound) {}
    ~AnswerFeed();
    AnswerFeed(const AnswerFeed&) = delete;
    AnswerFeed& operator=(const AnswerFeed&) = delete;

    // The producer's side, from any thread.
    void answer(HttpResponse whole);
    void begin(HttpResponse head); // status, headers and type of a body that comes in pieces
    // False once the client has gone, or has more than `bound` bytes untaken: end now. Bytes
    // given to a feed with nothing untaken are kept as they are, not copied.
    bool push(std::string bytes);
    // The last bytes; `closeConnection` when the answer broke off and the client must not take
    // the connection's next answer for part of this one.
    void end(std::string last = {}, bool closeConnection = false);
    // Kept until the answer is over (ended or answered whole) or its client has gone: a
    // generation's handle, whose drop cancels it, and its admission slot.
    void hold(std::shared_ptr<void> held);

    // The HTTP side's, on its own thread.
    struct Taken {
        std::optional<HttpResponse> whole; // instead of everything below
        std::optional<HttpResponse> head;  // once, before the first bytes
        std::string bytes;
        bool ended = false;
        bool closeConnection = false;
    };
    Taken take();
    // `wake` runs on the producer's thread each time there is something new to take (at once
    // when there already is).
    void watch(std::function<void()> wake);
    // The client has gone: what is held is let go at once, and every push after is refused.
    void abandon();

private:
    void release(std::unique_lock<std::mutex>& lock);

    mutable std::mutex m_mutex;
    const std::size_t m_bound;
    std::optional<HttpResponse> m_whole;
    std::optional<HttpResponse> m_head;
    bool m_headTaken = false;
    std::string m_bytes;
    bool m_ended = false;
    bool m_closeConnection = false;
    bool m_abandoned = false;
    std::vector<std::shared_ptr<void>> m_held;
    std::function<void()> m_wake;
};

} // namespace tavrin
