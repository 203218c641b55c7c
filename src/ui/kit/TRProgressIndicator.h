#pragma once

#include <QProgressBar>

class QVariantAnimation;

namespace tavrin {

// The spinning wheel shown while something is on its way. It is a busy progress bar underneath, so
// screen readers meet a progress bar that says it is busy; it turns only while it is on screen.
// appeared() is said each time it comes on screen, for screens that start a load at that moment.
class TRProgressIndicator : public QProgressBar {
    Q_OBJECT
    Q_PROPERTY(qreal angle READ angle WRITE setAngle)
public:
    explicit TRProgressIndicator(QWidget* parent = nullptr);

    qreal angle() const { return m_angle; }
    void setAngle(qreal degrees);
    bool isSpinning() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int kSide = 24;
    static constexpr int kTurnMs = 900;

Q_SIGNALS:
    void appeared();

protected:
    void paintEvent(QPaintEvent*) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    qreal m_angle = 0;
    QVariantAnimation* m_turn;
};

} // namespace tavrin
