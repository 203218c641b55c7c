#include "PseudoTranslation.h"

#include <QRegularExpression>
#include <QTest>

using namespace tavrin;

namespace {

// What a program reads in a text, in order: placeholders, mnemonics, tags and entities.
QStringList readParts(const QString& text) {
    static const QRegularExpression parts(
        QStringLiteral("</?[a-z]+[^>]*>|&[a-z]+;|&&|&.|%L?[0-9]+|%n"));
    QStringList found;
    for (const QRegularExpressionMatch& match : parts.globalMatch(text))
        found << match.captured();
    return found;
}

QString between(const QString& pseudo) { return pseudo.mid(1, pseudo.size() - 2); }

} // namespace

class PseudoTranslationTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void whatAProgramReadsStaysAndTheRestIsMarkedAndLonger_data() {
        QTest::addColumn<QString>("english");
        QTest::newRow("plain") << "Start server";
        QTest::newRow("placeholders") << "Key %1 was revoked at %L2 (%n left)";
        QTest::newRow("mnemonic") << "&Save settings";
        QTest::newRow("an ampersand as itself") << "Keys && models";
        QTest::newRow("markup and entity") << "<b>Stopped</b> &mdash; <a href=\"https://example.invalid/a\">open logs</a>";
        QTest::newRow("one placeholder alone") << "%1";
    }
    void whatAProgramReadsStaysAndTheRestIsMarkedAndLonger() {
        QFETCH(QString, english);
        const QString pseudo = pseudoTranslation(english);
        QVERIFY2(pseudo.startsWith(pseudoOpening) && pseudo.endsWith(pseudoClosing), qPrintable(pseudo));
        QCOMPARE(readParts(between(pseudo)), readParts(english));
        // Longer by about two fifths of what is read as text (a tag is no room on the screen).
        const qsizetype shown = QString(english).remove(QRegularExpression("<[^>]*>")).size();
        QVERIFY2(pseudo.size() - 2 - english.size() >= shown * 0.35, qPrintable(pseudo));
    }

    void lettersAreAccentedButTheMnemonicsLetterIsNot() {
        QVERIFY2(pseudoTranslation("&Start").startsWith(QStringLiteral("⟦&Stàrt~")), qPrintable(pseudoTranslation("&Start")));
        QVERIFY2(pseudoTranslation("Start").startsWith(QStringLiteral("⟦Ŝtàrt~")), qPrintable(pseudoTranslation("Start")));
    }

    void anEmptyTextStaysEmpty() { QCOMPARE(pseudoTranslation(QString()), QString()); }

    void everyMessageOfACatalogueIsFinishedPluralsIncluded() {
        const QByteArray english = R"(<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en_XA">
<context><name>Keys</name>
<message><source>Revoke</source><translation type="unfinished"></translation></message>
<message numerus="yes"><source>%n keys</source><translation type="unfinished"><numerusform></numerusform><numerusform></numerusform></translation></message>
</context>
</TS>
)";
        const auto pseudo = pseudoTranslatedCatalogue(english);
        QVERIFY(pseudo);
        QVERIFY(!pseudo->contains("unfinished"));
        QCOMPARE(pseudo->count(pseudoTranslation("Revoke").toUtf8()), 1);
        QCOMPARE(pseudo->count(pseudoTranslation("%n keys").toUtf8()), 2);
    }

    void aCatalogueThatIsNoXmlIsRefusedWithItsLine() {
        const auto pseudo = pseudoTranslatedCatalogue("<TS>\n<context>\n</TS>");
        QVERIFY(!pseudo);
        QVERIFY2(pseudo.error().startsWith("The catalogue could not be read at line 3"), qPrintable(pseudo.error()));
    }
};

QTEST_GUILESS_MAIN(PseudoTranslationTest)
#include "PseudoTranslationTest.moc"
