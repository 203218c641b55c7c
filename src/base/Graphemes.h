#pragma once

#include <QString>

namespace tavrin {

// The characters a person sees (grapheme clusters), which is how every length limit the user reads
// is counted: an emoji with its modifiers, a family of joined emoji, or a letter with its combining
// accents counts once, however many UTF-16 units it takes.
int graphemeCount(const QString& text);

} // namespace tavrin
