#include "ui/kit/TRTextField.h"

#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>

namespace tavrin {

namespace {

// Text the field draws itself on top of the kit's box; the style's own panel must stay invisible.
void applyFieldPalette(QWidget* field) {
    QPalette p = field->palette();
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::Base, Qt::transparent);
        p.setColor(group, QPalette::Window, Qt::transparent);
        p.setColor(group, QPalette::Text, group == QPalette::Disabled ? Theme::inkMuted() : Theme::ink());
        p.setColor(group, QPalette::PlaceholderText, Theme::alpha(Theme::inkMuted(), 0.65));
    }
    field->setPalette(p);
}

} // namespace

TRTextField::TRTextField(bool monospaced, QWidget* parent) : QLineEdit(parent) {
    setFrame(false);
    setAttribute(Qt::WA_MacShowFocusRect, false);
    // Horizontal 10 and vertical 7 in all, of which the line edit itself keeps about 1–2 inside.
    setTextMargins(8, 5, 8, 5);
    applyFieldPalette(this);
    setMonospaced(monospaced);
}

void TRTextField::setMonospaced(bool monospaced) {
    m_monospaced = monospaced;
    setFont(Theme::font(monospaced ? TextRole::monoValue : TextRole::bodyMedium));
    updateGeometry();
}

QSize TRTextField::sizeHint() const {
    const QFontMetricsF fm(font());
    return {int(std::ceil(fm.averageCharWidth() * 18)) + 20, int(std::ceil(fm.height())) + 14};
}

QSize TRTextField::minimumSizeHint() const { return {40, sizeHint().height()}; }

void TRTextField::paintEvent(QPaintEvent* event) {
    {
        QPainter p(this);
        paintRoundedBox(p, rect(), 7, isEnabled() ? Theme::surface() : Theme::canvas(),
                        Theme::alpha(Theme::ink(), 0.18), 1);
        if (hasFocus())
            paintFocusRing(p, rect(), 7);
    }
    QLineEdit::paintEvent(event);
}

} // namespace tavrin
