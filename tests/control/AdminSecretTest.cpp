#include "control/AdminPassword.h"
#include "control/AdminSecretFile.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tavrin;

namespace {
QString repeated(const QString& piece, int times) {
    QString s;
    for (int i = 0; i < times; ++i)
        s += piece;
    return s;
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}
} // namespace

class AdminPasswordRuleTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void acceptsOnlyLongEnoughExactlyConfirmedPasswords_data() {
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("confirmation");
        QTest::addColumn<bool>("accepted");
        const QString sixteen = QStringLiteral("abcdefghijklmnop");
        QTest::newRow("15 characters") << sixteen.left(15) << sixteen.left(15) << false;
        QTest::newRow("16 characters") << sixteen << sixteen << true;
        QTest::newRow("confirmation differs in case") << sixteen << sixteen.toUpper() << false;
        QTest::newRow("confirmation has a trailing space") << sixteen << sixteen + QLatin1Char(' ') << false;
        QTest::newRow("16 emoji") << repeated(QStringLiteral("🔐"), 16) << repeated(QStringLiteral("🔐"), 16)
                                  << true;
        QTest::newRow("15 emoji are 30 UTF-16 units")
            << repeated(QStringLiteral("🔐"), 15) << repeated(QStringLiteral("🔐"), 15) << false;
        // A family emoji is seven code points joined into one character.
        QTest::newRow("15 joined emoji") << repeated(QStringLiteral("👨‍👩‍👧"), 15)
                                         << repeated(QStringLiteral("👨‍👩‍👧"), 15) << false;
        QTest::newRow("15 accented letters in decomposed form")
            << repeated(QStringLiteral("e\u0301"), 15) << repeated(QStringLiteral("e\u0301"), 15) << false;
        QTest::newRow("spaces count like any character")
            << QString(16, QLatin1Char(' ')) << QString(16, QLatin1Char(' ')) << true;
        QTest::newRow("empty") << QString() << QString() << false;
    }
    void acceptsOnlyLongEnoughExactlyConfirmedPasswords() {
        QFETCH(QString, password);
        QFETCH(QString, confirmation);
        QFETCH(bool, accepted);
        QCOMPARE(isAcceptableAdminPassword(password, confirmation), accepted);
    }

    void mismatchIsReportedOnlyOnceSomethingIsTyped() {
        QVERIFY(!adminPasswordsMismatch(QString(), QStringLiteral("x")));
        QVERIFY(adminPasswordsMismatch(QStringLiteral("x"), QString()));
        QVERIFY(adminPasswordsMismatch(QStringLiteral("Secret"), QStringLiteral("secret")));
        QVERIFY(!adminPasswordsMismatch(QStringLiteral("same"), QStringLiteral("same")));
    }
};

class GeneratedAdminSecretTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void isFortyThreeUrlSafeCharactersWithoutPadding() {
        static const QRegularExpression alphabet(QStringLiteral("^[A-Za-z0-9_-]{43}$"));
        for (int i = 0; i < 200; ++i) {
            const QString secret = generateAdminSecret();
            QVERIFY2(alphabet.match(secret).hasMatch(), qPrintable(secret));
        }
    }

    void neverRepeatsAndUsesTheWholeAlphabet() {
        QSet<QString> seen;
        QSet<QChar> characters;
        for (int i = 0; i < 500; ++i) {
            const QString secret = generateAdminSecret();
            seen.insert(secret);
            for (QChar c : secret)
                characters.insert(c);
        }
        QCOMPARE(seen.size(), 500);
        // 500 × 43 draws over 64 symbols: a generator that skips symbols (or never maps to - and _)
        // would show here.
        QCOMPARE(characters.size(), 64);
        QVERIFY(characters.contains(QLatin1Char('-')));
        QVERIFY(characters.contains(QLatin1Char('_')));
    }
};

class AdminSecretFileTest : public QObject {
    Q_OBJECT
    QTemporaryDir m_root;
    QString stateDir() const { return m_root.path() + QStringLiteral("/deep/Tavrin Server"); }

private Q_SLOTS:
    void cleanup() { QDir(m_root.path() + QStringLiteral("/deep")).removeRecursively(); }

