#pragma once

#include <QAbstractButton>

class QVariantAnimation;

namespace tavrin {

// The kit's on/off switch: a 38 × 22 capsule whose knob slides (0.18 s) to the trailing end when on.
// The label is shown before the track unless hidden; it stays the accessible name either way.
class KeldmarchSwitch : public QAbstractButton {
    Q_OBJECT
    Q_PROPERTY(qreal knobPosition READ knobPosition WRITE setKnobPosition)
public:
    explicit KeldmarchSwitch(const QString& label = {}, QWidget* parent = nullptr);

    void setLabel(const QString& label);
    QString label() const { return m_label; }
    void setLabelHidden(bool hidden);
    bool isLabelHidden() const { return m_labelHidden; }

    // 0 at the leading end (off), 1 at the trailing end (on); moves while animating.
    qreal knobPosition() const { return m_knobPosition; }
    void setKnobPosition(qreal position);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    static constexpr int kAnimationMs = 180;
    static constexpr QSize kTrackSize{38, 22};

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    void followCheckState(bool checked);
    QRectF trackRect() const;

    QString m_label;
    bool m_labelHidden = false;
    qreal m_knobPosition = 0;
    QVariantAnimation* m_animation;
};

} // namespace tavrin
