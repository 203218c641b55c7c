#include "ui/kit/TRBanner.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr QMargins kInsets{14, 12, 14, 12};
constexpr int kTextNudge = 1; // the icon and texts sit a point lower, level with the title's cap height
} // namespace

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
    : QWidget(parent), m_kind(kind) {
    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(kInsets);
    m_row->setSpacing(Spacing::grid);
    m_icon = new TRSymbol(symbol, 14, bannerTint(kind), this);
    m_icon->setContentsMargins(0, kTextNudge, 0, 0);
    m_row->addWidget(m_icon, 0, Qt::AlignTop);

    m_texts = new QWidget(this);
    auto* stack = new QVBoxLayout(m_texts);
    stack->setContentsMargins(0, kTextNudge, 0, 0);
    stack->setSpacing(Spacing::stacked);
    m_title = kitLabel(title, TextRole::strong, {}, m_texts);
    m_title->setWordWrap(true);
    m_message = kitLabel(shownMessage(message), TextRole::secondary, bannerTint(kind), m_texts);
    m_message->setWordWrap(true);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    stack->addWidget(m_title);
    stack->addWidget(m_message);
    m_row->addWidget(m_texts, 1, Qt::AlignTop);
    // Takes the free width only while the texts are hidden, so the trailing view stays at the end.
    m_row->addStretch(0);
    updateTexts();
}

void TRBanner::setKind(BannerKind kind) {
    m_kind = kind;
    m_icon->setColor(bannerTint(kind));
    setLabelColor(m_message, bannerTint(kind));
    update();
}

void TRBanner::setSymbol(const QString& symbol) { m_icon->setSymbol(symbol); }

void TRBanner::setTitle(const QString& title) {
    m_title->setText(title);
    updateTexts();
}

void TRBanner::setMessage(const QString& message) {
    m_message->setText(shownMessage(message));
    updateTexts();
}

void TRBanner::setTrailing(QWidget* trailing) {
    if (m_trailing == trailing)
        return;
    delete m_trailing;
    m_trailing = trailing;
    if (m_trailing) {
        m_trailing->setParent(this);
        m_row->addWidget(m_trailing, 0, Qt::AlignTop);
        m_trailing->show();
    }
}

QString TRBanner::title() const { return m_title->text(); }
QString TRBanner::message() const { return m_message->text(); }

void TRBanner::updateTexts() {
    m_title->setVisible(!m_title->text().isEmpty());
    m_message->setVisible(!m_message->text().isEmpty());
    m_texts->setVisible(!m_title->text().isEmpty() || !m_message->text().isEmpty());
}

void TRBanner::paintEvent(QPaintEvent*) {
    QPainter p(this);
    paintRoundedBox(p, rect(), 10, bannerBackground(m_kind), bannerBorder(m_kind), 1);
}

} // namespace tavrin
