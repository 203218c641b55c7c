// The inference surface that API keys are for: scopes, usage counters, the preamble,
// streaming, admission control, CORS and the IP allowlist, over real HTTP.

#include "support/HttpProbe.h"
#include "ServerTesting.h"
#include "server/inference/AnswerSink.h"
#include "server/stores/AuditLog.h"
#include "server/support/IsoTime.h"

#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <variant>
#include <vector>

Q_DECLARE_METATYPE(tavrin::AuditRecord)

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

// The ways an audit log fails to take a record, and how each is mended.
enum class AuditFault {
    full,         // at its size cap, a tiny one given on the command line
    folderTaken,  // a file stands where its folder goes: it cannot be created
    disksRefuses, // today's file opens but every write fails, as on a full disk
};

QString todaysAuditFile(const QString& auditFolder) {
    return auditFolder + QLatin1Char('/') + QDateTime::currentDateTimeUtc().date().toString(Qt::ISODate) + ".jsonl";
}

QString answerText(const HttpAnswer& answer) { return field(jsonOf(answer.body), {"choices", 0, "message", "content"}).toString(); }

} // namespace

Q_DECLARE_METATYPE(AuditFault)

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
        const auto revoked = createKey("revoked"), rotated = createKey("rotated"), deleted = createKey("deleted");
        // Each served a moment before it ended: nothing the server keeps of the last key it judged
        // lets the key in after.
        QCOMPARE(send(chat(revoked.key)).value_or(HttpAnswer{}).status, 200);
        TAVRIN_REQUIRE(await(m_client->revokeKey(revoked.record.id)));
        QCOMPARE(send(chat(revoked.key)).value_or(HttpAnswer{}).status, 401);
        QCOMPARE(send(chat(rotated.key)).value_or(HttpAnswer{}).status, 200);
        TAVRIN_REQUIRE(await(m_client->rotateKey(rotated.record.id)));
        QCOMPARE(send(chat(rotated.key)).value_or(HttpAnswer{}).status, 401);
        QCOMPARE(send(chat(deleted.key)).value_or(HttpAnswer{}).status, 200);
        TAVRIN_REQUIRE(await(m_client->deleteKey(deleted.record.id)));
        for (const QString& presented : {QString(), QStringLiteral("tk-") + QString(43, QLatin1Char('A')), m_server->adminSecret(),
                                         revoked.key, rotated.key, deleted.key})
            for (const auto& call : {chat(presented), HttpCall{"GET", "/v1/models"}.bearer(presented)})
                QCOMPARE(send(call).value_or(HttpAnswer{}).status, 401);
    }

    void readonlyKeyMayListModelsButNotGenerate() {
        const QString readonly = createKey("monitor", std::vector{ClientAPIKeyScope::readonly}).key;
        const auto models = send(HttpCall{"GET", "/v1/models"}.bearer(readonly));
        TAVRIN_REQUIRE(models);
        QCOMPARE(field(jsonOf(models->body), {"data", 0, "id"}).toString(), "tavrin-echo");
        const QString inference = createKey("app", std::vector{ClientAPIKeyScope::inference}).key;
        const QString legacy = createKey("legacy").key; // no scopes: may do everything
        for (const auto& [target, body] : {std::pair{"/v1/chat/completions", chatBody}, std::pair{"/api/chat", chatBody},
                                           std::pair{"/api/generate", QByteArray(R"({"prompt":"hi","stream":false})")}}) {
            const auto refused = send(HttpCall{"POST", target}.bearer(readonly).json(body));
            QVERIFY2(refused && refused->status == 403 && refused->body.contains("read-only"), target);
            QCOMPARE(send(HttpCall{"POST", target}.bearer(inference).json(body))->status, 200);
            QCOMPARE(send(HttpCall{"POST", target}.bearer(legacy).json(body))->status, 200);
        }
    }

    void usageCountersAddUpWhatTheKeyConsumed() {
        const auto counted = createKey("counted"), other = createKey("other");
        qint64 prompt = 0, completion = 0;
        for (int i = 0; i < 3; ++i) {
            const QJsonObject usage = field(jsonOf(send(chat(counted.key)).value_or(HttpAnswer{}).body), {"usage"}).toObject();
            prompt += usage["prompt_tokens"].toInteger();
            completion += usage["completion_tokens"].toInteger();
            QCOMPARE(usage["total_tokens"].toInteger(), usage["prompt_tokens"].toInteger() + usage["completion_tokens"].toInteger());
        }
        QVERIFY(send(HttpCall{"GET", "/v1/models"}.bearer(counted.key)));
        QVERIFY(prompt > 0 && completion > 0);

        const auto keys = await(m_client->listKeys()).value_or(ClientAPIKeyList{});
        const auto recordOf = [&](const ClientCreatedAPIKey& key) {
            const auto found = std::find_if(keys.begin(), keys.end(), [&](const auto& k) { return k.id == key.record.id; });
            return found == keys.end() ? ClientAPIKeyPublic{} : *found;
        };
        const ClientAPIKeyPublic used = recordOf(counted);
        QVERIFY(used.totalRequests == 4 && used.promptTokens == prompt && used.completionTokens == completion);
        QVERIFY(used.lastClientIP == std::optional<QString>("127.0.0.1") && used.lastUsedAt);
        QVERIFY(recordOf(other).totalRequests == 0 && !recordOf(other).lastUsedAt); // another key's use is not counted here
    }

    // Usage cannot be made small by the text's shape: words are told apart on every kind of white
    // space Unicode has, and a word counts a token for every four characters it has begun, as a
    // tokenizer would split it.
    void promptTokensCountWordsOnEveryUnicodeSpaceAndLongWordsByTheirLength_data() {
        QTest::addColumn<QString>("content");
        QTest::addColumn<qint64>("tokens");
        const QStringList words(50'000, QStringLiteral("word"));
        for (const char16_t space : {u' ', u'\t', u'\u0085', u'\u00a0', u'\u1680', u'\u2003', u'\u2028', u'\u2029', u'\u202f', u'\u3000'})
            QTest::addRow("50,000 words apart by U+%04X", unsigned(space)) << words.join(QChar(space)) << qint64(50'000);
        QTest::newRow("a million letters without a space") << QString(1'000'000, u'x') << qint64(250'000);
        QTest::newRow("words of four, five, eight and ten letters") << QStringLiteral("four fifth eighteen tenletters") << qint64(1 + 2 + 2 + 3);
        QTest::newRow("five emoji, each one character") << QStringLiteral("\U0001F600\U0001F600\U0001F600\U0001F600\U0001F600") << qint64(2);
        QTest::newRow("spaces alone") << QStringLiteral(" \u00a0\u3000\n") << qint64(0);
    }
    void promptTokensCountWordsOnEveryUnicodeSpaceAndLongWordsByTheirLength() {
        QFETCH(QString, content);
        QFETCH(qint64, tokens);
        const auto key = createKey("shapes");
        const QJsonObject message{{"role", "user"}, {"content", content}};
        const QByteArray body = QJsonDocument(QJsonObject{{"messages", QJsonArray{message}}}).toJson(QJsonDocument::Compact);
        const auto answer = send(chat(key.key, body));
        QVERIFY(answer && answer->status == 200);
        QCOMPARE(field(jsonOf(answer->body), {"usage", "prompt_tokens"}).toInteger(), tokens);
    }

    // The prompt counted is the text sent, whatever escapes it holds: a lone surrogate is one
    // replacement character, as everywhere, in plain content and in parts alike.
    void aLoneSurrogateDoesNotChangeWhatIsCounted() {
        const auto key = createKey("surrogates");
        const QByteArray words = QByteArray("word ").repeated(50'000);
        for (const QByteArray& content : QByteArrayList{'"' + words + R"(\ud800")", R"([{"type":"text","text":")" + words + R"(\udfff x"}])"}) {
            const QByteArray body = R"({"messages":[{"role":"user","content":)" + content + "}]}";
            const auto answer = send(chat(key.key, body));
            QVERIFY(answer && answer->status == 200);
            const qint64 expected = content.startsWith('"') ? 50'001 : 50'002;
            QCOMPARE(field(jsonOf(answer->body), {"usage", "prompt_tokens"}).toInteger(), expected);
        }
    }

    // The Preamble tab's test reads it in a chat answer and gone once cleared; here also the native
    // generation, and that it is a turn of its own.
    void preambleIsPrependedToEveryGeneration() {
        const QString key = createKey("k").key;
        TAVRIN_REQUIRE(await(m_client->setOrgPreamble(QStringLiteral("Always answer in Portuguese."))));
        const QString text = answerText(*send(chat(key)));
        const auto generated = send(HttpCall{"POST", "/api/generate"}.bearer(key).json(R"({"prompt":"hi","stream":false})"));
        TAVRIN_REQUIRE(await(m_client->setOrgPreamble(std::nullopt)));
        QVERIFY2(text.contains("System instruction: \"Always answer in Portuguese.\"") && text.contains("Received 2 message(s)"),
                 qPrintable(text));
        QVERIFY(field(jsonOf(generated->body), {"response"}).toString().contains("Always answer in Portuguese."));
    }

    // Server-sent events on the OpenAI surface, JSON lines on the native one: pieces that join to
    // the whole answer, then the end.
    void streamedAnswersJoinToTheWholeAnswer() {
        const QString key = createKey(QStringLiteral("k")).key;
        const QString whole = answerText(*send(chat(key)));
        const auto events = send(chat(key, R"({"messages":[{"role":"user","content":"How warm is it in Lisbon today?"}],"stream":true})"));
        QVERIFY(events && events->header("Content-Type")->startsWith("text/event-stream"));
        QVERIFY(events->body.trimmed().endsWith("data: [DONE]"));
        QString joined, finish;
        for (const QByteArray& line : events->body.split('\n')) {
            if (!line.startsWith("data: {"))
                continue;
            const QJsonObject choice = field(jsonOf(line.mid(6)), {"choices", 0}).toObject();
            joined += field(choice, {"delta", "content"}).toString();
            finish = choice.value(QStringLiteral("finish_reason")).toString(finish);
        }
        QVERIFY(joined == whole && finish == QStringLiteral("stop"));

        const QList<QByteArray> lines = send(HttpCall{"POST", "/api/chat"}.bearer(key).json(chatBody))->body.trimmed().split('\n');
        QVERIFY(lines.size() > 2);
        joined.clear();
        for (const auto& line : lines)
            joined += field(jsonOf(line), {"message", "content"}).toString();
        QCOMPARE(joined, whole);
        QVERIFY(jsonOf(lines.last())["done"].toBool() && jsonOf(lines.last())["eval_count"].toInteger() > 0);
    }

    void everyStreamedEventIsWrittenAsItsJsonDocumentWouldBe_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("plain words") << QStringLiteral("Spring tides follow the moon.");
        QTest::newRow("empty") << QString();
        QTest::newRow("quotes and a backslash") << QStringLiteral("say \"C:\\tides\"");
        QTest::newRow("line breaks and a tab") << QStringLiteral("one\ntwo\r\n\tthree\b\f");
        QString controls;
        for (char16_t c = 0; c < 0x20; ++c)
            controls += QChar(c);
        QTest::newRow("every control character") << controls + QChar(0x7f);
        QTest::newRow("accents and other scripts") << QStringLiteral("Lisboa é quente · 東京");
        QTest::newRow("the edges of two and three bytes") << QString(QChar(0x80)) + QChar(0x7ff) + QChar(0x800) + QChar(0xffff);
        QTest::newRow("outside the basic plane") << QString::fromUtf8("tide \xF0\x9F\x8C\x8A");
        QTest::newRow("a lone high surrogate") << QString(QChar(0xd83c));
        QTest::newRow("a lone low surrogate between words") << QStringLiteral("a") + QChar(0xdc00) + QStringLiteral("b");
        QTest::newRow("a high surrogate before a plain letter") << QString(QChar(0xd800)) + QStringLiteral("x");
        QTest::newRow("a slash and braces") << QStringLiteral("a/b {\"content\":1}");
    }

    // The events are written straight to bytes; the JSON documents they stand for are the measure.
    // The text is the model's name too, which every event carries.
    void everyStreamedEventIsWrittenAsItsJsonDocumentWouldBe() {
        QFETCH(QString, text);
        const AnswerShape shape{AnswerShape::Kind::chatCompletions, true, text, QStringLiteral("chatcmpl-1"), 1765000000,
                                false, true, {}};
        const auto event = [](const ChatCompletion& chunk) { return "data: " + encodeJson(chunk).toStdString() + "\n\n"; };
        const std::string expected =
            event(shape.chunk(OutMessage{QStringLiteral("assistant"), QString()}, std::nullopt)) +
            event(shape.chunk(OutMessage{std::nullopt, text}, std::nullopt)) +
            event(shape.chunk(OutMessage{std::nullopt, QStringLiteral("and \"") + text}, std::nullopt)) +
            event(shape.chunk(OutMessage{}, QStringLiteral("stop"))) +
            event(ChatCompletion{shape.id, QStringLiteral("chat.completion.chunk"), shape.created, shape.model, {},
                                 CompletionUsage{12, 3400000000, 3400000012}}) +
            "data: [DONE]\n\n";
        std::string written;
        shape.opening(written);
        shape.piece(written, text);
        shape.piece(written, QStringLiteral("and \"") + text);
        shape.closing(written, EngineUsage{12, 3400000000});
        QCOMPARE(QByteArray::fromStdString(written), QByteArray::fromStdString(expected));

        // Text that needs no escape may come as its bytes, and then makes the same events and lines.
        if (std::ranges::all_of(text, [](QChar c) { return c >= u' ' && c < u'\x7f' && c != u'"' && c != u'\\'; })) {
            for (const auto kind : {AnswerShape::Kind::chatCompletions, AnswerShape::Kind::nativeChat, AnswerShape::Kind::nativeGenerate}) {
                const AnswerShape any{kind, true, text, QStringLiteral("chatcmpl-1"), 1765000000, false, true, {}};
                std::string asBytes, asText;
                QString second;
                do {
                    second = isoUtcNow();
                    asBytes.clear();
                    asText.clear();
                    any.plainPiece(asBytes, text.toStdString());
                    any.piece(asText, text);
                } while (isoUtcNow() != second);
                QCOMPARE(QByteArray::fromStdString(asBytes), QByteArray::fromStdString(asText));
            }
        }

        // The JSON-lines surfaces, streamed and whole; every line carries the second it was
        // written in, so a pass that straddles one is made again.
        for (const auto kind : {AnswerShape::Kind::nativeChat, AnswerShape::Kind::nativeGenerate}) {
            const AnswerShape lines{kind, true, text, QString(), 0, false, false, {}};
            const auto line = [](const NativeAnswer& answer) { return encodeJson(answer).toStdString() + "\n"; };
            std::string expectedLines, writtenLines, whole;
            QString second;
            do {
                second = isoUtcNow();
                expectedLines = line(lines.native(text, false)) + line(lines.native(QStringLiteral("and \"") + text, false)) +
                                line(lines.native(QString(), true, EngineUsage{12, 3400000000})) +
                                line(lines.native(text, true, EngineUsage{7, 0}));
                writtenLines.clear();
                lines.opening(writtenLines);
                lines.piece(writtenLines, text);
                lines.piece(writtenLines, QStringLiteral("and \"") + text);
                lines.closing(writtenLines, EngineUsage{12, 3400000000});
                whole = lines.whole({}, text, EngineUsage{7, 0}).body;
            } while (isoUtcNow() != second);
            QCOMPARE(QByteArray::fromStdString(writtenLines + whole), QByteArray::fromStdString(expectedLines));
        }
    }

    void anAuditLineIsWrittenAsItsRecordsJsonDocumentWouldBe_data() {
        QTest::addColumn<AuditRecord>("record");
        AuditRecord plain{QStringLiteral("2026-12-06T21:04:05Z"), QStringLiteral("key_1"), QStringLiteral("/v1/chat/completions"),
                          200, 12.345, 8, 64, ClientAuditMode::privacy, std::nullopt, std::nullopt, std::nullopt, std::nullopt};
        QTest::newRow("privacy") << plain;
        AuditRecord none = plain;
        none.mode.reset();
        none.responseTimeMs = 0;
        none.status = 499;
        QTest::newRow("no mode, no time taken") << none;
        AuditRecord hashed = plain;
        hashed.mode = ClientAuditMode::hash;
        hashed.promptSha256 = QString(64, QLatin1Char('a'));
        hashed.completionSha256 = QString(64, QLatin1Char('b'));
        hashed.responseTimeMs = 1234567.891;
        QTest::newRow("hash") << hashed;
        AuditRecord kept = plain;
        kept.mode = ClientAuditMode::audit;
        kept.prompt = QStringLiteral("user: say \"hi\"\\\n\t") + QChar(0x01) + QChar(0xd800) + QStringLiteral(" é 東京 ") +
                      QString::fromUtf8("\xF0\x9F\x8C\x8A");
        kept.completion = QString();
        kept.responseTimeMs = 0.001;
        kept.promptTokens = 9000000000;
        QTest::newRow("audit, with every kind of character and an empty answer") << kept;
    }

    void anAuditLineIsWrittenAsItsRecordsJsonDocumentWouldBe() {
        QFETCH(AuditRecord, record);
        QCOMPARE(QByteArray::fromStdString(AuditLog::encodeLine(record)), encodeJson(record));
    }

    void badInferenceRequestsAreRefusedWithTheReason() {
        const QString key = createKey("k").key;
        const std::tuple<QByteArray, int, const char*> cases[] = {
            {R"({"model":"tavrin-echo"})", 400, "messages: missing required key"},
            {"hello", 400, "not valid JSON"},
            {R"({"messages":[{"role":"user","content":[{"type":"image_url"}]}]})", 400, "only text parts"},
            {R"({"model":"giant-70b","messages":[]})", 404, "is not served here"}};
        for (const auto& [body, status, reason] : cases) {
            const auto answer = send(chat(key, body));
            QVERIFY2(answer && answer->status == status, body.constData());
            QVERIFY2(field(jsonOf(answer->body), {"error", "message"}).toString().contains(QLatin1StringView(reason)),
                     answer->body.constData());
        }
    }

    void auditModeRefusesWhatItCannotRecordAndTheOtherModesServe_data() {
        QTest::addColumn<AuditFault>("fault");
        QTest::addColumn<QString>("reason");
        QTest::addColumn<bool>("knownBeforeAnyRequest"); // a file that opens is only found out by a write
        QTest::newRow("full") << AuditFault::full << "it is at its size limit" << true;
        QTest::newRow("folder taken") << AuditFault::folderTaken << "cannot create its folder %1" << true;
        QTest::newRow("writes fail") << AuditFault::disksRefuses << "cannot append to it: No space left on device" << false;
    }
    void auditModeRefusesWhatItCannotRecordAndTheOtherModesServe() {
        QFETCH(AuditFault, fault);
        QFETCH(QString, reason);
        QFETCH(bool, knownBeforeAnyRequest);
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start(fault == AuditFault::full ? ReferenceServerOptions{{"--audit-max-bytes", "0"}}
                                                              : ReferenceServerOptions{}));
        const QString folder = server.stateDirectory() + "/audit";
        reason = reason.arg(folder);
        if (fault == AuditFault::folderTaken) {
            QDir(folder).removeRecursively();
            QVERIFY(QFile::copy(server.stateDirectory() + "/admin.secret", folder)); // any file will do
        } else if (fault == AuditFault::disksRefuses) {
            QVERIFY(QDir().mkpath(folder));
            QVERIFY(QFile::link("/dev/full", todaysAuditFile(folder)));
        }
        auto client = server.client();
        const QString key = await(client->createKey(QStringLiteral("audited"), std::nullopt)).value_or(ClientCreatedAPIKey{}).key;
        const auto setMode = [&](ClientAuditMode mode) { return bool(await(client->updateLoggingSettings({mode, 30, false}))); };
        const HttpCall calls[] = {
            chat(key), chat(key, R"({"messages":[{"role":"user","content":"How warm is it in Lisbon today?"}],"stream":true})"),
            HttpCall{"POST", "/api/generate"}.bearer(key).json(R"({"prompt":"How warm is it in Lisbon today?"})")};

        QVERIFY(setMode(ClientAuditMode::audit));
        QCOMPARE(await(client->status())->auditUnavailable.value_or("(none)"), knownBeforeAnyRequest ? reason : "(none)");
        for (const HttpCall& call : calls) {
            const auto answer = exchange(server.port(), call);
            TAVRIN_REQUIRE(answer);
            QCOMPARE(answer->status, 503);
            QCOMPARE(field(jsonOf(answer->body), {"error", "message"}).toString(),
                     "Audit logging is on and the audit log cannot be written (" + reason + "), so this request was not served.");
            QCOMPARE(field(jsonOf(answer->body), {"error", "type"}).toString(), "audit_log_unavailable");
        }
        QCOMPARE(await(client->status())->auditUnavailable.value_or("(none)"), reason);
        const auto usage = await(client->listKeys());
        QVERIFY(usage && usage->size() == 1 && usage->front().totalRequests == 3 && usage->front().completionTokens == 0);

        QVERIFY(setMode(ClientAuditMode::privacy));
        const auto privately = exchange(server.port(), chat(key));
        QVERIFY(privately && privately->status == 200 && !answerText(*privately).isEmpty());
        QCOMPARE(await(client->status())->auditUnavailable.value_or("(none)"), "(none)");

        // Mended, audit mode serves again, and keeps what it serves.
        QVERIFY(setMode(ClientAuditMode::audit));
        if (fault == AuditFault::full) {
            QCOMPARE(server.stop().value_or(-1), 0);
            TAVRIN_REQUIRE(server.start());
            client = server.client();
        } else {
            QVERIFY(QFile::remove(fault == AuditFault::folderTaken ? folder : todaysAuditFile(folder)));
        }
        const auto served = exchange(server.port(), chat(key));
        QVERIFY(served && served->status == 200);
        QCOMPARE(await(client->status())->auditUnavailable.value_or("(none)"), "(none)");
        const auto kept = AuditLog::readAll(folder);
        QVERIFY(!kept.empty() && kept.back().completion == answerText(*served));
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
            {"127.0.0.1", 11434, false, std::nullopt, {"https://app.example.com"}, {"127.0.0.1"}})));
        TAVRIN_REQUIRE(server.restart());
        const auto allowed = withOrigin("GET", "https://app.example.com");
        QVERIFY(allowed->status == 200 && allowed->header("Access-Control-Allow-Origin") == "https://app.example.com");
        QVERIFY(!withOrigin("GET", "https://evil.example.net")->header("Access-Control-Allow-Origin"));
        const auto preflight = withOrigin("OPTIONS", "https://app.example.com");
        QVERIFY(preflight->status == 204 && preflight->header("Access-Control-Allow-Methods")->contains("POST") &&
                preflight->header("Access-Control-Allow-Headers")->contains("Authorization"));
        const auto refusedPreflight = withOrigin("OPTIONS", "https://evil.example.net");
        QVERIFY(refusedPreflight->status == 403 && !refusedPreflight->header("Access-Control-Allow-Origin"));

        const auto refused = exchange(server.port(), fromOther);
        QVERIFY(refused && refused->status == 403 && refused->body.contains("127.0.0.2"));
        QVERIFY(await(server.client()->status())); // administration is not subject to the allowlist
    }
};

QTEST_GUILESS_MAIN(InferenceContractTest)
#include "InferenceContractTest.moc"
