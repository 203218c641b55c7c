#pragma once

#include <QAbstractButton>

namespace tavrin {

// A borderless button that is only a symbol, such as the toolbar's Refresh. `help` is both its
// tooltip and, for screen readers, its name.
class TRIconButton : public QAbstractButton {
    Q_OBJECT
public:
    TRIconButton(const QString& symbol, const QString& help, qreal textSize = 13, QWidget* parent = nullptr);

    QString symbol() const { return m_symbol; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString m_symbol;
    qreal m_textSize;
};

} // namespace tavrin
