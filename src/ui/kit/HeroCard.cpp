#include "ui/kit/HeroCard.h"

#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QLinearGradient>
#include <QPainter>
#include <QVBoxLayout>

namespace tavrin {

HeroCard::HeroCard(QWidget* parent) : QWidget(parent) {
    m_body = new QVBoxLayout(this);
    m_body->setContentsMargins(Spacing::hero, Spacing::hero, Spacing::hero, Spacing::hero);
    m_body->setSpacing(Spacing::block);
}

void HeroCard::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const QRectF box = rect();
    paintRoundedBox(p, box, 14, Theme::surface(), Qt::transparent, 0);
    QLinearGradient wash({0, 0}, {1, 1});
    wash.setCoordinateMode(QGradient::ObjectMode);
    wash.setStops({{0.0, Theme::alpha(Theme::brandTeal(), 0.14)}, {1.0, Theme::alpha(Theme::brandPink(), 0.14)}});
    paintRoundedBox(p, box, 14, wash, Theme::line(), 1);
}

} // namespace tavrin
