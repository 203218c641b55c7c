#include "ui/kit/TRElidedText.h"

#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRCopyButton.h"

#include <QAccessible>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include <cmath>

namespace tavrin {

namespace {
constexpr QMarginsF kPlainInsets{2, 1, 2, 1}; // room for the selection's wash and the focus ring
constexpr QMarginsF kWellInsets{10, 7, 10, 7};
constexpr qreal kWellRadius = 7;
constexpr int kMinimumWidth = 40;
constexpr int kWellMinimumChars = 12;
} // namespace

TRElidedText::TRElidedText(const QString& text, TextRole role, QWidget* parent) : QWidget(parent), m_text(text) {
    const TextStyle style = Theme::text(role);
    setFont(style.font);
    m_color = style.colour.isValid() ? style.colour : Theme::ink();
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setToolTip(text);
}

void TRElidedText::setText(const QString& text, const QString& shown) {
    const QString form = shown == text ? QString() : shown;
    if (text == m_text && form == m_shown)
        return;
    const bool changed = text != m_text;
    m_text = text;
    m_shown = form;
    updateGeometry();
    update();
    if (!changed)
        return;
    setSelected(false);
    setToolTip(text);
    QAccessibleEvent renamed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&renamed);
}

QMarginsF TRElidedText::insets() const { return m_well ? kWellInsets : kPlainInsets; }

QRectF TRElidedText::textRect() const { return QRectF(rect()).marginsRemoved(insets()); }

QString TRElidedText::displayedText() const {
    return QFontMetricsF(font()).elidedText(shownText(), Qt::ElideMiddle,
                                            std::max<qreal>(0, textRect().width()));
}

void TRElidedText::setColor(const QColor& color) {
    if (color == m_color)
        return;
    m_color = color;
    update();
}

void TRElidedText::setWell(bool well) {
    if (well == m_well)
        return;
    m_well = well;
    updateGeometry();
    update();
}

// On desktops with a primary selection, selecting is also what a middle click pastes: the whole text.
void TRElidedText::setSelected(bool selected) {
    if (selected == m_selected)
        return;
    m_selected = selected;
    if (selected && !m_text.isEmpty()) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection())
            clipboard->setText(m_text, QClipboard::Selection);
    }
    update();
    QAccessibleTextSelectionEvent changed(this, 0, selected ? int(m_text.size()) : 0);
    QAccessible::updateAccessibility(&changed);
}

void TRElidedText::copy() {
    copyText(m_text);
    emit copied();
}

QSize TRElidedText::sizeHint() const {
    if (!m_well)
        return {fontMetrics().horizontalAdvance(shownText()) +
                    int(kPlainInsets.left() + kPlainInsets.right()) + 1,
                fontMetrics().height() + int(kPlainInsets.top() + kPlainInsets.bottom())};
    const QFontMetricsF metrics(font());
    return {int(std::ceil(metrics.horizontalAdvance(shownText()) + kWellInsets.left() + kWellInsets.right())),
            int(std::ceil(metrics.height() + kWellInsets.top() + kWellInsets.bottom()))};
}

QSize TRElidedText::minimumSizeHint() const {
    const QMarginsF in = insets();
    const int width = m_well ? int(std::ceil(QFontMetricsF(font()).averageCharWidth() * kWellMinimumChars +
                                             in.left() + in.right()))
                             : kMinimumWidth;
    return {width, sizeHint().height()};
}

void TRElidedText::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (m_well)
        paintRoundedBox(p, rect(), kWellRadius, Theme::alpha(Theme::ink(), 0.05), Qt::transparent, 0);
    const QFontMetricsF metrics(font());
    const QString shown = displayedText();
    const QRectF area = textRect();
    if (m_selected && m_well) {
        const QRectF marked(area.left() - 1, area.center().y() - metrics.height() / 2 - 1,
                            metrics.horizontalAdvance(shown) + 2, metrics.height() + 2);
        paintRoundedBox(p, marked, 3, palette().color(QPalette::Highlight), Qt::transparent, 0);
    } else if (m_selected) {
        p.fillRect(QRectF(area.left(), 1, metrics.horizontalAdvance(shown), height() - 2),
                   palette().color(QPalette::Highlight));
    }
    p.setFont(font());
    p.setPen(m_color);
    p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange))
        paintFocusRing(p, QRectF(rect()), m_well ? kWellRadius : 4);
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
    menu.addAction(tr("Copy"), this, &TRElidedText::copy);
    menu.exec(event->globalPos());
}

} // namespace tavrin
