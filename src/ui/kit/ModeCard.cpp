#include "ui/kit/ModeCard.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr int kLineGap = 5;
constexpr qreal kRingInset = 3;
}

ModeCard::ModeCard(const QString& label, const QString& title, const QString& description, bool isOn,
                   QWidget* parent)
    : QAbstractButton(parent), m_on(isOn) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(Spacing::tile, Spacing::tile, Spacing::tile, Spacing::tile);
    stack->setSpacing(kLineGap);
    m_label = kitLabel(label.toUpper(), TextRole::tileLabel, {}, this);
    m_title = kitLabel(title, TextRole::cardTitle, {}, this);
    m_description = kitLabel(description, TextRole::detail, {}, this);
    for (QLabel* l : {m_label, m_title, m_description}) {
        l->setWordWrap(true);
        l->setAttribute(Qt::WA_TransparentForMouseEvents);
        stack->addWidget(l);
    }
    stack->addStretch(1);
    m_label->setVisible(!label.isEmpty());
    setText(literalButtonText(title));
    setAccessibleName(title);
    setAccessibleDescription(description);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    setOn(isOn);
}

void ModeCard::setLabel(const QString& label) {
    m_label->setText(label.toUpper());
    m_label->setVisible(!label.isEmpty());
}

void ModeCard::setTitle(const QString& title) {
    m_title->setText(title);
    setText(literalButtonText(title));
    setAccessibleName(title);
}

void ModeCard::setDescription(const QString& description) {
    m_description->setText(description);
    setAccessibleDescription(description);
}

QString ModeCard::title() const { return m_title->text(); }

void ModeCard::setOn(bool on) {
    const bool changed = on != m_on;
    m_on = on;
    setLabelColor(m_label, on ? Theme::brandTealDeep() : Theme::inkMuted());
    update();
    if (changed) { // a reader hears the card become checked or unchecked
        QAccessible::State checked;
        checked.checked = true;
        QAccessibleStateChangeEvent event(this, checked);
        QAccessible::updateAccessibility(&event);
    }
}

// QAbstractButton has no layout-aware size hint of its own.
QSize ModeCard::sizeHint() const { return layout()->sizeHint(); }
QSize ModeCard::minimumSizeHint() const { return layout()->minimumSize(); }

void ModeCard::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void ModeCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (isDown())
        p.setOpacity(0.85);
    if (m_on)
        paintRoundedBox(p, rect(), 10, Theme::alpha(Theme::brandTeal(), 0.06), Theme::brandTeal(), 1.5);
    else
        paintRoundedBox(p, rect(), 10, Theme::surface(), Theme::line(), 1);
    // Inside the border, which says whether the card is on.
    if (hasFocus())
        paintFocusRing(p, QRectF(rect()).adjusted(kRingInset, kRingInset, -kRingInset, -kRingInset),
                       10 - kRingInset);
}

} // namespace tavrin
