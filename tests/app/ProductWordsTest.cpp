// The product speaks the platform it runs on: no text it can show names a facility of another
// system. Every string literal under src/ is read (adjacent literals joined, as the compiler joins
// them) and searched for those names; the only ones allowed are the words of the Apple rules that a
// simulated Apple chip is judged by, listed below with the reason.
#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTest>

namespace {

struct Literal {
    QString text;
    int line = 0;
};

// The string literals of a C++ source, adjacent ones joined; comments, character literals and
// preprocessor lines (an #include names a file, not a text) are skipped. Escapes are kept as written.
QList<Literal> stringLiterals(const QString& source) {
    QList<Literal> found;
    bool joinable = false; // only blanks and comments since the last literal ended
    int line = 1;
    const qsizetype n = source.size();
    bool lineStart = true;
    for (qsizetype i = 0; i < n;) {
        const QChar c = source[i];
        if (c == u'\n') {
            ++line;
            ++i;
            lineStart = true;
            continue;
        }
        if (c.isSpace()) {
            ++i;
            continue;
        }
        if (lineStart && c == u'#') { // to the end of the line, continuations included
            while (i < n && !(source[i] == u'\n' && source[i - 1] != u'\\'))
                ++i;
            joinable = false;
            continue;
        }
        lineStart = false;
        if (source.mid(i, 2) == QLatin1String("//")) {
            while (i < n && source[i] != u'\n')
                ++i;
            continue;
        }
        if (source.mid(i, 2) == QLatin1String("/*")) {
            const qsizetype end = source.indexOf(QLatin1String("*/"), i + 2);
            const qsizetype stop = end < 0 ? n : end + 2;
            line += int(source.mid(i, stop - i).count(u'\n'));
            i = stop;
            continue;
        }
        if (c == u'\'') {
            qsizetype token = i;
            while (token > 0 && (source[token - 1].isLetterOrNumber() || source[token - 1] == u'_'))
                --token;
            if (token < i && source[token].isDigit()) { // a digit separator, as in 5'000
                ++i;
                continue;
            }
            for (++i; i < n && source[i] != u'\''; ++i)
                if (source[i] == u'\\')
                    ++i;
            ++i;
            joinable = false;
            continue;
        }
        if (c == u'R' && source.mid(i, 2) == QLatin1String("R\"")) { // R"delimiter( … )delimiter"
            const qsizetype open = source.indexOf(u'(', i + 2);
            const QString close = u')' + source.mid(i + 2, open - i - 2) + u'"';
            const qsizetype end = source.indexOf(close, open);
            const QString text = source.mid(open + 1, end - open - 1);
            found.push_back({text, line});
            line += int(text.count(u'\n'));
            i = end + close.size();
            joinable = true;
            continue;
        }
        if (c == u'"') {
            QString text;
            for (++i; i < n && source[i] != u'"'; ++i) {
                if (source[i] == u'\\')
                    text += source[i++];
                text += source[i];
            }
            ++i;
            if (joinable && !found.isEmpty())
                found.last().text += text;
            else
                found.push_back({text, line});
            joinable = true;
            continue;
        }
        joinable = false;
        ++i;
    }
    return found;
}

// The names of facilities a Linux desktop does not have. "macOSVersion" and "macOSBuild", the admin
// protocol's field names, are no words and do not match.
const QRegularExpression& otherPlatformWords() {
    static const QRegularExpression words(
        QStringLiteral("\\bMacs?\\b|\\bmacOS\\b|Finder|Keychain|launchd|Login Items|App Store"));
    return words;
}

struct Allowed {
    const char* file;
    const char* text;
    const char* why;
};

// Kept tight: each entry must still be found, so that one outliving its text fails too.
const Allowed allowed[] = {
    {"src/protocol/HardwareProbe.cpp", "Tavrin Keldmarch is recommended on Macs with 16 GB RAM or more. Detected ",
     "the memory note of the Apple rules, shown only for a simulated Apple chip"},
};

} // namespace

class ProductWordsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // The reader finds what the compiler would: joined literals, and nothing in comments or includes.
    void theLiteralsAreReadAsTheCompilerJoinsThem() {
        const QString source = QStringLiteral(
            "#include \"Finder.h\"\n"
            "// \"Finder\" in a comment\n"
            "auto a = tr(\"Open in \" /* joined */\n  \"Finder\");\n"
            "char q = '\"'; int n = 5'000; auto b = \"one\"; f(\"two\", \"three \\\"x\\\"\");\n"
            "auto r = R\"x(raw \"Keychain\" text)x\";\n");
        const QList<Literal> literals = stringLiterals(source);
        QStringList texts;
        for (const Literal& literal : literals)
            texts.push_back(literal.text);
        QCOMPARE(texts, (QStringList{"Open in Finder", "one", "two", "three \\\"x\\\"", "raw \"Keychain\" text"}));
        QCOMPARE(literals[0].line, 3);
        QCOMPARE(literals[4].line, 6);
    }

    void noTextOfTheProductNamesAnotherPlatformsFacility() {
        const QString root = qEnvironmentVariable("TAVRIN_SOURCE_DIR");
        QVERIFY2(QFile::exists(root + "/src"), "TAVRIN_SOURCE_DIR does not name the source tree");
        QStringList offending;
        QList<const Allowed*> used;
        int files = 0;
        QDirIterator it(root + "/src", {"*.cpp", "*.h"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QString relative = path.mid(root.size() + 1);
            QFile file(path);
            QVERIFY(file.open(QIODevice::ReadOnly));
            ++files;
            for (const Literal& literal : stringLiterals(QString::fromUtf8(file.readAll()))) {
                if (!otherPlatformWords().match(literal.text).hasMatch())
                    continue;
                const Allowed* allowance = nullptr;
                for (const Allowed& entry : allowed)
                    if (relative == QLatin1String(entry.file) && literal.text == QString::fromUtf8(entry.text))
                        allowance = &entry;
                if (allowance)
                    used.push_back(allowance);
                else
                    offending.push_back(QStringLiteral("%1:%2: \"%3\"").arg(relative).arg(literal.line).arg(literal.text));
            }
        }
        QVERIFY(files > 100);
        QVERIFY2(offending.isEmpty(), qPrintable(offending.join('\n')));
        for (const Allowed& entry : allowed)
            QVERIFY2(used.contains(&entry), qPrintable(QStringLiteral("no longer found, so no longer allowed: ") + entry.text));
    }
};

QTEST_GUILESS_MAIN(ProductWordsTest)
#include "ProductWordsTest.moc"
