// Part of every test program: the texts a test compares are English, and English's plural forms
// ("1 request", "2 requests") come from its catalogues as any language's do; a program of the
// product installs them at start, and so does each test program, from the build's catalogues.

#include "base/Translations.h"

#include <QCoreApplication>

namespace {

void installEnglishPlurals() {
    tavrin::installTranslations(*QCoreApplication::instance(), QStringLiteral(TAVRIN_BUILT_CATALOGUES),
                                {QStringLiteral("en")});
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installEnglishPlurals)
