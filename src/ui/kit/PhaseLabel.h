#pragma once

#include "state/Phase.h"

#include <QString>

namespace tavrin {

// The display text of a phase, shared by the status chip, the Status tab and the tray panel.
QString phaseLabel(const Phase& phase);

} // namespace tavrin
