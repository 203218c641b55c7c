// What the server writes for people to take away. The audit log's files and exports: retention to the
// second, reading back only complete lines, and exports whose every field survives quoting. The
// support bundle's zip writer: entries of every size (empty, one byte, several megabytes that do not
// compress), UTF-8 names, and a half-written archive that never survives a failure. Both are read
// back by standard readers.

#include "support/Basics.h"

#include "server/admin/AuditExport.h"
#include "server/stores/AuditLog.h"
#include "server/support/ZipWriter.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <expected>
#include <limits>
#include <random>

using namespace tavrin;

namespace {

// What became of a record: "kept", or why the log took none.
QString outcome(const std::expected<void, QString>& result) { return result ? QStringLiteral("kept") : result.error(); }

AuditRecord recordAt(const QString& time, const QString& keyId = QStringLiteral("key_1")) {
    AuditRecord r;
    r.time = time;
    r.keyId = keyId;
    r.endpoint = QStringLiteral("/v1/chat/completions");
    r.status = 200;
    r.responseTimeMs = 12.5;
    r.promptTokens = 3;
    r.completionTokens = 5;
    return r;
}

// In small chunks, so that records cross chunk boundaries.
template <class Source> std::string exportAll(Source&& source, std::size_t chunkSize = 100) {
    std::string all, chunk;
    while (source.next(chunk, chunkSize))
        all += chunk;
    return all;
}

} // namespace

class ExportFilesTest : public QObject {
    Q_OBJECT

    static bool writeDay(const QString& directory, const QDate& day, const QByteArray& contents = "{}\n") {
        return test::writeBytes(directory + QLatin1Char('/') + day.toString(Qt::ISODate) + QStringLiteral(".jsonl"), contents);
    }

private Q_SLOTS:
    void retentionRemovesEveryRecordOlderThanThePeriodAndNothingYounger() {
        QTemporaryDir dir;
        const QDateTime now(QDate(2026, 12, 6), QTime(10, 30), Qt::UTC);
        for (int age = 0; age <= 10; ++age) {
            const QDate day = now.date().addDays(-age);
            QByteArray lines;
            for (const char* time : {"T08:00:00Z", "T12:00:00Z"})
                lines += encodeJson(recordAt(day.toString(Qt::ISODate) + QLatin1StringView(time))) + '\n';
            QVERIFY(writeDay(dir.path(), day, lines));
        }
        QVERIFY(test::writeBytes(dir.filePath(QStringLiteral("notes.txt")), {}));

        AuditLog(dir.path()).prune(7, now);
        const auto kept = AuditLog::readAll(dir.path());
        // Seven days back from 10:30 is 2026-11-29T10:30: its 08:00 record goes, its 12:00 stays.
        QVERIFY(kept.size() == 15 && kept.front().time == QStringLiteral("2026-11-29T12:00:00Z"));
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.jsonl")}).size(), 8);
        QCOMPARE(QFile(dir.filePath(QStringLiteral("2026-11-29.jsonl"))).permissions() & QFileDevice::ReadOther,
                 QFileDevice::Permissions());
        QVERIFY(QFile::exists(dir.filePath(QStringLiteral("notes.txt"))));
    }

    void recordsAppendPrivatelyAndReadBackSkippingAnIncompleteLine() {
        QTemporaryDir dir;
        AuditLog log(dir.path());
        const ClientAuditLoggingSettings privacy{ClientAuditMode::privacy, 30, false};
        for (int i = 0; i < 3; ++i)
            QVERIFY(log.record(privacy, recordAt(QStringLiteral("2026-12-06T10:00:0%1Z").arg(i), QStringLiteral("key_%1").arg(i)),
                               QStringLiteral("secret prompt"), QStringLiteral("answer")));
        QVERIFY(log.sync());
        QCOMPARE(QFile(dir.filePath(QStringLiteral("2026-12-06.jsonl"))).permissions() & 0x0077, QFileDevice::Permissions());
        QVERIFY(writeDay(dir.path(), QDate(2000, 1, 1), R"({"time":"2000-01-01T00:00:00Z","keyId":"key_old",)"));

        const auto records = AuditLog::readAll(dir.path());
        QVERIFY(records.size() == 3 && records[2].keyId == QStringLiteral("key_2"));
    }

