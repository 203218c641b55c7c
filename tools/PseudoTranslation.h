#pragma once

#include <QByteArray>
#include <QString>

#include <expected>

namespace tavrin {

// The pseudo-language that shows, on every screen, which texts go through the catalogues and whether
// their places leave room for longer words: each English text accented, lengthened by about two
// fifths and set between ⟦ and ⟧. What a program reads in a text stays as it is: its placeholders
// (%1, %L2, %n), the letter after a mnemonic's & (&& too), markup tags and entities.
QString pseudoTranslation(const QString& english);

inline constexpr QChar pseudoOpening = QChar(0x27E6);
inline constexpr QChar pseudoClosing = QChar(0x27E7);

// A catalogue source (.ts, as lupdate writes it) with every message's translation, plural forms
// included, set to its pseudo-translation and finished.
std::expected<QByteArray, QString> pseudoTranslatedCatalogue(const QByteArray& catalogue);

} // namespace tavrin
