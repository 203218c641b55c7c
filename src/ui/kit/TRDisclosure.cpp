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
constexpr int kSignGap = 6;

QFont signFont() { return Theme::font(13, FontWeight::bold); }
QFont captionFont() { return Theme::mono(10, FontWeight::semibold, 1.7); }
} // namespace

DisclosureHeader::DisclosureHeader(const QString& label, QWidget* parent) : QAbstractButton(parent) {
    setLabel(label);
    setCheckable(true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void DisclosureHeader::setLabel(const QString& label) {
    label_ = label;
    setText(literalButtonText(label));
    updateGeometry();
    update();
}

QString DisclosureHeader::sign() const { return isChecked() ? QStringLiteral("−") : QStringLiteral("+"); }

QSize DisclosureHeader::sizeHint() const {
    const QFontMetricsF caption(captionFont());
    const QFontMetricsF sign(signFont());
    const qreal width = kSignFrame + kSignGap + caption.horizontalAdvance(label_.toUpper()) + 4;
    return {int(std::ceil(width)), int(std::ceil(std::max(caption.height(), sign.height()))) + 4};
}

void DisclosureHeader::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void DisclosureHeader::paintEvent(QPaintEvent*) {
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
               Qt::AlignLeft | Qt::AlignVCenter, label_.toUpper());
    if (hasFocus())
        paintFocusRing(p, QRectF(rect()).adjusted(-1, 0, 1, 0), 4);
}

TRDisclosure::TRDisclosure(const QString& label, bool expanded, QWidget* parent)
    : QWidget(parent), expanded_(expanded) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 1 + 5, 0, 0);
    stack->setSpacing(0);
    header_ = new DisclosureHeader(label, this);
    header_->setChecked(expanded);
    stack->addWidget(header_, 0, Qt::AlignLeft);

    content_ = new QWidget(this);
    body_ = new QVBoxLayout(content_);
    body_->setContentsMargins(1, 10, 0, 0);
    body_->setSpacing(0);
    stack->addWidget(content_);
    content_->setVisible(expanded);

    animation_ = new QPropertyAnimation(content_, "maximumHeight", this);
    animation_->setDuration(kAnimationMs);
    animation_->setEasingCurve(QEasingCurve::InOutQuad);
    connect(animation_, &QPropertyAnimation::finished, this, [this] {
        if (expanded_)
            content_->setMaximumHeight(QWIDGETSIZE_MAX);
        else
            content_->hide();
    });
    connect(header_, &QAbstractButton::toggled, this, &TRDisclosure::setExpanded);
}

void TRDisclosure::setLabel(const QString& label) {
    header_->setLabel(label);
}

void TRDisclosure::setExpanded(bool expanded) {
    if (expanded == expanded_)
        return;
    expanded_ = expanded;
    header_->setChecked(expanded);
    animateTo(expanded);
    emit expandedChanged(expanded);
}

void TRDisclosure::animateTo(bool expanded) {
    animation_->stop();
    if (!isVisible()) {
        // Nothing to watch: jump to the end state.
        content_->setMaximumHeight(QWIDGETSIZE_MAX);
        content_->setVisible(expanded);
        return;
    }
    const int full = content_->sizeHint().height();
    if (expanded) {
        content_->setMaximumHeight(0);
        content_->show();
        animation_->setStartValue(0);
        animation_->setEndValue(full);
    } else {
        animation_->setStartValue(content_->height());
        animation_->setEndValue(0);
    }
    animation_->start();
}

void TRDisclosure::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(QRectF(0, 0, width(), 1), Theme::line());
}

} // namespace tavrin