    // In audit mode every prompt is kept whole; at its cap (or its disk's floor) the log counts what
    // it leaves out instead of growing, says why it took none, and takes records again once
    // retention has made room.
    void aFullAuditLogCountsWhatItDropsUntilThereIsRoom() {
        QTemporaryDir dir;
        const ClientAuditLoggingSettings audit{ClientAuditMode::audit, 1, true};
        const QString today = QDateTime::currentDateTimeUtc().toString(Qt::ISODate);
        QVERIFY(writeDay(dir.path(), QDate::currentDate().addDays(-3), QByteArray(3000, ' ') + '\n')); // beyond a day's retention
        AuditLog log(dir.path(), {.maxBytes = 4000, .freeDiskFloor = 0});
        const QString atCap = QStringLiteral("it is at its size limit");
        QCOMPARE(outcome(log.record(audit, recordAt(today), QString(2000, u'p'), QStringLiteral("answer"))), atCap);
        QCOMPARE(log.dropped(), 1);
        QCOMPARE(log.unavailable().value_or(QString()), atCap);
        log.prune(1, QDateTime::currentDateTimeUtc());
        QCOMPARE(log.unavailable(), std::nullopt);
        QStringList outcomes;
        for (int i = 0; i < 3; ++i)
            outcomes << outcome(log.record(audit, recordAt(today), QString(1500, u'p'), QStringLiteral("answer")));
        QCOMPARE(outcomes, (QStringList{"kept", "kept", atCap}));
        QCOMPARE(AuditLog::readAll(dir.path()).size(), 2u);
        QCOMPARE(log.dropped(), 2);
        QVERIFY(!log.admits(1500));

        AuditLog floored(dir.path(), {.maxBytes = std::numeric_limits<qint64>::max(), .freeDiskFloor = std::numeric_limits<qint64>::max() / 2});
        QCOMPARE(outcome(floored.admits(1)), "its disk is nearly full");
        QCOMPARE(outcome(floored.record(audit, recordAt(today), QStringLiteral("prompt"), QStringLiteral("answer"))),
                 "its disk is nearly full");
        QCOMPARE(floored.dropped(), 1);
    }

    // Read back by a standard reader, every field is what was recorded, whatever it holds; the
    // prompt text never goes into the CSV.
    void csvReadsBackAsTheSameFieldsInAStandardReader() {
        if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
            QSKIP("python3 is needed to read the export back");
        QTemporaryDir dir;
        AuditLog log(dir.path());
        const QStringList keyIds{"key_1", "a,b", "say \"hi\"", "two\nlines", "x\ry", "schlüssel ✓", "k,\"1\"\r\n=2"};
        for (int i = 0; i < keyIds.size(); ++i)
            QVERIFY(log.record({ClientAuditMode::audit, 30, true}, recordAt(QStringLiteral("2026-12-06T10:00:0%1Z").arg(i), keyIds[i]),
                               QStringLiteral("prompt-text"), QStringLiteral("c")));
        const std::string csv = exportAll(AuditExport(dir.path(), AuditExport::Format::csv, true, {}));
        QVERIFY(!csv.contains("prompt-text"));
        const auto read = test::python("import csv,io,json,sys; rows=list(csv.reader(io.TextIOWrapper(sys.stdin.buffer, "
                                 "encoding='utf-8', newline=''), strict=True)); print(json.dumps(rows))",
                                 {}, QByteArray::fromStdString(csv));
        QVERIFY2(read, read ? "" : read.error().constData());
        const QJsonArray rows = QJsonDocument::fromJson(*read).array();
        QCOMPARE(rows.size(), keyIds.size() + 1);
        QCOMPARE(rows[0].toArray().size(), 8);
        QCOMPARE(rows[1].toArray().toVariantList(),
                 QVariantList({"2026-12-06T10:00:00Z", "key_1", "/v1/chat/completions", "200", "12.500", "3", "5", "audit"}));
        for (int i = 0; i < keyIds.size(); ++i)
            QVERIFY2(rows[i + 1].toArray().size() == 8 && rows[i + 1].toArray()[1].toString() == keyIds[i], qPrintable(keyIds[i]));
    }

