#include "ui/tray/TrayPanelLogic.h"

#include "base/ShownFigures.h"
#include "state/ActionWords.h"
#include "ui/ServerFigures.h"

#include <QCoreApplication>

#include <algorithm>

namespace tavrin {

TrayServerLines trayServerLines(const ClientServerStatus& status) {
    TrayServerLines lines;
    lines.model = answeringModel(status).value_or(QCoreApplication::translate("TrayPanelLogic", "not loaded"));
    lines.uptime = formatUptime(status.uptimeSeconds).value_or(noFigure());
    if (const auto& c = status.concurrency)
        //: Generations running now (%1) out of the most allowed at once (%2).
        lines.inFlight = QCoreApplication::translate("TrayPanelLogic", "%1 / %2 max")
                             .arg(shownCount(c->inFlight), shownCount(c->maxConcurrency));
    if (const auto& release = status.updater.availableUpdate)
        lines.update =
            QCoreApplication::translate("TrayPanelLogic", "Update available · %1").arg(release->version);
    if (status.auditUnavailable)
        lines.failing = auditRefusalText(*status.auditUnavailable).title;
    else if (status.engine && !status.engine->reachable)
        lines.failing = engineDownText(*status.engine).title;
    return lines;
}

TrayStartStop trayStartStop(bool isRunning) {
    if (isRunning)
        return {QStringLiteral("stop.fill"), QCoreApplication::translate("TrayPanelLogic", "Stop server")};
    return {QStringLiteral("play.fill"), QCoreApplication::translate("TrayPanelLogic", "Start server")};
}

QString openEntryLabel() {
    return QCoreApplication::translate("TrayPanelLogic", "Open Tavrin Keldmarch…");
}
QString quitEntryLabel() {
    return QCoreApplication::translate("TrayPanelLogic", "Quit Tavrin Keldmarch");
}

QPoint trayPanelPosition(const QRect& iconGeometry, const QSize& panelSize, const QRect& available) {
    constexpr int gap = 4;
    const auto clampTo = [](int value, int low, int high) { return std::clamp(value, low, std::max(low, high)); };
    const int maxX = available.right() + 1 - panelSize.width();
    const int maxY = available.bottom() + 1 - panelSize.height();
    if (!iconGeometry.isValid())
        return {clampTo(maxX - gap, available.left(), maxX), clampTo(available.top() + gap, available.top(), maxY)};

    const int x = clampTo(iconGeometry.center().x() - panelSize.width() / 2, available.left(), maxX);
    const bool iconInUpperHalf = iconGeometry.center().y() < available.center().y();
    const int y = iconInUpperHalf ? iconGeometry.bottom() + 1 + gap : iconGeometry.top() - gap - panelSize.height();
    return {x, clampTo(y, available.top(), maxY)};
}

} // namespace tavrin
