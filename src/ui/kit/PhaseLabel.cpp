#include "ui/kit/PhaseLabel.h"

namespace tavrin {

QString phaseLabel(const Phase& phase) {
    switch (phase.kind) {
    case Phase::Kind::unknown:
        return QStringLiteral("Unknown");
    case Phase::Kind::probing:
        return QStringLiteral("Checking…");
    case Phase::Kind::stopped:
        return QStringLiteral("Stopped");
    case Phase::Kind::running:
        return QStringLiteral("Running");
    case Phase::Kind::unauthenticated:
        return QStringLiteral("Admin password required");
    case Phase::Kind::error:
        return QStringLiteral("Error: ") + phase.message;
    }
    return QStringLiteral("Unknown");
}

} // namespace tavrin
