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

    QString symbol() const { return m_symbol; }
    QColor color() const { return m_color; }

    static qreal glyphPixels(qreal textSize);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QString m_symbol;
    QString m_glyph;
    qreal m_textSize;
    QColor m_color;
    int m_frameWidth = 0;
};

} // namespace tavrin
