#pragma once

#include "ui/kit/Theme.h"

#include <QWidget>

namespace tavrin {

// One line of text that, when it does not fit, is shown cut in the middle ("sk-live-4f2a…9a2c") yet is
// read, selected and copied whole: a screen reader hears all of it, and a selection or a copy takes all
// of it, never the "…" of the display (half a key is no key). Tab or a click selects it whole, with the
// focus ring; Ctrl+C (or the context menu's "Copy") copies it. On a well (`setWell`) it is a secret
// handed to the user, set apart on a light rounded ground.
class TRElidedText : public QWidget {
    Q_OBJECT
public:
    explicit TRElidedText(const QString& text = {}, TextRole role = TextRole::monoValue, QWidget* parent = nullptr);

    // A new text is not selected for the user.
    void setText(const QString& text);
    QString text() const { return m_text; }
    // The text as drawn at the current width.
    QString displayedText() const;
    void setColor(const QColor& color);
    void setWell(bool well);

    bool isSelected() const { return m_selected; }
    void setSelected(bool selected);
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
    QMarginsF insets() const;
    QRectF textRect() const;

    QString m_text;
    QColor m_color;
    bool m_selected = false;
    bool m_well = false;
};

} // namespace tavrin
