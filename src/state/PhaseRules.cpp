#include "state/PhaseRules.h"

#include "protocol/DaemonClientError.h"

namespace tavrin {

std::optional<Phase> PhaseRules::checkFailed() {
    if (++m_consecutiveFailures < 2)
        return std::nullopt;
    m_stopExpected = false;
    return Phase::stopped();
}

void PhaseRules::healthy() {
    if (!m_stopExpected)
        m_consecutiveFailures = 0;
}

bool PhaseRules::goingAway(const DaemonClientError& error) const {
    return m_stopExpected && error.is<DaemonClientError::NotReachable>();
}

Phase PhaseRules::refused(const DaemonClientError& error) {
    if (error.is<DaemonClientError::Unauthenticated>())
        return Phase::unauthenticated();
    return Phase::error(error.message());
}

Phase PhaseRules::stopEnded() {
    m_stopExpected = false;
    m_consecutiveFailures = 2;
    return Phase::stopped();
}

} // namespace tavrin
