#pragma once

#include <QWidget>

namespace tavrin {

// A secret on one line of monospaced text, cut in the middle when it does not fit, on a light well.
// What is cut is only what the eye sees: the box is selected, copied and read to screen readers whole.
// A press (or Tab) selects it all; Ctrl+C and the context menu's Copy replace the clipboard with it.
class TRTokenBox : public QWidget {
    Q_OBJECT
public:
    explicit TRTokenBox(const QString& token = {}, QWidget* parent = nullptr);

    void setToken(const QString& token);
    QString token() const { return m_token; }
    // What fits in the box now, "…" standing in the middle for what does not.
    QString displayedText() const;

    bool isSelected() const { return m_selected; }
    void selectAll();
    void copy();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

signals:
    void copied();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void setSelected(bool selected);
    QRectF textRect() const;

    QString m_token;
    bool m_selected = false;
};

} // namespace tavrin
