#include "ui/kit/TabContent.h"

#include "ui/kit/TRScrollBar.h"
#include "ui/kit/Theme.h"

#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr int kStripHeight = 2;
}

TabContent::TabContent(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(false);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, kStripHeight, 0, 0);
    outer->setSpacing(0);

    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    // The page is no stop of its own: Tab goes to its controls, and the area scrolls to show each.
    m_scroll->setFocusPolicy(Qt::NoFocus);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->viewport()->setAutoFillBackground(false);
    TRScrollBar::install(m_scroll);
    QPalette transparent = m_scroll->palette();
    transparent.setColor(QPalette::Window, Qt::transparent);
    m_scroll->setPalette(transparent);
    outer->addWidget(m_scroll);

    auto* page = new QWidget;
    page->setAutoFillBackground(false);
    auto* row = new QHBoxLayout(page);
    row->setContentsMargins(Spacing::page);
    row->setSpacing(0);
    auto* column = new QWidget(page);
    column->setMaximumWidth(kMaxContentWidth);
    m_stack = new QVBoxLayout(column);
    m_stack->setContentsMargins(0, 0, 0, 0);
    m_stack->setSpacing(Spacing::section);
    m_stack->addStretch(1);
    row->addWidget(column, 1);
    row->addStretch(0);
    m_scroll->setWidget(page);
}

void TabContent::addWidget(QWidget* widget, int stretch, Qt::Alignment alignment) {
    // Keep the trailing stretch last so sections stay at the top.
    m_stack->insertWidget(m_stack->count() - 1, widget, stretch, alignment);
}

void TabContent::addLayout(QLayout* layout, int stretch) {
    m_stack->insertLayout(m_stack->count() - 1, layout, stretch);
}

void TabContent::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Theme::canvas());
    p.fillRect(QRectF(0, 0, width(), kStripHeight), QBrush(Theme::accentBarGradient()));
}

} // namespace tavrin
