#include "ui/kit/NetMapNode.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr int kLineGap = 5;
}

NetMapNode::NetMapNode(const QString& symbol, const QString& head, const QString& title, const QString& detail,
                       bool isActive, QWidget* parent)
    : QWidget(parent), m_active(isActive) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(Spacing::tile, Spacing::tile, Spacing::tile, Spacing::tile);
    stack->setSpacing(kLineGap);
    auto* caption = new QHBoxLayout;
    caption->setSpacing(Spacing::lines);
    m_icon = new TRSymbol(symbol, 10, Theme::inkMuted(), this);
    m_head = kitLabel(head.toUpper(), TextRole::tileLabel, {}, this);
    caption->addWidget(m_icon, 0, Qt::AlignVCenter);
    caption->addWidget(m_head, 1, Qt::AlignVCenter);
    stack->addLayout(caption);
    m_title = kitLabel(title, TextRole::cardTitle, {}, this);
    m_title->setWordWrap(true);
    m_detail = kitLabel(detail, TextRole::detail, {}, this);
    m_detail->setWordWrap(true);
    stack->addWidget(m_title);
    stack->addWidget(m_detail);
    m_stack = stack;
    stack->addStretch(1);
    setActive(isActive);
}

void NetMapNode::setSymbol(const QString& symbol) { m_icon->setSymbol(symbol); }
void NetMapNode::setHead(const QString& head) { m_head->setText(head.toUpper()); }
void NetMapNode::setTitle(const QString& title) { m_title->setText(title); }
void NetMapNode::setDetail(const QString& detail) { m_detail->setText(detail); }

void NetMapNode::setActive(bool active) {
    m_active = active;
    const QColor accent = active ? Theme::brandTealDeep() : Theme::inkMuted();
    m_icon->setColor(accent);
    setLabelColor(m_head, accent);
    update();
}

QString NetMapNode::title() const { return m_title->text(); }
QString NetMapNode::detail() const { return m_detail->text(); }

void NetMapNode::addBelow(QWidget* widget) { m_stack->insertWidget(m_stack->count() - 1, widget); }

void NetMapNode::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (m_active)
        paintRoundedBox(p, rect(), 10, Theme::alpha(Theme::brandTeal(), 0.07), Theme::brandTeal(), 1.5);
    else
        paintRoundedBox(p, rect(), 10, Theme::surface(), Theme::line(), 1);
}

} // namespace tavrin
