#include "ui/kit/NetMapNode.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

NetMapNode::NetMapNode(const QString& symbol, const QString& head, const QString& title, const QString& detail,
                       bool isActive, QWidget* parent)
    : QWidget(parent), active_(isActive) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(14, 14, 14, 14);
    stack->setSpacing(5);
    auto* caption = new QHBoxLayout;
    caption->setSpacing(6);
    icon_ = new TRSymbol(symbol, 10, Theme::inkMuted(), this);
    head_ = kitLabel(head.toUpper(), Theme::mono(9.5, FontWeight::semibold, 1.8), Theme::inkMuted(), this);
    caption->addWidget(icon_, 0, Qt::AlignVCenter);
    caption->addWidget(head_, 1, Qt::AlignVCenter);
    stack->addLayout(caption);
    title_ = kitLabel(title, Theme::font(14, FontWeight::bold), Theme::ink(), this);
    title_->setWordWrap(true);
    detail_ = kitLabel(detail, Theme::font(11.5), Theme::inkMuted(), this);
    detail_->setWordWrap(true);
    stack->addWidget(title_);
    stack->addWidget(detail_);
    stack->addStretch(1);
    setActive(isActive);
}

void NetMapNode::setSymbol(const QString& symbol) { icon_->setSymbol(symbol); }
void NetMapNode::setHead(const QString& head) { head_->setText(head.toUpper()); }
void NetMapNode::setTitle(const QString& title) { title_->setText(title); }
void NetMapNode::setDetail(const QString& detail) { detail_->setText(detail); }

void NetMapNode::setActive(bool active) {
    active_ = active;
    const QColor accent = active ? Theme::brandTealDeep() : Theme::inkMuted();
    icon_->setColor(accent);
    setLabelColor(head_, accent);
    update();
}

QString NetMapNode::title() const { return title_->text(); }
QString NetMapNode::detail() const { return detail_->text(); }

void NetMapNode::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (active_)
        paintRoundedBox(p, rect(), 10, Theme::alpha(Theme::brandTeal(), 0.07), Theme::brandTeal(), 1.5);
    else
        paintRoundedBox(p, rect(), 10, Theme::surface(), Theme::line(), 1);
}

} // namespace tavrin
