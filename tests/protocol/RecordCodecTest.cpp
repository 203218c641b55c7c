#include "protocol/ClientRecords.h"
#include "support/Basics.h"
#include "support/SampleDocuments.h"

#include <QJsonDocument>
#include <QSet>
#include <QTest>

#include <unordered_set>

using namespace tavrin;

namespace {

// Sets (or, with an undefined value, removes) the member at a dotted path with [i] indexes
// ("model.pinState.previous[1].alias").
QJsonValue mutated(const QJsonValue& node, QStringList path, const QJsonValue& value) {
    const QString head = path.takeFirst();
    bool isIndex = false;
    if (const int i = head.toInt(&isIndex); isIndex) {
        QJsonArray array = node.toArray();
        array[i] = path.isEmpty() ? value : mutated(array[i], path, value);
        return array;
    }
    QJsonObject object = node.toObject();
    if (path.isEmpty() && value.isUndefined())
        object.remove(head);
    else
        object[head] = path.isEmpty() ? value : mutated(object[head], path, value);
    return object;
}

// Numbers a QJsonValue cannot hold are written as a marker string, then spliced in as raw text.
QByteArray withFault(const QString& path, const QJsonValue& value, const QByteArray& rawNumber = {},
                     const QByteArray& document = test::fullStatusDocument()) {
    const QJsonValue changed = mutated(QJsonDocument::fromJson(document).object(),
                                       QString(path).replace(u'[', u'.').remove(u']').split(u'.'),
                                       rawNumber.isEmpty() ? value : QJsonValue(QStringLiteral("@RAW@")));
    return QJsonDocument(changed.toObject()).toJson(QJsonDocument::Compact).replace("\"@RAW@\"", rawNumber);
}

} // namespace

class RecordCodecTest : public QObject {
    Q_OBJECT

private slots:
    // Spot checks of each kind and depth guard against a symmetric fault the round trip would hide;
    // the round trip and a change deep down cover the rest, for equality and hashing too.
    void aWholeStatusDecodesRoundTripsAndComparesByEveryNestedField() {
        const auto status = decodeJson<ClientServerStatus>(test::fullStatusDocument());
        TAVRIN_REQUIRE(status);
        QCOMPARE(status->bind.ipAllowlist, (std::vector<QString>{"192.168.1.0/24", "10.0.0.7"}));
        QCOMPARE(status->model.detectedSource->sourceAppVersion, std::nullopt);
        QCOMPARE(status->model.pinState.previous[1].alias, QStringLiteral("keldmarch-4"));
        QCOMPARE(status->model.pinState.stagedUpdate->checksums.value("manifest.json"), QStringLiteral("9f2c"));
        QCOMPARE(status->stages->steeringAlpha, 0.35f);
        QCOMPARE(status->logging.mode, ClientAuditMode::hash);
        QCOMPARE(status->updater.availableUpdate->pkgSize, 73400320);
        QCOMPARE(status->uptimeSeconds, 7384.25);

        const QByteArray encoded = encodeJson(*status);
        QVERIFY(!encoded.contains("null"));
        auto again = decodeJson<ClientServerStatus>(encoded);
        QVERIFY(again && *again == *status);
        QCOMPARE(std::hash<ClientServerStatus>{}(*again), std::hash<ClientServerStatus>{}(*status));
        again->model.pinState.previous[1].checksums["manifest.json"] = "changed";
        QVERIFY(*again != *status && std::hash<ClientServerStatus>{}(*again) != std::hash<ClientServerStatus>{}(*status));

        const auto keys = decodeJson<ClientAPIKeyList>(test::keyListDocument(50));
        QVERIFY(keys);
        std::unordered_set<ClientAPIKeyPublic> set(keys->begin(), keys->end());
        set.insert(keys->begin(), keys->end());
        QCOMPARE(set.size(), 50u);
        QCOMPARE(QSet<ClientAPIKeyPublic>(keys->begin(), keys->end()).size(), 50);
    }

    void optionalBlocksMayBeAbsentOrNull() {
        std::vector<ClientServerStatus> decoded;
        for (const QJsonValue& gone : {QJsonValue(QJsonValue::Undefined), QJsonValue(QJsonValue::Null)}) {
            const auto status = decodeJson<ClientServerStatus>(
                withFault("stages", gone, {}, withFault("concurrency", gone, {}, withFault("orgPreamble", gone))));
            QVERIFY(status && !status->stages && !status->concurrency && !status->orgPreamble);
            decoded.push_back(*status);
        }
        QVERIFY(decoded[0] == decoded[1]);
    }

