#pragma once

#include "state/Phase.h"
#include "ui/kit/TRPill.h"

#include <QColor>
#include <QString>

namespace tavrin {

// How a phase looks wherever it shows: the one table behind the status chip, the Status tab's phase
// block, the tray panel's header and the tray icon. The kit draws the values; it never sees a Phase.
struct PhaseLook {
    QString label;      // "Running", "Error: " followed by the message, …
    QColor colour;      // the phase written large
    PillKind chip;      // the status chip's colours
    QString traySymbol; // the tray icon
};

PhaseLook phaseLook(const Phase& phase);

} // namespace tavrin
