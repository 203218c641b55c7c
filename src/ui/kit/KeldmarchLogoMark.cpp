#include "ui/kit/KeldmarchLogoMark.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/Theme.h"

#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QPainter>

namespace tavrin {

KeldmarchLogoMark::KeldmarchLogoMark(int size, QWidget* parent) : QWidget(parent), m_size(size) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Tavrin Keldmarch"));
    auto* shadow = new QGraphicsDropShadowEffect(this);
    shadow->setColor(Theme::alpha(Theme::brandTeal(), 0.45));
    setGraphicsEffect(shadow);
    setMarkSize(size);
}

void KeldmarchLogoMark::setMarkSize(int size) {
    m_size = size;
    setFixedSize(size, size);
    if (auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(graphicsEffect())) {
        shadow->setBlurRadius(size * 0.3);
        shadow->setOffset(0, size * 0.06);
    }
    update();
}

void KeldmarchLogoMark::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF box = rect();
    const qreal radius = 0.25 * m_size;
    paintRoundedBox(p, box, radius, Theme::brandGradient(), Theme::alpha(Qt::white, 0.55), 1);
    p.setFont(Theme::font(0.58 * m_size, FontWeight::heavy));
    p.setPen(Theme::alpha(Theme::brandTealDark(), 0.92));
    p.drawText(box, Qt::AlignCenter, QStringLiteral("T"));
}

QHBoxLayout* brandLine(int markSize, const QMargins& insets) {
    auto* line = new QHBoxLayout;
    line->setContentsMargins(insets);
    line->setSpacing(Spacing::grid);
    line->addWidget(new KeldmarchLogoMark(markSize));
    line->addWidget(kitLabel(QStringLiteral("TAVRIN"), TextRole::brand));
    line->addStretch();
    return line;
}

} // namespace tavrin
