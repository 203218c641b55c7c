#include "ui/kit/TabHeader.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/TREyebrow.h"
#include "ui/kit/Theme.h"

#include <QVBoxLayout>

namespace tavrin {

TabHeader::TabHeader(const QString& eyebrow, const QString& title, const QString& lead, QWidget* parent)
    : QWidget(parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(0, 0, 0, 6);
    stack->setSpacing(6);
    eyebrow_ = new TREyebrow(eyebrow, true, Theme::inkMuted(), this);
    title_ = kitLabel(title, Theme::font(28, FontWeight::bold, -0.6), Theme::ink(), this);
    title_->setWordWrap(true);
    lead_ = kitLabel(lead, Theme::font(13.5), Theme::inkSecondary(), this);
    lead_->setWordWrap(true);
    lead_->setVisible(!lead.isEmpty());
    stack->addWidget(eyebrow_);
    stack->addWidget(title_);
    stack->addWidget(lead_);
}

void TabHeader::setEyebrow(const QString& eyebrow) { eyebrow_->setText(eyebrow); }

void TabHeader::setTitle(const QString& title) { title_->setText(title); }

void TabHeader::setLead(const QString& lead) {
    lead_->setText(lead);
    lead_->setVisible(!lead.isEmpty());
}

QString TabHeader::title() const { return title_->text(); }

QString TabHeader::lead() const { return lead_->isVisibleTo(this) ? lead_->text() : QString(); }

} // namespace tavrin
