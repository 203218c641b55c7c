// The inference surface that API keys are for: scopes, usage counters, the preamble,
// streaming, admission control, CORS and the IP allowlist, over real HTTP.

#include "support/HttpProbe.h"
#include "ServerTesting.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <future>
#include <variant>
#include <vector>

using namespace tavrin;
using namespace tavrin::test;

namespace {

const QByteArray chatBody = R"({"model":"tavrin-echo","messages":[{"role":"user","content":"How warm is it in Lisbon today?"}]})";

HttpCall chat(const QString& key, const QByteArray& body = chatBody) {
    return HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(body);
}

QJsonObject jsonOf(const QByteArray& bytes) { return QJsonDocument::fromJson(bytes).object(); }

// Walks object members and array indexes: field(doc, {"choices", 0, "message", "content"}).
QJsonValue field(QJsonValue value, std::initializer_list<std::variant<const char*, int>> path) {
    for (const auto& step : path) {
        if (const auto* key = std::get_if<const char*>(&step))
            value = value.toObject().value(QLatin1StringView(*key));
        else
            value = value.toArray().at(std::get<int>(step));
    }
    return value;
}

QString answerText(const HttpAnswer& answer) { return field(jsonOf(answer.body), {"choices", 0, "message", "content"}).toString(); }

} // namespace

class InferenceContractTest : public QObject {
    Q_OBJECT

    // One server for the tests that leave its settings as they found them.
    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;

    ClientCreatedAPIKey createKey(const QString& label, std::optional<std::vector<ClientAPIKeyScope>> scopes = std::nullopt) {
        return await(m_client->createKey(label, std::move(scopes))).value_or(ClientCreatedAPIKey{});
    }
    std::expected<HttpAnswer, QString> send(const HttpCall& call) { return exchange(m_server->port(), call); }

private Q_SLOTS:
    void initTestCase() {
        m_server = std::make_unique<ReferenceServer>();
        TAVRIN_REQUIRE(m_server->start());
        m_client = m_server->client();
    }
    void cleanupTestCase() {
        m_client.reset();
        QCOMPARE(m_server->stop().value_or(-1), 0);
    }

    void keysThatAreNotActiveAreRefused() {
        const auto revoked = createKey(QStringLiteral("revoked"));
        const auto rotated = createKey(QStringLiteral("rotated"));
        const auto deleted = createKey(QStringLiteral("deleted"));
        TAVRIN_REQUIRE(await(m_client->revokeKey(revoked.record.id)));
        TAVRIN_REQUIRE(await(m_client->rotateKey(rotated.record.id)));
        TAVRIN_REQUIRE(await(m_client->deleteKey(deleted.record.id)));
        for (const QString& presented : {QString(), QStringLiteral("tk-") + QString(43, QLatin1Char('A')), m_server->adminSecret(),
                                         revoked.key, rotated.key, deleted.key})
            for (const auto& call : {chat(presented), HttpCall{"GET", "/v1/models"}.bearer(presented)})
                QCOMPARE(send(call).value_or(HttpAnswer{}).status, 401);
    }

