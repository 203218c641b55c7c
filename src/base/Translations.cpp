#include "base/Translations.h"

#include <QCoreApplication>
#include <QDir>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

namespace tavrin {

namespace {

// "de_AT.UTF-8@euro" and Qt's "de-AT" both name the catalogues' "de_AT".
QString catalogueName(QString locale) {
    const qsizetype end = locale.indexOf(QRegularExpression(QStringLiteral("[.@]")));
    if (end >= 0)
        locale.truncate(end);
    locale.replace(u'-', u'_');
    return locale;
}

QString bareLanguage(const QString& language) {
    return language.section(u'_', 0, 0);
}

// Each language followed by its bare language, as gettext falls back from "de_AT" to "de".
QStringList withBareLanguages(const QStringList& locales) {
    QStringList languages;
    for (const QString& locale : locales) {
        const QString language = catalogueName(locale);
        if (language.isEmpty())
            continue;
        for (const QString& name : {language, bareLanguage(language)}) {
            if (!languages.contains(name))
                languages.append(name);
        }
    }
    return languages;
}

QStringList productCatalogues(const QDir& folder, const QString& language) {
    return folder.entryList({QStringLiteral("tavrin*_%1.qm").arg(language)}, QDir::Files, QDir::Name);
}

// The locale of messages, as gettext reads it; empty when none is set.
QString messagesLocale(const QProcessEnvironment& environment) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString locale = environment.value(QString::fromLatin1(name));
        if (!locale.isEmpty())
            return locale;
    }
    return {};
}

} // namespace

QStringList desktopLanguages(const QProcessEnvironment& environment) {
    const QString locale = messagesLocale(environment);
    if (locale.isEmpty())
        return withBareLanguages(QLocale::system().uiLanguages());
    const QString messages = catalogueName(locale);
    if (messages == u"C" || messages == u"POSIX")
        return {QStringLiteral("en")};
    const QString preferred = environment.value(QStringLiteral("LANGUAGE"));
    if (preferred.isEmpty())
        return withBareLanguages({locale});
    return withBareLanguages(preferred.split(u':', Qt::SkipEmptyParts));
}

QString bundleTranslationsFolder() {
    return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../translations"));
}

InstalledTranslations installTranslations(QCoreApplication& app, const QString& folder,
                                          const QStringList& languages) {
    InstalledTranslations installed;
    const QDir dir(folder);
    for (const QString& language : languages) {
        if (language != u"en" && !productCatalogues(dir, language).isEmpty()) {
            installed.language = language;
            break;
        }
        if (bareLanguage(language) == u"en")
            break; // the source's own language
    }

    // English's own catalogues hold only the plural forms of "%n" messages, whose source text names
    // both ("%n request(s)"); installed first, they are asked last, under every language, so a
    // language that lacks a message shows English's form rather than the source text.
    QStringList files = productCatalogues(dir, QStringLiteral("en"));
    if (!installed.language.isEmpty()) {
        // Qt's own words (its dialogs' buttons, its context menus); a machine without them shows
        // those in English.
        auto* qt = new QTranslator(&app);
        const QString qtFolder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
        if (qt->load(QStringLiteral("qtbase_") + installed.language, qtFolder)) {
            QCoreApplication::installTranslator(qt);
            installed.catalogues.append(qt->filePath());
        } else {
            delete qt;
        }
        // A translator installed later is asked first: the region's catalogue before its language's.
        const QString bare = bareLanguage(installed.language);
        if (bare != installed.language && bare != u"en")
            files += productCatalogues(dir, bare);
        files += productCatalogues(dir, installed.language);
    }
    for (const QString& file : std::as_const(files)) {
        auto* translator = new QTranslator(&app);
        const QString path = dir.filePath(file);
        if (translator->load(path)) {
            QCoreApplication::installTranslator(translator);
            installed.catalogues.append(path);
        } else {
            delete translator;
            installed.unreadable.append(path);
            qWarning("The translation catalogue %s could not be read; its texts stay English.",
                     qPrintable(path));
        }
    }

    // Figures follow the words: dates, counts and sizes are written as the language shown writes
    // them, whatever the locale of the rest of the desktop. Shown in English on a desktop whose
    // locale is another language's, they are written as English writes them in that region; the C
    // locale (no locale at all) keeps its plain notation, which is the server's own.
    if (!installed.language.isEmpty()) {
        QLocale::setDefault(QLocale(installed.language));
    } else {
        const QString desktop = catalogueName(messagesLocale(QProcessEnvironment::systemEnvironment()));
        const QLocale system = QLocale::system();
        if (desktop == u"C" || desktop == u"POSIX")
            QLocale::setDefault(QLocale::c());
        else if (system.language() != QLocale::C && system.language() != QLocale::English)
            QLocale::setDefault(QLocale(QLocale::English, system.territory()));
    }
    return installed;
}

InstalledTranslations installTranslations(QCoreApplication& app) {
    return installTranslations(app, bundleTranslationsFolder(),
                               desktopLanguages(QProcessEnvironment::systemEnvironment()));
}

} // namespace tavrin
