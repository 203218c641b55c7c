#include "ui/kit/TRProgress.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QTimer>

namespace tavrin {

namespace {
constexpr int kFrameMs = 50;
constexpr int kDegreesPerFrame = 18; // a turn in a second
constexpr qreal kStroke = 2;
} // namespace

class TRProgress::Spinner : public QWidget {
public:
    explicit Spinner(QWidget* parent) : QWidget(parent) {
        setFixedSize(kSpinnerSize, kSpinnerSize);
        m_timer.setInterval(kFrameMs);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_angle = (m_angle + kDegreesPerFrame) % 360;
            update();
        });
    }
    void run(bool on) { on ? m_timer.start() : m_timer.stop(); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF ring = QRectF(rect()).adjusted(kStroke, kStroke, -kStroke, -kStroke);
        p.setPen(QPen(Theme::alpha(Theme::inkMuted(), 0.18), kStroke));
        p.drawEllipse(ring);
        p.setPen(QPen(Theme::brandTealDeep(), kStroke, Qt::SolidLine, Qt::RoundCap));
        p.drawArc(ring, -m_angle * 16, 100 * 16);
    }

private:
    QTimer m_timer;
    int m_angle = 0;
};

TRProgress::TRProgress(const QString& text, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(Spacing::group);
    m_spinner = new Spinner(this);
    m_text = kitLabel(text, TextRole::secondary, {}, this);
    row->addWidget(m_spinner, 0, Qt::AlignVCenter);
    row->addWidget(m_text, 1, Qt::AlignVCenter);
    setAccessibleName(text);
}

void TRProgress::setText(const QString& text) {
    m_text->setText(text);
    setAccessibleName(text);
}

QString TRProgress::text() const { return m_text->text(); }

void TRProgress::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    m_spinner->run(true);
}

void TRProgress::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    m_spinner->run(false);
}

} // namespace tavrin
