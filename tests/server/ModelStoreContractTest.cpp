// The model store as the Models tab meets it: bundles dropped into the companion folder, staged
// across restarts, promoted and rolled back, and refused when they are not safetensors.

#include "ServerTesting.h"

#include "server/ModelBundle.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

using namespace tavrin;
using namespace tavrin::test;

namespace {

QByteArray safetensors(const QByteArray& header, const QByteArray& data) {
    char length[8];
    qToLittleEndian(quint64(header.size()), length);
    return QByteArray(length, 8) + header + data;
}

const QByteArray goodHeader =
    R"({"__metadata__":{"pipeline_version":"3"},"w":{"dtype":"F32","shape":[2,2],"data_offsets":[0,16]}})";

void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class ModelStoreContractTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_companion;
    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;

    QString source() const { return m_companion.path() + QStringLiteral("/resources"); }

    bool start() {
        auto started = m_server->start({{QStringLiteral("--model-source"), source()}});
        if (!started)
            qWarning("%s", qPrintable(started.error()));
        m_client = m_server->client();
        return bool(started);
    }
    bool restart() { return m_server->stop() && start(); }
    ClientModelStatus model() {
        const auto status = await(m_client->status());
        return status ? status->model : ClientModelStatus{};
    }
    static QString alias(const std::optional<ClientModelSnapshot>& s) { return s ? s->alias : QString(); }

private Q_SLOTS:
    void init() {
        QDir(source()).removeRecursively();
        m_server = std::make_unique<ReferenceServer>();
    }
    void cleanup() {
        m_client.reset();
        m_server.reset();
    }

    void aServerWithoutABundleRunsNoModelAndRefusesToPromoteOrRollBack() {
        QVERIFY(start());
        const ClientModelStatus m = model();
        QVERIFY(!m.running && !m.detectedSource && !m.pinState.production && !m.updateAvailable && !m.restartRequired);
        for (auto call : {&DaemonClient::promoteModel, &DaemonClient::rollbackModel}) {
            const auto refused = await(((*m_client).*call)());
            QCOMPARE(httpStatusOf(refused), 409);
            QVERIFY(!httpBodyOf(refused).isEmpty());
        }
        QVERIFY(m_server->standardError().contains("no model.safetensors in " + source().toUtf8()));
    }

    void bundlesAreStagedPromotedAndRolledBackAcrossRestarts() {
        TAVRIN_REQUIRE(writeSampleBundle(source(), QStringLiteral("1.0.0"), 4));
        QVERIFY(start());
        ClientModelStatus m = model();
        QVERIFY(m.running);
        QCOMPARE(m.running->productionAlias, QStringLiteral("tavrin-sample-1.0.0"));
        QCOMPARE(m.running->sourceAppVersion, std::optional(QStringLiteral("1.0.0")));
        QCOMPARE(m.running->manifestPipelineVersion, 4);
        QCOMPARE(m.detectedSource, m.running);
        QVERIFY(!m.pinState.stagedUpdate && !m.updateAvailable && !m.restartRequired);
        const QString first = m.running->modelSha256;
        QVERIFY(m.running->stagedBundlePath.startsWith(m_server->stateDirectory()));
        QCOMPARE(m.pinState.production->checksums.value(QStringLiteral("model.safetensors")), first);

        // A restart with the same bundle changes nothing.
        QVERIFY(restart());
        QCOMPARE(model().pinState, m.pinState);

        // The companion delivers 2.0.0: staged at the next start, production untouched.
        TAVRIN_REQUIRE(writeSampleBundle(source(), QStringLiteral("2.0.0"), 5));
        QVERIFY(restart());
        m = model();
        QCOMPARE(alias(m.pinState.production), QStringLiteral("tavrin-sample-1.0.0"));
        QCOMPARE(alias(m.pinState.stagedUpdate), QStringLiteral("tavrin-sample-2.0.0"));
        QVERIFY(m.updateAvailable && !m.restartRequired);
        QCOMPARE(m.running->modelSha256, first);
        QVERIFY(QFile::exists(m.pinState.stagedUpdate->stagedBundlePath + QStringLiteral("/model.safetensors")));

        // The staged copy is the server's own: the companion folder may change or vanish.
        QDir(source()).removeRecursively();
        const auto promoted = await(m_client->promoteModel());
        TAVRIN_REQUIRE(promoted);
        QCOMPARE(alias((*promoted)->pinState.production), QStringLiteral("tavrin-sample-2.0.0")); // the state after it
        m = model();
        QCOMPARE(alias(m.pinState.production), QStringLiteral("tavrin-sample-2.0.0"));
        QCOMPARE(m.pinState.previous.size(), 1u);
        QCOMPARE(m.pinState.previous.front().modelSha256, first);
        QVERIFY(!m.pinState.stagedUpdate && !m.updateAvailable && m.restartRequired);
        QCOMPARE(m.running->modelSha256, first); // the running engine does not hot-swap
        QCOMPARE(httpStatusOf(await(m_client->promoteModel())), 409);

        QVERIFY(restart());
        m = model();
        QCOMPARE(m.running->productionAlias, QStringLiteral("tavrin-sample-2.0.0"));
        QVERIFY(!m.restartRequired && !m.detectedSource);

        const auto rolledBack = await(m_client->rollbackModel());
        TAVRIN_REQUIRE(rolledBack);
        QCOMPARE(alias((*rolledBack)->pinState.production), QStringLiteral("tavrin-sample-1.0.0"));
        m = model();
        QCOMPARE(alias(m.pinState.production), QStringLiteral("tavrin-sample-1.0.0"));
        QCOMPARE(alias(m.pinState.stagedUpdate), QStringLiteral("tavrin-sample-2.0.0"));
        QVERIFY(m.pinState.previous.empty() && m.restartRequired);
        QCOMPARE(httpStatusOf(await(m_client->rollbackModel())), 409);

        QVERIFY(restart());
        m = model();
        QCOMPARE(m.running->modelSha256, first);
        QVERIFY(!m.restartRequired && m.updateAvailable);
    }

