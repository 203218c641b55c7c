#include "ui/window/TrayIcon.h"

namespace tavrin {

QString trayIconSymbol(const Phase& phase) {
    switch (phase.kind) {
    case Phase::Kind::unknown:
    case Phase::Kind::probing:
        return QStringLiteral("ellipsis.circle");
    case Phase::Kind::running:
        return QStringLiteral("antenna.radiowaves.left.and.right");
    case Phase::Kind::stopped:
        return QStringLiteral("antenna.radiowaves.left.and.right.slash");
    case Phase::Kind::unauthenticated:
        return QStringLiteral("lock.fill");
    case Phase::Kind::error:
        break;
    }
    return QStringLiteral("exclamationmark.triangle.fill");
}

} // namespace tavrin