    void oneFaultFailsTheWholeDocument() {
        const QJsonValue removed(QJsonValue::Undefined);
        const struct {
            const char* path;
            QJsonValue value;
            const char* message;
            const char* rawNumber;
        } faults[] = {
            {"model.pinState.previous[1].alias", removed, "model.pinState.previous[1].alias: missing required key", ""},
            {"pid", QJsonValue::Null, "pid: null in a required field", ""},
            {"bind.bindPort", "11434", "bind.bindPort: expected integer, found string", ""},
            {"serverVersion", 142, "serverVersion: expected string, found number", ""},
            {"uptimeSeconds", "7384", "uptimeSeconds: expected number, found string", ""},
            {"logging", QJsonArray{}, "logging: expected object, found array", ""},
            {"hardware.supportNotes", "none", "hardware.supportNotes: expected array, found string", ""},
            {"model.updateAvailable", 1, "model.updateAvailable: expected bool, found number", ""},
            {"concurrency.inFlight", 1.5, "concurrency.inFlight: expected an integer, found 1.5", ""},
            {"pid", {}, "pid: number does not fit a 64-bit integer", "18446744073709551616"},
            {"concurrency.totalCompleted", {}, "concurrency.totalCompleted: number does not fit a 64-bit integer",
             "9223372036854775808"}, // one past the largest
            {"stages.steeringAlpha", {}, "stages.steeringAlpha: number does not fit a 32-bit float", "1e39"},
            {"logging.mode", "Audit", "logging.mode: unknown value \"Audit\"", ""},
            {"bind.ipAllowlist", QJsonArray{QJsonValue::Null}, "bind.ipAllowlist[0]: null is not allowed here", ""},
            {"model.running.aliases", QJsonArray{"a", 2}, "model.running.aliases[1]: expected string, found number", ""},
            {"model.pinState.production.checksums", QJsonObject{{"model.safetensors", 5}},
             "model.pinState.production.checksums.model.safetensors: expected string, found number", ""},
            {"orgPreamble", 12, "orgPreamble: expected string, found number", ""},
            {"updater.availableUpdate", QJsonObject{{"version", "2"}}, "updater.availableUpdate.publishedAt: missing required key", ""},
        };
        for (const auto& f : faults) {
            const auto status = decodeJson<ClientServerStatus>(withFault(QString::fromLatin1(f.path), f.value, f.rawNumber));
            QVERIFY2(!status, f.message);
            QCOMPARE(status.error().message(), QString::fromUtf8(f.message));
        }
    }

    // The strict reader under every decoder: the whole text must be one JSON object, and valid text
    // is read exactly. It is tried through small records, as every caller meets it.
    void aDocumentMustBeOneWholeJsonObject() {
        QCOMPARE(decodeJson<ClientServerStatus>("").error().message(), QStringLiteral("empty document"));
        QCOMPARE(decodeJson<ClientServerStatus>("[1]").error().message(), QStringLiteral("expected object, found array"));
        QCOMPARE(decodeJson<ClientAPIKeyList>("{}").error().message(), QStringLiteral("keys: expected array, found object"));
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

    void keyScopesAreStrictAndKeepAbsentApartFromEmpty() {
        const auto keys = decodeJson<ClientAPIKeyList>(test::keyListDocument(3));
        QVERIFY(keys && keys->at(2).scopes == (std::vector{ClientAPIKeyScope::inference, ClientAPIKeyScope::readonly}));

        const auto withScopes = [](const QJsonValue& scopes) {
            QJsonArray array = QJsonDocument::fromJson(test::keyListDocument(5)).array();
            array[3] = mutated(QJsonDocument::fromJson(test::keyDocument(3)).object(), {QStringLiteral("scopes")}, scopes);
            return decodeJson<ClientAPIKeyList>(QJsonDocument(array).toJson(QJsonDocument::Compact));
        };
        QCOMPARE(withScopes(QJsonArray{"inference", "admin"}).error().message(),
                 QStringLiteral("keys[3].scopes[1]: unknown value \"admin\""));
        const auto empty = withScopes(QJsonArray{});
        QVERIFY(empty && empty->at(3).scopes.has_value() && empty->at(3).scopes->empty());
        const auto absent = withScopes(QJsonValue(QJsonValue::Undefined));
        QVERIFY(absent && !absent->at(3).scopes.has_value() && absent->at(3) != empty->at(3));
    }
};

QTEST_GUILESS_MAIN(RecordCodecTest)
#include "RecordCodecTest.moc"
