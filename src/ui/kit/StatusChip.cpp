#include "ui/kit/StatusChip.h"

namespace tavrin {

StatusChip::StatusChip(const QString& label, PillKind kind, QWidget* parent)
    : TRPill(label, kind, {.withDot = true, .mono = false}, parent) {
    setMeaning(tr("Server"));
}

void StatusChip::setState(const QString& label, PillKind kind) {
    if (label == this->label() && kind == this->kind())
        return;
    setLabel(label);
    setKind(kind);
}

} // namespace tavrin
