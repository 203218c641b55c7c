#include "control/AdminPassword.h"

#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace tavrin;

class AdminPasswordTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void acceptsOnlyLongEnoughExactlyConfirmedPasswords_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<bool>("accepted");
        const QString sixteen = QStringLiteral("abcdefghijklmnop");
        const auto times = [](const QString& piece, int n) { return piece.repeated(n); };
        QTest::newRow("15 characters") << sixteen.left(15) << sixteen.left(15) << false;
        QTest::newRow("16 characters") << sixteen << sixteen << true;
        QTest::newRow("confirmation differs in case") << sixteen << sixteen.toUpper() << false;
        QTest::newRow("confirmation has a trailing space") << sixteen << sixteen + QLatin1Char(' ') << false;
        QTest::newRow("16 emoji") << times("🔐", 16) << times("🔐", 16) << true;
        QTest::newRow("15 emoji are 30 UTF-16 units") << times("🔐", 15) << times("🔐", 15) << false;
        // A family emoji is seven code points joined into one character.
        QTest::newRow("15 joined emoji") << times("👨‍👩‍👧", 15) << times("👨‍👩‍👧", 15) << false;
        QTest::newRow("15 decomposed accented letters") << times("e\u0301", 15) << times("e\u0301", 15) << false;
        QTest::newRow("empty") << QString() << QString() << false;
        // Counted as the server will hold it: the white space at the ends is not part of a password.
        QTest::newRow("16 spaces") << QString(16, u' ') << QString(16, u' ') << false;
        QTest::newRow("15 characters and a line break") << sixteen.left(15) + '\n' << sixteen.left(15) + '\n' << false;
        QTest::newRow("16 characters inside spaces") << " " + sixteen + " " << " " + sixteen + " " << true;
    }
    void acceptsOnlyLongEnoughExactlyConfirmedPasswords() {
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        QFETCH(bool, accepted);
        QCOMPARE(isAcceptableAdminPassword(password, confirmation), accepted);
    }

    void generatedPasswordsAreFortyThreeUrlSafeCharactersFromTheWholeAlphabet() {
        static const QRegularExpression alphabet(QStringLiteral("^[A-Za-z0-9_-]{43}$"));
        QSet<QString> seen;
        QSet<QChar> characters;
        for (int i = 0; i < 500; ++i) {
            const QString secret = generateAdminSecret();
            QVERIFY2(alphabet.match(secret).hasMatch(), qPrintable(secret));
            seen.insert(secret);
            for (QChar c : secret)
                characters.insert(c);
        }
        QCOMPARE(seen.size(), 500);
        // 500 × 43 draws over 64 symbols: a generator that skips symbols (or never maps to - and _)
        // would show here.
        QCOMPARE(characters.size(), 64);
    }
};

QTEST_GUILESS_MAIN(AdminPasswordTest)
#include "AdminPasswordTest.moc"
