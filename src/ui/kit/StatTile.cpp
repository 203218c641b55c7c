#include "ui/kit/StatTile.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

StatTile::StatTile(const QString& symbol, const QString& label, const QString& value, const QString& detail,
                   const QColor& valueColor, QWidget* parent)
    : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(14, 14, 14, 14);
    stack->setSpacing(6);
    auto* caption = new QHBoxLayout;
    caption->setSpacing(6);
    icon_ = new TRSymbol(symbol, 11, Theme::inkMuted(), this);
    label_ = kitLabel(label.toUpper(), Theme::mono(9.5, FontWeight::semibold, 1.8), Theme::inkMuted(), this);
    caption->addWidget(icon_, 0, Qt::AlignVCenter);
    caption->addWidget(label_, 1, Qt::AlignVCenter);
    stack->addLayout(caption);
    value_ = kitLabel(value, Theme::font(15, FontWeight::bold, -0.2),
                      valueColor.isValid() ? valueColor : Theme::ink(), this);
    value_->setWordWrap(true);
    stack->addWidget(value_);
    detail_ = kitLabel(detail, Theme::font(11.5), Theme::inkMuted(), this);
    detail_->setWordWrap(true);
    detail_->setVisible(!detail.isEmpty());
    stack->addWidget(detail_);
    stack->addStretch(1);
}

void StatTile::setSymbol(const QString& symbol) { icon_->setSymbol(symbol); }
void StatTile::setLabel(const QString& label) { label_->setText(label.toUpper()); }
void StatTile::setValue(const QString& value) { value_->setText(value); }

void StatTile::setDetail(const QString& detail) {
    detail_->setText(detail);
    detail_->setVisible(!detail.isEmpty());
}

void StatTile::setValueColor(const QColor& color) { setLabelColor(value_, color); }

QString StatTile::value() const { return value_->text(); }
QString StatTile::detail() const { return detail_->isVisibleTo(this) ? detail_->text() : QString(); }

void StatTile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 10, Theme::surface(), Theme::line(), 1);
}

} // namespace tavrin
