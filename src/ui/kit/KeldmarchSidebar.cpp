#include "ui/kit/KeldmarchSidebar.h"

#include "ui/kit/Icons.h"
#include "ui/kit/KeldmarchLogoMark.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <algorithm>

namespace tavrin {

namespace {

// The measures of the sidebar's own drawing.
constexpr qreal kIconSize = 12;
constexpr qreal kIconFrame = 16;
constexpr qreal kItemPaddingH = 10;
constexpr int kItemPaddingV = 6;
constexpr qreal kIconGap = 9;
constexpr qreal kRadius = 6;
constexpr qreal kAccentBar = 2.5;
constexpr int kLogoSize = 28;
constexpr QMargins kBrandInsets{16, 14, 16, 12};
constexpr int kCaptionInset = 18;
constexpr int kItemsInset = 8;
constexpr int kItemGap = 1;
constexpr QMargins kPinnedInsets{16, 12, 16, 14};
constexpr int kWholeList = 1 << 16;

} // namespace

SidebarItem::SidebarItem(const QString& label, const QString& symbol, QWidget* parent)
    : QAbstractButton(parent), m_label(label), m_symbol(symbol) {
    setAccessibleName(label);
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::ClickFocus);
    setCheckable(false);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SidebarItem::setActive(bool active) {
    if (active == m_active)
        return;
    m_active = active;
    // Only the chosen row is a Tab stop; the others are reached with the arrow keys.
    setFocusPolicy(active ? Qt::StrongFocus : Qt::ClickFocus);
    update();
    QAccessibleEvent changed(this, active ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
    QAccessible::updateAccessibility(&changed);
}

QSize SidebarItem::sizeHint() const {
    const QFontMetrics metrics(Theme::font(TextRole::bodySemibold));
    return {KeldmarchSidebar::kWidth - 2 * kItemsInset, metrics.height() + 2 * kItemPaddingV};
}

void SidebarItem::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box = rect();
    if (m_active || m_hovered) {
        p.setPen(Qt::NoPen);
        p.setBrush(Theme::alpha(Theme::ink(), m_active ? 0.06 : 0.04));
        p.drawRoundedRect(box, kRadius, kRadius);
    }
    // The ring is for keyboard users only, not for focus that a click or the window gave. The chosen
    // row's bar goes over it, so that a focused row still says it is the chosen one.
    if (hasFocus() && window()->testAttribute(Qt::WA_KeyboardFocusChange))
        paintFocusRing(p, box, kRadius);
    if (m_active) {
        QPainterPath bar;
        bar.addRoundedRect(QRectF(0, 4, kAccentBar, box.height() - 8), kAccentBar / 2, kAccentBar / 2);
        p.fillPath(bar, Theme::accentBarGradient());
    }

    const QRectF iconFrame(kItemPaddingH, 0, kIconFrame, box.height());
    p.setFont(Theme::symbolFont(TRSymbol::glyphPixels(kIconSize)));
    p.setPen(m_active ? Theme::brandTealDeep() : Theme::inkMuted());
    p.drawText(iconFrame, Qt::AlignCenter, icons::glyph(m_symbol));

    const TextStyle label = Theme::text(m_active ? TextRole::bodySemibold : TextRole::body);
    p.setFont(label.font);
    p.setPen(label.colour);
    p.drawText(QRectF(iconFrame.right() + kIconGap, 0, box.width() - iconFrame.right() - kIconGap - kItemPaddingH,
                      box.height()),
               Qt::AlignVCenter | Qt::AlignLeft, m_label);
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
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        click();
        return;
    case Qt::Key_Up:
        Q_EMIT stepRequested(-1);
        return;
    case Qt::Key_Down:
        Q_EMIT stepRequested(1);
        return;
    case Qt::Key_Home:
        Q_EMIT stepRequested(-kWholeList);
        return;
    case Qt::Key_End:
        Q_EMIT stepRequested(kWholeList);
        return;
    default:
        QAbstractButton::keyPressEvent(event);
    }
}

TRSidebarList::TRSidebarList(QWidget* parent) : QWidget(parent) {
    setAccessibleName(QStringLiteral("Sections"));
}

KeldmarchSidebar::KeldmarchSidebar(const std::vector<Entry>& entries, QWidget* parent) : QWidget(parent) {
    setFixedWidth(kWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto* brand = new QHBoxLayout;
    brand->setContentsMargins(kBrandInsets);
    brand->setSpacing(Spacing::grid);
    brand->addWidget(new KeldmarchLogoMark(kLogoSize));
    brand->addWidget(kitLabel(QStringLiteral("TAVRIN"), TextRole::brand));
    brand->addStretch();
    column->addLayout(brand);

    auto* caption = new TRCaption(QStringLiteral("SERVER"));
    caption->setContentsMargins(kCaptionInset, 0, kCaptionInset, Spacing::caption);
    column->addWidget(caption);

    auto* list = new TRSidebarList(this);
    auto* items = new QVBoxLayout(list);
    items->setContentsMargins(kItemsInset, 0, kItemsInset, 0);
    items->setSpacing(kItemGap);
    for (const Entry& entry : entries) {
        auto* item = new SidebarItem(entry.label, entry.symbol, list);
        const int index = int(m_items.size());
        item->setActive(index == m_selection);
        connect(item, &QAbstractButton::clicked, this, [this, index] { setSelection(index); });
        connect(item, &SidebarItem::stepRequested, this, [this, index](int by) { step(index, by); });
        items->addWidget(item);
        m_items.push_back(item);
    }
    column->addWidget(list);
    column->addStretch();

    m_pinnedBlock = new QWidget;
    auto* pinned = new QVBoxLayout(m_pinnedBlock);
    pinned->setContentsMargins(kPinnedInsets);
    pinned->setSpacing(Spacing::caption);
    pinned->addWidget(new TRCaption(QStringLiteral("PINNED MODEL")));
    m_pinnedAlias = new TRElidedText({}, TextRole::monoSmall);
    pinned->addWidget(m_pinnedAlias);
    m_pinnedBlock->hide();
    column->addWidget(m_pinnedBlock);
}

void KeldmarchSidebar::setSelection(int index) {
    if (index == m_selection)
        return;
    m_selection = index;
    for (std::size_t i = 0; i < m_items.size(); ++i)
        m_items[i]->setActive(int(i) == index);
    Q_EMIT selectionChanged(index);
}

void KeldmarchSidebar::step(int from, int by) {
    const int to = std::clamp(from + by, 0, count() - 1);
    setSelection(to);
    // A key moved the focus: the ring shows, as it does for Tab.
    item(to)->setFocus(Qt::ShortcutFocusReason);
}

void KeldmarchSidebar::setPinnedModel(const std::optional<QString>& alias) {
    if (alias == m_pinnedModel && m_pinnedBlock->isHidden() == !alias.has_value())
        return;
    m_pinnedModel = alias;
    // One line, cut in the middle so both ends of a long alias stay readable.
    if (alias)
        m_pinnedAlias->setText(*alias);
    m_pinnedBlock->setVisible(alias.has_value());
    update();
}

void KeldmarchSidebar::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(rect(), Theme::sidebarBackground());
    if (m_pinnedBlock->isVisible())
        p.fillRect(QRect(0, m_pinnedBlock->y(), width(), 1), Theme::line());
}

} // namespace tavrin
