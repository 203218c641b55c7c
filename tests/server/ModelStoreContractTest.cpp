// The model store as the Models tab meets it: bundles dropped into the companion folder, staged
// across restarts, promoted and rolled back through the real server. Which bundles the store
// takes, and which it refuses because they are not safetensors, is tried on the store itself.

#include "ServerTesting.h"

#include "server/stores/ModelStore.h"

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

} // namespace

class ModelStoreContractTest : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_companion;
    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;

    QString source() const { return m_companion->path() + QStringLiteral("/resources"); }

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
    // The store as a server opens it at start, on a state folder of the test's.
    std::unique_ptr<ModelStore> openStore() {
        auto opened = ModelStore::open(*StateStore::open(m_companion->filePath(QStringLiteral("state"))), {source()});
        return opened ? std::move(*opened) : nullptr;
    }

private Q_SLOTS:
    void init() {
        m_companion = std::make_unique<QTemporaryDir>();
        m_server = std::make_unique<ReferenceServer>();
    }
    void cleanup() {
        m_client.reset();
        m_server.reset();
    }

    // The Models tab walks the road from a staged bundle to a rollback; here what it does not see: a
    // server without a bundle, what the store keeps of a bundle's manifest, a restart that changes
    // nothing, a staged copy that outlives the companion folder, and a rollback with nothing left.
    void bundlesAreStagedPromotedAndRolledBackAcrossRestarts() {
        QVERIFY(start());
        ClientModelStatus m = model();
        QVERIFY(!m.running && !m.detectedSource && !m.pinState.production && !m.updateAvailable && !m.restartRequired);
        for (auto call : {&DaemonClient::promoteModel, &DaemonClient::rollbackModel}) {
            const auto refused = await(((*m_client).*call)());
            QVERIFY(httpStatusOf(refused) == 409 && !httpBodyOf(refused).isEmpty());
        }
        QVERIFY(m_server->standardError().contains("no model.safetensors in " + source().toUtf8()));

        TAVRIN_REQUIRE(writeSampleBundle(source(), "1.0.0", 4));
        QVERIFY(restart());
        m = model();
        QVERIFY(m.running && m.running->stagedBundlePath.startsWith(m_server->stateDirectory()));
        QVERIFY(m.running->productionAlias == "tavrin-sample-1.0.0" && m.running->manifestPipelineVersion == 4);
        QVERIFY(m.running->sourceAppVersion == std::optional<QString>("1.0.0") && m.detectedSource == m.running);
        const QString first = m.running->modelSha256;
        QVERIFY(restart()); // the same bundle again changes nothing
        QCOMPARE(model().pinState, m.pinState);

        TAVRIN_REQUIRE(writeSampleBundle(source(), "2.0.0", 5));
        QVERIFY(restart());
        QDir(source()).removeRecursively();
        TAVRIN_REQUIRE(await(m_client->promoteModel()));
        QVERIFY(restart());
        m = model();
        QVERIFY(m.running->productionAlias == "tavrin-sample-2.0.0" && !m.detectedSource); // from the staged copy
        TAVRIN_REQUIRE(await(m_client->rollbackModel()));
        QCOMPARE(httpStatusOf(await(m_client->rollbackModel())), 409);
        QVERIFY(restart());
        m = model();
        QVERIFY(m.running->modelSha256 == first && !m.restartRequired && m.updateAvailable);
    }

    void aBundleUnderModelResourcesIsStagedWithItsManifest() {
        const QString folder = source() + QStringLiteral("/ModelResources");
        QVERIFY(writeBytes(folder + QStringLiteral("/model.safetensors"),
                           safetensors(R"({"w":{"dtype":"U8","shape":[3],"data_offsets":[0,3]}})", "abc")));
        QVERIFY(writeBytes(folder + QStringLiteral("/manifest.json"), R"({"pipelineVersion":7,"appVersion":"3.1","alias":"tavrin-fjord"})"));
        const auto store = openStore();
        const ClientModelStatus m = store ? store->status() : ClientModelStatus{};
        QVERIFY(m.running && QFile::exists(m.running->stagedBundlePath + "/manifest.json"));
        QVERIFY(m.running->productionAlias == "tavrin-fjord" && m.running->manifestPipelineVersion == 7);
        QCOMPARE(m.running->sourceAppVersion, std::optional<QString>("3.1"));
        QVERIFY(m.pinState.production->sourceBundlePath == folder && m.pinState.production->checksums.size() == 2);
    }

    void aFileThatIsNotSafetensorsIsNeverStaged() {
        const std::pair<QByteArray, const char*> cases[] = {
            {"abc", "shorter than its 8-byte header length"},
            {safetensors(goodHeader, QByteArray(16, 'x')).replace(0, 1, "\xff"), "does not fit a file"},
            {safetensors("{not json}", ""), "header is not a JSON object"},
            {safetensors(R"({"w":{"dtype":"F7","shape":[1],"data_offsets":[0,1]}})", "x"), "has no known dtype"},
            {safetensors(goodHeader, QByteArray(15, 'x')), "lies outside the file's data"},
            {safetensors(R"({"w":{"dtype":"F32","shape":[3],"data_offsets":[0,16]}})", QByteArray(16, 'x')), "its shape needs 12"},
            {safetensors(R"({"__metadata__":{"pipeline_version":3},"w":{"dtype":"U8","shape":[1],"data_offsets":[0,1]}})", "x"),
             "is not a string"},
            {safetensors(R"({"__metadata__":{"pipeline_version":"1"}})", ""), "holds no tensors"},
            {safetensors(R"({"w":{"dtype":"U8","shape":[1],"data_offsets":[0,1]}})", "x"), "no pipeline_version"}};
        for (const auto& [bytes, reason] : cases) {
            init();
            TAVRIN_REQUIRE(writeSampleBundle(source(), "1.0.0", 1));
            const ClientModelPinState before = openStore()->status().pinState;
            QVERIFY(before.production);
            QVERIFY(writeBytes(source() + "/model.safetensors", bytes));
            const auto store = openStore();
            QVERIFY(store && store->status().pinState == before && store->status().running);
            QVERIFY(!store->status().detectedSource && !store->status().updateAvailable);
            const QString problem = store->sourceProblem().value_or(QString());
            QVERIFY2(problem.startsWith("model bundle not used") && problem.contains(QLatin1StringView(reason)), qPrintable(problem));
            QCOMPARE(QDir(m_companion->filePath("state/models")).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);
        }
    }
};

QTEST_GUILESS_MAIN(ModelStoreContractTest)
#include "ModelStoreContractTest.moc"
