#include "ui/kit/TRButton.h"

#include "ui/kit/Icons.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/RoundedBox.h"
#include "ui/kit/TRSymbol.h"
#include "ui/kit/Theme.h"

#include <QFontMetricsF>
#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace tavrin {

namespace {

constexpr qreal kSymbolGap = 6;
constexpr qreal kRadius = 8;

ButtonMetrics primaryMetrics(ButtonSize size) {
    switch (size) {
    case ButtonSize::large:
        return {13.5, 22, 12};
    case ButtonSize::small:
        return {11, 12, 6};
    case ButtonSize::regular:
        break;
    }
    return {12, 16, 9};
}

ButtonMetrics ghostMetrics(ButtonSize size) {
    switch (size) {
    case ButtonSize::large:
        return {13.5, 18, 9};
    case ButtonSize::small:
        return {11.5, 10, 5};
    case ButtonSize::regular:
        break;
    }
    return {12.5, 14, 7};
}

} // namespace

ButtonMetrics buttonMetrics(const AnyButtonStyle& style) {
    if (const auto* primary = std::get_if<KeldmarchButtonStyle>(&style))
        return primaryMetrics(primary->size);
    return ghostMetrics(std::get<GhostButtonStyle>(style).size);
}

TRButton::TRButton(const QString& text, AnyButtonStyle style, QWidget* parent)
    : QPushButton(literalButtonText(text), parent), m_style(style), m_label(text) {
    setFocusPolicy(Qt::TabFocus);
    setCursor(Qt::PointingHandCursor);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    m_pressAnimation = new QVariantAnimation(this);
    m_pressAnimation->setDuration(kPressAnimationMs);
    m_pressAnimation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_pressAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& v) { setPressProgress(v.toReal()); });
    connect(this, &QAbstractButton::pressed, this, [this] { animatePress(true); });
    connect(this, &QAbstractButton::released, this, [this] { animatePress(false); });
    updateShadow();
}

void TRButton::setButtonStyle(AnyButtonStyle style) {
    if (style == m_style)
        return;
    m_style = style;
    updateShadow();
    updateGeometry();
    update();
}

void TRButton::setSymbol(const QString& symbol) {
    if (symbol == m_symbol)
        return;
    m_symbol = symbol;
    if (m_label.isEmpty() && accessibleName().isEmpty() && !toolTip().isEmpty())
        setAccessibleName(toolTip());
    updateGeometry();
    update();
}

void TRButton::setText(const QString& text) {
    // Unchanged, a new geometry would relayout the whole page around the button.
    if (text == m_label)
        return;
    m_label = text;
    QPushButton::setText(literalButtonText(text));
    updateGeometry();
}

QString TRButton::displayedText() const { return isPrimary() ? m_label.toUpper() : m_label; }

QFont TRButton::labelFont() const {
    const ButtonMetrics m = buttonMetrics(m_style);
    return isPrimary() ? Theme::font(m.fontPixels, FontWeight::heavy, 0.5)
                       : Theme::font(m.fontPixels, FontWeight::semibold);
}

QSize TRButton::sizeHint() const {
    const ButtonMetrics m = buttonMetrics(m_style);
    const QFontMetricsF fm(labelFont());
    qreal contentWidth = fm.horizontalAdvance(displayedText());
    if (!m_symbol.isEmpty())
        contentWidth += TRSymbol::glyphPixels(m.fontPixels) + (m_label.isEmpty() ? 0 : kSymbolGap);
    return {int(std::ceil(contentWidth + 2 * m.paddingH)), int(std::ceil(fm.height() + 2 * m.paddingV))};
}

void TRButton::setPressProgress(qreal progress) {
    m_pressProgress = progress;
    update();
}

void TRButton::animatePress(bool down) {
    m_pressAnimation->stop();
    m_pressAnimation->setStartValue(m_pressProgress);
    m_pressAnimation->setEndValue(down ? 1.0 : 0.0);
    m_pressAnimation->start();
}

