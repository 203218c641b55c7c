#pragma once

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

class QCoreApplication;

namespace tavrin {

// The languages the desktop asks for, best first, as a desktop reads them: the locale of messages
// from LC_ALL, else LC_MESSAGES, else LANG; then LANGUAGE's list in its place, unless that locale is
// "C" or "POSIX", which asks for the untranslated texts whatever LANGUAGE says. Each entry is a
// locale name without codeset or modifier ("de_AT"), followed by its bare language ("de") when that
// is not listed yet. With none of those set, Qt's own reading of the system's languages.
QStringList desktopLanguages(const QProcessEnvironment& environment);

// What installTranslations chose: the language whose catalogues it installed (empty when the texts
// stay English) and the files it read; a catalogue that is there but cannot be read is named in
// unreadable, and its messages stay English.
struct InstalledTranslations {
    QString language;
    QStringList catalogues;
    QStringList unreadable;
};

// The bundle's folder of catalogues (translations/ beside bin/), in a build tree as in an install.
QString bundleTranslationsFolder();

// Installs, for the first of languages that has a catalogue of the product in folder
// (tavrin*_<language>.qm), every such catalogue, with those of its bare language underneath, and
// Qt's own catalogue (qtbase_<language>.qm) where Qt keeps its translations; and makes that language
// the default locale, so that numbers and dates read as the words around them. Under every
// language, English's catalogues (tavrin*_en.qm) go underneath: they hold only the English plural
// forms of "%n" messages. English, or a language without a catalogue, installs only those: the texts
// in the source are English, and figures are written as English writes them in the desktop's region,
// or in the C locale's plain notation on a desktop whose locale is C or POSIX. A message a catalogue
// lacks is shown in English.
InstalledTranslations installTranslations(QCoreApplication& app, const QString& folder,
                                          const QStringList& languages);

// The desktop's languages and the bundle's catalogues; called before the program makes any text.
InstalledTranslations installTranslations(QCoreApplication& app);

} // namespace tavrin
