#include "ui/kit/TRBanner.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

QColor bannerTint(BannerKind kind) {
    switch (kind) {
    case BannerKind::info:
        return QColor::fromRgbF(0.125f, 0.333f, 0.761f);
    case BannerKind::warn:
        return QColor::fromRgbF(0.722f, 0.322f, 0.039f);
    case BannerKind::danger:
        return QColor::fromRgbF(0.71f, 0.2f, 0.149f);
    case BannerKind::brand:
        return Theme::brandTealDeep();
    case BannerKind::success:
        return Theme::okGreen();
    }
    return Theme::ink();
}

QColor bannerBackground(BannerKind kind) {
    switch (kind) {
    case BannerKind::info:
        return Theme::alpha(Theme::linkBlue(), 0.07);
    case BannerKind::warn:
        return Theme::alpha(Theme::warnAmber(), 0.10);
    case BannerKind::danger:
        return Theme::alpha(Theme::dangerRed(), 0.08);
    case BannerKind::brand:
        return Theme::alpha(Theme::brandTeal(), 0.07);
    case BannerKind::success:
        return Theme::alpha(Theme::okGreen(), 0.09);
    }
    return Qt::transparent;
}

QColor bannerBorder(BannerKind kind) {
    switch (kind) {
    case BannerKind::info:
        return Theme::alpha(Theme::linkBlue(), 0.25);
    case BannerKind::warn:
        return Theme::alpha(Theme::warnAmber(), 0.30);
    case BannerKind::danger:
        return Theme::alpha(Theme::dangerRed(), 0.25);
    case BannerKind::brand:
        return Theme::alpha(Theme::brandTeal(), 0.30);
    case BannerKind::success:
        return Theme::alpha(Theme::okGreen(), 0.30);
    }
    return Theme::line();
}

TRBanner::TRBanner(BannerKind kind, const QString& symbol, const QString& title, const QString& message,
                   QWidget* parent)
    : QWidget(parent), kind_(kind) {
    row_ = new QHBoxLayout(this);
    row_->setContentsMargins(14, 12, 14, 12);
    row_->setSpacing(10);
    icon_ = new TRSymbol(symbol, 14, bannerTint(kind), this);
    icon_->setContentsMargins(0, 1, 0, 0);
    row_->addWidget(icon_, 0, Qt::AlignTop);

    texts_ = new QWidget(this);
    auto* stack = new QVBoxLayout(texts_);
    stack->setContentsMargins(0, 1, 0, 0);
    stack->setSpacing(3);
    title_ = kitLabel(title, Theme::font(13, FontWeight::bold), Theme::ink(), texts_);
    title_->setWordWrap(true);
    message_ = kitLabel(message, Theme::font(12.5), bannerTint(kind), texts_);
    message_->setWordWrap(true);
    message_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    stack->addWidget(title_);
    stack->addWidget(message_);
    row_->addWidget(texts_, 1, Qt::AlignTop);
    // Takes the free width only while the texts are hidden, so the trailing view stays at the end.
    row_->addStretch(0);
    updateTexts();
}

void TRBanner::setKind(BannerKind kind) {
    kind_ = kind;
    icon_->setColor(bannerTint(kind));
    setLabelColor(message_, bannerTint(kind));
    update();
}

void TRBanner::setSymbol(const QString& symbol) { icon_->setSymbol(symbol); }

void TRBanner::setTitle(const QString& title) {
    title_->setText(title);
    updateTexts();
}

void TRBanner::setMessage(const QString& message) {
    message_->setText(message);
    updateTexts();
}

void TRBanner::setTrailing(QWidget* trailing) {
    if (trailing_ == trailing)
        return;
    delete trailing_;
    trailing_ = trailing;
    if (trailing_) {
        trailing_->setParent(this);
        row_->addWidget(trailing_, 0, Qt::AlignTop);
        trailing_->show();
    }
}

QString TRBanner::title() const { return title_->text(); }
QString TRBanner::message() const { return message_->text(); }

void TRBanner::updateTexts() {
    title_->setVisible(!title_->text().isEmpty());
    message_->setVisible(!message_->text().isEmpty());
    texts_->setVisible(!title_->text().isEmpty() || !message_->text().isEmpty());
}

void TRBanner::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 10, bannerBackground(kind_), bannerBorder(kind_), 1);
}

} // namespace tavrin