    void aBundleUnderModelResourcesWithAManifestIsFound() {
        const QString folder = source() + QStringLiteral("/ModelResources");
        const QByteArray header = R"({"w":{"dtype":"U8","shape":[3],"data_offsets":[0,3]}})";
        writeFile(folder + QStringLiteral("/model.safetensors"), safetensors(header, "abc"));
        writeFile(folder + QStringLiteral("/manifest.json"), R"({"pipelineVersion":7,"appVersion":"3.1","alias":"tavrin-fjord"})");
        QVERIFY(start());
        const ClientModelStatus m = model();
        QVERIFY(m.running);
        QCOMPARE(m.running->productionAlias, QStringLiteral("tavrin-fjord"));
        QCOMPARE(m.running->manifestPipelineVersion, 7);
        QCOMPARE(m.running->sourceAppVersion, std::optional(QStringLiteral("3.1")));
        QCOMPARE(m.pinState.production->sourceBundlePath, folder);
        QCOMPARE(m.pinState.production->checksums.size(), 2);
        QVERIFY(QFile::exists(m.running->stagedBundlePath + QStringLiteral("/manifest.json")));
    }

    void theCompanionFolderMayBeNamedInTheEnvironment() {
        TAVRIN_REQUIRE(writeSampleBundle(source(), QStringLiteral("4.2.0"), 2));
        TAVRIN_REQUIRE(m_server->start({{}, {QStringLiteral("TAVRIN_MODEL_SOURCE=") + source()}}));
        m_client = m_server->client();
        const ClientModelStatus m = model();
        QVERIFY(m.running);
        QCOMPARE(m.running->sourceAppVersion, std::optional(QStringLiteral("4.2.0")));
    }

    void aFileThatIsNotSafetensorsIsNeverStaged_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QByteArray>("reason");
        QTest::newRow("shorter than the length") << QByteArray("abc") << QByteArray("shorter than its 8-byte header length");
        QTest::newRow("length beyond the file") << safetensors(goodHeader, QByteArray(16, 'x')).replace(0, 1, "\xff")
                                                << QByteArray("does not fit a file");
        QTest::newRow("header not JSON") << safetensors("{not json}", "") << QByteArray("header is not a JSON object");
        QTest::newRow("unknown dtype") << safetensors(R"({"w":{"dtype":"F7","shape":[1],"data_offsets":[0,1]}})", "x")
                                       << QByteArray("has no known dtype");
        QTest::newRow("data cut short") << safetensors(goodHeader, QByteArray(15, 'x')) << QByteArray("lies outside the file's data");
        QTest::newRow("shape and size disagree")
            << safetensors(R"({"w":{"dtype":"F32","shape":[3],"data_offsets":[0,16]}})", QByteArray(16, 'x'))
            << QByteArray("its shape needs 12");
        QTest::newRow("metadata not strings")
            << safetensors(R"({"__metadata__":{"pipeline_version":3},"w":{"dtype":"U8","shape":[1],"data_offsets":[0,1]}})", "x")
            << QByteArray("is not a string");
        QTest::newRow("no tensors") << safetensors(R"({"__metadata__":{"pipeline_version":"1"}})", "")
                                    << QByteArray("holds no tensors");
        QTest::newRow("no pipeline version")
            << safetensors(R"({"w":{"dtype":"U8","shape":[1],"data_offsets":[0,1]}})", "x") << QByteArray("no pipeline_version");
    }
    void aFileThatIsNotSafetensorsIsNeverStaged() {
        QFETCH(QByteArray, bytes);
        QFETCH(QByteArray, reason);
        TAVRIN_REQUIRE(writeSampleBundle(source(), QStringLiteral("1.0.0"), 1));
        QVERIFY(start());
        const ClientModelPinState before = model().pinState;

        writeFile(source() + QStringLiteral("/model.safetensors"), bytes);
        QVERIFY(restart());
        const ClientModelStatus m = model();
        QCOMPARE(m.pinState, before);
        QVERIFY(!m.detectedSource && !m.updateAvailable);
        QVERIFY(m.running);
        const QByteArray log = m_server->standardError();
        QVERIFY2(log.contains("model bundle not used") && log.contains(reason), log.constData());
        QCOMPARE(QDir(m_server->stateDirectory() + QStringLiteral("/models")).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);
    }
};

QTEST_GUILESS_MAIN(ModelStoreContractTest)
#include "ModelStoreContractTest.moc"
