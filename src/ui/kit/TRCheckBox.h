#pragma once

#include <QCheckBox>

namespace tavrin {

// The kit's checkbox: a small rounded box, teal with a white tick when checked, and its label in
// 12-pixel ink. The label is the product's words as given ("&" is an ampersand).
class TRCheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit TRCheckBox(const QString& label, QWidget* parent = nullptr);

    QString label() const { return m_label; }
    // A muted remark after the label ("(only if Audit logging is on)"): part of the control's face and
    // hit area, and its accessible description, while the name stays the label.
    void setNote(const QString& note);
    QString note() const { return m_note; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRectF boxRect() const;

    QString m_label;
    QString m_note;
};

} // namespace tavrin
