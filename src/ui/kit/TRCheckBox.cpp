#include "ui/kit/TRCheckBox.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tavrin {

namespace {
constexpr qreal kBox = 14;
constexpr qreal kBoxRadius = 4;
constexpr qreal kLabelGap = 7;
} // namespace

TRCheckBox::TRCheckBox(const QString& label, QWidget* parent) : QCheckBox(parent), m_label(label) {
    setText(literalButtonText(label));
    setFont(Theme::font(TextRole::message));
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TRCheckBox::setNote(const QString& note) {
    m_note = note;
    setAccessibleDescription(note);
    updateGeometry();
    update();
}

QSize TRCheckBox::sizeHint() const {
    const QFontMetricsF metrics(font());
    const qreal note = m_note.isEmpty() ? 0 : metrics.horizontalAdvance(QStringLiteral(" ") + m_note);
    const int width = int(std::ceil(kBox + kLabelGap + metrics.horizontalAdvance(m_label) + note)) + 4;
    const int height = int(std::ceil(std::max(kBox + 4, metrics.height())));
    return {width, height};
}

QRectF TRCheckBox::boxRect() const { return {2, (height() - kBox) / 2.0, kBox, kBox}; }

// Like every control of the kit it answers Return and Enter, as Space.
void TRCheckBox::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QCheckBox::keyPressEvent(event);
}

// The label is part of the control, as with a native checkbox.
bool TRCheckBox::hitButton(const QPoint& pos) const { return rect().contains(pos); }

void TRCheckBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled())
        p.setOpacity(0.45);
    const QRectF box = boxRect();
    if (isChecked()) {
        paintRoundedBox(p, box, kBoxRadius, Theme::brandTealDeep(), Theme::brandTealDeep());
        QPainterPath tick;
        tick.moveTo(box.left() + 3.5, box.center().y() + 0.5);
        tick.lineTo(box.left() + 6, box.bottom() - 4);
        tick.lineTo(box.right() - 3.5, box.top() + 4);
        p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(tick);
    } else {
        paintRoundedBox(p, box, kBoxRadius, isDown() ? Theme::alpha(Theme::ink(), 0.06) : Theme::surface(),
                        Theme::alpha(Theme::ink(), 0.28));
    }
    if (hasFocus())
        paintFocusRing(p, box.adjusted(-2, -2, 2, 2), kBoxRadius + 2);
    p.setPen(Theme::ink());
    p.setFont(font());
    const QRectF text(box.right() + kLabelGap, 0, width() - box.right() - kLabelGap, height());
    p.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, m_label);
    if (!m_note.isEmpty()) {
        p.setPen(Theme::inkMuted());
        p.drawText(text.adjusted(QFontMetricsF(font()).horizontalAdvance(m_label + QStringLiteral(" ")), 0, 0, 0),
                   Qt::AlignLeft | Qt::AlignVCenter, m_note);
    }
}

} // namespace tavrin
