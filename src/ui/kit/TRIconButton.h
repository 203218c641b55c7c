#pragma once

#include <QAbstractButton>

namespace tavrin {

// A borderless button that is only a symbol, such as the toolbar's Refresh. `help` is both its
// tooltip and, for screen readers, its name.
class TRIconButton : public QAbstractButton {
    Q_OBJECT
public:
    TRIconButton(const QString& symbol, const QString& help, qreal textSize = 13, QWidget* parent = nullptr);

    QString symbol() const { return symbol_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString symbol_;
    qreal textSize_;
};

} // namespace tavrin
