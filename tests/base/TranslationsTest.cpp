#include "base/ShownFigures.h"
#include "base/Translations.h"
#include "support/Basics.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTranslator>

using namespace tavrin;

namespace {

QProcessEnvironment environmentOf(const QStringList& variables) {
    QProcessEnvironment environment;
    for (const QString& variable : variables)
        environment.insert(variable.section(u'=', 0, 0), variable.section(u'=', 1));
    return environment;
}

QString shown(const char* text) { return QCoreApplication::translate("TranslationsTest", text); }

// A plural message of the product's, as the server's time limits are told.
QString seconds(qint64 count) { return QCoreApplication::translate("DaemonClient", "%n second(s)", nullptr, pluralCount(count)); }

const QString builtCatalogues = QStringLiteral(TAVRIN_BUILT_CATALOGUES);

} // namespace

class TranslationsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // Each case starts as the program does: nothing installed, the locale its own.
    void cleanup() {
        qDeleteAll(QCoreApplication::instance()->findChildren<QTranslator*>());
        QLocale::setDefault(QLocale::c());
    }

    void theDesktopsLanguagesAreReadAsGettextReadsThem_data() {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QStringList>("languages");
        QTest::newRow("LANG") << QStringList{"LANG=de_DE.UTF-8"} << QStringList{"de_DE", "de"};
        QTest::newRow("LC_MESSAGES over LANG, modifier dropped")
            << QStringList{"LC_MESSAGES=de_AT@euro", "LANG=fr_FR.UTF-8"} << QStringList{"de_AT", "de"};
        QTest::newRow("LC_ALL over LC_MESSAGES")
            << QStringList{"LC_ALL=fr_FR.UTF-8", "LC_MESSAGES=de_DE.UTF-8"} << QStringList{"fr_FR", "fr"};
        QTest::newRow("LANGUAGE's list in the locale's place")
            << QStringList{"LANG=de_DE.UTF-8", "LANGUAGE=pt_BR:fr:en"} << QStringList{"pt_BR", "pt", "fr", "en"};
        QTest::newRow("LANGUAGE's empty entries skipped")
            << QStringList{"LANG=de_DE.UTF-8", "LANGUAGE=:fr::"} << QStringList{"fr"};
        QTest::newRow("the C locale ignores LANGUAGE") << QStringList{"LC_ALL=C", "LANGUAGE=de"} << QStringList{"en"};
        QTest::newRow("C.UTF-8 is the C locale") << QStringList{"LANG=C.UTF-8"} << QStringList{"en"};
        QTest::newRow("POSIX is the C locale") << QStringList{"LC_MESSAGES=POSIX", "LANG=de_DE"} << QStringList{"en"};
    }
    void theDesktopsLanguagesAreReadAsGettextReadsThem() {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, languages);
        QCOMPARE(desktopLanguages(environmentOf(environment)), languages);
    }

    void theFirstLanguageWithACatalogueIsShownAndAMissingMessageStaysEnglish_data() {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("texts"); // Start server, Open logs, Stop server
        QTest::addColumn<QString>("number");
        const QStringList english{"Start server", "Open logs", "Stop server"};
        const QStringList german{"Server starten", "Protokolle öffnen", "Stop server"};
        QTest::newRow("German desktop") << QStringList{"LANG=de_DE.UTF-8"} << "de" << german << "1.234,5";
        QTest::newRow("Austrian desktop: its own word, then German's")
            << QStringList{"LANG=de_AT.UTF-8"} << "de_AT"
            << QStringList{"Server hochfahren", "Protokolle öffnen", "Stop server"} << "1\u00A0234,5";
        QTest::newRow("messages German on an English locale")
            << QStringList{"LC_MESSAGES=de_DE.UTF-8", "LANG=en_US.UTF-8"} << "de" << german << "1.234,5";
        QTest::newRow("a language without a catalogue is passed over")
            << QStringList{"LANG=ja_JP.UTF-8", "LANGUAGE=ja:de"} << "de" << german << "1.234,5";
        QTest::newRow("English asked before German")
            << QStringList{"LANG=de_DE.UTF-8", "LANGUAGE=en:de"} << "" << english << "1234.5";
        QTest::newRow("no catalogue at all") << QStringList{"LANG=ja_JP.UTF-8"} << "" << english << "1234.5";
        QTest::newRow("the C locale") << QStringList{"LC_ALL=C", "LANGUAGE=de"} << "" << english << "1234.5";
    }
    void theFirstLanguageWithACatalogueIsShownAndAMissingMessageStaysEnglish() {
        QFETCH(QStringList, environment);
        QFETCH(QString, language);
        QFETCH(QStringList, texts);
        QFETCH(QString, number);
        const InstalledTranslations installed = installTranslations(
            *QCoreApplication::instance(), QStringLiteral(TEST_CATALOGUES), desktopLanguages(environmentOf(environment)));
        QCOMPARE(installed.language, language);
        QVERIFY(installed.unreadable.isEmpty());
        QCOMPARE((QStringList{shown("Start server"), shown("Open logs"), shown("Stop server")}), texts);
        QCOMPARE(QLocale().toString(1234.5, 'f', 1), number);
    }

    // One message names both English forms ("%n second(s)"); each language's catalogue, English's
    // too, says how it writes them.
    void aCountIsToldInTheFormItsLanguageWrites_data() {
        QTest::addColumn<QString>("language");
        QTest::addColumn<qint64>("count");
        QTest::addColumn<QString>("text");
        QTest::newRow("English, one") << "en" << qint64(1) << "1 second";
        QTest::newRow("English, none") << "en" << qint64(0) << "0 seconds";
        QTest::newRow("English, many") << "en" << qint64(2) << "2 seconds";
        QTest::newRow("German, one") << "de" << qint64(1) << "1 Sekunde";
        QTest::newRow("German, many") << "de" << qint64(5) << "5 Sekunden";
    }
    void aCountIsToldInTheFormItsLanguageWrites() {
        QFETCH(QString, language);
        QFETCH(qint64, count);
        QFETCH(QString, text);
        installTranslations(*QCoreApplication::instance(), builtCatalogues, {language});
        QCOMPARE(seconds(count), text);
    }

    // A language whose catalogue lacks a plural message tells it in English's forms, not in the
    // source's "(s)".
    void aPluralMessageALanguageLacksIsToldInEnglishForms() {
        QTemporaryDir folder;
        for (const QString& file : QDir(builtCatalogues).entryList({"tavrin*_en.qm"}))
            QVERIFY(QFile::copy(builtCatalogues + '/' + file, folder.filePath(file)));
        QVERIFY(QFile::copy(QStringLiteral(TEST_CATALOGUES "/tavrintest_de.qm"), folder.filePath("tavrintest_de.qm")));
        const InstalledTranslations installed = installTranslations(*QCoreApplication::instance(), folder.path(), {"de"});
        QCOMPARE(installed.language, QStringLiteral("de"));
        QCOMPARE(shown("Start server"), QStringLiteral("Server starten"));
        QCOMPARE(seconds(1), QStringLiteral("1 second"));
        QCOMPARE(seconds(3), QStringLiteral("3 seconds"));
    }

    // A moment the server sends is written as the language shown writes dates; the C locale, a
    // program's own notation, keeps the server's ISO 8601.
    void aMomentIsWrittenAsTheLanguageShownWritesDates_data() {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QString>("day");
        QTest::addColumn<QString>("moment");
        QTest::newRow("German") << QStringList{"LANG=de_DE.UTF-8"} << "01.12.26" << "06.12.26 07:59";
        QTest::newRow("German words on the C locale")
            << QStringList{"LC_MESSAGES=de_DE.UTF-8", "LANG=C.UTF-8"} << "01.12.26" << "06.12.26 07:59";
        QTest::newRow("the C locale") << QStringList{"LC_ALL=C", "LANGUAGE=de"} << "2026-12-01"
                                      << "2026-12-06T07:59:00Z";
    }
    void aMomentIsWrittenAsTheLanguageShownWritesDates() {
        QFETCH(QStringList, environment);
        QFETCH(QString, day);
        QFETCH(QString, moment);
        installTranslations(*QCoreApplication::instance(), builtCatalogues, desktopLanguages(environmentOf(environment)));
        QCOMPARE(shownMoment("2026-12-01"), day);
        QCOMPARE(shownMoment("2026-12-06T07:59:00Z"), moment);
        QCOMPARE(shownMoment("yesterday"), QStringLiteral("yesterday"));
    }

    // A German catalogue loaded for a German desktop names Qt's own too where the machine has it;
    // the product's catalogues are named whatever the machine holds.
    void theInstalledCataloguesAreNamed() {
        const InstalledTranslations installed =
            installTranslations(*QCoreApplication::instance(), QStringLiteral(TEST_CATALOGUES), {"de_AT", "de"});
        const QString folder = QStringLiteral(TEST_CATALOGUES);
        QCOMPARE(installed.catalogues.filter(folder),
                 (QStringList{folder + "/tavrintest_de.qm", folder + "/tavrintest_de_AT.qm"}));
    }

    // A damaged catalogue is named, its messages stay English, and the others still load.
    void anUnreadableCatalogueIsNamedAndItsTextsStayEnglish() {
        QTemporaryDir folder;
        const QString damaged = folder.filePath("tavrintest_de_AT.qm");
        QVERIFY(QFile::copy(QStringLiteral(TEST_CATALOGUES "/tavrintest_de.qm"), folder.filePath("tavrintest_de.qm")));
        QVERIFY(test::writeBytes(damaged, "not a catalogue"));
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression("tavrintest_de_AT.qm could not be read"));
        const InstalledTranslations installed =
            installTranslations(*QCoreApplication::instance(), folder.path(), {"de_AT", "de"});
        QCOMPARE(installed.language, QStringLiteral("de_AT"));
        QCOMPARE(installed.unreadable, QStringList{damaged});
        QCOMPARE(shown("Start server"), QStringLiteral("Server starten"));
    }
};

QTEST_GUILESS_MAIN(TranslationsTest)
#include "TranslationsTest.moc"