    void readonlyKeyMayListModelsButNotGenerate_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("body");
        QTest::newRow("chat completions") << QByteArray("/v1/chat/completions") << chatBody;
        QTest::newRow("native chat") << QByteArray("/api/chat") << chatBody;
        QTest::newRow("generate") << QByteArray("/api/generate") << QByteArray(R"({"prompt":"hi","stream":false})");
    }
    void readonlyKeyMayListModelsButNotGenerate() {
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, body);
        const QString readonly = createKey(QStringLiteral("monitor"), std::vector{ClientAPIKeyScope::readonly}).key;
        const auto models = send(HttpCall{"GET", "/v1/models"}.bearer(readonly));
        TAVRIN_REQUIRE(models);
        QCOMPARE(field(jsonOf(models->body), {"data", 0, "id"}).toString(), QStringLiteral("tavrin-echo"));
        const auto refused = send(HttpCall{"POST", target}.bearer(readonly).json(body));
        TAVRIN_REQUIRE(refused);
        QCOMPARE(refused->status, 403);
        QVERIFY(refused->body.contains("read-only"));
        const QString inference = createKey(QStringLiteral("app"), std::vector{ClientAPIKeyScope::inference}).key;
        QCOMPARE(send(HttpCall{"POST", target}.bearer(inference).json(body))->status, 200);
        QCOMPARE(send(HttpCall{"POST", target}.bearer(createKey(QStringLiteral("legacy")).key).json(body))->status, 200);
    }

    void usageCountersAddUpWhatTheKeyConsumed() {
        const auto counted = createKey(QStringLiteral("counted"));
        const auto other = createKey(QStringLiteral("other"));
        qint64 prompt = 0;
        qint64 completion = 0;
        for (int i = 0; i < 3; ++i) {
            const auto answer = send(chat(counted.key));
            TAVRIN_REQUIRE(answer);
            const QJsonObject usage = field(jsonOf(answer->body), {"usage"}).toObject();
            prompt += usage["prompt_tokens"].toInteger();
            completion += usage["completion_tokens"].toInteger();
            QCOMPARE(usage["total_tokens"].toInteger(), usage["prompt_tokens"].toInteger() + usage["completion_tokens"].toInteger());
        }
        QVERIFY(send(HttpCall{"GET", "/v1/models"}.bearer(counted.key)));
        QVERIFY(prompt > 0 && completion > 0);

        const auto keys = await(m_client->listKeys());
        TAVRIN_REQUIRE(keys);
        const auto recordOf = [&](const ClientCreatedAPIKey& key) {
            return *std::find_if(keys->begin(), keys->end(), [&](const auto& k) { return k.id == key.record.id; });
        };
        QCOMPARE(recordOf(counted).totalRequests, 4);
        QCOMPARE(recordOf(counted).promptTokens, prompt);
        QCOMPARE(recordOf(counted).completionTokens, completion);
        QCOMPARE(recordOf(counted).lastClientIP, std::optional(QStringLiteral("127.0.0.1")));
        QVERIFY(recordOf(counted).lastUsedAt);
        QVERIFY(recordOf(other).totalRequests == 0 && !recordOf(other).lastUsedAt); // another key's use is not counted here
    }

    void preambleIsPrependedToEveryGeneration() {
        const QString key = createKey(QStringLiteral("k")).key;
        QVERIFY(!answerText(*send(chat(key))).contains(QStringLiteral("System instruction")));
        TAVRIN_REQUIRE(await(m_client->setOrgPreamble(QStringLiteral("Always answer in Portuguese."))));
        const QString text = answerText(*send(chat(key)));
        const auto generated = send(HttpCall{"POST", "/api/generate"}.bearer(key).json(R"({"prompt":"hi","stream":false})"));
        TAVRIN_REQUIRE(await(m_client->setOrgPreamble(std::nullopt)));
        QVERIFY2(text.contains(QStringLiteral("System instruction: \"Always answer in Portuguese.\"")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Received 2 message(s)")));
        QVERIFY(field(jsonOf(generated->body), {"response"}).toString().contains(QStringLiteral("Always answer in Portuguese.")));
    }

    // Server-sent events on the OpenAI surface, JSON lines on the native one: pieces that join to
    // the whole answer, then the end.
    void streamedAnswersJoinToTheWholeAnswer() {
        const QString key = createKey(QStringLiteral("k")).key;
        const QString whole = answerText(*send(chat(key)));
        const auto events = send(chat(key, R"({"messages":[{"role":"user","content":"How warm is it in Lisbon today?"}],"stream":true})"));
        TAVRIN_REQUIRE(events);
        QVERIFY(events->header("Content-Type")->startsWith("text/event-stream"));
        QVERIFY(events->body.trimmed().endsWith("data: [DONE]"));
        QString joined;
        QString finish;
        for (const QByteArray& line : events->body.split('\n')) {
            if (!line.startsWith("data: {"))
                continue;
            const QJsonObject choice = field(jsonOf(line.mid(6)), {"choices", 0}).toObject();
            joined += field(choice, {"delta", "content"}).toString();
            finish = choice.value(QStringLiteral("finish_reason")).toString(finish);
        }
        QCOMPARE(joined, whole);
        QCOMPARE(finish, QStringLiteral("stop"));

        const auto native = send(HttpCall{"POST", "/api/chat"}.bearer(key).json(chatBody));
        TAVRIN_REQUIRE(native);
        const QList<QByteArray> lines = native->body.trimmed().split('\n');
        QVERIFY(lines.size() > 2);
        joined.clear();
        for (const auto& line : lines)
            joined += field(jsonOf(line), {"message", "content"}).toString();
        QCOMPARE(joined, whole);
        QCOMPARE(jsonOf(lines.last())["done"].toBool(), true);
        QVERIFY(jsonOf(lines.last())["eval_count"].toInteger() > 0);
    }

    void badInferenceRequestsAreRefusedWithTheReason_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("reason");
        QTest::newRow("no messages") << QByteArray(R"({"model":"tavrin-echo"})") << 400 << "messages: missing required key";
        QTest::newRow("not JSON") << QByteArray("hello") << 400 << "not valid JSON";
        QTest::newRow("image part") << QByteArray(R"({"messages":[{"role":"user","content":[{"type":"image_url"}]}]})") << 400 << "only text parts";
        QTest::newRow("other model") << QByteArray(R"({"model":"giant-70b","messages":[]})") << 404 << "is not served here";
    }
    void badInferenceRequestsAreRefusedWithTheReason() {
        QFETCH(QByteArray, body);
        QFETCH(int, status);
        QFETCH(QString, reason);
        const auto answer = send(chat(createKey(QStringLiteral("k")).key, body));
        TAVRIN_REQUIRE(answer);
        QCOMPARE(answer->status, status);
        QVERIFY2(field(jsonOf(answer->body), {"error", "message"}).toString().contains(reason), answer->body.constData());
    }

    void generationsBeyondTheQueueAreRefusedWith503() {
        ReferenceServer busy;
        TAVRIN_REQUIRE(busy.start({{QStringLiteral("--max-concurrency"), QStringLiteral("1"), QStringLiteral("--max-queue-depth"),
                                    QStringLiteral("1")},
                                   {QStringLiteral("TAVRIN_SERVER_GENERATION_DELAY_MS=1500")}}));
        const auto client = busy.client();
        const QString key = await(client->createKey(QStringLiteral("busy"), std::nullopt)).value_or(ClientCreatedAPIKey{}).key;
        std::vector<std::future<std::expected<HttpAnswer, QString>>> calls;
        for (int i = 0; i < 4; ++i) {
            calls.push_back(std::async(std::launch::async, [port = busy.port(), key] { return exchange(port, chat(key)); }));
            QTest::qWait(100); // in order: the first runs, the second waits, the rest find no room
        }
        const auto during = await(client->status());
        TAVRIN_REQUIRE(during);
        QCOMPARE(during->concurrency->inFlight, 1);
        QCOMPARE(during->concurrency->queued, 1);

        int served = 0;
        for (auto& call : calls) {
            const auto answer = call.get();
            TAVRIN_REQUIRE(answer);
            served += answer->status == 200;
            if (answer->status != 200) {
                QCOMPARE(answer->status, 503);
                QCOMPARE(answer->header("Retry-After"), std::optional(QByteArray("1")));
            }
        }
        QCOMPARE(served, 2);
        const auto after = await(client->status());
        QVERIFY(after->concurrency->inFlight == 0 && after->concurrency->queued == 0);
        QCOMPARE(after->concurrency->totalCompleted, 2);
        QCOMPARE(after->concurrency->totalRejected, 2);
    }

    // Both lists apply from the next start; an empty one restricts nothing.
    void onlyListedOriginsGetCorsHeadersAndOnlyListedAddressesAreServed() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        const QString key = await(server.client()->createKey(QStringLiteral("web"), std::nullopt)).value_or(ClientCreatedAPIKey{}).key;
        const auto withOrigin = [&](QByteArray method, const QByteArray& origin) {
            HttpCall call{method, "/v1/models"};
            call.header("Origin", origin);
            if (method == "OPTIONS")
                call.header("Access-Control-Request-Method", "GET");
            else
                call.bearer(key);
            return exchange(server.port(), call);
        };
        HttpCall fromOther = chat(key);
        fromOther.sourceAddress = QStringLiteral("127.0.0.2");
        QVERIFY(!withOrigin("GET", "https://app.example.com")->header("Access-Control-Allow-Origin"));
        QCOMPARE(exchange(server.port(), fromOther)->status, 200);

        TAVRIN_REQUIRE(await(server.client()->updateNetworkPreferences(
            {QStringLiteral("127.0.0.1"), 11434, false, std::nullopt, {QStringLiteral("https://app.example.com")}, {QStringLiteral("127.0.0.1")}})));
        TAVRIN_REQUIRE(server.restart());
        const auto allowed = withOrigin("GET", "https://app.example.com");
        QCOMPARE(allowed->status, 200);
        QCOMPARE(allowed->header("Access-Control-Allow-Origin"), std::optional(QByteArray("https://app.example.com")));
        QVERIFY(!withOrigin("GET", "https://evil.example.net")->header("Access-Control-Allow-Origin"));
        const auto preflight = withOrigin("OPTIONS", "https://app.example.com");
        QCOMPARE(preflight->status, 204);
        QVERIFY(preflight->header("Access-Control-Allow-Methods")->contains("POST"));
        QVERIFY(preflight->header("Access-Control-Allow-Headers")->contains("Authorization"));
        const auto refusedPreflight = withOrigin("OPTIONS", "https://evil.example.net");
        QCOMPARE(refusedPreflight->status, 403);
        QVERIFY(!refusedPreflight->header("Access-Control-Allow-Origin"));

        const auto refused = exchange(server.port(), fromOther);
        TAVRIN_REQUIRE(refused);
        QCOMPARE(refused->status, 403);
        QVERIFY(refused->body.contains("127.0.0.2"));
        QVERIFY(await(server.client()->status())); // administration is not subject to the allowlist
    }
};

QTEST_GUILESS_MAIN(InferenceContractTest)
#include "InferenceContractTest.moc"
