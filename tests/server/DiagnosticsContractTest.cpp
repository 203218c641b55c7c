// What the Logs and Diagnostics tabs take away from the server: audit exports and support
// bundles, over real HTTP, with prompt text only where the mode recorded it, the request asked
// for it and the master switch allows it, and never a secret.

#include "support/HttpProbe.h"
#include "ServerTesting.h"

#include "server/AuditLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

using namespace tavrin;
using namespace tavrin::test;

class DiagnosticsContractTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;
    QString m_key;

    bool restart() {
        if (!m_server->restart())
            return false;
        m_client = m_server->client();
        return true;
    }
    int chat(const QString& word) {
        const QByteArray body = "{\"messages\":[{\"role\":\"user\",\"content\":\"tell me about " + word.toUtf8() + "\"}]}";
        const auto answer = exchange(m_server->port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(m_key).json(body));
        return answer ? answer->status : 0;
    }
    QByteArray exportOf(const QByteArray& target) {
        const auto answer = exchange(m_server->port(), HttpCall{"GET", target}.bearer(m_server->adminSecret()));
        return answer && answer->status == 200 ? answer->body : QByteArray("failed");
    }
    void setLogging(ClientAuditLoggingSettings settings) { QVERIFY(await(m_client->updateLoggingSettings(settings))); }

    // One request in each recording mode: a changed mode applies to the next request at once,
    // and every record keeps the mode it was made in, across a restart.
    void recordOneRequestPerMode() {
        for (const auto mode : allCases<ClientAuditMode>()) {
            setLogging({mode, 30, false});
            QCOMPARE(chat(QStringLiteral("quokka-") + rawValue(mode)), 200);
        }
        QVERIFY(restart());
    }

    // A record `age` days old, in the day file the server would have written it to.
    QString writeOldRecord(int age, const char* keyId) {
        const QDateTime old = QDateTime::currentDateTimeUtc().addDays(-age);
        AuditRecord record;
        record.time = old.toString(Qt::ISODate);
        record.keyId = QLatin1StringView(keyId);
        record.endpoint = QStringLiteral("/v1/chat/completions");
        record.status = 200;
        const QString file = m_server->stateDirectory() + QStringLiteral("/audit/") + old.date().toString(Qt::ISODate) + QStringLiteral(".jsonl");
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile day(file);
        if (day.open(QIODevice::Append))
            day.write(encodeJson(record) + '\n');
        return file;
    }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<ReferenceServer>();
        TAVRIN_REQUIRE(m_server->start());
        m_client = m_server->client();
        const auto created = await(m_client->createKey(QStringLiteral("diagnosed"), std::nullopt));
        TAVRIN_REQUIRE(created);
        m_key = created->key;
    }
    void cleanup() {
        m_client.reset();
        m_server.reset();
    }

    void exportsCarryPromptTextOnlyWhenAskedAllowedAndRecorded_data() {
        QTest::addColumn<bool>("masterSwitch");
        QTest::addColumn<bool>("asked");
        QTest::newRow("neither") << false << false;
        QTest::newRow("asked, switch off") << false << true;
        QTest::newRow("switch on, not asked") << true << false;
        QTest::newRow("asked and allowed") << true << true;
    }
    void exportsCarryPromptTextOnlyWhenAskedAllowedAndRecorded() {
        QFETCH(bool, masterSwitch);
        QFETCH(bool, asked);
        recordOneRequestPerMode();
        setLogging({ClientAuditMode::audit, 30, masterSwitch});

        const auto csv = await(m_client->exportAuditCSV());
        TAVRIN_REQUIRE(csv);
        const QList<QByteArray> rows = csv->trimmed().split('\n');
        QCOMPARE(rows.size(), 4); // the header and the privacy, hash and audit requests
        QVERIFY(rows[0].startsWith("time,keyId,endpoint,status,responseTimeMs"));
        QVERIFY(rows[1].contains(",privacy") && rows[3].contains(",audit"));
        QVERIFY(!csv->contains("quokka"));

        const auto jsonl = await(m_client->exportAuditJSONL(asked));
        TAVRIN_REQUIRE(jsonl);
        QCOMPARE(jsonl->count('\n'), 3);
        QVERIFY(!jsonl->contains("quokka-privacy") && !jsonl->contains("quokka-hash") && !jsonl->contains("quokka-none"));
        QCOMPARE(jsonl->contains("quokka-audit"), masterSwitch && asked);
        const auto hashed = decodeJson<AuditRecord>(jsonl->split('\n')[1]);
        QVERIFY(hashed && hashed->promptSha256 && hashed->mode == ClientAuditMode::hash);
    }

    void exportsNameTheirFilesAndRefuseUnknownFormats() {
        const auto csv = exchange(m_server->port(), HttpCall{"GET", "/admin/audit/export?format=csv"}.bearer(m_server->adminSecret()));
        TAVRIN_REQUIRE(csv);
        QCOMPARE(csv->header("Content-Type"), std::optional<QByteArray>("text/csv; charset=utf-8"));
        QVERIFY(csv->header("Content-Disposition")->contains("tavrin-server-usage.csv"));
        for (const QByteArray target : {"/admin/audit/export?format=xml", "/admin/audit/export",
                                        "/admin/audit/export?format=jsonl&includePromptContents=yes"}) {
            const auto refused = exchange(m_server->port(), HttpCall{"GET", target}.bearer(m_server->adminSecret()));
            TAVRIN_REQUIRE(refused);
            QCOMPARE(refused->status, 400);
        }
    }

    void recordsBeyondTheRetentionAreGoneAfterARestart() {
        const QString file = writeOldRecord(31, "key_old");
        QVERIFY(restart());
        QVERIFY(!QFile::exists(file));
        QVERIFY(!exportOf("/admin/audit/export?format=csv").contains("key_old"));
    }

    void aShorterRetentionRemovesOlderRecordsAtOnce() {
        const QString file = writeOldRecord(20, "key_old");
        setLogging({ClientAuditMode::privacy, 365, false});
        QVERIFY(exportOf("/admin/audit/export?format=csv").contains("key_old"));
        setLogging({ClientAuditMode::privacy, 7, false});
        QVERIFY(!exportOf("/admin/audit/export?format=csv").contains("key_old"));
        QVERIFY(!QFile::exists(file));
        QCOMPARE(chat(QStringLiteral("wombat")), 200);
        QCOMPARE(exportOf("/admin/audit/export?format=csv").count('\n'), 2);
    }

    void noneModeRecordsNothing() {
        setLogging({ClientAuditMode::none, 30, true});
        QCOMPARE(chat(QStringLiteral("echidna")), 200);
        QCOMPARE(await(m_client->exportAuditJSONL(true)).value_or("x"), QByteArray());
    }

    void supportBundlesHoldTheSummaryAndOnlyAllowedPromptText_data() {
        QTest::addColumn<bool>("masterSwitch");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<QString>("message");
        QTest::newRow("redacted") << true << false << "Prompt contents are redacted.";
        QTest::newRow("asked, switch off") << false << true << "master switch";
        QTest::newRow("asked and allowed") << true << true << "with the prompt contents of 1 audited requests";
    }
    void supportBundlesHoldTheSummaryAndOnlyAllowedPromptText() {
        QFETCH(bool, masterSwitch);
        QFETCH(bool, asked);
        QFETCH(QString, message);
        const QString python = QStandardPaths::findExecutable(QStringLiteral("python3"));
        if (python.isEmpty())
            QSKIP("python3 is needed to read the archive back");
        recordOneRequestPerMode();
        setLogging({ClientAuditMode::audit, 30, masterSwitch});

        const auto bundle = await(m_client->createDiagnostics(asked));
        TAVRIN_REQUIRE(bundle);
        QCOMPARE(bundle->promptContentsIncluded, masterSwitch && asked);
        QVERIFY2(bundle->message.contains(message), qPrintable(bundle->message));
        const QFileInfo info(bundle->bundlePath);
        QVERIFY(info.isFile());
        QVERIFY(info.absoluteFilePath().startsWith(m_server->stateDirectory() + QLatin1Char('/')));
        QCOMPARE(info.permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
                 QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        QTemporaryDir unpacked;
        QProcess reader;
        reader.start(python, {QStringLiteral("-c"),
                              QStringLiteral("import sys,zipfile; z=zipfile.ZipFile(sys.argv[1]); bad=z.testzip(); "
                                             "assert bad is None, bad; z.extractall(sys.argv[2]); print(' '.join(sorted(z.namelist())))"),
                              bundle->bundlePath, unpacked.path()});
        QVERIFY(reader.waitForFinished(20000));
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        QCOMPARE(reader.readAllStandardOutput().trimmed(),
                 QByteArray("audit-usage.csv audit.jsonl hardware.json logging.json server.log status.json"));

        QByteArray everything;
        for (const QFileInfo& file : QDir(unpacked.path()).entryInfoList(QDir::Files)) {
            QFile f(file.filePath());
            QVERIFY(f.open(QIODevice::ReadOnly));
            everything += f.readAll();
        }
        const auto read = [&](const char* name) {
            QFile f(unpacked.filePath(QLatin1StringView(name)));
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        };
        QVERIFY(decodeJson<ClientServerStatus>(read("status.json")));
        QVERIFY(decodeJson<ClientHardwareReport>(read("hardware.json")));
        QCOMPARE(read("audit-usage.csv").count('\n'), 4);
        QCOMPARE(read("audit.jsonl").contains("quokka-audit"), masterSwitch && asked);
        QVERIFY(read("server.log").contains("no model bundle"));
        QVERIFY(!everything.contains("quokka-privacy") && !everything.contains("quokka-hash"));
        QVERIFY(!everything.contains(m_key.toUtf8()));
        QVERIFY(!everything.contains(m_server->adminSecret().toUtf8()));
    }
};

QTEST_GUILESS_MAIN(DiagnosticsContractTest)
#include "DiagnosticsContractTest.moc"
