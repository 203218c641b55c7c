#include "ui/kit/TRSymbol.h"

#include "ui/kit/Icons.h"
#include "ui/kit/Theme.h"

#include <QPainter>

#include <cmath>

namespace tavrin {

TRSymbol::TRSymbol(const QString& symbol, qreal textSize, const QColor& color, QWidget* parent)
    : QWidget(parent), m_textSize(textSize), m_color(color) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setSymbol(symbol);
}

void TRSymbol::setSymbol(const QString& symbol) {
    if (symbol == m_symbol && !m_glyph.isEmpty())
        return;
    m_symbol = symbol;
    m_glyph = icons::glyph(symbol);
    update();
}

void TRSymbol::setColor(const QColor& color) {
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TRSymbol::setTextSize(qreal textSize) {
    m_textSize = textSize;
    updateGeometry();
    update();
}

void TRSymbol::setFrameWidth(int width) {
    m_frameWidth = width;
    updateGeometry();
}

// Material glyphs fill about five sixths of their em box, a symbol beside text about its cap height
// plus a little: 1.25 × the text size matches them by eye.
qreal TRSymbol::glyphPixels(qreal textSize) { return textSize * 1.25; }

QSize TRSymbol::sizeHint() const {
    const int side = int(std::ceil(glyphPixels(m_textSize)));
    return {m_frameWidth > 0 ? m_frameWidth : side, side};
}

void TRSymbol::paintEvent(QPaintEvent*) {
    if (m_glyph.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(Theme::symbolFont(glyphPixels(m_textSize)));
    p.setPen(m_color);
    p.drawText(QRectF(rect()), Qt::AlignCenter, m_glyph);
}

} // namespace tavrin
