#include "ui/kit/KeldmarchSwitch.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace tavrin {

namespace {
constexpr qreal kKnob = 18;
constexpr qreal kKnobInset = 2;
constexpr qreal kLabelGap = 10;
} // namespace

KeldmarchSwitch::KeldmarchSwitch(const QString& label, QWidget* parent) : QAbstractButton(parent) {
    setLabel(label);
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setFont(Theme::font(TextRole::body));
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_animation = new QVariantAnimation(this);
    m_animation->setDuration(kAnimationMs);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_animation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { setKnobPosition(v.toReal()); });
    connect(this, &QAbstractButton::toggled, this, &KeldmarchSwitch::followCheckState);
}

void KeldmarchSwitch::setLabel(const QString& label) {
    m_label = label;
    setText(literalButtonText(label));
    updateGeometry();
    update();
}

void KeldmarchSwitch::setLabelHidden(bool hidden) {
    m_labelHidden = hidden;
    updateGeometry();
    update();
}

void KeldmarchSwitch::setKnobPosition(qreal position) {
    m_knobPosition = position;
    update();
}

void KeldmarchSwitch::followCheckState(bool checked) {
    m_animation->stop();
    if (!isVisible()) {
        setKnobPosition(checked ? 1 : 0);
        return;
    }
    m_animation->setStartValue(m_knobPosition);
    m_animation->setEndValue(checked ? 1.0 : 0.0);
    m_animation->start();
}

QSize KeldmarchSwitch::sizeHint() const {
    int width = kTrackSize.width() + 2;
    if (!m_labelHidden && !m_label.isEmpty())
        width += int(std::ceil(QFontMetricsF(font()).horizontalAdvance(m_label) + kLabelGap));
    const int height = std::max(kTrackSize.height() + 2, int(std::ceil(QFontMetricsF(font()).height())));
    return {width, height};
}

QRectF KeldmarchSwitch::trackRect() const {
    return {width() - kTrackSize.width() - 1.0, (height() - kTrackSize.height()) / 2.0, qreal(kTrackSize.width()),
            qreal(kTrackSize.height())};
}

// The whole row is the control, label included, like a native switch with its label.
bool KeldmarchSwitch::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void KeldmarchSwitch::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void KeldmarchSwitch::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(0.45);
    if (!m_labelHidden && !m_label.isEmpty()) {
        p.setPen(Theme::ink());
        p.setFont(font());
        p.drawText(QRectF(0, 0, trackRect().left() - kLabelGap, height()), Qt::AlignLeft | Qt::AlignVCenter,
                   m_label);
    }

    const QRectF track = trackRect();
    const qreal radius = track.height() / 2;
    p.setPen(Qt::NoPen);
    p.setBrush(Theme::alpha(Theme::inkMuted(), 0.30));
    p.drawRoundedRect(track, radius, radius);
    if (m_knobPosition > 0) {
        // The gradient fades in as the knob travels, so the colour change follows the animation.
        p.save();
        p.setOpacity(p.opacity() * m_knobPosition);
        p.setBrush(Theme::buttonGradient());
        p.drawRoundedRect(track, radius, radius);
        p.restore();
    }

    const qreal travel = track.width() - 2 * kKnobInset - kKnob;
    const QRectF knob(track.left() + kKnobInset + travel * m_knobPosition, track.top() + kKnobInset, kKnob, kKnob);
    p.setBrush(Theme::alpha(Theme::ink(), 0.10));
    p.drawEllipse(knob.translated(0, 1).adjusted(-0.5, -0.5, 0.5, 0.5));
    p.setBrush(Theme::alpha(Theme::ink(), 0.08));
    p.drawEllipse(knob.translated(0, 0.5));
    p.setBrush(Qt::white);
    p.drawEllipse(knob);

    if (hasFocus())
        paintFocusRing(p, track.adjusted(-2, -2, 2, 2), radius + 2);
}

} // namespace tavrin
