#pragma once

#include <QList>
#include <QPointF>
#include <QWidget>

namespace tavrin {

// A small chart of two series over time (in flight, queued), drawn in the product's colours on a
// baseline, on the ground of the card it sits on: x runs from 0 (the oldest moment shown) to 1 (now),
// y from 0 to `top`. A reader hears its description, one line that says what the lines show.
class TRLoadChart : public QWidget {
    Q_OBJECT
public:
    explicit TRLoadChart(QWidget* parent = nullptr);

    void setSeries(QList<QPointF> inFlight, QList<QPointF> queued, qreal top, const QString& description);
    QString description() const { return m_description; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QList<QPointF> m_inFlight;
    QList<QPointF> m_queued;
    qreal m_top = 1;
    QString m_description;
};

} // namespace tavrin
