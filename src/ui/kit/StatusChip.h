#pragma once

#include "ui/kit/TRPill.h"

namespace tavrin {

// The server's state as a dotted pill (the window's toolbar): a label in the colours of a pill kind.
class StatusChip : public TRPill {
    Q_OBJECT
public:
    explicit StatusChip(const QString& label = {}, PillKind kind = PillKind::muted, QWidget* parent = nullptr);

    // The state is republished on every poll; an unchanged one costs no relayout.
    void setState(const QString& label, PillKind kind);
};

} // namespace tavrin
