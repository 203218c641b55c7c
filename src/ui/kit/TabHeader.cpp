#include "ui/kit/TabHeader.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/TREyebrow.h"
#include "ui/kit/Theme.h"

#include <QVBoxLayout>

namespace tavrin {

TabHeader::TabHeader(const QString& eyebrow, const QString& title, const QString& lead, QWidget* parent)
    : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, Spacing::lines);
    stack->setSpacing(Spacing::lines);
    m_eyebrow = new TREyebrow(eyebrow, true, Theme::inkMuted(), this);
    m_title = new TRHeading(title, TextRole::tabTitle, this);
    m_title->setWordWrap(true);
    m_lead = kitLabel(lead, TextRole::lead, {}, this);
    m_lead->setWordWrap(true);
    m_lead->setVisible(!lead.isEmpty());
    stack->addWidget(m_eyebrow);
    stack->addWidget(m_title);
    stack->addWidget(m_lead);
}

void TabHeader::setEyebrow(const QString& eyebrow) { m_eyebrow->setText(eyebrow); }

void TabHeader::setTitle(const QString& title) { m_title->setText(title); }

void TabHeader::setLead(const QString& lead) {
    m_lead->setText(lead);
    m_lead->setVisible(!lead.isEmpty());
}

QString TabHeader::title() const { return m_title->text(); }

QString TabHeader::lead() const { return m_lead->isVisibleTo(this) ? m_lead->text() : QString(); }

} // namespace tavrin
