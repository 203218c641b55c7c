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
    caption_ = new TRCaption(QStringLiteral("Phase"), this);
    phase_ = kitLabel({}, Theme::font(28, FontWeight::black, 0.6), Theme::mutedGrey(), this);
    // An error phase carries the server's message, which can be long.
    phase_->setWordWrap(true);
    phase_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    detail_ = kitLabel({}, Theme::font(11, FontWeight::medium), Theme::inkMuted(), this);
    detail_->setWordWrap(true);
    detail_->setMinimumHeight(detail_->fontMetrics().height());
    stack->addWidget(caption_);
    stack->addWidget(phase_);
    stack->addWidget(detail_);
    setPhase(phase);
}

void PhaseBlock::setPhase(const Phase& phase) {
    phase_->setText(phaseLabel(phase));
    setLabelColor(phase_, phaseColor(phase));
}

void PhaseBlock::setDetail(const QString& detail) { detail_->setText(detail); }

QString PhaseBlock::phaseText() const { return phase_->text(); }
QColor PhaseBlock::phaseTextColor() const { return phase_->palette().color(QPalette::WindowText); }
QString PhaseBlock::detail() const { return detail_->text(); }

} // namespace tavrin
