#include "ui/kit/StatusChip.h"

#include "ui/kit/PhaseLabel.h"

namespace tavrin {

PillKind statusChipKind(const Phase& phase) {
    switch (phase.kind) {
    case Phase::Kind::unknown:
    case Phase::Kind::probing:
    case Phase::Kind::stopped:
        return PillKind::muted;
    case Phase::Kind::running:
        return PillKind::ok;
    case Phase::Kind::unauthenticated:
        return PillKind::warn;
    case Phase::Kind::error:
        return PillKind::bad;
    }
    return PillKind::muted;
}

StatusChip::StatusChip(const Phase& phase, QWidget* parent)
    : TRPill(phaseLabel(phase), statusChipKind(phase), {.withDot = true, .mono = false}, parent), m_phase(phase) {}

void StatusChip::setPhase(const Phase& phase) {
    // The model republishes the phase on every poll; an unchanged phase must not cost a relayout.
    if (phase == m_phase)
        return;
    m_phase = phase;
    setLabel(phaseLabel(phase));
    setKind(statusChipKind(phase));
}

} // namespace tavrin
