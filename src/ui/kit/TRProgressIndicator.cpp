#include "ui/kit/TRProgressIndicator.h"

#include "ui/kit/Theme.h"

#include <QPainter>
#include <QVariantAnimation>

namespace tavrin {

namespace {
constexpr qreal kStroke = 2.5;
constexpr qreal kArcDegrees = 100;
} // namespace

TRProgressIndicator::TRProgressIndicator(QWidget* parent) : QProgressBar(parent) {
    setRange(0, 0); // busy: no amount to report
    setTextVisible(false);
    setAccessibleName(tr("Loading"));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_turn = new QVariantAnimation(this);
    m_turn->setStartValue(0.0);
    m_turn->setEndValue(360.0);
    m_turn->setDuration(kTurnMs);
    m_turn->setLoopCount(-1);
    connect(m_turn, &QVariantAnimation::valueChanged, this, [this](const QVariant& v) { setAngle(v.toReal()); });
}

void TRProgressIndicator::setAngle(qreal degrees) {
    m_angle = degrees;
    update();
}

bool TRProgressIndicator::isSpinning() const { return m_turn->state() == QAbstractAnimation::Running; }

QSize TRProgressIndicator::sizeHint() const { return {kSide, kSide}; }

void TRProgressIndicator::showEvent(QShowEvent* event) {
    QProgressBar::showEvent(event);
    m_turn->start();
    emit appeared();
}

// A hidden wheel costs nothing: no timer runs for it.
void TRProgressIndicator::hideEvent(QHideEvent* event) {
    m_turn->stop();
    QProgressBar::hideEvent(event);
}

void TRProgressIndicator::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal side = std::min(width(), height()) - kStroke;
    const QRectF ring((width() - side) / 2, (height() - side) / 2, side, side);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Theme::line(), kStroke));
    p.drawEllipse(ring);
    p.setPen(QPen(Theme::brandTealDeep(), kStroke, Qt::SolidLine, Qt::RoundCap));
    // Qt's angles run anticlockwise in sixteenths of a degree; the wheel turns clockwise.
    p.drawArc(ring, int((90 - m_angle) * 16), int(-kArcDegrees * 16));
}

} // namespace tavrin
