#pragma once

#include <QColor>
#include <QWidget>

namespace tavrin {

// A glyph of the product's icon set. `textSize` is the size of the text the symbol stands beside (the
// "system 12" of a description); the glyph is drawn a little larger so that it reads at the same
// visual weight as a symbol of that text size.
class TRSymbol : public QWidget {
    Q_OBJECT
public:
    TRSymbol(const QString& symbol, qreal textSize, const QColor& color, QWidget* parent = nullptr);

    void setSymbol(const QString& symbol);
    void setColor(const QColor& color);
    void setTextSize(qreal textSize);
    // A fixed frame width (the "frame 16 wide" of sidebar rows); 0 sizes to the glyph.
    void setFrameWidth(int width);

    QString symbol() const { return symbol_; }
    QColor color() const { return color_; }

    static qreal glyphPixels(qreal textSize);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString symbol_;
    QString glyph_;
    qreal textSize_;
    QColor color_;
    int frameWidth_ = 0;
};

} // namespace tavrin
