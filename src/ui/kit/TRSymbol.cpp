#include "ui/kit/TRSymbol.h"

#include "ui/kit/Icons.h"
#include "ui/kit/Theme.h"

#include <QPainter>

#include <cmath>

namespace tavrin {

TRSymbol::TRSymbol(const QString& symbol, qreal textSize, const QColor& color, QWidget* parent)
    : QWidget(parent), textSize_(textSize), color_(color) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setSymbol(symbol);
}

void TRSymbol::setSymbol(const QString& symbol) {
    symbol_ = symbol;
    glyph_ = icons::glyph(symbol);
    update();
}

void TRSymbol::setColor(const QColor& color) {
    color_ = color;
    update();
}

void TRSymbol::setTextSize(qreal textSize) {
    textSize_ = textSize;
    updateGeometry();
    update();
}

void TRSymbol::setFrameWidth(int width) {
    frameWidth_ = width;
    updateGeometry();
}

// Material glyphs fill about five sixths of their em box, a symbol beside text about its cap height
// plus a little: 1.25 × the text size matches them by eye.
qreal TRSymbol::glyphPixels(qreal textSize) { return textSize * 1.25; }

QSize TRSymbol::sizeHint() const {
    const int side = int(std::ceil(glyphPixels(textSize_)));
    return {frameWidth_ > 0 ? frameWidth_ : side, side};
}

void TRSymbol::paintEvent(QPaintEvent*) {
    if (glyph_.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.setFont(Theme::symbolFont(glyphPixels(textSize_)));
    p.setPen(color_);
    p.drawText(QRectF(rect()), Qt::AlignCenter, glyph_);
}

} // namespace tavrin
