// The model store as the Models tab meets it: bundles dropped into the companion folder, staged
// across restarts, promoted and rolled back through the real server. Which bundles the store
// takes, and which it refuses because they are not safetensors, is tried on the store itself.

#include "ServerTesting.h"

#include "server/ModelStore.h"

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
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
}

QString alias(const std::optional<ClientModelSnapshot>& s) { return s ? s->alias : QString(); }

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
        QCOMPARE(alias(m.pinState.stagedUpdate), QStringLiteral("tavrin-sample-2.0.0"));
        QVERIFY(m.pinState.previous.empty() && m.restartRequired);
        QCOMPARE(httpStatusOf(await(m_client->rollbackModel())), 409);

        QVERIFY(restart());
        m = model();
        QCOMPARE(m.running->modelSha256, first);
        QVERIFY(!m.restartRequired && m.updateAvailable);
    }

    void aBundleUnderModelResourcesIsStagedWithItsManifest() {
        const QString folder = source() + QStringLiteral("/ModelResources");
        writeFile(folder + QStringLiteral("/model.safetensors"),
                  safetensors(R"({"w":{"dtype":"U8","shape":[3],"data_offsets":[0,3]}})", "abc"));
        writeFile(folder + QStringLiteral("/manifest.json"), R"({"pipelineVersion":7,"appVersion":"3.1","alias":"tavrin-fjord"})");
        const auto store = openStore();
        QVERIFY(store);
        const ClientModelStatus m = store->status();
        QVERIFY(m.running);
        QCOMPARE(m.running->productionAlias, QStringLiteral("tavrin-fjord"));
        QCOMPARE(m.running->manifestPipelineVersion, 7);
        QCOMPARE(m.running->sourceAppVersion, std::optional(QStringLiteral("3.1")));
        QCOMPARE(m.pinState.production->sourceBundlePath, folder);
        QCOMPARE(m.pinState.production->checksums.size(), 2);
        QVERIFY(QFile::exists(m.running->stagedBundlePath + QStringLiteral("/manifest.json")));
    }

    void aFileThatIsNotSafetensorsIsNeverStaged_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("reason");
        QTest::newRow("shorter than the length") << QByteArray("abc") << "shorter than its 8-byte header length";
        QTest::newRow("length beyond the file") << safetensors(goodHeader, QByteArray(16, 'x')).replace(0, 1, "\xff")
                                                << "does not fit a file";
        QTest::newRow("header not JSON") << safetensors("{not json}", "") << "header is not a JSON object";
        QTest::newRow("unknown dtype") << safetensors(R"({"w":{"dtype":"F7","shape":[1],"data_offsets":[0,1]}})", "x")
                                       << "has no known dtype";
        QTest::newRow("data cut short") << safetensors(goodHeader, QByteArray(15, 'x')) << "lies outside the file's data";
        QTest::newRow("shape and size disagree")
            << safetensors(R"({"w":{"dtype":"F32","shape":[3],"data_offsets":[0,16]}})", QByteArray(16, 'x'))
            << "its shape needs 12";
        QTest::newRow("metadata not strings")
            << safetensors(R"({"__metadata__":{"pipeline_version":3},"w":{"dtype":"U8","shape":[1],"data_offsets":[0,1]}})", "x")
            << "is not a string";
        QTest::newRow("no tensors") << safetensors(R"({"__metadata__":{"pipeline_version":"1"}})", "") << "holds no tensors";
        QTest::newRow("no pipeline version")
            << safetensors(R"({"w":{"dtype":"U8","shape":[1],"data_offsets":[0,1]}})", "x") << "no pipeline_version";
    }
    void aFileThatIsNotSafetensorsIsNeverStaged() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, reason);
        TAVRIN_REQUIRE(writeSampleBundle(source(), QStringLiteral("1.0.0"), 1));
        const ClientModelPinState before = openStore()->status().pinState;
        QVERIFY(before.production);

        writeFile(source() + QStringLiteral("/model.safetensors"), bytes);
        const auto store = openStore();
        QVERIFY(store);
        QCOMPARE(store->status().pinState, before);
        QVERIFY(!store->status().detectedSource && !store->status().updateAvailable && store->status().running);
        const QString problem = store->sourceProblem().value_or(QString());
        QVERIFY2(problem.startsWith(QStringLiteral("model bundle not used")) && problem.contains(reason), qPrintable(problem));
        QCOMPARE(QDir(m_companion->filePath(QStringLiteral("state/models"))).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden).size(), 1);
    }
};

QTEST_GUILESS_MAIN(ModelStoreContractTest)
#include "ModelStoreContractTest.moc"
