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
    stack->setContentsMargins(Spacing::tile, Spacing::tile, Spacing::tile, Spacing::tile);
    stack->setSpacing(Spacing::lines);
    auto* caption = new QHBoxLayout;
    caption->setSpacing(Spacing::lines);
    m_icon = new TRSymbol(symbol, 11, Theme::inkMuted(), this);
    m_label = kitLabel(label.toUpper(), TextRole::tileLabel, {}, this);
    m_label->setWordWrap(true); // a longer language takes a second line rather than losing the end
    caption->addWidget(m_icon, 0, Qt::AlignVCenter);
    caption->addWidget(m_label, 1, Qt::AlignVCenter);
    stack->addLayout(caption);
    m_value = kitLabel(value, TextRole::statValue, valueColor, this);
    m_value->setWordWrap(true);
    stack->addWidget(m_value);
    m_detail = kitLabel(detail, TextRole::detail, {}, this);
    m_detail->setWordWrap(true);
    m_detail->setVisible(!detail.isEmpty());
    stack->addWidget(m_detail);
    m_stack = stack;
    stack->addStretch(1);
}

void StatTile::setSymbol(const QString& symbol) { m_icon->setSymbol(symbol); }
void StatTile::setLabel(const QString& label) { m_label->setText(label.toUpper()); }
void StatTile::setValue(const QString& value) { m_value->setText(value); }

void StatTile::setDetail(const QString& detail) {
    m_detail->setText(detail);
    m_detail->setVisible(!detail.isEmpty());
}

void StatTile::setValueColor(const QColor& color) { setLabelColor(m_value, color); }

QString StatTile::value() const { return m_value->text(); }
QString StatTile::detail() const { return m_detail->isVisibleTo(this) ? m_detail->text() : QString(); }

void StatTile::addBelow(QWidget* widget) { m_stack->insertWidget(m_stack->count() - 1, widget); }

void StatTile::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 10, Theme::surface(), Theme::line(), 1);
}

} // namespace tavrin
