#include "ui/PhaseLook.h"

#include "ui/kit/Theme.h"

#include <QCoreApplication>

namespace tavrin {

PhaseLook phaseLook(const Phase& phase) {
    switch (phase.kind) {
    case Phase::Kind::unknown:
        return {QCoreApplication::translate("PhaseLook", "Unknown"), Theme::mutedGrey(), PillKind::muted,
                QStringLiteral("ellipsis.circle")};
    case Phase::Kind::probing:
        return {QCoreApplication::translate("PhaseLook", "Checking…"), Theme::mutedGrey(), PillKind::muted,
                QStringLiteral("ellipsis.circle")};
    case Phase::Kind::stopped:
        return {QCoreApplication::translate("PhaseLook", "Stopped"), Theme::mutedGrey(), PillKind::muted,
                QStringLiteral("antenna.radiowaves.left.and.right.slash")};
    case Phase::Kind::running:
        return {QCoreApplication::translate("PhaseLook", "Running"), Theme::okGreen(), PillKind::ok,
                QStringLiteral("antenna.radiowaves.left.and.right")};
    case Phase::Kind::unauthenticated:
        return {QCoreApplication::translate("PhaseLook", "Admin password required"), Theme::warnAmber(),
                PillKind::warn, QStringLiteral("lock.fill")};
    case Phase::Kind::error:
        break;
    }
    return {QCoreApplication::translate("PhaseLook", "Error: %1").arg(phase.message), Theme::dangerRed(),
            PillKind::bad, QStringLiteral("exclamationmark.triangle.fill")};
}

} // namespace tavrin
