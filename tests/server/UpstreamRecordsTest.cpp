// An engine's event chunks read by the short path and by the strict reader: whatever the short
// path takes, it reads as the strict reader does; whatever it leaves, the strict reader decides,
// fault and words included.

#include "server/engines/OpenAIEngine.h"
#include "server/engines/UpstreamRecords.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTest>

Q_DECLARE_METATYPE(tavrin::GenerationRequest)

using namespace tavrin;

namespace {
void addChunkRows(); // below the class: its raw strings are more than moc reads

// The chunk as a document: plain text the short path left in the event is that text.
QByteArray asDocument(UpstreamChunk chunk) {
    if (chunk.choices)
        for (auto& choice : *chunk.choices)
            if (choice.delta && choice.delta->plainContent)
                choice.delta->content = QString::fromLatin1(choice.delta->plainContent->data(), qsizetype(choice.delta->plainContent->size()));
    return encodeJson(chunk);
}
}

class UpstreamRecordsTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // The body a generation POSTs is written straight to bytes; the document it stands for is
    // the measure.
    void theRequestBodyIsWrittenAsItsJsonDocumentWouldBe_data() {
        QTest::addColumn<QString>("model");
        QTest::addColumn<GenerationRequest>("request");
        GenerationRequest plain;
        plain.turns = {{QStringLiteral("system"), QStringLiteral("Be brief.")}, {QStringLiteral("user"), QStringLiteral("Tell me about tides.")}};
        QTest::newRow("turns alone") << QStringLiteral("bench-model") << plain;
        GenerationRequest sampled = plain;
        sampled.sampling = {0.25, 1.0, 9000000000, -3, 1e-7, 2.5e30, {QStringLiteral("\n"), QStringLiteral("END \"x\"")}};
        QTest::newRow("every sampling choice") << QStringLiteral("m") << sampled;
        GenerationRequest odd;
        odd.turns = {{QStringLiteral("user"), QStringLiteral("say \"C:\\tides\"\r\n\t") + QChar(0x01) + QChar(0x7f) +
                                                  QStringLiteral(" é 東京 ") + QChar(0xd800) + QString::fromUtf8("\xF0\x9F\x8C\x8A")},
                     {QStringLiteral("assistant"), QString()}};
        odd.sampling.temperature = 0.0;
        odd.sampling.maxTokens = 0;
        QTest::newRow("texts with escapes and other scripts") << QStringLiteral("model \"x\" 東") << odd;
        QTest::newRow("no turns") << QString() << GenerationRequest{};
    }
    void theRequestBodyIsWrittenAsItsJsonDocumentWouldBe() {
        QFETCH(QString, model);
        QFETCH(GenerationRequest, request);
        QJsonArray messages;
        for (const auto& turn : request.turns)
            messages.append(QJsonObject{{QStringLiteral("role"), turn.role}, {QStringLiteral("content"), turn.content}});
        QJsonObject body{{QStringLiteral("model"), model},
                         {QStringLiteral("messages"), messages},
                         {QStringLiteral("stream"), true},
                         {QStringLiteral("stream_options"), QJsonObject{{QStringLiteral("include_usage"), true}}}};
        const SamplingChoices& s = request.sampling;
        const auto put = [&](const char* name, const auto& value) {
            if (value)
                body.insert(QLatin1StringView(name), *value);
        };
        put("temperature", s.temperature);
        put("top_p", s.topP);
        put("max_tokens", s.maxTokens);
        put("seed", s.seed);
        put("presence_penalty", s.presencePenalty);
        put("frequency_penalty", s.frequencyPenalty);
        if (!s.stop.empty()) {
            QJsonArray stop;
            for (const auto& word : s.stop)
                stop.append(word);
            body.insert(QStringLiteral("stop"), stop);
        }
        QCOMPARE(QByteArray::fromStdString(OpenAIEngine::requestBody(model, request)), QJsonDocument(body).toJson(QJsonDocument::Compact));
    }

    void everyChunkReadsAsTheStrictReaderReadsIt_data() {
        QTest::addColumn<QByteArray>("event");
        QTest::addColumn<bool>("plain"); // the short path takes it
        addChunkRows();
    }
    // Each event is read into a chunk that held a fuller one, as a stream's events are: nothing of
    // the last may show through.
    void everyChunkReadsAsTheStrictReaderReadsIt() {
        QFETCH(QByteArray, event);
        QFETCH(bool, plain);
        const std::string_view text(event.constData(), std::size_t(event.size()));
        const auto strict = decodeJson<UpstreamChunk>(event);
        const std::string_view fuller = R"({"choices":[{"delta":{"content":"earlier"},"finish_reason":"stop"},)"
                                        R"({"delta":{"content":"more"}}],"usage":{"prompt_tokens":5,"completion_tokens":6},)"
                                        R"("error":{"message":"gone"}})";
        UpstreamChunk fast, either;
        QVERIFY(readPlainChunk(fuller, fast) && readPlainChunk(fuller, either));
        QCOMPARE(readPlainChunk(text, fast), plain);
        if (plain) {
            QVERIFY2(strict, strict ? "" : qPrintable(strict.error().message()));
            QCOMPARE(asDocument(fast), encodeJson(*strict));
        }
        const auto read = decodeUpstreamChunk(text, either);
        QCOMPARE(read.has_value(), strict.has_value());
        if (strict)
            QCOMPARE(asDocument(either), encodeJson(*strict));
        else
            QCOMPARE(read.error().message(), strict.error().message());
    }
};

