#include "ui/kit/CopyButton.h"

#include "ui/kit/Icons.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QPainter>

#include <cmath>

namespace tavrin {

namespace {
const QString kCopy = QStringLiteral("Copy");
}

CopyButton::CopyButton(qreal textSize, QWidget* parent) : QAbstractButton(parent), textSize_(textSize) {
    setAccessibleName(kCopy);
    setToolTip(kCopy);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QAbstractButton::clicked, this, &CopyButton::copy);
}

QSize CopyButton::sizeHint() const {
    const int side = int(std::ceil(TRSymbol::glyphPixels(textSize_))) + 8;
    return {side, side};
}

void CopyButton::copy() {
    auto* clipboard = QGuiApplication::clipboard();
    clipboard->clear();
    clipboard->setText(payload_);
    emit copied(payload_);
}

void CopyButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void CopyButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    if (underMouse() || isDown())
        paintRoundedBox(p, rect(), 5, Theme::alpha(Theme::ink(), isDown() ? 0.10 : 0.05), Qt::transparent, 0);
    if (hasFocus())
        paintFocusRing(p, rect(), 5);
    p.setFont(Theme::symbolFont(TRSymbol::glyphPixels(textSize_)));
    p.setPen(underMouse() ? Theme::ink() : Theme::inkMuted());
    p.drawText(QRectF(rect()), Qt::AlignCenter, icons::glyph(u"doc.on.doc"));
}

} // namespace tavrin
