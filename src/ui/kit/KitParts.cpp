#include "ui/kit/KitParts.h"

#include <QPainter>

namespace tavrin {

QLabel* kitLabel(const QString& text, const QFont& font, const QColor& color, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setLabelColor(label, color);
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

KitDot::KitDot(int diameter, const QColor& color, QWidget* parent) : QWidget(parent), m_color(color) {
    setFixedSize(diameter, diameter);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void KitDot::setColor(const QColor& color) {
    m_color = color;
    update();
}

void KitDot::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(m_color);
    p.drawEllipse(QRectF(rect()));
}

} // namespace tavrin
