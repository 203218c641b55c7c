#pragma once

#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>
#include <QStringView>

#include <optional>
#include <span>

namespace tavrin {

// The product names its icons by symbol names ("gauge.medium", "doc.on.doc", …); on Linux each is drawn
// as a glyph of the Material Design Icons font 1.6.50 (codepoints U+F001–U+F673 only).
struct SymbolGlyph {
    const char* symbol;   // the product's symbol name
    const char* mdiName;  // the glyph's name in the icon font, for readers of the table
    char32_t codepoint;
};

namespace icons {

// Every symbol the product uses, one row each.
std::span<const SymbolGlyph> table();

// The glyph of a symbol, or nothing for a name that is not in the table.
std::optional<char32_t> codepoint(QStringView symbol);

// The glyph as text in Theme::symbolFont(); empty (and a warning) for an unknown symbol.
QString glyph(QStringView symbol);

// The glyph rendered in colour, `size` logical pixels square, at the screen's pixel ratio.
QPixmap pixmap(QStringView symbol, int size, const QColor& color, qreal devicePixelRatio = 0);

// An icon holding the glyph at the usual small sizes; disabled mode is drawn at 40 % opacity.
QIcon icon(QStringView symbol, const QColor& color);

} // namespace icons
} // namespace tavrin
