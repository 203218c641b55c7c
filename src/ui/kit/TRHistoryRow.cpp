#include "ui/kit/TRHistoryRow.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr int kPaddingV = 10; // above and below; the hairline takes one more at the bottom
constexpr int kNameGap = 7;   // between the name and its pill
constexpr int kLineGap = 4;   // between the name and the line under it
// A name longer than the row is cut at the edge rather than widening the page.
constexpr int kNarrowest = 40;
} // namespace

TRHistoryRow::TRHistoryRow(const QString& name, const QString& detail, const QString& pill, QWidget* parent)
    : QWidget(parent) {
    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(0, kPaddingV, 0, kPaddingV + 1);
    m_row->setSpacing(Spacing::beside);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(kLineGap);
    auto* top = new QHBoxLayout;
    top->setSpacing(kNameGap);
    m_name = kitLabel(name, TextRole::monoName, {}, this);
    m_name->setMinimumWidth(kNarrowest);
    m_name->setTextInteractionFlags(Qt::TextSelectableByMouse);
    top->addWidget(m_name, 0, Qt::AlignVCenter);
    if (!pill.isEmpty()) {
        m_pill = new TRPill(pill, PillKind::muted, {.mono = true}, this);
        top->addWidget(m_pill, 0, Qt::AlignVCenter);
    }
    top->addStretch(1);
    texts->addLayout(top);
    m_detail = kitLabel(detail, TextRole::monoSmall, Theme::inkMuted(), this);
    m_detail->setMinimumWidth(kNarrowest);
    texts->addWidget(m_detail);
    m_row->addLayout(texts, 1);
}

void TRHistoryRow::setAccessory(QWidget* accessory) {
    if (m_accessory == accessory)
        return;
    delete m_accessory;
    m_accessory = accessory;
    if (m_accessory) {
        m_accessory->setParent(this);
        m_row->addWidget(m_accessory, 0, Qt::AlignVCenter);
        m_accessory->show();
    }
}

QString TRHistoryRow::name() const { return m_name->text(); }
QString TRHistoryRow::detail() const { return m_detail->text(); }
QString TRHistoryRow::pill() const { return m_pill ? m_pill->label() : QString(); }

void TRHistoryRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(QRectF(0, height() - 1, width(), 1), Theme::line());
}

} // namespace tavrin
