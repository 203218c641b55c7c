#pragma once

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QPalette>

class QApplication;

namespace tavrin {

// The five weights the product's type uses (CSS-style numbers, which is what QFont::Weight is in Qt 6).
enum class FontWeight { regular = 400, medium = 500, semibold = 600, bold = 700, heavy = 800, black = 900 };

// The one place that knows the product's colours, gradients and type. Screens never pick a colour or a
// font of their own; everything they draw comes from here or from a kit component.
struct Theme {
    // Palette tokens (sRGB).
    static QColor ink();
    static QColor inkSecondary();
    static QColor inkMuted();
    static QColor line();
    static QColor surface();
    static QColor canvas();
    static QColor okGreen();
    static QColor warnAmber();
    static QColor dangerRed();
    static QColor mutedGrey();
    static QColor infoBlue();
    static QColor linkBlue();
    static QColor brandTeal();
    static QColor brandTealDeep();
    static QColor brandTealDark();
    static QColor brandMint();
    static QColor brandPink();
    static QColor sidebarBackground();

    // A token at an opacity: alpha(dangerRed(), 0.28) is "dangerRed at 28 %".
    static QColor alpha(QColor color, qreal opacity);

    // Gradients are in object coordinates (QGradient::ObjectMode), so one brush fills any shape.
    static QLinearGradient brandGradient();
    static QLinearGradient accentBarGradient();
    static QLinearGradient brandWashGradient();
    static QLinearGradient heroWashGradient();
    static QLinearGradient buttonGradient();

    // Type. Sizes are logical pixels (the product's points), fractional sizes included; tracking is
    // absolute letter spacing in logical pixels.
    static QFont font(qreal pixels, FontWeight weight = FontWeight::regular, qreal tracking = 0);
    static QFont mono(qreal pixels, FontWeight weight = FontWeight::regular, qreal tracking = 0);
    static QFont symbolFont(qreal pixels);

    static QString systemFamily();   // "Inter"
    static QString monoFamily();     // "JetBrains Mono"
    static QString symbolFamily();   // "Material Design Icons"
    static QString symbolFontPath(); // the icon font file of the Debian package

    // The complete light palette; every role in every group is set, so nothing of a dark desktop
    // theme shows through.
    static QPalette palette();

    // Makes the symbol font available to the application (idempotent). Returns false when the font
    // file is missing; icons then draw nothing.
    static bool loadFonts();

    // Fusion style, the kit palette and Inter 13 as the application font, on any desktop theme.
    static void apply(QApplication& app);
};

} // namespace tavrin
