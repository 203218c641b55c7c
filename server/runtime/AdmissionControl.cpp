#include "server/runtime/AdmissionControl.h"

#include <algorithm>

namespace tavrin {

AdmissionControl::AdmissionControl(qint64 maxConcurrency, qint64 maxQueueDepth) {
    m_stats.maxConcurrency = std::max<qint64>(1, maxConcurrency);
    m_stats.maxQueueDepth = std::max<qint64>(0, maxQueueDepth);
}

AdmissionControl::Slot::~Slot() { m_owner.release(); }

bool AdmissionControl::Place::giveUp() { return m_owner.leave(m_ticket, false); }
bool AdmissionControl::Place::refuse() { return m_owner.leave(m_ticket, true); }

AdmissionControl::Admission AdmissionControl::admit(Turn turn) {
    std::lock_guard lock(m_mutex);
    // Nobody may overtake a waiter, so a free slot goes to the line first.
    if (m_line.empty() && m_stats.inFlight < m_stats.maxConcurrency) {
        ++m_stats.inFlight;
        return {std::unique_ptr<Slot>(new Slot(*this)), nullptr};
    }
    if (m_stats.queued >= m_stats.maxQueueDepth) {
        ++m_stats.totalRejected;
        return {};
    }
    const std::uint64_t ticket = m_nextTicket++;
    m_line.push_back({ticket, std::move(turn)});
    ++m_stats.queued;
    return {nullptr, std::unique_ptr<Place>(new Place(*this, ticket))};
}

bool AdmissionControl::leave(std::uint64_t ticket, bool refused) {
    std::lock_guard lock(m_mutex);
    const auto it = std::ranges::find(m_line, ticket, &Waiter::ticket);
    if (it == m_line.end())
        return false;
    m_line.erase(it);
    --m_stats.queued;
    if (refused)
        ++m_stats.totalRejected;
    return true;
}

void AdmissionControl::release() {
    Turn next;
    {
        std::lock_guard lock(m_mutex);
        --m_stats.inFlight;
        ++m_stats.totalCompleted;
        if (m_line.empty())
            return;
        next = std::move(m_line.front().turn);
        m_line.pop_front();
        --m_stats.queued;
        ++m_stats.inFlight;
    }
    // Unlocked: the turn may start a generation, or drop the slot at once, which comes back here.
    next(std::unique_ptr<Slot>(new Slot(*this)));
}

ClientConcurrencyStats AdmissionControl::stats() const {
    std::lock_guard lock(m_mutex);
    return m_stats;
}

} // namespace tavrin