QTEST_GUILESS_MAIN(UpstreamRecordsTest)
#include "UpstreamRecordsTest.moc"

namespace {
void addChunkRows() {
    const auto row = [](const char* name, QByteArray event, bool plain) { QTest::newRow(name) << event << plain; };

    row("a piece as engines send it",
        R"({"id":"c1","object":"chat.completion.chunk","created":1700000000,"model":"m","system_fingerprint":null,)"
        R"("choices":[{"index":0,"delta":{"content":"Hello"},"logprobs":null,"finish_reason":null}]})",
        true);
    row("spaces between tokens", "{ \"choices\" : [ { \"delta\" : { \"content\" : \"Hi\" } } ] }\t\r\n", true);
    row("the finish", R"({"choices":[{"index":0,"delta":{},"finish_reason":"stop"}]})", true);
    row("the usage", R"({"choices":[],"usage":{"prompt_tokens":8,"completion_tokens":64,"total_tokens":72}})", true);
    row("usage null", R"({"choices":[{"delta":{"content":"x"}}],"usage":null})", true);
    row("a role and empty content", R"({"choices":[{"delta":{"role":"assistant","content":""}}]})", true);
    row("content null", R"({"choices":[{"delta":{"content":null}}]})", true);
    row("delta null", R"({"choices":[{"delta":null,"finish_reason":"length"}]})", true);
    row("choices null", R"({"choices":null})", true);
    row("two choices", R"({"choices":[{"delta":{"content":"a"}},{"delta":{"content":"b"},"finish_reason":"stop"}]})", true);
    row("a key twice: the later wins", R"({"choices":[{"delta":{"content":"a","content":"b"}}]})", true);
    row("choices twice", R"({"choices":[{"delta":{"content":"a"}}],"choices":[]})", true);
    row("a value then null", R"({"usage":{"prompt_tokens":1,"completion_tokens":2},"usage":null})", true);
    row("extra fields of every plain kind", R"({"x":{"y":[1,-2,true,false,null,{"z":[]},"s"]},"choices":[{"delta":{"content":"t"}}]})",
        true);
    row("negative and zero counts", R"({"usage":{"prompt_tokens":-1,"completion_tokens":0}})", true);
    row("an error event", R"({"error":{"message":"overloaded","code":503}})", true);
    row("an empty object", "{}", true);

    row("escapes in content", R"({"choices":[{"delta":{"content":"line\nnext \"q\" \\ \/ \t\b\f\r"}}]})", true);
    row("unicode escapes", R"({"choices":[{"delta":{"content":"\u00e9\ud83d\ude00\u0000\u00C9"}}]})", true);
    row("an escaped key", R"({"choic\u0065s":[{"delta":{"content":"k"}}]})", false);
    row("text beyond ASCII", "{\"choices\":[{\"delta\":{\"content\":\"Gr\xc3\xbc\xc3\x9f" "e \xe6\x9d\xb1 \xf0\x9f\x8c\x8a \xf4\x8f\xbf\xbd\"}}]}", true);
    row("escapes and accents in an extra field", R"({"model":"m\u00e9 \"x\"","choices":[{"delta":{"content":"t"}}]})", true);
    row("a lone high surrogate", R"({"choices":[{"delta":{"content":"a\ud83d"}}]})", false);
    row("a high surrogate before a letter", R"({"choices":[{"delta":{"content":"\ud83d\u0041"}}]})", false);
    row("a lone low surrogate", R"({"choices":[{"delta":{"content":"\ude00"}}]})", false);
    row("an unknown escape", R"({"choices":[{"delta":{"content":"\x41"}}]})", false);
    row("a short unicode escape", R"({"choices":[{"delta":{"content":"\u00e"}}]})", false);
    row("an overlong letter", "{\"choices\":[{\"delta\":{\"content\":\"\xc0\xaf\"}}]}", false);
    row("a surrogate in UTF-8", "{\"choices\":[{\"delta\":{\"content\":\"\xed\xa0\x80\"}}]}", false);
    row("beyond the last letter", "{\"choices\":[{\"delta\":{\"content\":\"\xf4\x90\x80\x80\"}}]}", false);
    row("a letter cut by the quote", "{\"choices\":[{\"delta\":{\"content\":\"\xe6\x9d\"}}]}", false);
    row("a noncharacter", "{\"choices\":[{\"delta\":{\"content\":\"\xef\xbf\xbe\"}}]}", false);
    row("bytes that are not UTF-8", "{\"choices\":[{\"delta\":{\"content\":\"\xff\xfe\"}}]}", false);
    row("a delete character", "{\"choices\":[{\"delta\":{\"content\":\"a\x7f\"}}]}", true);
    row("a raw tab in a string", "{\"choices\":[{\"delta\":{\"content\":\"a\tb\"}}]}", false);
    row("a fraction in an extra field", R"({"temperature":0.5,"choices":[{"delta":{"content":"f"}}]})", false);
    row("an exponent", R"({"usage":{"prompt_tokens":1e2,"completion_tokens":2}})", false);
    row("a leading zero", R"({"choices":[{"index":01,"delta":{"content":"z"}}]})", false);
    row("a count too large for any integer", R"({"usage":{"prompt_tokens":99999999999999999999,"completion_tokens":2}})", false);
    row("a count missing", R"({"usage":{"prompt_tokens":8}})", false);
    row("a count null", R"({"usage":{"prompt_tokens":null,"completion_tokens":2}})", false);
    row("a count as text", R"({"usage":{"prompt_tokens":"8","completion_tokens":2}})", false);
    row("content as a number", R"({"choices":[{"delta":{"content":5}}]})", false);
    row("choices as an object", R"({"choices":{"delta":{"content":"o"}}})", false);
    row("an error as text", R"({"error":"boom"})", false);
    row("something after the object", R"({"choices":[]} x)", false);
    row("not an object", "[]", false);
    row("cut short", R"({"choices":[{"delta":{"content":"cut)", false);
    row("a trailing comma", R"({"choices":[],})", false);
    row("nothing", "", false);
    row("deep nesting in an extra field", QByteArray(R"({"deep":)") + QByteArray(20, '[') + QByteArray(20, ']') + "}", false);
}
} // namespace
