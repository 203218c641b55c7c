#include "ui/kit/TRMessageLine.h"

#include "ui/kit/Theme.h"

namespace tavrin {

TRMessageLine::TRMessageLine(MessageKind kind, QWidget* parent)
    : TRValueLabel({}, TextRole::message, parent), m_kind(kind) {
    setWordWrap(true);
    setLabelColor(this, kind == MessageKind::error ? Theme::dangerRed() : Theme::okGreen());
    setVisible(false);
}

void TRMessageLine::setMessage(const QString& message) {
    setText(shownMessage(message));
    setVisible(!text().isEmpty());
}

} // namespace tavrin
