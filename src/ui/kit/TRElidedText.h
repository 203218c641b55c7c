#pragma once

#include "ui/kit/Theme.h"

#include <QWidget>

namespace tavrin {

// A secret or a value that may be shown cut (an API key, an admin password, a hash, a path, a model's
// alias), on one line: cut in the middle where it does not fit ("sk-live-4f2a…9a2c"), or written in the
// shorter form a rule gives it, yet read, selected and copied whole. A screen reader hears all of it and
// reads it through its text interface, and a selection or a copy takes all of it, never the "…" of the
// display (half a key is no key). Tab or a click selects it whole, with the focus ring; Ctrl+C (or the
// context menu's "Copy") copies it. On a well (`setWell`) it is a token handed to the user, set apart on
// a light rounded ground: the issued-key banner's, setup's first key.
class TRElidedText : public QWidget {
    Q_OBJECT
public:
    explicit TRElidedText(const QString& text = {}, TextRole role = TextRole::monoValue, QWidget* parent = nullptr);

    // `shown` is how a rule writes the text cut (a hash's first 32 characters and "…"); empty, the text
    // itself is shown. A new text is not selected for the user.
    void setText(const QString& text, const QString& shown = {});
    QString text() const { return m_text; }
    // The text, or the rule's cut form of it, before any cut to the width.
    QString shownText() const { return m_shown.isEmpty() ? m_text : m_shown; }
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
    QString m_shown;
    QColor m_color;
    bool m_selected = false;
    bool m_well = false;
};

} // namespace tavrin
