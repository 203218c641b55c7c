#include "ui/kit/TREyebrow.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>

namespace tavrin {

namespace {
constexpr int kDotGap = 7;
}

TREyebrow::TREyebrow(const QString& text, bool showDot, const QColor& color, QWidget* parent)
    : QWidget(parent), m_text(text) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(kDotGap);
    m_dot = new TRDot(5, Theme::brandTeal(), this);
    m_label = kitLabel(text.toUpper(), TextRole::eyebrow, color, this);
    row->addWidget(m_dot, 0, Qt::AlignVCenter);
    row->addWidget(m_label, 0, Qt::AlignVCenter);
    row->addStretch(1);
    m_dot->setVisible(showDot);
}

void TREyebrow::setText(const QString& text) {
    m_text = text;
    m_label->setText(text.toUpper());
}

void TREyebrow::setShowDot(bool show) { m_dot->setVisible(show); }

void TREyebrow::setColor(const QColor& color) { setLabelColor(m_label, color); }

QString TREyebrow::displayedText() const { return m_label->text(); }

} // namespace tavrin
