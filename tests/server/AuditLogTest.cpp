// The audit log's files: retention by whole days, and reading back only complete lines.

#include "server/AuditLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrin;

class AuditLogTest : public QObject {
    Q_OBJECT

    static void writeDay(const QString& directory, const QDate& day, const QByteArray& contents = "{}\n") {
        QFile file(directory + QLatin1Char('/') + day.toString(Qt::ISODate) + QStringLiteral(".jsonl"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(contents);
    }

private Q_SLOTS:
    void retentionRemovesOnlyDaysOlderThanThePeriod() {
        QTemporaryDir dir;
        const QDate today(2026, 12, 6);
        for (int age = 0; age <= 10; ++age)
            writeDay(dir.path(), today.addDays(-age));
        QFile unrelated(dir.filePath(QStringLiteral("notes.txt")));
        QVERIFY(unrelated.open(QIODevice::WriteOnly));
        unrelated.close();

        AuditLog(dir.path()).prune(7, today);
        QStringList kept = QDir(dir.path()).entryList({QStringLiteral("*.jsonl")}, QDir::Files, QDir::Name);
        QCOMPARE(kept.size(), 8); // today and the seven days before it
        QCOMPARE(kept.first(), QStringLiteral("2026-11-29.jsonl"));
        QVERIFY(unrelated.exists());
    }

    void recordsAppendAndReadBackSkippingAnIncompleteLine() {
        QTemporaryDir dir;
        AuditLog log(dir.path());
        const ClientAuditLoggingSettings privacy{ClientAuditMode::privacy, 30, false};
        for (int i = 0; i < 3; ++i) {
            AuditRecord record;
            record.time = QStringLiteral("2026-12-06T10:00:0%1Z").arg(i);
            record.keyId = QStringLiteral("key_%1").arg(i);
            record.status = 200;
            QVERIFY(log.record(privacy, record, QStringLiteral("secret prompt"), QStringLiteral("answer")));
        }
        QVERIFY(log.sync());
        writeDay(dir.path(), QDate(2000, 1, 1), R"({"time":"2000-01-01T00:00:00Z","keyId":"key_old",)");

        const auto records = AuditLog::readAll(dir.path());
        QCOMPARE(records.size(), 3u);
        QCOMPARE(records[2].keyId, QStringLiteral("key_2"));
        QVERIFY(!records[0].prompt && !records[0].promptSha256);
    }
};

QTEST_GUILESS_MAIN(AuditLogTest)
#include "AuditLogTest.moc"