// The primary look's soft teal shadow lies outside the button, which only an effect can draw.
void TRButton::updateShadow() {
    if (isPrimary() && isEnabled()) {
        auto* shadow = qobject_cast<QGraphicsDropShadowEffect*>(graphicsEffect());
        if (!shadow) {
            shadow = new QGraphicsDropShadowEffect(this);
            setGraphicsEffect(shadow);
        }
        shadow->setBlurRadius(10);
        shadow->setOffset(0, 2);
        shadow->setColor(Theme::alpha(Theme::brandTeal(), 0.28));
    } else {
        setGraphicsEffect(nullptr);
    }
}

void TRButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        updateShadow();
    QPushButton::changeEvent(event);
}

void TRButton::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        animateClick();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void TRButton::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const bool primary = isPrimary();
    const bool danger = !primary && std::get<GhostButtonStyle>(m_style).danger;

    qreal opacity = 1.0 - (primary ? 0.12 : 0.28) * m_pressProgress;
    if (!isEnabled())
        opacity *= 0.45;
    p.setOpacity(opacity);
    if (primary) {
        const qreal scale = 1.0 - 0.02 * m_pressProgress;
        const QPointF centre = QRectF(rect()).center();
        p.translate(centre);
        p.scale(scale, scale);
        p.translate(-centre);
    }

    const QRectF box = rect();
    const bool hovered = underMouse() && isEnabled();
    QColor textColour;
    if (primary) {
        paintRoundedBox(p, box, kRadius, Theme::buttonGradient(), Qt::transparent, 0);
        QLinearGradient gloss({0, 0}, {0, 1});
        gloss.setCoordinateMode(QGradient::ObjectMode);
        gloss.setStops({{0.0, Theme::alpha(Qt::white, 0.45)}, {0.5, Theme::alpha(Qt::white, 0.0)}});
        paintRoundedBox(p, box, kRadius, gloss, Qt::transparent, 0);
        if (hovered)
            paintRoundedBox(p, box, kRadius, Theme::alpha(Qt::white, 0.12), Qt::transparent, 0);
        paintRoundedBox(p, box, kRadius, Qt::NoBrush, Theme::alpha(Theme::brandTealDark(), 0.55), 1);
        textColour = Theme::brandTealDark();
    } else {
        paintRoundedBox(p, box, kRadius, Theme::surface(), Qt::transparent, 0);
        if (danger)
            paintRoundedBox(p, box, kRadius, Theme::alpha(Theme::dangerRed(), 0.06), Qt::transparent, 0);
        if (hovered)
            paintRoundedBox(p, box, kRadius, Theme::alpha(Theme::ink(), 0.03), Qt::transparent, 0);
        paintRoundedBox(p, box, kRadius, Qt::NoBrush,
                        danger ? Theme::alpha(Theme::dangerRed(), 0.32) : Theme::alpha(Theme::ink(), 0.18), 1);
        textColour = danger ? Theme::dangerRed() : Theme::ink();
    }

    const ButtonMetrics m = buttonMetrics(m_style);
    const QFont font = labelFont();
    const QFontMetricsF fm(font);
    const QString label = displayedText();
    const qreal symbolWidth = m_symbol.isEmpty() ? 0 : TRSymbol::glyphPixels(m.fontPixels);
    const qreal gap = (!m_symbol.isEmpty() && !label.isEmpty()) ? kSymbolGap : 0;
    const qreal contentWidth = symbolWidth + gap + fm.horizontalAdvance(label);
    qreal x = box.center().x() - contentWidth / 2;
    p.setPen(textColour);
    if (!m_symbol.isEmpty()) {
        p.setFont(Theme::symbolFont(symbolWidth));
        p.drawText(QRectF(x, 0, symbolWidth, height()), Qt::AlignCenter, icons::glyph(m_symbol));
        x += symbolWidth + gap;
    }
    p.setFont(font);
    p.drawText(QRectF(x, 0, box.right() - x, height()), Qt::AlignLeft | Qt::AlignVCenter, label);

    if (hasFocus())
        paintFocusRing(p, box.adjusted(-0.5, -0.5, 0.5, 0.5), kRadius + 1);
}

} // namespace tavrin
