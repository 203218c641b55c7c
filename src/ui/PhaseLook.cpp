#include "ui/PhaseLook.h"

#include "ui/kit/Theme.h"

namespace tavrin {

PhaseLook phaseLook(const Phase& phase) {
    switch (phase.kind) {
    case Phase::Kind::unknown:
        return {QStringLiteral("Unknown"), Theme::mutedGrey(), PillKind::muted, QStringLiteral("ellipsis.circle")};
    case Phase::Kind::probing:
        return {QStringLiteral("Checking…"), Theme::mutedGrey(), PillKind::muted, QStringLiteral("ellipsis.circle")};
    case Phase::Kind::stopped:
        return {QStringLiteral("Stopped"), Theme::mutedGrey(), PillKind::muted,
                QStringLiteral("antenna.radiowaves.left.and.right.slash")};
    case Phase::Kind::running:
        return {QStringLiteral("Running"), Theme::okGreen(), PillKind::ok,
                QStringLiteral("antenna.radiowaves.left.and.right")};
    case Phase::Kind::unauthenticated:
        return {QStringLiteral("Admin password required"), Theme::warnAmber(), PillKind::warn,
                QStringLiteral("lock.fill")};
    case Phase::Kind::error:
        break;
    }
    return {QStringLiteral("Error: ") + phase.message, Theme::dangerRed(), PillKind::bad,
            QStringLiteral("exclamationmark.triangle.fill")};
}

} // namespace tavrin
