#include "ui/kit/KeldmarchSidebar.h"

#include "ui/kit/Icons.h"
#include "ui/kit/KeldmarchLogoMark.h"
#include "ui/kit/TRCaption.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QAccessible>
#include <QPainter>
#include <QVBoxLayout>

#include <cmath>

namespace tavrin {

namespace {

// The measures of the sidebar's own drawing.
constexpr qreal kIconSize = 12;
constexpr qreal kIconFrame = 16;
constexpr qreal kItemPaddingH = 10;
constexpr int kItemPaddingV = 6;
constexpr qreal kIconGap = 9;
constexpr qreal kRadius = 6;
constexpr int kLogoSize = 28;
constexpr QMargins kBrandInsets{16, 14, 16, 12};
constexpr int kCaptionInset = 18;
constexpr int kItemsInset = 8;
constexpr int kItemGap = 1;
constexpr QMargins kPinnedInsets{16, 12, 16, 14};

} // namespace

SidebarItem::SidebarItem(const QString& label, const QString& symbol, QWidget* parent)
    : TRPaintedRow(label, {.radius = kRadius, .barInset = 4, .keyboardRing = true, .arrowsStep = true},
                   parent),
      m_symbol(symbol) {
    setFocusPolicy(Qt::ClickFocus);
}

void SidebarItem::setActive(bool active) {
    if (active == isActive())
        return;
    setChosen(active);
    // Only the chosen row is a Tab stop; the others are reached with the arrow keys.
    setFocusPolicy(active ? Qt::StrongFocus : Qt::ClickFocus);
    QAccessibleEvent changed(this, active ? QAccessible::SelectionAdd : QAccessible::SelectionRemove);
    QAccessible::updateAccessibility(&changed);
}

// The width its name takes in the chosen row's face: the sidebar is as wide as it is, and a name too
// long for it is then told as such by the screens' check rather than cut off unseen.
QSize SidebarItem::sizeHint() const {
    const QFontMetrics metrics(Theme::font(TextRole::bodySemibold));
    return {int(std::ceil(kItemPaddingH + kIconFrame + kIconGap + metrics.horizontalAdvance(label()) +
                          kItemPaddingH)),
            metrics.height() + 2 * kItemPaddingV};
}

void SidebarItem::paintContent(QPainter& p, const QRectF& box) {
    const QRectF iconFrame(kItemPaddingH, 0, kIconFrame, box.height());
    p.setFont(Theme::symbolFont(TRSymbol::glyphPixels(kIconSize)));
    p.setPen(isActive() ? Theme::brandTealDeep() : Theme::inkMuted());
    p.drawText(iconFrame, Qt::AlignCenter, icons::glyph(m_symbol));

    const TextStyle text = Theme::text(isActive() ? TextRole::bodySemibold : TextRole::body);
    p.setFont(text.font);
    p.setPen(text.colour);
    p.drawText(QRectF(iconFrame.right() + kIconGap, 0,
                      box.width() - iconFrame.right() - kIconGap - kItemPaddingH, box.height()),
               Qt::AlignVCenter | Qt::AlignLeft, label());
}

TRSidebarList::TRSidebarList(QWidget* parent) : QWidget(parent) {
    setAccessibleName(tr("Sections"));
}

KeldmarchSidebar::KeldmarchSidebar(const std::vector<Entry>& entries, QWidget* parent) : QWidget(parent) {
    setFixedWidth(kWidth);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    column->addLayout(brandLine(kLogoSize, kBrandInsets));

    auto* caption = new TRCaption(tr("SERVER"));
    caption->setContentsMargins(kCaptionInset, 0, kCaptionInset, Spacing::caption);
    column->addWidget(caption);

    auto* list = new TRSidebarList(this);
    m_rows = new TRPaintedRows(kItemsInset, kItemGap, list);
    for (const Entry& entry : entries) {
        auto* item = new SidebarItem(entry.label, entry.symbol, list);
        item->setActive(m_rows->rowCount() == m_selection);
        m_rows->addRow(item);
    }
    connect(m_rows, &TRPaintedRows::rowClicked, this, &KeldmarchSidebar::setSelection);
    connect(m_rows, &TRPaintedRows::rowStepped, this, &KeldmarchSidebar::setSelection);
    column->addWidget(list);
    column->addStretch();

    m_pinnedBlock = new QWidget;
    auto* pinned = new QVBoxLayout(m_pinnedBlock);
    pinned->setContentsMargins(kPinnedInsets);
    pinned->setSpacing(Spacing::caption);
    pinned->addWidget(new TRCaption(tr("PINNED MODEL")));
    m_pinnedAlias = new TRElidedText({}, TextRole::monoSmall);
    pinned->addWidget(m_pinnedAlias);
    m_pinnedBlock->hide();
    column->addWidget(m_pinnedBlock);
}

void KeldmarchSidebar::setSelection(int index) {
    if (index == m_selection)
        return;
    m_selection = index;
    for (int i = 0; i < count(); ++i)
        item(i)->setActive(i == index);
    Q_EMIT selectionChanged(index);
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
