#include "ui/kit/TRElidedText.h"

#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRCopyButton.h"

#include <QAccessible>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include <cmath>

namespace tavrin {

namespace {
constexpr int kPaddingH = 2; // room for the selection's wash and the focus ring
constexpr int kMinimumWidth = 40;
} // namespace

TRElidedText::TRElidedText(const QString& text, TextRole role, QWidget* parent) : QWidget(parent), m_text(text) {
    const TextStyle style = Theme::text(role);
    setFont(style.font);
    m_color = style.colour.isValid() ? style.colour : Theme::ink();
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setToolTip(text);
}

void TRElidedText::setText(const QString& text) {
    if (text == m_text)
        return;
    m_text = text;
    setToolTip(text);
    updateGeometry();
    update();
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
}

QString TRElidedText::displayedText() const {
    return fontMetrics().elidedText(m_text, Qt::ElideMiddle, std::max(0, width() - 2 * kPaddingH));
}

void TRElidedText::setColor(const QColor& color) {
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TRElidedText::setSelected(bool selected) {
    if (selected == m_selected)
        return;
    m_selected = selected;
    update();
    QAccessibleTextSelectionEvent changed(this, 0, selected ? int(m_text.size()) : 0);
    QAccessible::updateAccessibility(&changed);
}

void TRElidedText::copy() const { copyText(m_text); }

QSize TRElidedText::sizeHint() const {
    return {fontMetrics().horizontalAdvance(m_text) + 2 * kPaddingH + 1, fontMetrics().height() + 2};
}

QSize TRElidedText::minimumSizeHint() const { return {kMinimumWidth, sizeHint().height()}; }

void TRElidedText::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QString shown = displayedText();
    const QRectF textBox(kPaddingH, 0, width() - 2 * kPaddingH, height());
    if (m_selected) {
        const qreal shownWidth = fontMetrics().horizontalAdvance(shown);
        p.fillRect(QRectF(textBox.left(), 1, shownWidth, height() - 2), palette().color(QPalette::Highlight));
    }
    p.setFont(font());
    p.setPen(m_color);
    p.drawText(textBox, Qt::AlignLeft | Qt::AlignVCenter, shown);
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange))
        paintFocusRing(p, QRectF(rect()), 4);
}

void TRElidedText::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    setSelected(true);
    event->accept();
}

void TRElidedText::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        setSelected(true);
        return;
    }
    QWidget::keyPressEvent(event);
}

void TRElidedText::focusInEvent(QFocusEvent* event) {
    setSelected(true);
    QWidget::focusInEvent(event);
}

void TRElidedText::focusOutEvent(QFocusEvent* event) {
    // A context menu takes focus for a moment; the selection it acts on stays.
    if (event->reason() != Qt::PopupFocusReason)
        setSelected(false);
    QWidget::focusOutEvent(event);
}

void TRElidedText::contextMenuEvent(QContextMenuEvent* event) {
    setSelected(true);
    QMenu menu(this);
    menu.addAction(QStringLiteral("Copy"), this, &TRElidedText::copy);
    menu.exec(event->globalPos());
}

} // namespace tavrin
