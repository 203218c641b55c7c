#include "ui/kit/KitParts.h"

#include "ui/kit/RoundedBox.h"

#include <QPainter>

#include <algorithm>
#include <array>

namespace tavrin {

namespace {

void styleLabel(QLabel* label, TextRole role, const QColor& color) {
    const TextStyle style = Theme::text(role);
    label->setFont(style.font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setLabelColor(label, color.isValid() ? color : style.colour.isValid() ? style.colour : Theme::ink());
}

} // namespace

QLabel* kitLabel(const QString& text, TextRole role, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    styleLabel(label, role, color);
    return label;
}

TRHeading::TRHeading(const QString& text, TextRole role, QWidget* parent) : QLabel(text, parent) {
    styleLabel(this, role, {});
}

TRValueLabel::TRValueLabel(const QString& text, TextRole role, QWidget* parent) : QLabel(text, parent) {
    styleLabel(this, role, {});
    setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setFocusPolicy(Qt::StrongFocus); // Qt leaves keyboard-selectable text out of the Tab chain
}

void TRValueLabel::paintEvent(QPaintEvent* event) {
    QLabel::paintEvent(event);
    // The ring is for keyboard users only, not for focus that a click gave.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        QPainter p(this);
        paintFocusRing(p, QRectF(rect()), 4);
    }
}

void setLabelColor(QLabel* label, const QColor& color) {
    QPalette p = label->palette();
    // A poll republishes the same look; a palette change would repaint the label and its parents.
    const bool same = std::ranges::all_of(std::array{QPalette::Active, QPalette::Inactive, QPalette::Disabled}, [&](auto group) {
        return p.color(group, QPalette::WindowText) == color && p.color(group, QPalette::Text) == color;
    });
    if (same)
        return;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        p.setColor(group, QPalette::WindowText, color);
        p.setColor(group, QPalette::Text, color);
    }
    label->setPalette(p);
}

QString literalButtonText(const QString& text) {
    QString escaped = text;
    return escaped.replace(QLatin1Char('&'), QLatin1String("&&"));
}

QString shownMessage(const QString& message) {
    qsizetype end = message.size();
    while (end > 0 && message.at(end - 1).isSpace())
        --end;
    return message.left(end);
}

TRDot::TRDot(int diameter, const QColor& color, QWidget* parent) : QWidget(parent), m_color(color) {
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TRDot::setColor(const QColor& color) {
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TRDot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_color);
    p.drawEllipse(QRectF(rect()));
}

} // namespace tavrin
