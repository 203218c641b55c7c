#include "ui/kit/TRPhaseBlock.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/Theme.h"

#include <QVBoxLayout>

namespace tavrin {

TRPhaseBlock::TRPhaseBlock(QWidget* parent) : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(Spacing::lines);
    m_caption = new TRCaption(tr("Phase"), this);
    m_phase = kitLabel({}, TextRole::phase, Theme::mutedGrey(), this);
    // An error phase carries the server's message, which can be long.
    m_phase->setWordWrap(true);
    m_phase->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_detail = kitLabel({}, TextRole::phaseDetail, {}, this);
    m_detail->setWordWrap(true);
    m_detail->setMinimumHeight(m_detail->fontMetrics().height());
    stack->addWidget(m_caption);
    stack->addWidget(m_phase);
    stack->addWidget(m_detail);
}

void TRPhaseBlock::setPhase(const QString& label, const QColor& colour) {
    m_phase->setText(label);
    setLabelColor(m_phase, colour);
}

void TRPhaseBlock::setDetail(const QString& detail) { m_detail->setText(detail); }

QString TRPhaseBlock::phaseText() const { return m_phase->text(); }
QColor TRPhaseBlock::phaseTextColor() const { return m_phase->palette().color(QPalette::WindowText); }
QString TRPhaseBlock::detail() const { return m_detail->text(); }

} // namespace tavrin
