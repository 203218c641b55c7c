#include "ui/kit/TRCaption.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

namespace tavrin {

TRCaption::TRCaption(const QString& text, QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFont(Theme::mono(9.5, FontWeight::semibold, 2));
    setLabelColor(this, Theme::inkMuted());
    setCaption(text);
}

void TRCaption::setCaption(const QString& text) {
    m_caption = text;
    setText(text.toUpper());
}

void TRCaption::setColor(const QColor& color) { setLabelColor(this, color); }

} // namespace tavrin
