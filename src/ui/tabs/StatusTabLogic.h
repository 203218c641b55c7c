#pragma once

#include "protocol/ClientRecords.h"
#include "state/LoadHistory.h"
#include "state/Phase.h"
#include "ui/AdminScreen.h"
#include "ui/TechnicalRows.h"
#include "ui/kit/TRButton.h"

#include <QList>
#include <QPointF>
#include <QString>

#include <optional>
#include <vector>

namespace tavrin {

// What the Status tab shows, decided from the model's state without a window.

struct StatusHeadline {
    QString title;
    QString lead;
};
// `resting` is the tab's heading in the catalogue: what it says while nothing is known yet.
StatusHeadline statusHeadline(const Phase& phase, const ScreenHeading& resting);

// The line under the phase: why it is stopped, the uptime or pid while running, the password hint.
QString phaseDetailLine(const Phase& phase, const std::optional<ClientServerStatus>& status);

struct StartStopLook {
    QString label;
    QString symbol;
    AnyButtonStyle style;
};
// "Stop server" (ghost, danger) while running; "Start server" (primary) in every other phase.
StartStopLook startStopLook(const Phase& phase);

// The LAN box's text while the server listens on this machine only.
QString lanDisabledText();

// The applied composition stages in their fixed order, or what stands for them.
QString stageSummary(const ClientServerStatus& status);

struct TileText {
    QString value;
    QString detail;
};
TileText modelTile(const ClientServerStatus& status);
TileText hardwareTile(const ClientServerStatus& status);
TileText concurrencyTile(const ClientServerStatus& status);

std::vector<TechnicalRow> technicalRows(const ClientServerStatus& status);


QString startAtLoginSubtitle(bool on);

// The concurrency card's chart of the last ten minutes: each reading as a point, x from 0 (ten
// minutes before `now`) to 1 (now), y the value; `top` what the chart's height stands for (the peak,
// at least 1); and what a screen reader says of it.
struct LoadChartSeries {
    QList<QPointF> inFlight;
    QList<QPointF> queued;
    qint64 top = 1;
    QString description;
    bool operator==(const LoadChartSeries&) const = default;
};
LoadChartSeries loadChartSeries(const std::deque<LoadSample>& samples, const QDateTime& now);

} // namespace tavrin
