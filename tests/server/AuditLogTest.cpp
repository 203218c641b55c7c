// The audit log's files and exports: retention to the second, reading back only complete lines,
// and exports whose every field survives quoting.

#include "server/AuditExport.h"
#include "server/AuditLog.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

using namespace tavrin;

namespace {

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

std::string exportAll(const QString& directory, AuditExport::Format format, bool withText, const QString& cutoff = {}) {
    AuditExport source(directory, format, withText, cutoff);
    std::string all, chunk;
    while (source.next(chunk, 100)) // small chunks, so that records cross chunk boundaries
        all += chunk;
    return all;
}

} // namespace

class AuditLogTest : public QObject {
    Q_OBJECT

    static void writeDay(const QString& directory, const QDate& day, const QByteArray& contents = "{}\n") {
        QFile file(directory + QLatin1Char('/') + day.toString(Qt::ISODate) + QStringLiteral(".jsonl"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
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
            writeDay(dir.path(), day, lines);
        }
        QFile unrelated(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(unrelated.open(QIODevice::WriteOnly));
        unrelated.close();

        AuditLog(dir.path()).prune(7, now);
        const auto kept = AuditLog::readAll(dir.path());
        // Seven days back from 10:30 is 2026-11-29T10:30: its 08:00 record goes, its 12:00 stays.
        QCOMPARE(kept.front().time, QStringLiteral("2026-11-29T12:00:00Z"));
        QCOMPARE(kept.size(), 15u);
        QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*.jsonl")}).size(), 8);
        QCOMPARE(QFile(dir.filePath(QStringLiteral("2026-11-29.jsonl"))).permissions() & QFileDevice::ReadOther,
                 QFileDevice::Permissions());
        QVERIFY(unrelated.exists());
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
        writeDay(dir.path(), QDate(2000, 1, 1), R"({"time":"2000-01-01T00:00:00Z","keyId":"key_old",)");

        const auto records = AuditLog::readAll(dir.path());
        QCOMPARE(records.size(), 3u);
        QCOMPARE(records[2].keyId, QStringLiteral("key_2"));
        QCOMPARE(records[0].mode, std::optional(ClientAuditMode::privacy));
        QVERIFY(!records[0].prompt && !records[0].promptSha256);
    }

    // Read back by a standard reader, every field is what was recorded, whatever it holds; the
    // prompt text never goes into the CSV.
    void csvReadsBackAsTheSameFieldsInAStandardReader() {
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        QTemporaryDir dir;
        AuditLog log(dir.path());
        const QStringList keyIds{"key_1", "a,b", "say \"hi\"", "two\nlines", "x\ry", "schlüssel ✓", "k,\"1\"\r\n=2"};
        for (int i = 0; i < keyIds.size(); ++i)
            QVERIFY(log.record({ClientAuditMode::audit, 30, true}, recordAt(QStringLiteral("2026-12-06T10:00:0%1Z").arg(i), keyIds[i]),
                               QStringLiteral("prompt-text"), QStringLiteral("c")));
        QProcess reader;
        reader.start(python, {QStringLiteral("-c"),
                              QStringLiteral("import csv,io,json,sys; rows=list(csv.reader(io.TextIOWrapper(sys.stdin.buffer, "
                                             "encoding='utf-8', newline=''), strict=True)); print(json.dumps(rows))")});
        const std::string csv = exportAll(dir.path(), AuditExport::Format::csv, true);
        QVERIFY(!csv.contains("prompt-text"));
        reader.write(QByteArray::fromStdString(csv));
        reader.closeWriteChannel();
        QVERIFY(reader.waitForFinished(10000));
        const QJsonArray rows = QJsonDocument::fromJson(reader.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), keyIds.size() + 1);
        QCOMPARE(rows[0].toArray().size(), 8);
        QCOMPARE(rows[1].toArray().toVariantList(),
                 QVariantList({"2026-12-06T10:00:00Z", "key_1", "/v1/chat/completions", "200", "12.500", "3", "5", "audit"}));
        for (int i = 0; i < keyIds.size(); ++i) {
            QCOMPARE(rows[i + 1].toArray().size(), 8);
            QCOMPARE(rows[i + 1].toArray()[1].toString(), keyIds[i]);
        }
    }

    void jsonlCarriesTextOnlyWhenAskedAndOnlyWhereItWasRecorded() {
        QTemporaryDir dir;
        AuditLog log(dir.path());
        const QString prompt = QStringLiteral("line one\n\"quoted\" \\ tab\t and ✓");
        QVERIFY(log.record({ClientAuditMode::privacy, 30, true}, recordAt(QStringLiteral("2026-12-06T10:00:00Z")), prompt, QStringLiteral("a1")));
        QVERIFY(log.record({ClientAuditMode::hash, 30, true}, recordAt(QStringLiteral("2026-12-06T10:00:01Z")), prompt, QStringLiteral("a2")));
        QVERIFY(log.record({ClientAuditMode::audit, 30, true}, recordAt(QStringLiteral("2026-12-06T10:00:02Z")), prompt, QStringLiteral("a3")));

        for (const bool withText : {false, true}) {
            AuditExport source(dir.path(), AuditExport::Format::jsonl, withText, {});
            std::string all, chunk;
            while (source.next(chunk, 10))
                all += chunk;
            const QList<QByteArray> lines = QByteArray::fromStdString(all).split('\n');
            QCOMPARE(lines.size(), 4); // three records and the empty rest after the last newline
            std::vector<AuditRecord> records;
            for (int i = 0; i < 3; ++i) {
                auto decoded = decodeJson<AuditRecord>(lines[i]);
                QVERIFY2(decoded, lines[i].constData());
                records.push_back(*decoded);
            }
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
        const std::string csv = exportAll(dir.path(), AuditExport::Format::csv, false, QStringLiteral("2026-12-05T10:00:00Z"));
        QVERIFY(!csv.contains("09:59:59"));
        QVERIFY(csv.contains("2026-12-05T10:00:00Z") && csv.contains("2026-12-06T08:00:00Z"));
    }
};

QTEST_GUILESS_MAIN(AuditLogTest)
#include "AuditLogTest.moc"
