#include "ui/kit/PhaseBlock.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/PhaseLabel.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/Theme.h"

#include <QVBoxLayout>

namespace tavrin {

QColor phaseColor(const Phase& phase) {
    switch (phase.kind) {
    case Phase::Kind::unknown:
    case Phase::Kind::probing:
    case Phase::Kind::stopped:
        return Theme::mutedGrey();
    case Phase::Kind::running:
        return Theme::okGreen();
    case Phase::Kind::unauthenticated:
        return Theme::warnAmber();
    case Phase::Kind::error:
        return Theme::dangerRed();
    }
    return Theme::mutedGrey();
}

PhaseBlock::PhaseBlock(const Phase& phase, QWidget* parent) : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(6);
    m_caption = new TRCaption(QStringLiteral("Phase"), this);
    m_phase = kitLabel({}, Theme::font(28, FontWeight::black, 0.6), Theme::mutedGrey(), this);
    // An error phase carries the server's message, which can be long.
    m_phase->setWordWrap(true);
    m_phase->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_detail = kitLabel({}, Theme::font(11, FontWeight::medium), Theme::inkMuted(), this);
    m_detail->setWordWrap(true);
    m_detail->setMinimumHeight(m_detail->fontMetrics().height());
    stack->addWidget(m_caption);
    stack->addWidget(m_phase);
    stack->addWidget(m_detail);
    setPhase(phase);
}

void PhaseBlock::setPhase(const Phase& phase) {
    m_phase->setText(phaseLabel(phase));
    setLabelColor(m_phase, phaseColor(phase));
}

void PhaseBlock::setDetail(const QString& detail) { m_detail->setText(detail); }

QString PhaseBlock::phaseText() const { return m_phase->text(); }
QColor PhaseBlock::phaseTextColor() const { return m_phase->palette().color(QPalette::WindowText); }
QString PhaseBlock::detail() const { return m_detail->text(); }

} // namespace tavrin
