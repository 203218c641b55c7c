#include "ui/kit/RoundedBox.h"

#include "ui/kit/Theme.h"

#include <QPainter>
#include <QPainterPath>

namespace tavrin {

void paintRoundedBox(QPainter& painter, const QRectF& rect, qreal radius, const QBrush& fill,
                     const QColor& border, qreal borderWidth, Qt::PenStyle borderStyle) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(rect, radius, radius);
    if (borderWidth > 0 && border.alpha() > 0) {
        QPen pen(border, borderWidth, borderStyle);
        if (borderStyle == Qt::DashLine)
            pen.setDashPattern({4.0 / borderWidth, 3.0 / borderWidth});
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const qreal inset = borderWidth / 2;
        painter.drawRoundedRect(rect.adjusted(inset, inset, -inset, -inset), radius - inset, radius - inset);
    }
    painter.restore();
}

void paintFocusRing(QPainter& painter, const QRectF& rect, qreal radius) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Theme::alpha(Theme::linkBlue(), 0.75), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRoundedRect(rect.adjusted(1, 1, -1, -1), radius, radius);
    painter.restore();
}

} // namespace tavrin
