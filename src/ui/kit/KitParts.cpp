#include "ui/kit/KitParts.h"

#include <QPainter>

namespace tavrin {

QLabel* kitLabel(const QString& text, TextRole role, const QColor& color, QWidget* parent) {
    const TextStyle style = Theme::text(role);
    auto* label = new QLabel(text, parent);
    label->setFont(style.font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setLabelColor(label, color.isValid() ? color : style.colour.isValid() ? style.colour : Theme::ink());
    return label;
}

void setLabelColor(QLabel* label, const QColor& color) {
    QPalette p = label->palette();
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
