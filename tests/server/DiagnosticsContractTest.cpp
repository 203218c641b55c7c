// What the Logs and Diagnostics tabs take away from the server: audit exports and support
// bundles, over real HTTP, with prompt text only where the mode recorded it, the request asked
// for it and the master switch allows it, and never a secret.

#include "support/HttpProbe.h"
#include "ServerTesting.h"

#include "server/stores/AuditLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

using namespace tavrin;
using namespace tavrin::test;

class DiagnosticsContractTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;
    QString m_key;

    int chat(const QString& word) {
        const QByteArray body = "{\"messages\":[{\"role\":\"user\",\"content\":\"tell me about " + word.toUtf8() + "\"}]}";
        const auto answer = exchange(m_server->port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(m_key).json(body));
        return answer ? answer->status : 0;
    }
    QByteArray csvExport() {
        const auto csv = await(m_client->exportAuditCSV());
        return csv ? *csv : QByteArray("failed");
    }
    void setLogging(ClientAuditLoggingSettings settings) { QVERIFY(await(m_client->updateLoggingSettings(settings))); }

    // A record `age` days old, in the day file the server would have written it to.
    QString writeOldRecord(int age, const char* keyId) {
        const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-age);
        AuditRecord record;
        record.time = old.toString(Qt::ISODate);
        record.keyId = QLatin1StringView(keyId);
        const QString file = m_server->stateDirectory() + QStringLiteral("/audit/") + old.date().toString(Qt::ISODate) + QStringLiteral(".jsonl");
        writeBytes(file, encodeJson(record) + '\n');
        return file;
    }

    // Unpacks a zip with a standard reader: its sorted entry names, and every entry's bytes.
    static std::pair<QByteArray, QMap<QString, QByteArray>> unzip(const QString& path) {
        QTemporaryDir unpacked;
        const auto names = python("import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); bad=z.testzip(); "
                                  "assert bad is None, bad; z.extractall(sys.argv[2]); print(' '.join(sorted(z.namelist())))",
                                  {path, unpacked.path()});
        if (!names)
            return {names.error(), {}};
        QMap<QString, QByteArray> entries;
        for (const QFileInfo& file : QDir(unpacked.path()).entryInfoList(QDir::Files))
            entries.insert(file.fileName(), fileBytes(file.filePath()));
        return {names->trimmed(), entries};
    }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<ReferenceServer>();
        TAVRIN_REQUIRE(m_server->start());
        m_client = m_server->client();
        m_key = await(m_client->createKey(QStringLiteral("diagnosed"), std::nullopt)).value_or(ClientCreatedAPIKey{}).key;
        QVERIFY(!m_key.isEmpty());
    }
    void cleanup() {
        m_client.reset();
        m_server.reset();
    }

    // One request in each recording mode: a changed mode applies to the next request at once,
    // every record keeps the mode it was made in across a restart, "none" keeps nothing.
    void exportsAndBundlesCarryPromptTextOnlyWhenRecordedAllowedAndAsked() {
        if (QStandardPaths::findExecutable(QStringLiteral("python3")).isEmpty())
            QSKIP("python3 is needed to read the archive back");
        for (const auto mode : allCases<ClientAuditMode>()) {
            setLogging({mode, 30, false});
            QCOMPARE(chat(QStringLiteral("quokka-") + rawValue(mode)), 200);
        }
        TAVRIN_REQUIRE(m_server->restart());
        m_client = m_server->client();
        const QList<QByteArray> rows = csvExport().trimmed().split('\n'); // the header, privacy, hash and audit
        QVERIFY(rows.size() == 4 && rows[0].startsWith("time,keyId,endpoint,status,responseTimeMs"));
        QVERIFY(rows[1].contains(",privacy") && rows[3].contains(",audit") && !rows.join().contains("quokka"));

        for (const bool masterSwitch : {false, true})
            for (const bool asked : {false, true}) {
                const QByteArray combination = QByteArray("switch ") + (masterSwitch ? "on" : "off") + (asked ? ", asked" : "");
                setLogging({ClientAuditMode::audit, 30, masterSwitch});
                const QByteArray jsonl = await(m_client->exportAuditJSONL(asked)).value_or("failed");
                QVERIFY(jsonl.count('\n') == 3 && !jsonl.contains("quokka-privacy") && !jsonl.contains("quokka-hash"));
                QVERIFY2(jsonl.contains("quokka-audit") == (masterSwitch && asked), combination.constData());
                const auto hashed = decodeJson<AuditRecord>(jsonl.split('\n')[1]);
                QVERIFY(hashed && hashed->promptSha256 && hashed->mode == ClientAuditMode::hash);

                const auto bundle = await(m_client->createDiagnostics(asked));
                TAVRIN_REQUIRE(bundle);
                QVERIFY2(bundle->promptContentsIncluded == (masterSwitch && asked), combination.constData());
                const QString said = masterSwitch && asked ? QStringLiteral("with the prompt contents of 1 audited requests")
                                     : asked              ? QStringLiteral("master switch")
                                                          : QStringLiteral("Prompt contents are redacted.");
                QVERIFY2(bundle->message.contains(said), qPrintable(bundle->message));
                const QFileInfo info(bundle->bundlePath);
                QVERIFY(info.absoluteFilePath().startsWith(m_server->stateDirectory() + QLatin1Char('/')) &&
                        (info.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser)) == (QFileDevice::ReadOwner | QFileDevice::WriteOwner));

                const auto [names, entries] = unzip(bundle->bundlePath);
                QCOMPARE(names, QByteArray("audit-usage.csv audit.jsonl hardware.json logging.json server.log status.json"));
                QVERIFY(decodeJson<ClientServerStatus>(entries["status.json"]) && decodeJson<ClientHardwareReport>(entries["hardware.json"]));
                QCOMPARE(entries["audit-usage.csv"].count('\n'), 4);
                QVERIFY2(entries["audit.jsonl"].contains("quokka-audit") == (masterSwitch && asked), combination.constData());
                QVERIFY(entries["server.log"].contains("no model bundle"));
                const QByteArray everything = entries.values().join();
                QVERIFY(!everything.contains("quokka-privacy") && !everything.contains("quokka-hash"));
                QVERIFY(!everything.contains(m_key.toUtf8()) && !everything.contains(m_server->adminSecret().toUtf8()));
            }
    }

    // Exports name their files and refuse unknown formats, and a choice made twice, which would mean
    // whichever the server happened to read. Records older than the retention go when the server
    // starts, and at once when it is shortened.
    void exportsNameTheirFilesAndRecordsBeyondTheRetentionGo() {
        const auto csv = exchange(m_server->port(), HttpCall{"GET", "/admin/audit/export?format=csv"}.bearer(m_server->adminSecret()));
        QVERIFY(csv && csv->header("Content-Type") == std::optional<QByteArray>("text/csv; charset=utf-8"));
        QVERIFY(csv->header("Content-Disposition")->contains("tavrin-server-usage.csv")); // the file's name
        for (const QByteArray target : {"/admin/audit/export?format=xml", "/admin/audit/export",
                                        "/admin/audit/export?format=jsonl&includePromptContents=yes",
                                        "/admin/audit/export?format=csv&format=jsonl",
                                        "/admin/audit/export?format=jsonl&includePromptContents=false&includePromptContents=true"})
            QCOMPARE(exchange(m_server->port(), HttpCall{"GET", target}.bearer(m_server->adminSecret()))->status, 400);

        const QString month = writeOldRecord(31, "key_month");
        const QString weeks = writeOldRecord(20, "key_weeks");
        TAVRIN_REQUIRE(m_server->restart());
        m_client = m_server->client();
        QVERIFY(!QFile::exists(month) && QFile::exists(weeks));
        QVERIFY(!csvExport().contains("key_month") && csvExport().contains("key_weeks"));
        setLogging({ClientAuditMode::privacy, 7, false});
        QVERIFY(!csvExport().contains("key_weeks") && !QFile::exists(weeks));
        QCOMPARE(chat(QStringLiteral("wombat")), 200);
        QCOMPARE(csvExport().count('\n'), 2);
    }
};

QTEST_GUILESS_MAIN(DiagnosticsContractTest)
#include "DiagnosticsContractTest.moc"
