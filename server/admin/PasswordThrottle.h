#pragma once

#include <QtGlobal>

#include <chrono>
#include <deque>
#include <mutex>

namespace tavrin {

// Slows down wrong admin passwords. A few mistakes in a minute cost nothing; after that each wrong
// password closes the gate for twice as long as the one before (up to a ceiling): no password is
// judged until it opens again, and the wrong one's refusal waits as long. What is held back is the
// judging itself, not only the answer, so a guesser gains nothing from many connections, nor from
// dropping the ones whose answer is slow to come. The right password is never refused, and is
// answered at once whenever the gate is open. All admin clients are on loopback, where anyone can
// pick any 127.x source address, so the failures are counted for all of them together.
class PasswordThrottle {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr int freeFailures = 5;
    static constexpr std::chrono::seconds window{60};
    static constexpr std::chrono::milliseconds firstDelay{250};
    static constexpr std::chrono::milliseconds longestDelay{8000};

    // How long until the next password may be judged; zero when it may be now.
    std::chrono::milliseconds untilOpen(Clock::time_point now = Clock::now()) const;
    // Counts a wrong password judged at `now` and answers how long the gate now stays closed.
    std::chrono::milliseconds failed(Clock::time_point now = Clock::now());
    // Wrong passwords judged since the start.
    quint64 failures() const;

private:
    mutable std::mutex m_mutex;
    std::deque<Clock::time_point> m_failures; // within the window, oldest first
    Clock::time_point m_opensAt{};
    quint64 m_total = 0;
};

} // namespace tavrin
