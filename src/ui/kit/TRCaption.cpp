#include "ui/kit/TRCaption.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

#include <QVBoxLayout>

namespace tavrin {

TRCaption::TRCaption(const QString& text, QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    const TextStyle style = Theme::text(TextRole::caption);
    setFont(style.font);
    setLabelColor(this, style.colour);
    setCaption(text);
}

void TRCaption::setCaption(const QString& text) {
    m_caption = text;
    setText(text.toUpper());
}

void TRCaption::setColor(const QColor& color) { setLabelColor(this, color); }

QVBoxLayout* labelled(const QString& caption, QWidget* field) {
    auto* column = new QVBoxLayout;
    column->setSpacing(Spacing::caption);
    column->addWidget(new TRCaption(caption));
    column->addWidget(field);
    return column;
}

} // namespace tavrin
