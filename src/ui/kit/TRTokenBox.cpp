#include "ui/kit/TRTokenBox.h"

#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRCopyButton.h"
#include "ui/kit/Theme.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

#include <cmath>

namespace tavrin {

namespace {

constexpr QMarginsF kInsets{10, 7, 10, 7};
constexpr qreal kRadius = 7;
constexpr int kMinimumChars = 12;

QFont tokenFont() { return Theme::font(TextRole::monoValue); }

// Screen readers get the whole token, never the cut one on screen.
class TokenAccessible : public QAccessibleWidget {
public:
    explicit TokenAccessible(TRTokenBox* box) : QAccessibleWidget(box, QAccessible::StaticText) {}
    QString text(QAccessible::Text t) const override {
        const auto* box = static_cast<const TRTokenBox*>(widget());
        if (t == QAccessible::Value || (t == QAccessible::Name && box->accessibleName().isEmpty()))
            return box->token();
        return QAccessibleWidget::text(t);
    }
};

QAccessibleInterface* tokenAccessible(const QString& className, QObject* object) {
    if (className == QLatin1String(TRTokenBox::staticMetaObject.className()) && object && object->isWidgetType())
        return new TokenAccessible(static_cast<TRTokenBox*>(object));
    return nullptr;
}

} // namespace

TRTokenBox::TRTokenBox(const QString& token, QWidget* parent) : QWidget(parent), m_token(token) {
    static const bool accessible = [] {
        QAccessible::installFactory(tokenAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void TRTokenBox::setToken(const QString& token) {
    if (token == m_token)
        return;
    m_token = token;
    setSelected(false);
    QAccessibleEvent changed(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&changed);
    update();
}

QRectF TRTokenBox::textRect() const { return QRectF(rect()).marginsRemoved(kInsets); }

QString TRTokenBox::displayedText() const {
    return QFontMetricsF(tokenFont()).elidedText(m_token, Qt::ElideMiddle, textRect().width());
}

QSize TRTokenBox::sizeHint() const {
    const QFontMetricsF metrics(tokenFont());
    return {int(std::ceil(metrics.horizontalAdvance(m_token) + kInsets.left() + kInsets.right())),
            int(std::ceil(metrics.height() + kInsets.top() + kInsets.bottom()))};
}

QSize TRTokenBox::minimumSizeHint() const {
    const QFontMetricsF metrics(tokenFont());
    return {int(std::ceil(metrics.averageCharWidth() * kMinimumChars + kInsets.left() + kInsets.right())),
            sizeHint().height()};
}

void TRTokenBox::selectAll() { setSelected(true); }

// On desktops with a primary selection, selecting is also what a middle click pastes: the whole token.
void TRTokenBox::setSelected(bool selected) {
    if (selected == m_selected)
        return;
    m_selected = selected;
    if (selected && !m_token.isEmpty()) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->supportsSelection())
            clipboard->setText(m_token, QClipboard::Selection);
    }
    update();
}

void TRTokenBox::copy() {
    copyText(m_token);
    emit copied();
}

void TRTokenBox::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    setFocus(Qt::MouseFocusReason);
    selectAll();
}

void TRTokenBox::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TRTokenBox::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    selectAll();
}

void TRTokenBox::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    // A menu of the box's own keeps the selection it acts on.
    if (event->reason() != Qt::PopupFocusReason)
        setSelected(false);
}

void TRTokenBox::contextMenuEvent(QContextMenuEvent* event) {
    selectAll();
    QMenu menu(this);
    menu.addAction(QStringLiteral("Copy"), this, &TRTokenBox::copy);
    menu.exec(event->globalPos());
}

void TRTokenBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    paintRoundedBox(p, rect(), kRadius, Theme::alpha(Theme::ink(), 0.05), Qt::transparent, 0);
    const QFont font = tokenFont();
    const QFontMetricsF metrics(font);
    const QString shown = displayedText();
    const QRectF area = textRect();
    if (m_selected) {
        const QRectF marked(area.left() - 1, area.center().y() - metrics.height() / 2 - 1,
                            metrics.horizontalAdvance(shown) + 2, metrics.height() + 2);
        paintRoundedBox(p, marked, 3, palette().color(QPalette::Highlight), Qt::transparent, 0);
    }
    p.setFont(font);
    p.setPen(Theme::ink());
    p.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, shown);
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange))
        paintFocusRing(p, rect(), kRadius);
}

} // namespace tavrin
