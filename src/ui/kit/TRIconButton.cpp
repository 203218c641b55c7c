#include "ui/kit/TRIconButton.h"

#include "ui/kit/Icons.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QKeyEvent>
#include <QPainter>

namespace tavrin {

TRIconButton::TRIconButton(const QString& symbol, const QString& help, qreal textSize, QWidget* parent)
    : QAbstractButton(parent), m_symbol(symbol), m_textSize(textSize) {
    setToolTip(help);
    setAccessibleName(help);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover);
}

QSize TRIconButton::sizeHint() const {
    const int side = int(TRSymbol::glyphPixels(m_textSize)) + 12;
    return {side, side};
}

void TRIconButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (isDown() || underMouse()) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::alpha(Theme::ink(), isDown() ? 0.10 : 0.05));
        p.drawRoundedRect(box, 6, 6);
    }
    // The ring is for keyboard users only, not for focus that a click or the window gave.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange))
        paintFocusRing(p, box, 6);
    p.setFont(Theme::symbolFont(TRSymbol::glyphPixels(m_textSize)));
    p.setPen(isEnabled() ? Theme::ink() : Theme::alpha(Theme::ink(), 0.4));
    p.drawText(rect(), Qt::AlignCenter, icons::glyph(m_symbol));
}

void TRIconButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

} // namespace tavrin
