#include "ui/kit/TRMessageLine.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

namespace tavrin {

TRMessageLine::TRMessageLine(MessageKind kind, QWidget* parent) : QLabel(parent), m_kind(kind) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setWordWrap(true);
    setTextInteractionFlags(Qt::TextSelectableByMouse);
    setFont(Theme::font(TextRole::message));
    setLabelColor(this, kind == MessageKind::error ? Theme::dangerRed() : Theme::okGreen());
    setVisible(false);
}

void TRMessageLine::setMessage(const QString& message) {
    setText(shownMessage(message));
    setVisible(!text().isEmpty());
}

} // namespace tavrin
