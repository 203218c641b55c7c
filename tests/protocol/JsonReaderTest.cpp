// The strict reader under every decoder: the whole text must be JSON, and valid text is read exactly.
// It is tried through small records, as every caller meets it.
#include "protocol/ClientRecords.h"
#include "support/Basics.h"

#include <QTest>

using namespace tavrin;

class JsonReaderTest : public QObject {
    Q_OBJECT

private slots:
    void theWholeTextMustBeJson() {
        // Plain literals, not raw ones: moc miscounts braces inside raw strings.
        const QByteArray good = "{\"mode\":\"none\",\"retentionDays\":3,\"includePromptContentsInDiagnostics\":false";
        const QByteArray texts[] = {
            good + ",}", good + "} x", good + "}{}",                       // trailing comma, text after it, two documents
            good + ",\"extra\":[1,2,}}", good + ",\"extra\":nope}",          // bad value, bare word under an unknown key
            good + ",\"extra\":\"a\tb\"}",                                 // raw control character
            good + ",\"extra\":\"\xc3\x28\"}", good + ",\"extra\":\"\xc0\xaf\"}", // invalid and overlong UTF-8
            "{\"mode\":\"none\",\"retentionDays\":03}", "{'mode':\"none\"}",   // leading zero, single quotes
            good + ",\"extra\":" + QByteArray(5000, '[') + QByteArray(5000, ']') + "}", // deep nesting
            good, "{\"mode\":"};                                            // unterminated
        for (const QByteArray& text : texts) {
            const auto decoded = decodeJson<ClientAuditLoggingSettings>(text);
            QVERIFY2(!decoded && decoded.error().message().startsWith("not valid JSON ("), text.left(80).constData());
        }
    }

    // Every escape and UTF-8 character, the last of two equal keys, the whole signed 64-bit range.
    void validTextDecodesExactly() {
        const auto preamble = decodeJson<ClientOrgPreambleResponse>("{\"preamble\":\"caf\\u00e9 \\ud83d\\ude00 \\\"q\\\" "
                                                                    "\\\\ \\/ \\n\",\"maxLength\":2000,\"other\":\"\\ud800\"}");
        TAVRIN_REQUIRE(preamble);
        QCOMPARE(*preamble->preamble, QStringLiteral("café 😀 \"q\" \\ / \n"));
        const auto utf8 =
            decodeJson<ClientOrgPreambleResponse>(QStringLiteral("{\"preamble\":\"Grüße, 東京 ✓\",\"maxLength\":1}").toUtf8());
        QCOMPARE(*utf8->preamble, QStringLiteral("Grüße, 東京 ✓"));

        const auto twice = decodeJson<ClientAuditLoggingSettings>(
            "{\"mode\":\"none\",\"retentionDays\":3,\"retentionDays\":9,\"includePromptContentsInDiagnostics\":true}");
        QCOMPARE(twice.value_or(ClientAuditLoggingSettings{}).retentionDays, 9);

        const auto stats = decodeJson<ClientConcurrencyStats>(
            R"({"maxConcurrency":9223372036854775807,"maxQueueDepth":-9223372036854775808,)"
            R"("inFlight":0,"queued":0,"totalCompleted":4.0,"totalRejected":0})");
        QVERIFY(stats && stats->maxConcurrency == std::numeric_limits<qint64>::max());
        QVERIFY(stats->maxQueueDepth == std::numeric_limits<qint64>::min() && stats->totalCompleted == 4);
    }
};

QTEST_GUILESS_MAIN(JsonReaderTest)
#include "JsonReaderTest.moc"
