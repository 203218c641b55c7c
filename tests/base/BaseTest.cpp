#include "base/AdminSecretFile.h"
#include "support/Basics.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrin;

class BaseTest : public QObject {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_root;
    QString folder() const { return m_root->path() + QStringLiteral("/deep/Tavrin Server"); }

private Q_SLOTS:
    void init() { m_root = std::make_unique<QTemporaryDir>(); }

    void theStateFolderFollowsTheEnvironmentAsTheServerReadsIt() {
        const std::pair<QStringList, QString> cases[] = {
            {{"TAVRIN_STATE_DIR=/srv/tk/", "XDG_DATA_HOME=/d"}, "/srv/tk"},
            {{"TAVRIN_STATE_DIR=tk", "XDG_DATA_HOME=/d"}, "/d/Tavrin Server"}, // a relative name is ignored
            {{"XDG_DATA_HOME=/d", "HOME=/h"}, "/d/Tavrin Server"},
            {{"XDG_DATA_HOME=d", "HOME=/h"}, "/h/.local/share/Tavrin Server"}, // so is a relative data home
            {{"HOME=/h"}, "/h/.local/share/Tavrin Server"}};
        for (const auto& [environment, folder] : cases)
            QCOMPARE(StateFolder::pathIn(environment), folder);
    }

    // One rule, the same on both sides: Unicode white space and line breaks at the ends, nothing else.
    void theTrimRuleTakesWhiteSpaceAndLineBreaksAtTheEndsOnly() {
        const std::pair<QString, QString> cases[] = {
            {"s3cret\r\n", "s3cret"}, {" \ts3 cret\t ", "s3 cret"}, {"\u00A0s3cret\u3000", "s3cret"},
            {"s3cret\u2028\u2029\u0085", "s3cret"},
            {"s3cret\u200B", "s3cret\u200B"}}; // a zero-width space is not white space
        for (const auto& [typed, password] : cases) {
            QCOMPARE(trimmedAdminSecret(typed), password);
            QVERIFY(AdminSecretFile(folder()).write(typed));
            QCOMPARE(AdminSecretFile(folder()).read(), std::optional<QString>(password));
        }
    }

    void aFileThatHoldsNoPasswordReadsAsNothing_data() {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("white space only") << QByteArray(" \n\t\xc2\xa0\r\n");
        QTest::newRow("not UTF-8") << QByteArray("\xff\xfe secret");
        QTest::newRow("larger than any password") << QByteArray(64 * 1024 + 1, 'x');
    }
    void aFileThatHoldsNoPasswordReadsAsNothing() {
        QFETCH(QByteArray, content);
        QVERIFY(makeDirectories(folder()) && writeFilePrivately(AdminSecretFile(folder()).path(), content));
        QCOMPARE(AdminSecretFile(folder()).read(), std::nullopt);
        AdminSecretFile(folder()).remove();
        QVERIFY(!QFile::exists(AdminSecretFile(folder()).path()));
        AdminSecretFile(folder()).remove(); // a missing file is fine
    }

    void theFileIsPrivateFromItsFirstByteWhateverTheUmask() {
        const mode_t old = ::umask(0);
        const auto first = AdminSecretFile(folder()).write(QStringLiteral("first-secret-that-is-longer"));
        QFile before(AdminSecretFile(folder()).path());
        const bool opened = before.open(QIODevice::ReadOnly); // a reader of the old file keeps it whole
        const auto second = AdminSecretFile(folder()).write(QStringLiteral("pässwörd"));
        ::umask(old);
        QVERIFY(first && second && opened);
        QCOMPARE(before.readAll(), QByteArray("first-secret-that-is-longer"));
        QFile after(AdminSecretFile(folder()).path());
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), QStringLiteral("pässwörd").toUtf8());
        QCOMPARE(test::modeOf(after.fileName()), mode_t(0600));
        QCOMPARE(test::modeOf(folder()), mode_t(0700));
        QCOMPARE(QDir(folder()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("admin.secret")});
    }

    void aWriteThatFailsNamesThePathAndTheReason() { // under a file, where a folder should be
        const auto written = AdminSecretFile(QStringLiteral("/dev/null/Tavrin Server")).write(QStringLiteral("x"));
        QVERIFY(!written);
        QVERIFY2(written.error().message().startsWith("/dev/null/") && written.error().code != 0,
                 qPrintable(written.error().message()));
        QCOMPARE(writeFilePrivately(QStringLiteral("/dev/null/f"), "x").error().message(),
                 QStringLiteral("/dev/null/f: Not a directory"));
    }
};

QTEST_GUILESS_MAIN(BaseTest)
#include "BaseTest.moc"
