#include "ui/kit/TRLoadChart.h"

#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

namespace tavrin {

namespace {

constexpr int plotHeight = 36;
constexpr int legendHeight = 16;
constexpr qreal lineWidth = 1.5;

} // namespace

TRLoadChart::TRLoadChart(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    // Every poll moves the lines: painting its own ground keeps that to this widget, where a
    // see-through one would have the card and everything under it painted again each time.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QSize TRLoadChart::sizeHint() const { return {160, plotHeight + legendHeight}; }

void TRLoadChart::setSeries(QList<QPointF> inFlight, QList<QPointF> queued, qreal top, const QString& description) {
    if (inFlight == m_inFlight && queued == m_queued && top == m_top && description == m_description)
        return;
    m_inFlight = std::move(inFlight);
    m_queued = std::move(queued);
    m_top = top > 0 ? top : 1;
    m_description = description;
    setToolTip(description);
    update();
}

void TRLoadChart::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Theme::surface()); // the ground of the cards it sits on
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF area = QRectF(rect()).adjusted(lineWidth, lineWidth, -lineWidth, -lineWidth - legendHeight);
    p.setPen(QPen(Theme::line(), 1));
    p.drawLine(QPointF(area.left(), area.bottom()), QPointF(area.right(), area.bottom()));
    const auto draw = [&](const QList<QPointF>& series, const QColor& colour) {
        if (series.isEmpty())
            return;
        QPainterPath path;
        for (qsizetype i = 0; i < series.size(); ++i) {
            const QPointF at(area.left() + series[i].x() * area.width(), area.bottom() - series[i].y() / m_top * area.height());
            i == 0 ? path.moveTo(at) : path.lineTo(at);
        }
        p.setPen(QPen(colour, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    };
    draw(m_queued, Theme::warnAmber());
    draw(m_inFlight, Theme::brandTeal());

    // Colour alone does not say which line is which: a legend under the baseline names both.
    p.setFont(Theme::font(11));
    const QFontMetricsF metrics(p.font());
    qreal x = area.left();
    const qreal baseline = height() - (legendHeight - metrics.ascent()) / 2 - 1;
    const auto key = [&](const QString& label, const QColor& colour) {
        p.setPen(QPen(colour, 2, Qt::SolidLine, Qt::RoundCap));
        const qreal mid = baseline - metrics.ascent() / 2 + 1;
        p.drawLine(QPointF(x, mid), QPointF(x + 10, mid));
        p.setPen(Theme::inkMuted());
        p.drawText(QPointF(x + 14, baseline), label);
        x += 14 + metrics.horizontalAdvance(label) + 14;
    };
    key(tr("in flight"), Theme::brandTeal());
    key(tr("queued"), Theme::warnAmber());
    p.setPen(Theme::inkMuted());
    const QString span = tr("last 10 min");
    p.drawText(QPointF(area.right() - metrics.horizontalAdvance(span), baseline), span);
}

} // namespace tavrin
