#pragma once

#include <chrono>
#include <deque>
#include <mutex>

namespace tavrin {

// Slows down wrong admin passwords. A few mistakes in a minute cost nothing; after that each wrong
// answer waits twice as long as the one before (up to a ceiling), so that guessing is slow however
// many connections a guesser opens. The right password is never delayed and never refused: the
// throttle only decides how long a refusal waits. All admin clients are on loopback, where anyone
// can pick any 127.x source address, so the failures are counted for all of them together.
class PasswordThrottle {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr int freeFailures = 5;
    static constexpr std::chrono::seconds window{60};
    static constexpr std::chrono::milliseconds firstDelay{250};
    static constexpr std::chrono::milliseconds longestDelay{8000};

    // Counts a wrong password and answers how long its refusal waits.
    std::chrono::milliseconds failed(Clock::time_point now = Clock::now());

private:
    std::mutex m_mutex;
    std::deque<Clock::time_point> m_failures; // within the window, oldest first
};

} // namespace tavrin
