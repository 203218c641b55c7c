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

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent*) override;
    bool hitButton(const QPoint& pos) const override;

private:
    QRectF boxRect() const;

    QString m_label;
};

} // namespace tavrin
