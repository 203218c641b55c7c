#pragma once

#include "state/Phase.h"

#include <QString>

namespace tavrin {

// The tray icon's symbol for a phase.
QString trayIconSymbol(const Phase& phase);

} // namespace tavrin
