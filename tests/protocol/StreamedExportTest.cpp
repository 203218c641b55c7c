// The audit exports streamed to a file: every byte reaches it, the answer's head is reported before
// the body, failures map as for any other operation, and a file that will not take the bytes ends
// the download with its own error.
#include "protocol/DaemonClient.h"
#include "support/ScriptedHttpServer.h"

#include <QFile>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tavrin;
using namespace std::chrono_literals;
using test::ScriptedHttpServer;
using test::ScriptedResponse;

Q_DECLARE_METATYPE(ScriptedResponse)

class StreamedExportTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedHttpServer> server;
    std::unique_ptr<DaemonClient> client;
    QTemporaryDir dir;

    struct Outcome {
        DownloadResult result;
        int answered = 0;
        qint64 lastReceived = 0;
        QByteArray file;
    };

    Outcome streamTo(const QString& path, bool jsonl) {
        auto file = std::make_unique<QFile>(path);
        if (!file->open(QIODevice::WriteOnly))
            qFatal("cannot open %s", qPrintable(path));
        TransferWatch watch;
        QSignalSpy answered(&watch, &TransferWatch::answered);
        QSignalSpy received(&watch, &TransferWatch::received);
        auto task = jsonl ? client->streamAuditJSONL(true, std::move(file), &watch)
                          : client->streamAuditCSV(std::move(file), &watch);
        Outcome outcome{QCoro::waitFor(std::move(task)), 0, 0, {}};
        outcome.answered = int(answered.count());
        outcome.lastReceived = received.isEmpty() ? 0 : received.last().at(0).toLongLong();
        QFile written(path);
        if (written.open(QIODevice::ReadOnly))
            outcome.file = written.readAll();
        return outcome;
    }

private Q_SLOTS:
    void init() {
        server = std::make_unique<ScriptedHttpServer>();
        DaemonClientConfiguration quick;
        quick.requestTimeout = quick.resourceTimeout = 2s;
        quick.idleTimeout = 1s;
        client = std::make_unique<DaemonClient>(server->baseUrl(), QStringLiteral("s3cret"), quick);
    }
    void cleanup() {
        client.reset();
        server.reset();
    }

    // Larger than the read buffer, so that the body arrives in many pieces.
    void everyByteReachesTheFile() {
        QByteArray body(3 * 1024 * 1024 + 17, Qt::Uninitialized);
        for (char& c : body)
            c = char(QRandomGenerator::global()->bounded(256));
        server->route("/admin/audit/export", ScriptedResponse::bytes(200, body));
        const Outcome outcome = streamTo(dir.filePath("audit.jsonl"), true);
        QVERIFY2(outcome.result, qPrintable(outcome.result ? QString() : outcome.result.error().message()));
        QCOMPARE(*outcome.result, body.size());
        QVERIFY(outcome.file == body);
        QCOMPARE(outcome.answered, 1);
        QCOMPARE(outcome.lastReceived, body.size());
        const auto sent = server->requests().at(0);
        QCOMPARE(sent.target, "/admin/audit/export?format=jsonl&includePromptContents=true");
        QCOMPARE(sent.header("Authorization"), std::optional<QByteArray>("Bearer s3cret"));
    }

    void failuresMapAsForEveryOperationAndWriteNothing_data() {
        QTest::addColumn<ScriptedResponse>("response");
        QTest::addColumn<QString>("message");
        QTest::addColumn<int>("answered");
        QTest::newRow("server error") << ScriptedResponse::text(500, "export failed") << "Server returned HTTP 500: export failed" << 0;
        QTest::newRow("wrong password") << ScriptedResponse::text(401, "no") << "Admin secret missing or rejected. Set it in Settings." << 0;
        QTest::newRow("binary error body") << ScriptedResponse::bytes(502, QByteArray("\xff\xfe", 2)) << "Server returned HTTP 502: <binary>" << 0;
        QTest::newRow("dropped mid-body") << ScriptedResponse::closeMidBody(200, "time,keyId\r\n") << "" << 1;
        QTest::newRow("stalled before the head") << ScriptedResponse::stall()
                                                 << "Tavrin Keldmarch is not reachable: The request timed out (no data for 1 second)." << 0;
    }
    void failuresMapAsForEveryOperationAndWriteNothing() {
        QFETCH(ScriptedResponse, response);
        QFETCH(QString, message);
        QFETCH(int, answered);
        server->route("/admin/audit/export", response);
        const Outcome outcome = streamTo(dir.filePath("usage.csv"), false);
        QVERIFY(!outcome.result);
        if (message.isEmpty()) // the transport's own words
            QVERIFY(outcome.result.error().message().startsWith("Tavrin Keldmarch is not reachable: "));
        else
            QCOMPARE(outcome.result.error().message(), message);
        QCOMPARE(outcome.answered, answered);
        if (!answered)
            QVERIFY(outcome.file.isEmpty()); // an error body never lands in the file
    }

    void aFileThatTakesNoBytesEndsTheDownloadWithItsError() {
        server->route("/admin/audit/export", ScriptedResponse::bytes(200, QByteArray(600 * 1024, 'x')));
        auto full = std::make_unique<QFile>(QStringLiteral("/dev/full"));
        QVERIFY(full->open(QIODevice::WriteOnly));
        auto task = client->streamAuditCSV(std::move(full));
        const DownloadResult result = QCoro::waitFor(std::move(task));
        QVERIFY(!result);
        QCOMPARE(result.error().message(), qt_error_string(ENOSPC));
        QVERIFY(std::holds_alternative<QString>(result.error().cause));
    }
};

QTEST_GUILESS_MAIN(StreamedExportTest)
#include "StreamedExportTest.moc"