    void jsonlCarriesTextOnlyWhenAskedAndOnlyWhereItWasRecorded() {
        QTemporaryDir dir;
        AuditLog log(dir.path());
        const QString prompt = QStringLiteral("line one\n\"quoted\" \\ tab\t and ✓");
        const ClientAuditMode modes[] = {ClientAuditMode::privacy, ClientAuditMode::hash, ClientAuditMode::audit};
        for (int i = 0; i < 3; ++i)
            QVERIFY(log.record({modes[i], 30, true}, recordAt(QStringLiteral("2026-12-06T10:00:0%1Z").arg(i)), prompt,
                               QStringLiteral("a%1").arg(i + 1)));

        for (const bool withText : {false, true}) {
            AuditExport source(dir.path(), AuditExport::Format::jsonl, withText, {});
            const QList<QByteArray> lines = QByteArray::fromStdString(exportAll(source, 10)).split('\n');
            QCOMPARE(lines.size(), 4); // three records and the empty rest after the last newline
            std::vector<AuditRecord> records;
            for (int i = 0; i < 3; ++i)
                records.push_back(decodeJson<AuditRecord>(lines[i]).value_or(AuditRecord{}));
            QCOMPARE(records[0].mode, std::optional(ClientAuditMode::privacy));
            QVERIFY(!records[0].prompt && !records[0].promptSha256); // privacy never has text
            QVERIFY(records[1].promptSha256 && !records[1].prompt);
            QCOMPARE(records[2].prompt, withText ? std::optional(prompt) : std::nullopt);
            QCOMPARE(records[2].completion, withText ? std::optional(QStringLiteral("a3")) : std::nullopt);
            QCOMPARE(source.recordsWithText(), withText ? 1 : 0);
        }
    }

    void exportsLeaveOutRecordsBeyondTheCutOff() {
        QTemporaryDir dir;
        AuditLog log(dir.path());
        for (const char* time : {"2026-12-05T09:59:59Z", "2026-12-05T10:00:00Z", "2026-12-06T08:00:00Z"})
            QVERIFY(log.record({ClientAuditMode::privacy, 1, false}, recordAt(QString::fromLatin1(time)), {}, {}));
        const std::string csv =
            exportAll(AuditExport(dir.path(), AuditExport::Format::csv, false, QStringLiteral("2026-12-05T10:00:00Z")));
        QVERIFY(!csv.contains("09:59:59"));
        QVERIFY(csv.contains("2026-12-05T10:00:00Z") && csv.contains("2026-12-06T08:00:00Z"));
    }

    void entriesOfEverySizeReadBackExactly() {
        if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
            QSKIP("python3 is needed to read the archive back");
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("bundle.zip"));

        std::mt19937 random(42);
        std::string noise(3 * 1024 * 1024 + 17, '\0');
        for (char& c : noise)
            c = char(random());
        const std::vector<std::pair<QString, std::string>> entries{
            {"empty.txt", ""}, {"one.txt", "1"}, {"noise.bin", noise}, {"repetitive.txt", std::string(5 * 1024 * 1024, 'z')},
            {"größe ✓.json", R"({"ok":true})"}};
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

        const auto read = test::python("import sys,zipfile,hashlib; z=zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None; "
                                 "[print(i.filename, hashlib.sha256(z.read(i)).hexdigest(), oct(i.external_attr >> 16)) "
                                 "for i in z.infolist()]",
                                 {path});
        QVERIFY2(read, read ? "" : read.error().constData());
        const QStringList lines = QString::fromUtf8(*read).trimmed().split(QLatin1Char('\n'));
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
        QVERIFY(!QFile::exists(path) && QFile(path).open(QIODevice::WriteOnly));
        const auto refused = ZipWriter().open(path); // never over a file that is there
        QVERIFY(!refused && refused.error().contains(QStringLiteral("File exists")));
    }
};

QTEST_GUILESS_MAIN(ExportFilesTest)
#include "ExportFilesTest.moc"
