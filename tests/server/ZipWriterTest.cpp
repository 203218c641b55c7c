// The support bundle's zip writer, read back by a standard zip reader: entries of every size
// (empty, one byte, several megabytes that do not compress), UTF-8 names, and a half-written
// archive that never survives a failure.

#include "server/ZipWriter.h"

#include <QCryptographicHash>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <random>

using namespace tavrin;

class ZipWriterTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void entriesOfEverySizeReadBackExactly() {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is needed to read the archive back");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bundle.zip"));

        std::mt19937 random(42);
        std::string noise(3 * 1024 * 1024 + 17, '\0');
        for (char& c : noise)
            c = char(random());
        const std::string repetitive(5 * 1024 * 1024, 'z');
        const std::vector<std::pair<QString, std::string>> entries{
            {QStringLiteral("empty.txt"), std::string()},
            {QStringLiteral("one.txt"), std::string("1")},
            {QStringLiteral("noise.bin"), noise},
            {QStringLiteral("repetitive.txt"), repetitive},
            {QStringLiteral("größe ✓.json"), std::string(R"({"ok":true})")},
        };
        ZipWriter zip;
        QVERIFY(zip.open(path));
        for (const auto& [name, data] : entries) {
            QVERIFY(zip.begin(name));
            // In pieces, as the support bundle writes its exports.
            for (std::size_t at = 0; at < data.size(); at += 100'000)
                QVERIFY(zip.write(std::string_view(data).substr(at, 100'000)));
            QVERIFY(zip.end());
        }
        QVERIFY(zip.finish());
        QCOMPARE(QFile(path).permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
        QVERIFY(QFile(path).size() < qint64(noise.size() + 1024 * 1024)); // the repetitive entry was compressed

        QProcess reader;
        reader.start(python, {QStringLiteral("-c"),
                              QStringLiteral("import sys,zipfile,hashlib; z=zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None; "
                                             "[print(i.filename, hashlib.sha256(z.read(i)).hexdigest(), oct(i.external_attr >> 16)) "
                                             "for i in z.infolist()]"),
                              path});
        QVERIFY(reader.waitForFinished(30000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        const QStringList lines = QString::fromUtf8(reader.readAllStandardOutput()).trimmed().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), qsizetype(entries.size()));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            const QByteArray digest = QCryptographicHash::hash(QByteArray::fromStdString(entries[i].second), QCryptographicHash::Sha256).toHex();
            QCOMPARE(lines[qsizetype(i)], entries[i].first + u' ' + QString::fromLatin1(digest) + QStringLiteral(" 0o100600"));
        }
    }

    void anUnfinishedArchiveIsRemoved() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bundle.zip"));
        {
            ZipWriter zip;
            QVERIFY(zip.open(path));
            QVERIFY(zip.add(QStringLiteral("a.txt"), "a"));
        }
        QVERIFY(!QFile::exists(path));
        ZipWriter zip;
        QFile existing(path);
        QVERIFY(existing.open(QIODevice::WriteOnly));
        existing.close();
        const auto refused = zip.open(path);
        QVERIFY(!refused);
        QVERIFY(refused.error().contains(QStringLiteral("File exists")));
    }
};

QTEST_GUILESS_MAIN(ZipWriterTest)
#include "ZipWriterTest.moc"
