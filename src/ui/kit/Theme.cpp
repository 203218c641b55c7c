#include "ui/kit/Theme.h"

#include "ui/kit/KitAccessibility.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QScreen>
#include <QStyleFactory>

namespace tavrin {

namespace {

QColor rgb(qreal r, qreal g, qreal b) { return QColor::fromRgbF(float(r), float(g), float(b)); }

// Qt resolves a point size against the paint device's logical DPI; converting with the screen's
// logical DPI makes a 13-pixel request exactly 13 logical pixels, fractions included.
qreal logicalDpi() {
    if (auto* screen = QGuiApplication::primaryScreen()) {
        const qreal dpi = screen->logicalDotsPerInchY();
        if (dpi > 0)
            return dpi;
    }
    return 96.0;
}

QFont makeFont(const QString& family, qreal pixels, FontWeight weight, qreal tracking) {
    QFont f(family);
    f.setFamilies({family});
    f.setStyleStrategy(QFont::PreferAntialias);
    f.setPointSizeF(pixels * 72.0 / logicalDpi());
    f.setWeight(QFont::Weight(int(weight)));
    f.setLetterSpacing(QFont::AbsoluteSpacing, tracking);
    f.setKerning(true);
    return f;
}

QLinearGradient objectGradient(QPointF from, QPointF to, const QGradientStops& stops) {
    QLinearGradient g(from, to);
    g.setCoordinateMode(QGradient::ObjectMode);
    g.setStops(stops);
    return g;
}

} // namespace

QColor Theme::ink() { return rgb(0.063, 0.078, 0.137); }
QColor Theme::inkSecondary() { return rgb(0.176, 0.204, 0.29); }
QColor Theme::inkMuted() { return rgb(0.224, 0.259, 0.373); }
QColor Theme::line() { return rgb(0.894, 0.91, 0.941); }
QColor Theme::surface() { return rgb(1, 1, 1); }
QColor Theme::canvas() { return rgb(0.973, 0.98, 1.0); }
QColor Theme::okGreen() { return rgb(0.122, 0.541, 0.357); }
QColor Theme::warnAmber() { return rgb(0.95, 0.65, 0.1); }
QColor Theme::dangerRed() { return rgb(0.86, 0.2, 0.2); }
QColor Theme::mutedGrey() { return rgb(0.45, 0.45, 0.5); }
QColor Theme::infoBlue() { return rgb(0.0, 0.55, 0.95); }
QColor Theme::linkBlue() { return rgb(0.227, 0.463, 0.941); }
QColor Theme::brandTeal() { return rgb(0.424, 0.784, 0.816); }
QColor Theme::brandTealDeep() { return rgb(0.165, 0.478, 0.51); }
QColor Theme::brandTealDark() { return rgb(0.106, 0.227, 0.235); }
QColor Theme::brandMint() { return rgb(0.722, 0.878, 0.753); }
QColor Theme::brandPink() { return rgb(0.961, 0.722, 0.765); }
QColor Theme::sidebarBackground() { return rgb(0.98, 0.984, 0.992); }

QColor Theme::alpha(QColor color, qreal opacity) {
    color.setAlphaF(float(color.alphaF() * opacity));
    return color;
}

QLinearGradient Theme::brandGradient() {
    return objectGradient({0, 0}, {1, 1}, {{0.0, brandTeal()}, {0.5, brandMint()}, {1.0, brandPink()}});
}

QLinearGradient Theme::accentBarGradient() {
    return objectGradient({0, 0}, {1, 0}, {{0.0, brandTeal()}, {1.0, brandPink()}});
}

QLinearGradient Theme::brandWashGradient() {
    return objectGradient({0, 0}, {1, 1}, {{0.0, alpha(brandTeal(), 0.10)}, {1.0, alpha(brandPink(), 0.12)}});
}

QLinearGradient Theme::heroWashGradient() {
    return objectGradient({0, 0}, {1, 1},
                          {{0.0, rgb(0.784, 0.91, 0.902)}, {0.5, rgb(0.847, 0.91, 0.816)},
                           {1.0, rgb(0.957, 0.847, 0.859)}});
}

QLinearGradient Theme::buttonGradient() {
    return objectGradient({0, 0.3}, {1, 0.7}, {{0.0, brandTeal()}, {0.52, brandMint()}, {1.0, brandPink()}});
}

QString Theme::systemFamily() { return QStringLiteral("Inter"); }
QString Theme::monoFamily() { return QStringLiteral("JetBrains Mono"); }
QString Theme::symbolFamily() { return QStringLiteral("Material Design Icons"); }

QString Theme::symbolFontPath() {
    return QStringLiteral(
        "/usr/share/fonts/truetype/materialdesignicons-webfont/materialdesignicons-webfont.ttf");
}

QFont Theme::font(qreal pixels, FontWeight weight, qreal tracking) {
    return makeFont(systemFamily(), pixels, weight, tracking);
}

QFont Theme::mono(qreal pixels, FontWeight weight, qreal tracking) {
    QFont f = makeFont(monoFamily(), pixels, weight, tracking);
    f.setStyleHint(QFont::Monospace);
    return f;
}

TextStyle Theme::text(TextRole role) {
    using W = FontWeight;
    switch (role) {
    case TextRole::display: return {font(34, W::black, -0.4), ink()};
    case TextRole::tabTitle: return {font(28, W::bold, -0.6), ink()};
    case TextRole::phase: return {font(28, W::black, 0.6), {}};
    case TextRole::release: return {font(28, W::black), ink()};
    case TextRole::version: return {font(28), ink()};
    case TextRole::displayName: return {font(24, W::black, 0.4), ink()};
    case TextRole::statValue: return {font(15, W::bold, -0.2), ink()};
    case TextRole::greeting: {
        // The product asks for a rounded face; Inter has none, and its italic carries the same voice.
        QFont italic = font(15, W::bold);
        italic.setItalic(true);
        return {italic, brandTealDeep()};
    }
    case TextRole::cardTitle: return {font(14, W::bold), ink()};
    case TextRole::brand: return {font(14, W::black, 2), ink()};
    case TextRole::lead: return {font(13.5), inkSecondary()};
    case TextRole::rowTitle: return {font(13.5, W::semibold), ink()};
    case TextRole::body: return {font(13), ink()};
    case TextRole::bodySemibold: return {font(13, W::semibold), ink()};
    case TextRole::bodyMedium: return {font(13, W::medium), ink()};
    case TextRole::note: return {font(13), inkMuted()};
    case TextRole::strong: return {font(13, W::bold), ink()};
    case TextRole::secondary: return {font(12.5), inkMuted()};
    case TextRole::menuStat: return {font(12.5), inkSecondary()};
    case TextRole::message: return {font(12), {}};
    case TextRole::menuTitle: return {font(12, W::black, 1.6), ink()};
    case TextRole::detail: return {font(11.5), inkMuted()};
    case TextRole::pill: return {font(11.5, W::semibold, 0.2), {}};
    case TextRole::small: return {font(11), inkMuted()};
    case TextRole::phaseDetail: return {font(11, W::medium), inkMuted()};
    case TextRole::monoValue: return {mono(12.5, W::medium), ink()};
    case TextRole::monoMessage: return {mono(12, W::medium), {}};
    case TextRole::monoName: return {mono(12.5, W::semibold), ink()};
    case TextRole::monoFigure: return {mono(11.5, W::medium), ink()};
    case TextRole::monoSmall: return {mono(11, W::medium), ink()};
    case TextRole::monoNote: return {mono(11, W::semibold), okGreen()};
    case TextRole::eyebrow: return {mono(10, W::semibold, 1.8), inkMuted()};
    case TextRole::fieldLabel: return {mono(10, W::semibold, 1.6), inkMuted()};
    case TextRole::boxLabel: return {mono(10, W::semibold, 1.7), inkMuted()};
    case TextRole::alert: return {mono(10, W::bold, 1.7), {}};
    case TextRole::monoPill: return {mono(10, W::medium, 1.4), {}};
    case TextRole::caption: return {mono(9.5, W::semibold, 2), inkMuted()};
    case TextRole::tileLabel: return {mono(9.5, W::semibold, 1.8), inkMuted()};
    }
    return {font(13), ink()};
}

QFont Theme::symbolFont(qreal pixels) {
    loadFonts();
    QFont f = makeFont(symbolFamily(), pixels, FontWeight::regular, 0);
    f.setKerning(false);
    return f;
}

bool Theme::loadFonts() {
    static const bool loaded = [] {
        if (QFontDatabase::families().contains(symbolFamily()))
            return true;
        if (!QFile::exists(symbolFontPath())) {
            qWarning("Icon font %s is missing; icons will not be drawn", qPrintable(symbolFontPath()));
            return false;
        }
        return QFontDatabase::addApplicationFont(symbolFontPath()) >= 0;
    }();
    return loaded;
}

QPalette Theme::palette() {
    QPalette p;
    for (auto group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        const QColor text = disabled ? alpha(inkMuted(), 0.6) : ink();
        p.setColor(group, QPalette::Window, canvas());
        p.setColor(group, QPalette::WindowText, text);
        p.setColor(group, QPalette::Base, surface());
        p.setColor(group, QPalette::AlternateBase, canvas());
        p.setColor(group, QPalette::Text, text);
        p.setColor(group, QPalette::Button, surface());
        p.setColor(group, QPalette::ButtonText, text);
        p.setColor(group, QPalette::BrightText, surface());
        p.setColor(group, QPalette::PlaceholderText, alpha(inkMuted(), 0.65));
        p.setColor(group, QPalette::ToolTipBase, surface());
        p.setColor(group, QPalette::ToolTipText, ink());
        p.setColor(group, QPalette::Highlight, alpha(brandTeal(), 0.45));
        p.setColor(group, QPalette::HighlightedText, ink());
        p.setColor(group, QPalette::Link, linkBlue());
        p.setColor(group, QPalette::LinkVisited, linkBlue());
        p.setColor(group, QPalette::Light, surface());
        p.setColor(group, QPalette::Midlight, canvas());
        p.setColor(group, QPalette::Mid, line());
        p.setColor(group, QPalette::Dark, mutedGrey());
        p.setColor(group, QPalette::Shadow, alpha(ink(), 0.3));
    }
    return p;
}

void Theme::apply(QApplication& app) {
    loadFonts();
    // Fusion draws only from the palette, so a dark or exotic desktop style cannot leak in.
    app.setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    app.setPalette(palette());
    app.setFont(font(TextRole::body));
    installKitAccessibility();
}

} // namespace tavrin
