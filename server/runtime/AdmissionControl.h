#pragma once

#include "protocol/ClientRecords.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <set>

namespace tavrin {

// At most `maxConcurrency` generations run at once and at most `maxQueueDepth` wait, served
// first come first served; anything beyond is refused at once (the caller answers 503 with
// Retry-After). The counters are the live ones of the status record.
class AdmissionControl {
public:
    AdmissionControl(qint64 maxConcurrency, qint64 maxQueueDepth);

    // Holds one generation slot until destroyed.
    class Slot {
    public:
        ~Slot();
        Slot(const Slot&) = delete;
        Slot& operator=(const Slot&) = delete;

    private:
        friend class AdmissionControl;
        explicit Slot(AdmissionControl& owner) : m_owner(owner) {}
        AdmissionControl& m_owner;
    };

    // nullptr when the queue is full, or when a waiter's turn does not come within `patience`.
    std::unique_ptr<Slot> admit(std::chrono::milliseconds patience = std::chrono::seconds(120));

    ClientConcurrencyStats stats() const;

private:
    void release();
    void advance();

    mutable std::mutex m_mutex;
    std::condition_variable m_turn;
    ClientConcurrencyStats m_stats;
    std::uint64_t m_nextTicket = 0;   // handed to the next waiter
    std::uint64_t m_servingTicket = 0; // the waiter whose turn it is
    std::set<std::uint64_t> m_abandoned; // waiters that gave up before their turn
};

} // namespace tavrin
