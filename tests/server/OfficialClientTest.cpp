// The official OpenAI client for Node, unmodified, against the real server in front of a scripted
// engine: what a user's own program sees through the gateway. The client is installed into the
// build's node-clients folder by scripts/test.sh (pinned in tests/clients); this test never
// fetches anything. Without node or the client it is skipped, except in CI, where a missing
// install step must show.

#include "ServerTesting.h"
#include "support/ScriptedEngine.h"
#include "support/ScriptedHttpServer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcessEnvironment>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QString servedModel = QStringLiteral("scripted-model-7b");

// Where node and the client are, or why they cannot be used.
struct NodeClient {
    QString node;
    QString modules; // the folder node takes packages from
    QString script;
};

std::expected<NodeClient, QString> findNodeClient() {
    NodeClient found;
    found.node = QStandardPaths::findExecutable(QStringLiteral("node"));
    if (found.node.isEmpty())
        return std::unexpected(QStringLiteral("node is not installed"));
    const QString folder = qEnvironmentVariable("TAVRIN_NODE_CLIENTS");
    found.modules = folder + QStringLiteral("/node_modules");
    if (folder.isEmpty() || !QFileInfo::exists(found.modules + QStringLiteral("/openai/package.json")))
        return std::unexpected(QStringLiteral("the openai package is not installed in %1 (scripts/test.sh installs it)").arg(folder));
    found.script = qEnvironmentVariable("TAVRIN_SOURCE_DIR") + QStringLiteral("/tests/clients/openai-client.cjs");
    return found;
}

} // namespace

class OfficialClientTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theOfficialClientGetsWholeAndStreamedAnswersWithUsageAndTheModelList() {
        const auto client = findNodeClient();
        if (!client) {
            if (qEnvironmentVariable("CI") == QLatin1StringView("true"))
                QFAIL(qPrintable(client.error()));
            QSKIP(qPrintable(client.error()));
        }
        ScriptedHttpServer upstream;
        upstream.route("/v1/chat/completions", streamed(eventStream({"Spring tides ", "follow ", "the moon."})));
        upstream.route("/v1/models", modelListOf(servedModel));
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        const ClientEngineSettings engine{"openai", upstream.baseUrl().toString() + "/v1", servedModel, {}, {}, {}, {}};
        TAVRIN_REQUIRE(await(server.client()->updateEngineSettings(engine)));
        const auto key = await(server.client()->createKey(QStringLiteral("node client"), std::nullopt));
        TAVRIN_REQUIRE(key);

        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("NODE_PATH"), client->modules);
        environment.insert(QStringLiteral("TAVRIN_BASE_URL"), QStringLiteral("http://127.0.0.1:%1/v1").arg(server.port()));
        environment.insert(QStringLiteral("TAVRIN_API_KEY"), key->key);
        environment.insert(QStringLiteral("TAVRIN_MODEL"), servedModel);
        const Ran ran = runProgram(client->node, {client->script}, {}, environment);
        QVERIFY2(ran.status == 0, ran.err.constData());
        const QJsonObject seen = QJsonDocument::fromJson(ran.out).object();
        QVERIFY2(!seen.isEmpty(), ran.out.constData());

        const QJsonObject usage{{"prompt_tokens", 31}, {"completion_tokens", 17}, {"total_tokens", 48}};
        const QJsonObject whole = seen["whole"].toObject();
        QCOMPARE(whole["content"].toString(), "Spring tides follow the moon.");
        QCOMPARE(whole["finishReason"].toString(), "stop");
        QCOMPARE(whole["usage"].toObject(), usage);

        const QJsonObject stream = seen["streamed"].toObject();
        QCOMPARE(stream["content"].toString(), "Spring tides follow the moon.");
        QCOMPARE(stream["finishReason"].toString(), "stop");
        QVERIFY(stream["chunks"].toInt() >= 3); // it came in pieces, not as one
        QCOMPARE(stream["usage"].toObject(), usage);

        QCOMPARE(seen["models"].toArray(), QJsonArray{servedModel});
        // Both answers were counted against the key the client used.
        const auto keys = await(server.client()->listKeys());
        QVERIFY(keys && keys->size() == 1);
        QCOMPARE(keys->front().promptTokens, 2 * 31);
        QCOMPARE(keys->front().completionTokens, 2 * 17);
    }
};

QTEST_GUILESS_MAIN(OfficialClientTest)
#include "OfficialClientTest.moc"
