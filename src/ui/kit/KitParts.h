#pragma once

#include "ui/kit/Theme.h"

#include <QColor>
#include <QLabel>
#include <QWidget>

namespace tavrin {

// A label in one of the kit's text roles, in the role's colour unless `color` is given. Screens do not
// build these themselves; kit components do.
QLabel* kitLabel(const QString& text, TextRole role, const QColor& color = {}, QWidget* parent = nullptr);
void setLabelColor(QLabel* label, const QColor& color);

// Button texts are the product's words, never mnemonics: "Download & verify" must read, and be
// announced, with its ampersand. Qt treats a single "&" in a button text as a shortcut marker.
QString literalButtonText(const QString& text);

// A message as a label shows it: servers end their one-line answers with a line break, which a
// wrapped label would draw as an empty line at the bottom.
QString shownMessage(const QString& message);
// A label that heads what follows (a tab's title, a card's title): screen readers list it among the
// page's headings and jump to it, as they do to a heading on a web page.
class TRHeading : public QLabel {
    Q_OBJECT
public:
    TRHeading(const QString& text, TextRole role, QWidget* parent = nullptr);
};

// A value the user may select and copy (a URL, a path, a hash), with the mouse or from the keyboard;
// it takes focus from Tab and shows the focus ring while it has it.
class TRValueLabel : public QLabel {
    Q_OBJECT
public:
    TRValueLabel(const QString& text, TextRole role, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A filled circle (the dots of eyebrows and pills).
class TRDot : public QWidget {
    Q_OBJECT
public:
    TRDot(int diameter, const QColor& color, QWidget* parent = nullptr);
    void setColor(const QColor& color);
    QColor color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QColor m_color;
};

} // namespace tavrin
