#include "server/PasswordThrottle.h"

#include <algorithm>

namespace tavrin {

std::chrono::milliseconds PasswordThrottle::failed(Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    while (!m_failures.empty() && now - m_failures.front() >= window)
        m_failures.pop_front();
    m_failures.push_back(now);
    // Past this many the delay is at its ceiling anyway; a flood keeps no longer a list.
    if (m_failures.size() > std::size_t(freeFailures + 32))
        m_failures.pop_front();
    const int beyond = int(m_failures.size()) - freeFailures;
    if (beyond <= 0)
        return std::chrono::milliseconds(0);
    // 250 ms, 500 ms, 1 s, … : the shift stops growing long before it could overflow.
    const auto delay = firstDelay * (1LL << std::min(beyond - 1, 16));
    return std::min<std::chrono::milliseconds>(delay, longestDelay);
}

} // namespace tavrin
