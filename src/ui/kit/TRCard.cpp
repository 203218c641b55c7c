#include "ui/kit/TRCard.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

TRCard::TRCard(const QString& title, const QString& subtitle, QWidget* parent) : QWidget(parent) {
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(18, 18, 18, 18);
    outer->setSpacing(16);

    header_ = new QWidget(this);
    headerLayout_ = new QHBoxLayout(header_);
    headerLayout_->setContentsMargins(0, 0, 0, 0);
    headerLayout_->setSpacing(12);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    title_ = kitLabel(title, Theme::font(14, FontWeight::bold), Theme::ink(), header_);
    title_->setWordWrap(true);
    subtitle_ = kitLabel(subtitle, Theme::font(12.5), Theme::inkMuted(), header_);
    subtitle_->setWordWrap(true);
    texts->addWidget(title_);
    texts->addWidget(subtitle_);
    headerLayout_->addLayout(texts, 1);
    outer->addWidget(header_);

    body_ = new QVBoxLayout;
    body_->setContentsMargins(0, 0, 0, 0);
    body_->setSpacing(10);
    outer->addLayout(body_);
    updateHeader();
}

void TRCard::setTitle(const QString& title) {
    title_->setText(title);
    updateHeader();
}

void TRCard::setSubtitle(const QString& subtitle) {
    subtitle_->setText(subtitle);
    updateHeader();
}

void TRCard::setAccessory(QWidget* accessory) {
    if (accessory_ == accessory)
        return;
    delete accessory_;
    accessory_ = accessory;
    if (accessory_) {
        accessory_->setParent(header_);
        headerLayout_->addWidget(accessory_, 0, Qt::AlignTop | Qt::AlignRight);
        accessory_->show();
    }
    updateHeader();
}

void TRCard::setDanger(bool danger) {
    danger_ = danger;
    setLabelColor(title_, danger ? Theme::dangerRed() : Theme::ink());
    update();
}

QString TRCard::title() const { return title_->text(); }
QString TRCard::subtitle() const { return subtitle_->text(); }

void TRCard::updateHeader() {
    title_->setVisible(!title_->text().isEmpty());
    subtitle_->setVisible(!subtitle_->text().isEmpty());
    header_->setVisible(!title_->text().isEmpty() || !subtitle_->text().isEmpty() || accessory_);
}

void TRCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 14, Theme::surface(),
                    danger_ ? Theme::alpha(Theme::dangerRed(), 0.28) : Theme::line(), 1);
}

} // namespace tavrin
