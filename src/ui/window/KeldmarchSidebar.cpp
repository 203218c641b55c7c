#include "ui/window/KeldmarchSidebar.h"

#include "ui/kit/Icons.h"
#include "ui/kit/KeldmarchLogoMark.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

namespace tavrin {

namespace {

constexpr qreal kLabelSize = 13;
constexpr qreal kIconSize = 12;

} // namespace

SidebarItem::SidebarItem(AdminTab tab, QWidget* parent) : QAbstractButton(parent), m_tab(tab) {
    setAccessibleName(adminTabLabel(tab));
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::TabFocus);
    setCheckable(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SidebarItem::setActive(bool active) {
    m_active = active;
    setAccessibleDescription(active ? QStringLiteral("selected") : QString());
    update();
}

QSize SidebarItem::sizeHint() const {
    const QFontMetrics metrics(Theme::font(kLabelSize, FontWeight::semibold));
    return {KeldmarchSidebar::kWidth - 16, metrics.height() + 12};
}

void SidebarItem::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = rect();
    if (m_active || m_hovered) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::alpha(Theme::ink(), m_active ? 0.06 : 0.04));
        p.drawRoundedRect(box, 6, 6);
    }
    if (m_active) {
        QPainterPath bar;
        bar.addRoundedRect(QRectF(0, 4, 2.5, box.height() - 8), 1.25, 1.25);
        p.fillPath(bar, Theme::accentBarGradient());
    }
    // The ring is for keyboard users only, not for focus that a click or the window gave.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange)) {
        p.setPen(QPen(Theme::alpha(Theme::brandTealDeep(), 0.7), 1.5));
        p.setBrush(Qt::NoBrush);
        p.drawRoundedRect(box.adjusted(1, 1, -1, -1), 5, 5);
    }

    const qreal x = 10;
    const QRectF iconFrame(x, 0, 16, box.height());
    QFont symbolFont = Theme::symbolFont(TRSymbol::glyphPixels(kIconSize));
    p.setFont(symbolFont);
    p.setPen(m_active ? Theme::brandTealDeep() : Theme::inkMuted());
    p.drawText(iconFrame, Qt::AlignCenter, icons::glyph(adminTabSymbol(m_tab)));

    p.setFont(Theme::font(kLabelSize, m_active ? FontWeight::semibold : FontWeight::regular));
    p.setPen(Theme::ink());
    p.drawText(QRectF(iconFrame.right() + 9, 0, box.width() - iconFrame.right() - 19, box.height()),
               Qt::AlignVCenter | Qt::AlignLeft, adminTabLabel(m_tab));
}

void SidebarItem::enterEvent(QEnterEvent*) {
    m_hovered = true;
    update();
}

void SidebarItem::leaveEvent(QEvent*) {
    m_hovered = false;
    update();
}

void SidebarItem::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        click();
        return;
    }
    QAbstractButton::keyPressEvent(event);
}

KeldmarchSidebar::KeldmarchSidebar(QWidget* parent) : QWidget(parent) {
    setFixedWidth(kWidth);
    setAccessibleName(QStringLiteral("Sections"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* brand = new QHBoxLayout;
    brand->setContentsMargins(16, 14, 16, 12);
    brand->setSpacing(10);
    brand->addWidget(new KeldmarchLogoMark(28));
    brand->addWidget(kitLabel(QStringLiteral("TAVRIN"), Theme::font(14, FontWeight::black, 2), Theme::ink()));
    brand->addStretch();
    column->addLayout(brand);

    auto* caption = new TRCaption(QStringLiteral("SERVER"));
    caption->setContentsMargins(18, 0, 18, 4);
    column->addWidget(caption);

    auto* items = new QVBoxLayout;
    items->setContentsMargins(8, 0, 8, 0);
    items->setSpacing(1);
    for (AdminTab tab : allAdminTabs) {
        auto* item = new SidebarItem(tab);
        item->setActive(tab == m_selection);
        connect(item, &QAbstractButton::clicked, this, [this, tab] { setSelection(tab); });
        items->addWidget(item);
        m_items.push_back(item);
    }
    column->addLayout(items);
    column->addStretch();

    m_pinnedBlock = new QWidget;
    auto* pinned = new QVBoxLayout(m_pinnedBlock);
    pinned->setContentsMargins(16, 12, 16, 14);
    pinned->setSpacing(4);
    pinned->addWidget(new TRCaption(QStringLiteral("PINNED MODEL")));
    m_pinnedAlias = kitLabel({}, Theme::mono(11, FontWeight::medium), Theme::ink());
    m_pinnedAlias->setTextInteractionFlags(Qt::TextSelectableByMouse);
    pinned->addWidget(m_pinnedAlias);
    m_pinnedBlock->hide();
    column->addWidget(m_pinnedBlock);
}

void KeldmarchSidebar::setSelection(AdminTab tab) {
    if (tab == m_selection)
        return;
    m_selection = tab;
    for (SidebarItem* item : m_items)
        item->setActive(item->tab() == tab);
    Q_EMIT selectionChanged(tab);
}

void KeldmarchSidebar::setPinnedModel(const std::optional<QString>& alias) {
    if (alias == m_pinnedModel && m_pinnedBlock->isHidden() == !alias.has_value())
        return;
    m_pinnedModel = alias;
    if (alias) {
        // One line, cut in the middle so both ends of a long alias stay readable.
        const QFontMetrics metrics(m_pinnedAlias->font());
        m_pinnedAlias->setText(metrics.elidedText(*alias, Qt::ElideMiddle, kWidth - 32));
        m_pinnedAlias->setToolTip(*alias);
        m_pinnedAlias->setAccessibleName(*alias);
    }
    m_pinnedBlock->setVisible(alias.has_value());
    update();
}

SidebarItem* KeldmarchSidebar::item(AdminTab tab) const {
    for (SidebarItem* item : m_items)
        if (item->tab() == tab)
            return item;
    return nullptr;
}

void KeldmarchSidebar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Theme::sidebarBackground());
    if (m_pinnedBlock->isVisible()) {
        p.fillRect(QRect(0, m_pinnedBlock->y(), width(), 1), Theme::line());
    }
}

} // namespace tavrin
