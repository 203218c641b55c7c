#include "server/runtime/AdmissionControl.h"

#include <algorithm>

namespace tavrin {

AdmissionControl::AdmissionControl(qint64 maxConcurrency, qint64 maxQueueDepth) {
    m_stats.maxConcurrency = std::max<qint64>(1, maxConcurrency);
    m_stats.maxQueueDepth = std::max<qint64>(0, maxQueueDepth);
}

AdmissionControl::Slot::~Slot() { m_owner.release(); }

std::unique_ptr<AdmissionControl::Slot> AdmissionControl::admit(std::chrono::milliseconds patience) {
    std::unique_lock lock(m_mutex);
    // Nobody may overtake a waiter, so a free slot goes to the queue first.
    if (m_stats.queued == 0 && m_stats.inFlight < m_stats.maxConcurrency) {
        ++m_stats.inFlight;
        return std::unique_ptr<Slot>(new Slot(*this));
    }
    if (m_stats.queued >= m_stats.maxQueueDepth) {
        ++m_stats.totalRejected;
        return nullptr;
    }
    const std::uint64_t ticket = m_nextTicket++;
    ++m_stats.queued;
    const bool served = m_turn.wait_for(lock, patience, [&] {
        return m_servingTicket == ticket && m_stats.inFlight < m_stats.maxConcurrency;
    });
    --m_stats.queued;
    if (!served) {
        // Give up this place in line; later tickets are skipped past it below.
        ++m_stats.totalRejected;
        m_abandoned.insert(ticket);
        advance();
        m_turn.notify_all();
        return nullptr;
    }
    ++m_servingTicket;
    advance();
    ++m_stats.inFlight;
    m_turn.notify_all();
    return std::unique_ptr<Slot>(new Slot(*this));
}

void AdmissionControl::advance() {
    while (m_abandoned.erase(m_servingTicket) > 0)
        ++m_servingTicket;
}

void AdmissionControl::release() {
    {
        std::lock_guard lock(m_mutex);
        --m_stats.inFlight;
        ++m_stats.totalCompleted;
    }
    m_turn.notify_all();
}

ClientConcurrencyStats AdmissionControl::stats() const {
    std::lock_guard lock(m_mutex);
    return m_stats;
}

} // namespace tavrin
