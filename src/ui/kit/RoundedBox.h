#pragma once

#include <QBrush>
#include <QColor>
#include <QRectF>

class QPainter;

namespace tavrin {

// Fills a rounded rectangle and strokes its border inside the shape (inset by half the border width),
// the way the product's cards, tiles, boxes and fields are drawn.
void paintRoundedBox(QPainter& painter, const QRectF& rect, qreal radius, const QBrush& fill,
                     const QColor& border, qreal borderWidth = 1.0, Qt::PenStyle borderStyle = Qt::SolidLine);

// The keyboard-focus ring drawn around a focused kit control.
void paintFocusRing(QPainter& painter, const QRectF& rect, qreal radius);

} // namespace tavrin
