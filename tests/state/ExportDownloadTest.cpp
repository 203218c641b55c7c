// An audit export on its way to a file the user names: against the real reference server, the file
// saved is the server's own export wherever it goes (same folder, another folder, another file
// system); against a scripted one, a download that fails leaves the chosen file as it was. Nothing
// that does not end in a saved file leaves a temporary file behind.
#include "base/PrivateFile.h"
#include "protocol/DaemonClient.h"
#include "state/ExportDownload.h"
#include "support/Basics.h"
#include "support/RecordedRequests.h"
#include "support/ReferenceServer.h"
#include "support/ScriptedHttpServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrin;

namespace {

QStringList leftovers(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
}

} // namespace

class ExportDownloadTest : public QObject {
    Q_OBJECT

    test::ReferenceServer server;
    std::unique_ptr<DaemonClient> client;
    QTemporaryDir proposed;
    QTemporaryDir elsewhere;
    std::optional<QTemporaryDir> otherFileSystem;

    std::shared_ptr<ExportDownload> startJsonl() {
        return ExportDownload::start(client.get(), {AuditExportRequest::Format::jsonl, true}, proposed.path(),
                                     QStringLiteral("tavrin-server-audit.jsonl"));
    }

private Q_SLOTS:
    void initTestCase() {
        const auto started = server.start();
        TAVRIN_REQUIRE(started);
        const auto recorded = test::recordChatRequests(server, 3, QStringLiteral("What is the tide at Porto?"));
        TAVRIN_REQUIRE(recorded);
        client = server.client();
        if (QFileInfo(QStringLiteral("/dev/shm")).isWritable())
            otherFileSystem.emplace(QStringLiteral("/dev/shm/tavrin-export-XXXXXX"));
    }

    void theSavedFileIsTheServersExport_data() {
        QTest::addColumn<QString>("folder");
        QTest::newRow("the proposed folder") << proposed.path();
        QTest::newRow("another folder") << elsewhere.path();
        if (otherFileSystem && otherFileSystem->isValid()) // where a rename cannot reach, if one can be had
            QTest::newRow("another file system") << otherFileSystem->path();
    }
    void theSavedFileIsTheServersExport() {
        QFETCH(QString, folder);
        const QString destination = folder + "/audit of march.jsonl";
        QVERIFY(writeFilePrivately(destination, "an older export")); // replaced after the dialog's confirmation

        const auto download = startJsonl();
        const auto answered = QCoro::waitFor(download->answered());
        QVERIFY(answered);
        const auto saved = QCoro::waitFor(download->saveAs(destination));
        TAVRIN_REQUIRE(saved);

        const auto expected = QCoro::waitFor(client->exportAuditJSONL(true));
        QVERIFY(expected);
        QCOMPARE(test::fileBytes(destination), *expected);
        QVERIFY(expected->contains("What is the tide at Porto?"));
        QCOMPARE(leftovers(proposed.path()), QStringList());
        QCOMPARE(leftovers(folder), QStringList());
    }

    // A cancelled dialog, or a screen that goes away, ends the download and removes what it wrote.
    void anExportNotSavedLeavesNothing() {
        auto cancelled = startJsonl();
        QVERIFY(QCoro::waitFor(cancelled->answered()));
        cancelled->cancel();
        QCOMPARE(leftovers(proposed.path()), QStringList());

        // One still waiting for the file is told it will not come.
        auto abandoned = startJsonl();
        QCoro::Task<ActionResult> waiting = abandoned->completed();
        abandoned->cancel();
        const ActionResult ended = QCoro::waitFor(std::move(waiting));
        QVERIFY(!ended);
        QCOMPARE(ended.error().message(), "The export was cancelled.");

        // Read where it is written: whole once completed, and gone with the download.
        auto read = startJsonl();
        QVERIFY(QCoro::waitFor(read->completed()));
        QCOMPARE(test::fileBytes(read->temporaryPath()), *QCoro::waitFor(client->exportAuditJSONL(true)));
        read.reset();
        QCOMPARE(leftovers(proposed.path()), QStringList());

        auto dropped = startJsonl();
        QVERIFY(QFileInfo::exists(dropped->temporaryPath()));
        dropped.reset();
        QCOMPARE(leftovers(proposed.path()), QStringList());
    }

    void aFailedDownloadLeavesTheChosenFileAsItWas() {
        test::ScriptedHttpServer scripted;
        scripted.route("/admin/audit/export", test::ScriptedResponse::closeMidBody(200, "{\"time\":"));
        DaemonClient failing(scripted.baseUrl(), QStringLiteral("s3cret"));
        const QString destination = elsewhere.filePath("kept.jsonl");
        QVERIFY(writeFilePrivately(destination, "yesterday's export"));

        const auto download = ExportDownload::start(&failing, {AuditExportRequest::Format::jsonl, false},
                                                    proposed.path(), QStringLiteral("tavrin-server-audit.jsonl"));
        QVERIFY(QCoro::waitFor(download->answered())); // the head said 200
        const auto saved = QCoro::waitFor(download->saveAs(destination));
        QVERIFY(!saved);
        QVERIFY2(saved.error().message().startsWith("Tavrin Keldmarch is not reachable: "),
                 qPrintable(saved.error().message()));
        QCOMPARE(test::fileBytes(destination), "yesterday's export");
        QCOMPARE(leftovers(proposed.path()), QStringList());
        QCOMPARE(leftovers(elsewhere.path()), QStringList());
    }
};

QTEST_GUILESS_MAIN(ExportDownloadTest)
#include "ExportDownloadTest.moc"
