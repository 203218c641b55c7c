#pragma once

#include "state/Phase.h"

#include <optional>

namespace tavrin {

class DaemonClientError;

// How a poll's answers become the phase the user sees. What the user did not ask for shows only once
// it is sure: one failed health check is tolerated, the second in a row means stopped. What the user
// asked for shows at once: during the user's own stop a server that no longer answers is going away,
// not failing, and the stop's end is shown without waiting for two polls.
class PhaseRules {
public:
    // Set while a stop the user asked for is under way, until the phase shows it.
    void expectStop(bool expected) { m_stopExpected = expected; }

    // A health check failed: stopped, on the second in a row; nothing new (the phase on screen stays)
    // on the first.
    std::optional<Phase> checkFailed();
    // The health check answered.
    void healthy();
    // Whether a status read that failed counts as one more failed check: a server told to stop closes
    // its port at once but may answer a health check for a few seconds on a connection it had open.
    bool goingAway(const DaemonClientError& error) const;
    // The status read got an answer, good or bad: the count of failed checks starts again.
    void answered() { m_consecutiveFailures = 0; }
    // What a status read the server refused shows.
    static Phase refused(const DaemonClientError& error);
    // The user's own stop has ended the server: stopped now, and a poll that finds it down keeps it so.
    Phase stopEnded();

private:
    int m_consecutiveFailures = 0;
    bool m_stopExpected = false;
};

} // namespace tavrin
