#pragma once

#include "protocol/ClientRecords.h"

#include <cstdint>
#include <functional>
#include <list>
#include <memory>
#include <mutex>

namespace tavrin {

// At most `maxConcurrency` generations run at once and at most `maxQueueDepth` wait, served
// first come first served; anything beyond is refused at once (the caller answers 503 with
// Retry-After). The counters are the live ones of the status record.
//
// Nobody blocks to wait: a request that has to wait leaves a callback in line and its thread
// goes on. When a slot frees, the first in line gets it, on the thread that freed it.
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

    using Turn = std::function<void(std::unique_ptr<Slot>)>;

    // A place in line. Dropped before its turn came, it is given up, and those behind move up.
    class Place {
    public:
        ~Place() { (void)giveUp(); }
        Place(const Place&) = delete;
        Place& operator=(const Place&) = delete;
        // True when the place was still waiting: its turn will not come. False once it has come.
        // Given up, it is not counted: its client left. Refused, it counts as rejected.
        bool giveUp();
        bool refuse();

    private:
        friend class AdmissionControl;
        Place(AdmissionControl& owner, std::uint64_t ticket) : m_owner(owner), m_ticket(ticket) {}
        AdmissionControl& m_owner;
        std::uint64_t m_ticket;
    };

    // One of three: a slot now; a place in line, whose `turn` runs with a slot when it comes up;
    // or neither, when the line is full.
    struct Admission {
        std::unique_ptr<Slot> slot;
        std::unique_ptr<Place> place;
    };
    Admission admit(Turn turn);

    ClientConcurrencyStats stats() const;

private:
    struct Waiter {
        std::uint64_t ticket;
        Turn turn;
    };
    void release();
    bool leave(std::uint64_t ticket, bool refused);

    mutable std::mutex m_mutex;
    ClientConcurrencyStats m_stats;
    std::uint64_t m_nextTicket = 0;
    std::list<Waiter> m_line; // the oldest first
};

} // namespace tavrin
