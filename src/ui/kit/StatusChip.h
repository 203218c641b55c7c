#pragma once

#include "state/Phase.h"
#include "ui/kit/TRPill.h"

namespace tavrin {

// The pill colour of a phase: muted for unknown, probing and stopped; ok, warn, bad for running,
// unauthenticated and error.
PillKind statusChipKind(const Phase& phase);

// The phase as a dotted pill (toolbar, tray panel).
class StatusChip : public TRPill {
    Q_OBJECT
public:
    explicit StatusChip(const Phase& phase = Phase::unknown(), QWidget* parent = nullptr);

    void setPhase(const Phase& phase);
    Phase phase() const { return m_phase; }

private:
    Phase m_phase;
};

} // namespace tavrin
