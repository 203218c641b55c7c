#include "ui/kit/TREyebrow.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>

namespace tavrin {

TREyebrow::TREyebrow(const QString& text, bool showDot, const QColor& color, QWidget* parent)
    : QWidget(parent), text_(text) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(7);
    dot_ = new KitDot(5, Theme::brandTeal(), this);
    label_ = kitLabel(text.toUpper(), Theme::mono(10, FontWeight::semibold, 1.8),
                      color.isValid() ? color : Theme::inkMuted(), this);
    row->addWidget(dot_, 0, Qt::AlignVCenter);
    row->addWidget(label_, 0, Qt::AlignVCenter);
    row->addStretch(1);
    dot_->setVisible(showDot);
}

void TREyebrow::setText(const QString& text) {
    text_ = text;
    label_->setText(text.toUpper());
}

void TREyebrow::setShowDot(bool show) { dot_->setVisible(show); }

void TREyebrow::setColor(const QColor& color) { setLabelColor(label_, color); }

QString TREyebrow::displayedText() const { return label_->text(); }

} // namespace tavrin
