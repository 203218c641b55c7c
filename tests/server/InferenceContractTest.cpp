// The inference surface that API keys are for: scopes, usage counters, the preamble,
// streaming, admission control, CORS and the IP allowlist, over real HTTP.

#include "support/HttpProbe.h"
#include "ServerTesting.h"

#include "server/AuditLog.h"

#include <QFileInfo>
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

QJsonObject jsonOf(const HttpAnswer& answer) { return QJsonDocument::fromJson(answer.body).object(); }

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

QString answerText(const HttpAnswer& answer) {
    return field(jsonOf(answer), {"choices", 0, "message", "content"}).toString();
}

} // namespace

class InferenceContractTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;

    QString createKey(const QString& label, std::optional<std::vector<ClientAPIKeyScope>> scopes = std::nullopt) {
        const auto created = await(m_client->createKey(label, std::move(scopes)));
        return created ? created->key : QString();
    }
    std::expected<HttpAnswer, QString> send(const HttpCall& call) { return exchange(m_server->port(), call); }

    // Saves network preferences and restarts, since they apply at the next start.
    bool restartWith(ClientNetworkPreferences prefs, ReferenceServerOptions options = {}) {
        if (!await(m_client->updateNetworkPreferences(std::move(prefs))))
            return false;
        if (!m_server->stop() || !m_server->start(std::move(options)))
            return false;
        m_client = m_server->client();
        return true;
    }

