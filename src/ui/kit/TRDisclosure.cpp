#include "ui/kit/TRDisclosure.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QPropertyAnimation>
#include <QVBoxLayout>

#include <cmath>

namespace tavrin {

namespace {
constexpr int kSignFrame = 12;
constexpr int kHeaderPaddingTop = 5; // under the hairline
constexpr QMargins kContentInsets{1, 10, 0, 0};
constexpr int kSignGap = 6;

QFont signFont() { return Theme::font(TextRole::strong); }
QFont captionFont() { return Theme::font(TextRole::boxLabel); }
} // namespace

TRDisclosureHeader::TRDisclosureHeader(const QString& label, QWidget* parent) : QAbstractButton(parent) {
    setLabel(label);
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TRDisclosureHeader::setLabel(const QString& label) {
    m_label = label;
    setText(literalButtonText(label));
    updateGeometry();
    update();
}

QString TRDisclosureHeader::sign() const { return isChecked() ? QStringLiteral("−") : QStringLiteral("+"); }

QSize TRDisclosureHeader::sizeHint() const {
    const QFontMetricsF caption(captionFont());
    const QFontMetricsF sign(signFont());
    const qreal width = kSignFrame + kSignGap + caption.horizontalAdvance(m_label.toUpper()) + 4;
    return {int(std::ceil(width)), int(std::ceil(std::max(caption.height(), sign.height()))) + 4};
}

void TRDisclosureHeader::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void TRDisclosureHeader::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    if (isDown())
        p.setOpacity(0.7);
    p.setFont(signFont());
    p.setPen(Theme::dangerRed());
    p.drawText(QRectF(0, 0, kSignFrame, height()), Qt::AlignCenter, sign());
    p.setFont(captionFont());
    p.setPen(Theme::inkMuted());
    p.drawText(QRectF(kSignFrame + kSignGap, 0, width() - kSignFrame - kSignGap, height()),
               Qt::AlignLeft | Qt::AlignVCenter, m_label.toUpper());
    if (hasFocus())
        paintFocusRing(p, QRectF(rect()).adjusted(-1, 0, 1, 0), 4);
}

TRDisclosure::TRDisclosure(const QString& label, bool expanded, QWidget* parent)
    : QWidget(parent), m_expanded(expanded) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 1 + kHeaderPaddingTop, 0, 0);
    stack->setSpacing(0);
    m_header = new TRDisclosureHeader(label, this);
    m_header->setChecked(expanded);
    stack->addWidget(m_header, 0, Qt::AlignLeft);

    m_content = new QWidget(this);
    m_body = new QVBoxLayout(m_content);
    m_body->setContentsMargins(kContentInsets);
    m_body->setSpacing(0);
    stack->addWidget(m_content);
    m_content->setVisible(expanded);

    m_animation = new QPropertyAnimation(m_content, "maximumHeight", this);
    m_animation->setDuration(kAnimationMs);
    m_animation->setEasingCurve(QEasingCurve::InOutQuad);
    connect(m_animation, &QPropertyAnimation::finished, this, [this] {
        if (m_expanded)
            m_content->setMaximumHeight(QWIDGETSIZE_MAX);
        else
            m_content->hide();
    });
    connect(m_header, &QAbstractButton::toggled, this, &TRDisclosure::setExpanded);
}

void TRDisclosure::setLabel(const QString& label) {
    m_header->setLabel(label);
}

void TRDisclosure::setExpanded(bool expanded) {
    if (expanded == m_expanded)
        return;
    m_expanded = expanded;
    m_header->setChecked(expanded);
    animateTo(expanded);
    emit expandedChanged(expanded);
}

void TRDisclosure::animateTo(bool expanded) {
    m_animation->stop();
    if (!isVisible()) {
        // Nothing to watch: jump to the end state.
        m_content->setMaximumHeight(QWIDGETSIZE_MAX);
        m_content->setVisible(expanded);
        return;
    }
    const int full = m_content->sizeHint().height();
    if (expanded) {
        m_content->setMaximumHeight(0);
        m_content->show();
        m_animation->setStartValue(0);
        m_animation->setEndValue(full);
    } else {
        m_animation->setStartValue(m_content->height());
        m_animation->setEndValue(0);
    }
    m_animation->start();
}

void TRDisclosure::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(QRectF(0, 0, width(), 1), Theme::line());
}

} // namespace tavrin
