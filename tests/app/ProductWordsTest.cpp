// The product speaks the platform it runs on: no text it can show names a facility of another
// system. The texts of every source under src/ are searched for those names; the only ones allowed
// are the words of the Apple rules that a simulated Apple chip is judged by, listed with the reason.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

// A source's texts as the compiler joins them: comments, preprocessor lines (an #include names a
// file, not a text) and character literals gone, adjacent literals run together so that a name split
// over two lines is found whole, then each literal's contents. A comment marker inside a literal
// ("http://…") cuts that line's rest, which only ever hides a word after an address.
QStringList joinedTexts(QString source) {
    static const QRegularExpression notText(QStringLiteral("/\\*.*?\\*/|//[^\\n]*|^\\s*#[^\\n]*|'(?:[^'\\\\\\n]|\\\\.)'"),
                                            QRegularExpression::DotMatchesEverythingOption |
                                                QRegularExpression::MultilineOption);
    static const QRegularExpression betweenLiterals(QStringLiteral("\"\\s*\""));
    static const QRegularExpression literal(QStringLiteral("\"((?:[^\"\\\\\\n]|\\\\.)*)\""));
    source.remove(notText).remove(betweenLiterals);
    QStringList texts;
    for (auto match = literal.globalMatch(source); match.hasNext();)
        texts << match.next().captured(1);
    return texts;
}

// Names of facilities a Linux desktop does not have. "macOSVersion" and "macOSBuild", the admin
// protocol's field names, are no words and do not match.
const QRegularExpression otherPlatformWords(QStringLiteral("\\bMacs?\\b|\\bmacOS\\b|Finder|Keychain|launchd|Login Items|App Store|[Mm]enu[- ]bar"));

struct Allowed {
    const char* file;
    const char* text;
    const char* why;
};

// Kept tight: each entry must still be found, so that one outliving its text fails too.
const Allowed allowed[] = {
    {"src/protocol/HardwareProbe.cpp", "Tavrin Keldmarch is recommended on Macs with 16 GB RAM or more. Detected %1 GB.",
     "the memory note of the Apple rules, shown only for a simulated Apple chip"},
};

} // namespace

class ProductWordsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void noTextOfTheProductNamesAnotherPlatformsFacility() {
        const QString root = qEnvironmentVariable("TAVRIN_SOURCE_DIR");
        QStringList offending;
        int files = 0, allowances = 0;
        QDirIterator it(root + "/src", {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            QVERIFY(file.open(QIODevice::ReadOnly));
            ++files;
            const QString relative = file.fileName().mid(root.size() + 1);
            for (QString text : joinedTexts(QString::fromUtf8(file.readAll()))) {
                for (const Allowed& entry : allowed) {
                    const QString allowedText = QString::fromUtf8(entry.text);
                    if (relative == QLatin1String(entry.file) && text.contains(allowedText)) {
                        ++allowances;
                        text.remove(allowedText);
                    }
                }
                if (otherPlatformWords.match(text).hasMatch())
                    offending << QStringLiteral("%1: \"%2\"").arg(relative, text);
            }
        }
        QVERIFY2(files > 100, "TAVRIN_SOURCE_DIR does not name the source tree");
        QVERIFY2(offending.isEmpty(), qPrintable(offending.join('\n')));
        QCOMPARE(allowances, int(std::size(allowed))); // an allowance whose text has gone goes too
    }

    // What the search sees of a source: a name split across joined literals, but none in a comment or
    // an include.
    void theTextsAreJoinedAsTheCompilerJoinsThem() {
        const QStringList texts = joinedTexts("#include \"Finder.h\"\n// \"Finder\" in a comment\n"
                                              "auto a = tr(\"Open in \" /* joined */\n  \"Fin\" \"der\"); char q = '\"';\n"
                                              "f(\"one\", \"t\\\"wo\");\n");
        QCOMPARE(texts, (QStringList{"Open in Finder", "one", "t\\\"wo"}));
    }
};

QTEST_GUILESS_MAIN(ProductWordsTest)
#include "ProductWordsTest.moc"
