#include "server/admin/PasswordThrottle.h"

#include <algorithm>

namespace tavrin {

std::chrono::milliseconds PasswordThrottle::untilOpen(Clock::time_point now) const {
    std::lock_guard lock(m_mutex);
    if (now >= m_opensAt)
        return std::chrono::milliseconds(0);
    // Rounded up: a timer set for the figure finds the gate open.
    return std::chrono::ceil<std::chrono::milliseconds>(m_opensAt - now);
}

std::chrono::milliseconds PasswordThrottle::failed(Clock::time_point now) {
    std::lock_guard lock(m_mutex);
    ++m_total;
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
    const auto delay = std::min<std::chrono::milliseconds>(firstDelay * (1LL << std::min(beyond - 1, 16)), longestDelay);
    m_opensAt = std::max(m_opensAt, now + delay);
    return delay;
}

quint64 PasswordThrottle::failures() const {
    std::lock_guard lock(m_mutex);
    return m_total;
}

} // namespace tavrin
