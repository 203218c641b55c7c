#include "ui/kit/TRNetMapButton.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/NetMapNode.h"
#include "ui/kit/RoundedBox.h"

#include <QKeyEvent>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

namespace {
// Room around the node for the focus ring, which the node would otherwise paint over.
constexpr int kRingRoom = 3;
constexpr qreal kRadius = 12;
} // namespace

TRNetMapButton::TRNetMapButton(const QString& symbol, const QString& head, const QString& title,
                               const QString& detail, QWidget* parent)
    : QAbstractButton(parent) {
    auto* box = new QVBoxLayout(this);
    box->setContentsMargins(kRingRoom, kRingRoom, kRingRoom, kRingRoom);
    m_node = new NetMapNode(symbol, head, title, detail, false, this);
    m_node->setAttribute(Qt::WA_TransparentForMouseEvents);
    box->addWidget(m_node);
    setText(literalButtonText(title));
    setAccessibleName(title);
    setAccessibleDescription(detail);
    setCheckable(true);
    setAutoExclusive(true);
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::toggled, m_node, &NetMapNode::setActive);
}

void TRNetMapButton::setDetail(const QString& detail) {
    m_node->setDetail(detail);
    setAccessibleDescription(detail);
}

QSize TRNetMapButton::sizeHint() const { return layout()->sizeHint(); }
QSize TRNetMapButton::minimumSizeHint() const { return layout()->minimumSize(); }

void TRNetMapButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

void TRNetMapButton::paintEvent(QPaintEvent*) {
    if (!hasFocus())
        return;
    QPainter p(this);
    paintFocusRing(p, rect(), kRadius);
}

} // namespace tavrin
