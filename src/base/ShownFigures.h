#pragma once

#include <QString>
#include <QtGlobal>

namespace tavrin {

// Figures a person reads, written as the words around them are: through the default QLocale, which
// installTranslations sets to the language the texts are shown in. Only for a person: ports, process
// ids, versions and whatever a program reads (--json, exports, request bodies) keep their own notation.

// A moment the server gives in ISO 8601 ("2026-12-06T07:59:00Z", or a date alone), in the user's
// time zone and the locale's short form. The C locale, the notation of a program run without a
// locale, keeps the server's text as it is; so does a text that is not ISO 8601.
QString shownMoment(const QString& iso);

// A count (requests, tokens, keys) in the locale's digits and grouping.
QString shownCount(qint64 count);

// The count a message's plural form is chosen by: the count itself where an int holds it, otherwise
// one as large with the same last nine digits, which is all any language's plural rules look at.
int pluralCount(qint64 count);

} // namespace tavrin
