#include "ui/kit/KeyListRow.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

namespace {
// 10 above and below the texts; the hairline along the bottom takes one more.
constexpr int kPaddingTop = 10;
constexpr int kPaddingBottom = 11;
constexpr GhostButtonStyle kSmall{.size = ButtonSize::small};
} // namespace

KeyListRow::KeyListRow(const KeyListRowContent& content, QWidget* parent) : QWidget(parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, kPaddingTop, 0, kPaddingBottom);
    row->setSpacing(Spacing::beside);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(Spacing::lines);
    auto* first = new QHBoxLayout;
    first->setSpacing(Spacing::group);
    m_label = kitLabel({}, TextRole::rowTitle, {}, this);
    m_label->setWordWrap(true);
    m_status = new TRPill({}, PillKind::muted, {.withDot = true}, this);
    m_scope = new TRPill({}, PillKind::muted, {.mono = true}, this);
    first->addWidget(m_label, 0, Qt::AlignVCenter);
    first->addWidget(m_status, 0, Qt::AlignVCenter);
    first->addWidget(m_scope, 0, Qt::AlignVCenter);
    first->addStretch(1);
    texts->addLayout(first);
    m_usageLine = new QWidget(this);
    auto* usage = new QHBoxLayout(m_usageLine);
    usage->setContentsMargins(0, 0, 0, 0);
    usage->setSpacing(Spacing::beside);
    usage->addStretch(1);
    texts->addWidget(m_usageLine);
    row->addLayout(texts, 1);

    m_revoke = new TRButton(tr("Revoke"), kSmall, this);
    m_rotate = new TRButton(tr("Rotate"), kSmall, this);
    m_rotate->setSymbol(QStringLiteral("arrow.triangle.2.circlepath"));
    m_delete = new TRButton({}, GhostButtonStyle{.danger = true, .size = ButtonSize::small}, this);
    m_delete->setToolTip(tr("Delete"));
    m_delete->setSymbol(QStringLiteral("trash"));
    for (TRButton* button : {m_revoke, m_rotate, m_delete})
        row->addWidget(button, 0, Qt::AlignVCenter);
    connect(m_revoke, &QAbstractButton::clicked, this, &KeyListRow::revokeRequested);
    connect(m_rotate, &QAbstractButton::clicked, this, &KeyListRow::rotateRequested);
    connect(m_delete, &QAbstractButton::clicked, this, &KeyListRow::deleteRequested);

    apply(content);
}

void KeyListRow::setContent(const KeyListRowContent& content) {
    if (content == m_content)
        return;
    apply(content);
}

void KeyListRow::apply(const KeyListRowContent& content) {
    m_label->setText(content.label);
    m_revoke->setAccessibleName(tr("Revoke key %1").arg(content.label));
    m_rotate->setAccessibleName(tr("Rotate key %1").arg(content.label));
    m_delete->setAccessibleName(tr("Delete key %1").arg(content.label));
    m_status->setLabel(content.status);
    m_status->setKind(content.statusKind);
    m_scope->setLabel(content.scope);
    m_scope->setVisible(!content.scope.isEmpty());
    auto* line = static_cast<QHBoxLayout*>(m_usageLine->layout());
    while (m_usage.size() > content.usage.size())
        delete m_usage.takeLast();
    while (m_usage.size() < content.usage.size()) {
        QLabel* part = kitLabel({}, TextRole::monoSmall, Theme::inkMuted(), m_usageLine);
        line->insertWidget(int(m_usage.size()), part);
        m_usage << part;
    }
    for (qsizetype i = 0; i < m_usage.size(); ++i)
        m_usage[i]->setText(content.usage[i]);
    // A revoked key loses its Revoke button; the keyboard focus it held moves to Rotate beside it.
    const bool hadFocus = m_revoke->hasFocus();
    m_revoke->setVisible(content.revocable);
    if (hadFocus && !content.revocable)
        m_rotate->setFocus(Qt::OtherFocusReason);
    m_content = content;
}

void KeyListRow::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.fillRect(QRectF(0, height() - 1, width(), 1), Theme::line());
}

} // namespace tavrin