private Q_SLOTS:
    void init() {
        m_server = std::make_unique<ReferenceServer>();
        TAVRIN_REQUIRE(m_server->start());
        m_client = m_server->client();
    }
    void cleanup() {
        m_client.reset();
        if (m_server)
            QCOMPARE(m_server->stop().value_or(-1), 0);
        m_server.reset();
    }

    void modelListNamesTheEchoEngine() {
        const auto answer = send(HttpCall{"GET", "/v1/models"}.bearer(createKey(QStringLiteral("k"))));
        TAVRIN_REQUIRE(answer);
        QCOMPARE(answer->status, 200);
        const QJsonArray models = jsonOf(*answer).value(QStringLiteral("data")).toArray();
        QCOMPARE(models.size(), 1);
        QCOMPARE(field(models, {0, "id"}).toString(), QStringLiteral("tavrin-echo"));
        QVERIFY(field(models, {0, "description"}).toString().contains(QStringLiteral("no model weights")));
    }

    void keysThatAreNotActiveAreRefused() {
        const auto revoked = await(m_client->createKey(QStringLiteral("revoked"), std::nullopt));
        const auto rotated = await(m_client->createKey(QStringLiteral("rotated"), std::nullopt));
        const auto deleted = await(m_client->createKey(QStringLiteral("deleted"), std::nullopt));
        TAVRIN_REQUIRE(revoked);
        TAVRIN_REQUIRE(rotated);
        TAVRIN_REQUIRE(deleted);
        TAVRIN_REQUIRE(await(m_client->revokeKey(revoked->record.id)));
        TAVRIN_REQUIRE(await(m_client->rotateKey(rotated->record.id)));
        TAVRIN_REQUIRE(await(m_client->deleteKey(deleted->record.id)));
        for (const QString& presented : {QString(), QStringLiteral("tk-") + QString(43, QLatin1Char('A')), m_server->adminSecret(),
                                         revoked->key, rotated->key, deleted->key})
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
        const QString readonly = createKey(QStringLiteral("monitor"), std::vector{ClientAPIKeyScope::readonly});
        const QString inference = createKey(QStringLiteral("app"), std::vector{ClientAPIKeyScope::inference});
        const QString unscoped = createKey(QStringLiteral("legacy"));
        QCOMPARE(send(HttpCall{"GET", "/v1/models"}.bearer(readonly))->status, 200);
        const auto refused = send(HttpCall{"POST", target}.bearer(readonly).json(body));
        TAVRIN_REQUIRE(refused);
        QCOMPARE(refused->status, 403);
        QVERIFY(refused->body.contains("read-only"));
        QCOMPARE(send(HttpCall{"POST", target}.bearer(inference).json(body))->status, 200);
        QCOMPARE(send(HttpCall{"POST", target}.bearer(unscoped).json(body))->status, 200);
    }

    void usageCountersAddUpWhatTheKeyConsumed() {
        const auto created = await(m_client->createKey(QStringLiteral("counted"), std::nullopt));
        TAVRIN_REQUIRE(created);
        const QString other = createKey(QStringLiteral("other"));
        qint64 prompt = 0;
        qint64 completion = 0;
        for (int i = 0; i < 3; ++i) {
            const auto answer = send(chat(created->key));
            TAVRIN_REQUIRE(answer);
            QCOMPARE(answer->status, 200);
            const QJsonObject usage = field(jsonOf(*answer), {"usage"}).toObject();
            prompt += usage["prompt_tokens"].toInteger();
            completion += usage["completion_tokens"].toInteger();
            QCOMPARE(usage["total_tokens"].toInteger(), usage["prompt_tokens"].toInteger() + usage["completion_tokens"].toInteger());
        }
        QVERIFY(send(HttpCall{"GET", "/v1/models"}.bearer(created->key)));
        QVERIFY(prompt > 0 && completion > 0);

        const auto keys = await(m_client->listKeys());
        TAVRIN_REQUIRE(keys);
        const auto& counted = keys->at(0);
        QCOMPARE(counted.totalRequests, 4);
        QCOMPARE(counted.promptTokens, prompt);
        QCOMPARE(counted.completionTokens, completion);
        QCOMPARE(counted.lastClientIP, std::optional(QStringLiteral("127.0.0.1")));
        QVERIFY(counted.lastUsedAt);
        QCOMPARE(keys->at(1).totalRequests, 0); // another key's use is not counted here
        QVERIFY(!keys->at(1).lastUsedAt);
        Q_UNUSED(other);
    }

    void preambleIsPrependedToEveryGeneration() {
        const QString key = createKey(QStringLiteral("k"));
        QVERIFY(!answerText(*send(chat(key))).contains(QStringLiteral("System instruction")));
        TAVRIN_REQUIRE(await(m_client->setOrgPreamble(QStringLiteral("Always answer in Portuguese."))));
        const QString text = answerText(*send(chat(key)));
        QVERIFY2(text.contains(QStringLiteral("System instruction: \"Always answer in Portuguese.\"")), qPrintable(text));
        QVERIFY(text.contains(QStringLiteral("Received 2 message(s)")));
        const auto generated = send(HttpCall{"POST", "/api/generate"}.bearer(key).json(R"({"prompt":"hi","stream":false})"));
        QVERIFY(field(jsonOf(*generated), {"response"}).toString().contains(QStringLiteral("Always answer in Portuguese.")));
    }

    void streamingSendsTheSameAnswerAsServerSentEvents() {
        const QString key = createKey(QStringLiteral("k"));
        const QString whole = answerText(*send(chat(key)));
        const auto streamed = send(chat(key, R"({"messages":[{"role":"user","content":"How warm is it in Lisbon today?"}],"stream":true})"));
        TAVRIN_REQUIRE(streamed);
        QCOMPARE(streamed->status, 200);
        QVERIFY(streamed->header("Content-Type")->startsWith("text/event-stream"));
        QString joined;
        QString finish;
        const QList<QByteArray> events = streamed->body.split('\n');
        QVERIFY(streamed->body.trimmed().endsWith("data: [DONE]"));
        for (const QByteArray& line : events) {
            if (!line.startsWith("data: {"))
                continue;
            const QJsonObject choice = field(QJsonDocument::fromJson(line.mid(6)).object(), {"choices", 0}).toObject();
            joined += field(choice, {"delta", "content"}).toString();
            if (choice.contains(QStringLiteral("finish_reason")))
                finish = choice["finish_reason"].toString();
        }
        QCOMPARE(joined, whole);
        QCOMPARE(finish, QStringLiteral("stop"));
    }

    void nativeEndpointsStreamJsonLines() {
        const QString key = createKey(QStringLiteral("k"));
        const auto answer = send(HttpCall{"POST", "/api/chat"}.bearer(key).json(chatBody));
        TAVRIN_REQUIRE(answer);
        QCOMPARE(answer->status, 200);
        const QList<QByteArray> lines = answer->body.trimmed().split('\n');
        QVERIFY(lines.size() > 2);
        QString joined;
        for (const auto& line : lines)
            joined += field(QJsonDocument::fromJson(line).object(), {"message", "content"}).toString();
        const QJsonObject last = QJsonDocument::fromJson(lines.last()).object();
        QCOMPARE(last["done"].toBool(), true);
        QVERIFY(last["eval_count"].toInteger() > 0);
        QVERIFY(joined.startsWith(QStringLiteral("Echo engine")));
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
        const auto answer = send(chat(createKey(QStringLiteral("k")), body));
        TAVRIN_REQUIRE(answer);
        QCOMPARE(answer->status, status);
        QVERIFY2(field(jsonOf(*answer), {"error", "message"}).toString().contains(reason), answer->body.constData());
    }

    // What each mode keeps is the audit log's own test; here, that a generation reaches it.
    void aGenerationIsAuditedInPrivateFiles() {
        TAVRIN_REQUIRE(await(m_client->updateLoggingSettings({ClientAuditMode::audit, 30, false})));
        const auto created = await(m_client->createKey(QStringLiteral("audited"), std::nullopt));
        TAVRIN_REQUIRE(created);
        const auto answer = send(chat(created->key, R"({"messages":[{"role":"user","content":"quokka"}]})"));
        QCOMPARE(answer->status, 200);

        const QString directory = m_server->stateDirectory() + QStringLiteral("/audit");
        const auto records = AuditLog::readAll(directory);
        QCOMPARE(records.size(), 1u);
        const AuditRecord& r = records.front();
        QCOMPARE(r.keyId, created->record.id);
        QCOMPARE(r.endpoint, QStringLiteral("/v1/chat/completions"));
        QCOMPARE(r.status, 200);
        QCOMPARE(r.completionTokens, field(jsonOf(*answer), {"usage", "completion_tokens"}).toInteger());
        QVERIFY(r.prompt->contains(QStringLiteral("quokka")));
        QCOMPARE(r.completion, std::optional(answerText(*answer)));
        for (const QFileInfo& file : QDir(directory).entryInfoList(QDir::Files))
            QCOMPARE(file.permissions() & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    }

    void generationsBeyondTheQueueAreRefusedWith503() {
        TAVRIN_REQUIRE(m_server->stop());
        TAVRIN_REQUIRE(m_server->start({{QStringLiteral("--max-concurrency"), QStringLiteral("1"),
                                         QStringLiteral("--max-queue-depth"), QStringLiteral("1")},
                                        {QStringLiteral("TAVRIN_SERVER_GENERATION_DELAY_MS=1500")}}));
        m_client = m_server->client();
        const QString key = createKey(QStringLiteral("busy"));
        const quint16 port = m_server->port();
        std::vector<std::future<std::expected<HttpAnswer, QString>>> calls;
        for (int i = 0; i < 4; ++i) {
            calls.push_back(std::async(std::launch::async, [port, key] { return exchange(port, chat(key)); }));
            QTest::qWait(100); // in order: the first runs, the second waits, the rest find no room
        }
        const auto during = await(m_client->status());
        TAVRIN_REQUIRE(during);
        QCOMPARE(during->concurrency->inFlight, 1);
        QCOMPARE(during->concurrency->queued, 1);

        int served = 0;
        int refused = 0;
        for (auto& call : calls) {
            const auto answer = call.get();
            TAVRIN_REQUIRE(answer);
            if (answer->status == 200) {
                ++served;
            } else {
                QCOMPARE(answer->status, 503);
                QCOMPARE(answer->header("Retry-After"), std::optional(QByteArray("1")));
                ++refused;
            }
        }
        QCOMPARE(served, 2);
        QCOMPARE(refused, 2);
        const auto after = await(m_client->status());
        QCOMPARE(after->concurrency->inFlight, 0);
        QCOMPARE(after->concurrency->queued, 0);
        QCOMPARE(after->concurrency->totalCompleted, 2);
        QCOMPARE(after->concurrency->totalRejected, 2);
        QCOMPARE(after->concurrency->maxConcurrency, 1);
    }

    void onlyListedOriginsGetCorsHeaders() {
        const QString key = createKey(QStringLiteral("web"));
        auto withOrigin = [&](QByteArray method, const QByteArray& origin) {
            HttpCall call{method, "/v1/models"};
            call.header("Origin", origin);
            if (method == "OPTIONS")
                call.header("Access-Control-Request-Method", "GET");
            else
                call.bearer(key);
            return send(call);
        };
        // No origins listed: nobody gets CORS headers.
        QVERIFY(!withOrigin("GET", "https://app.example.com")->header("Access-Control-Allow-Origin"));

        QVERIFY(restartWith({QStringLiteral("127.0.0.1"), 11434, false, std::nullopt,
                             {QStringLiteral("https://app.example.com")}, {}}));
        const auto allowed = withOrigin("GET", "https://app.example.com");
        QCOMPARE(allowed->status, 200);
        QCOMPARE(allowed->header("Access-Control-Allow-Origin"), std::optional(QByteArray("https://app.example.com")));
        const auto other = withOrigin("GET", "https://evil.example.net");
        QVERIFY(!other->header("Access-Control-Allow-Origin"));

        const auto preflight = withOrigin("OPTIONS", "https://app.example.com");
        QCOMPARE(preflight->status, 204);
        QVERIFY(preflight->header("Access-Control-Allow-Methods")->contains("POST"));
        QVERIFY(preflight->header("Access-Control-Allow-Headers")->contains("Authorization"));
        const auto refusedPreflight = withOrigin("OPTIONS", "https://evil.example.net");
        QCOMPARE(refusedPreflight->status, 403);
        QVERIFY(!refusedPreflight->header("Access-Control-Allow-Origin"));
    }

    void allowlistRefusesAddressesOutsideIt() {
        const QString key = createKey(QStringLiteral("k"));
        HttpCall fromOther = chat(key);
        fromOther.sourceAddress = QStringLiteral("127.0.0.2");
        QCOMPARE(send(fromOther)->status, 200); // an empty allowlist admits everyone

        QVERIFY(restartWith({QStringLiteral("127.0.0.1"), 11434, false, std::nullopt, {}, {QStringLiteral("127.0.0.1")}}));
        const auto refused = send(fromOther);
        TAVRIN_REQUIRE(refused);
        QCOMPARE(refused->status, 403);
        QVERIFY(refused->body.contains("127.0.0.2"));
        QCOMPARE(send(chat(key))->status, 200);
        QVERIFY(await(m_client->status())); // administration is not subject to the allowlist
    }
};

QTEST_GUILESS_MAIN(InferenceContractTest)
#include "InferenceContractTest.moc"
