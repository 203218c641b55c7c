#pragma once

#include <QColor>
#include <QFont>
#include <QLinearGradient>
#include <QMargins>
#include <QPalette>

class QApplication;

namespace tavrin {

// The five weights the product's type uses (CSS-style numbers, which is what QFont::Weight is in Qt 6).
enum class FontWeight { regular = 400, medium = 500, semibold = 600, bold = 700, heavy = 800, black = 900 };

// The product's type by role. A role is a font and, where the role fixes one, a colour: every text
// the kit draws takes its look from a role, so a size, weight or tracking is chosen here and nowhere else.
enum class TextRole {
    display,      // 34 black −0.4, ink: the setup wizard's two-line headlines, written in capitals
    tabTitle,     // 28 bold −0.6, ink: a tab's headline
    phase,        // 28 black 0.6: the phase written large (in the phase's colour)
    release,      // 28 black, ink: the version of a release on offer
    version,      // 28, ink: the version installed, written large
    displayName,  // 24 black 0.4, ink: the name of what a screen is about (the model in production)
    statValue,    // 15 bold −0.2, ink: a stat tile's figure
    greeting,     // 15 bold italic, brandTealDeep: the line above a display headline ("welcome, organizer")
    cardTitle,    // 14 bold, ink: card, mode card and map node titles
    brand,        // 14 black 2, ink: "TAVRIN" beside the logo mark
    lead,         // 13.5, inkSecondary: a tab's lead paragraph
    rowTitle,     // 13.5 semibold, ink: the name heading a list row (a key's label)
    body,         // 13, ink: labels of rows and switches; the application's font
    bodySemibold, // 13 semibold, ink: the selected sidebar row
    bodyMedium,   // 13 medium, ink: values and the text typed into fields
    note,         // 13, inkMuted: what an empty list says instead
    strong,       // 13 bold, ink: banner titles, the window's title
    secondary,    // 12.5, inkMuted: card subtitles, banner messages (in the banner's tint)
    menuStat,     // 12.5, inkSecondary: the labels of the menu panel's figures
    message,      // 12: message lines (in their kind's colour) and the menu panel's remarks
    menuTitle,    // 12 black 1.6, ink: "TAVRIN KELDMARCH"
    detail,       // 11.5, inkMuted: tile details, mode card and map node descriptions
    pill,         // 11.5 semibold 0.2: pill labels (in the pill's colour)
    small,        // 11, inkMuted: the window's subtitle
    phaseDetail,  // 11 medium, inkMuted: the line under the phase
    monoValue,    // monospaced 12.5 medium, ink: URLs, hashes, paths, monospaced fields
    monoMessage,  // monospaced 12 medium: a server part's own words, as its updater's error (in their colour)
    monoName,     // monospaced 12.5 semibold, ink: a version's name in a list of versions
    monoFigure,   // monospaced 11.5 medium, ink: the menu panel's figures
    monoSmall,    // monospaced 11 medium, ink: the pinned model, shortcuts
    monoNote,     // monospaced 11 semibold, okGreen: the menu panel's good news
    eyebrow,      // monospaced 10 semibold 1.8, inkMuted: the small capitals over a headline
    fieldLabel,   // monospaced 10 semibold 1.6, inkMuted: key/value labels
    boxLabel,     // monospaced 10 semibold 1.7, inkMuted: endpoint box and disclosure labels
    alert,        // monospaced 10 bold 1.7: a warning in capitals (in its colour), as over a one-time key
    monoPill,     // monospaced 10 medium 1.4: monospaced pills, the menu panel's phase (inkMuted)
    caption,      // monospaced 9.5 semibold 2, inkMuted: section captions
    tileLabel,    // monospaced 9.5 semibold 1.8, inkMuted: tile, mode card and map node captions
};

struct TextStyle {
    QFont font;
    QColor colour; // invalid where the role leaves the colour to its user
};

// Spacing tokens, in logical pixels. Screens lay out with these names only; kit components use them for
// every measure they share with others, and keep only measures of their own drawing (a pill's 9 × 4)
// as named constants beside their code.
struct Spacing {
    static constexpr QMargins page{32, 24, 32, 36}; // around a tab's content
    static constexpr int hero = 22;                 // inside the hero card
    static constexpr int card = 18;                 // inside a card
    static constexpr int columns = 24;              // between labelled values standing as columns
    static constexpr int tile = 14;                 // inside tiles, mode cards and map nodes
    static constexpr int menuRow = 14;              // either side of a menu panel row
    static constexpr int section = 14;              // between the sections of a page
    static constexpr int block = 16;                // between the blocks inside a card
    static constexpr int beside = 12;               // between a block and the control beside it
    static constexpr int grid = 10;                 // between the tiles of a grid, rows and columns alike
    static constexpr int group = 8;                 // between the boxes of one group
    static constexpr int lines = 6;                 // between the lines of one block
    static constexpr int caption = 4;               // between a caption and what it heads
    static constexpr int stacked = 3;               // between a title and the line under it
};

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

    // Type by role (see TextRole).
    static TextStyle text(TextRole role);
    static QFont font(TextRole role) { return text(role).font; }

    // Type by measure, for the role table and for sizes a component computes from its own size (a
    // button's size class, the logo's letter). Sizes are logical pixels (the product's points),
    // fractional sizes included; tracking is absolute letter spacing in logical pixels.
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
