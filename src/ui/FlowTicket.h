#pragma once

#include <memory>

namespace tavrin {

// Counts a screen's flows in flight. Each flow's coroutine holds a ticket for its whole life, so the
// count falls when the flow ends, also when the screen has gone away meanwhile (the count is shared).
// Screens never wait on it; hosts and tests read it to know that every action has run to its end.
class FlowTicket {
public:
    explicit FlowTicket(std::shared_ptr<int> count) : m_count(std::move(count)) { ++*m_count; }
    ~FlowTicket() { --*m_count; }
    FlowTicket(const FlowTicket&) = delete;
    FlowTicket& operator=(const FlowTicket&) = delete;

private:
    std::shared_ptr<int> m_count;
};

} // namespace tavrin