    void stateDirectoryLivesUnderTheUsersDataFolder() {
        QCOMPARE(StateDirectory::path(),
                 qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/Tavrin Server"));
    }

    void writeCreatesTheFolderAndAnOwnerOnlyFileHoldingExactlyTheSecret() {
        AdminSecretFile file(stateDir());
        QVERIFY(file.write(QStringLiteral("pässwörd"), AdminSecretFile::DirectoryMode::OwnerOnly));
        QFile written(file.path());
        QVERIFY(written.open(QIODevice::ReadOnly));
        QCOMPARE(written.readAll(), QStringLiteral("pässwörd").toUtf8());
        QCOMPARE(modeOf(file.path()), mode_t(0600));
        QCOMPARE(modeOf(stateDir()), mode_t(0700));
    }

    void ownerOnlyModeHoldsEvenUnderAPermissiveUmask() {
        const mode_t old = ::umask(0);
        AdminSecretFile file(stateDir());
        const bool ok = bool(file.write(QStringLiteral("secret"), AdminSecretFile::DirectoryMode::AsCreated));
        ::umask(old);
        QVERIFY(ok);
        QCOMPARE(modeOf(file.path()), mode_t(0600));
    }

    void rewritingReplacesTheFileWithoutLeavingTemporaries() {
        AdminSecretFile file(stateDir());
        QVERIFY(file.write(QStringLiteral("first-secret-that-is-longer"),
                           AdminSecretFile::DirectoryMode::AsCreated));
        QFile before(file.path());
        QVERIFY(before.open(QIODevice::ReadOnly)); // a reader holding the old file keeps the old bytes
        QVERIFY(file.write(QStringLiteral("second"), AdminSecretFile::DirectoryMode::AsCreated));
        QCOMPARE(before.readAll(), QByteArray("first-secret-that-is-longer"));
        QCOMPARE(file.read(), std::optional<QString>(QStringLiteral("second")));
        QCOMPARE(QDir(stateDir()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("admin.secret")});
    }

    void readTrimsWhitespaceAndIgnoresBlankFiles_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("trailing newline")
            << QByteArray("s3cret\n") << std::optional<QString>(QStringLiteral("s3cret"));
        QTest::newRow("leading spaces, CRLF")
            << QByteArray("  s3cret\r\n") << std::optional<QString>(QStringLiteral("s3cret"));
        QTest::newRow("inner space kept")
            << QByteArray("\ta b\t") << std::optional<QString>(QStringLiteral("a b"));
        QTest::newRow("empty") << QByteArray() << std::optional<QString>();
        QTest::newRow("whitespace only") << QByteArray(" \n\t\r\n") << std::optional<QString>();
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe secret") << std::optional<QString>();
    }
    void readTrimsWhitespaceAndIgnoresBlankFiles() {
        QFETCH(QByteArray, content);
        QFETCH(std::optional<QString>, expected);
        QVERIFY(QDir().mkpath(stateDir()));
        AdminSecretFile file(stateDir());
        QFile raw(file.path());
        QVERIFY(raw.open(QIODevice::WriteOnly));
        raw.write(content);
        raw.close();
        QCOMPARE(file.read(), expected);
    }

    void missingFileReadsAsNothingAndRemovesSilently() {
        AdminSecretFile file(stateDir());
        QCOMPARE(file.read(), std::optional<QString>());
        file.remove();
        QVERIFY(file.write(QStringLiteral("x"), AdminSecretFile::DirectoryMode::AsCreated));
        file.remove();
        QVERIFY(!QFile::exists(file.path()));
    }

    void writeFailureNamesThePathAndTheReason() {
        // A plain file where a parent folder should be: fails for root too.
        QFile blocker(m_root.path() + QStringLiteral("/deep"));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        AdminSecretFile file(stateDir());
        const auto result = file.write(QStringLiteral("x"), AdminSecretFile::DirectoryMode::OwnerOnly);
        QFile::remove(blocker.fileName());
        QVERIFY(!result);
        QVERIFY2(result.error().message().contains(QStringLiteral("Not a directory")) ||
                     result.error().message().contains(QStringLiteral("File exists")),
                 qPrintable(result.error().message()));
        QVERIFY(result.error().message().startsWith(m_root.path()));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        AdminPasswordRuleTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        GeneratedAdminSecretTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        AdminSecretFileTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "AdminSecretTest.moc"
