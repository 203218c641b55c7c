#pragma once

#include "protocol/ClientRecords.h"

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <optional>

namespace tavrin {

// What the tray panel shows, decided without a window.

struct TrayServerLines {
    QString model;
    QString uptime;
    std::optional<QString> inFlight; // only with live concurrency figures
    std::optional<QString> update;   // only when an update is available
    // Why requests fail now, while they do: the audit log refuses them, or the engine does not answer.
    std::optional<QString> failing;
};
TrayServerLines trayServerLines(const ClientServerStatus& status);

struct TrayStartStop {
    QString symbol;
    QString label;
};
// Follows the controller's belief that the server runs, not the phase: it is what the entry acts on.
TrayStartStop trayStartStop(bool isRunning);

// The entries the tray's panel and its context menu share.
QString openEntryLabel(); // "Open Tavrin Keldmarch…"
QString quitEntryLabel(); // "Quit Tavrin Keldmarch"

// Where the panel's top-left corner goes: beside the tray icon, on the side of the screen the icon
// is on (below an icon at the top, above one at the bottom), kept wholly inside the available area.
// Without an icon position the panel goes to the top-right corner of the area.
QPoint trayPanelPosition(const QRect& iconGeometry, const QSize& panelSize, const QRect& available);

} // namespace tavrin
