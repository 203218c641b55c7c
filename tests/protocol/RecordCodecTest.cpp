#include "protocol/ClientRecords.h"
#include "support/SampleDocuments.h"

#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <unordered_set>

using namespace tavrin;

namespace {

enum class Op { Remove, Set };

// Applies one change at a dotted path with [i] indexes ("model.pinState.previous[1].alias").
QJsonValue mutated(const QJsonValue& node, QStringList segments, Op op, const QJsonValue& value) {
    QString head = segments.takeFirst();
    const QRegularExpression indexed(QStringLiteral(R"(^(.*)\[(\d+)\]$)"));
    const auto m = indexed.match(head);
    if (m.hasMatch()) {
        // "name[i]": step into the member, then into the element.
        QJsonObject object = node.toObject();
        QJsonArray array = object.value(m.captured(1)).toArray();
        const int i = m.captured(2).toInt();
        if (segments.isEmpty()) {
            if (op == Op::Remove)
                array.removeAt(i);
            else
                array[i] = value;
        } else {
            array[i] = mutated(array.at(i), segments, op, value);
        }
        object[m.captured(1)] = array;
        return object;
    }
    QJsonObject object = node.toObject();
    if (segments.isEmpty()) {
        if (op == Op::Remove)
            object.remove(head);
        else
            object[head] = value;
    } else {
        object[head] = mutated(object.value(head), segments, op, value);
    }
    return object;
}

// Numbers a QJsonValue cannot hold are written as a marker string, then spliced in as raw text.
QByteArray withFault(const QByteArray& document, const QString& path, Op op, const QJsonValue& value,
                     const QByteArray& rawNumber = {}) {
    const QJsonValue root = QJsonDocument::fromJson(document).object();
    const QJsonValue changed = mutated(root, path.split(u'.'), op,
                                       rawNumber.isEmpty() ? value : QJsonValue(QStringLiteral("@RAW@")));
    QByteArray text = QJsonDocument(changed.toObject()).toJson(QJsonDocument::Compact);
    if (!rawNumber.isEmpty())
        text.replace("\"@RAW@\"", rawNumber);
    return text;
}

} // namespace

class RecordCodecTest : public QObject {
    Q_OBJECT

private slots:
    void decodesAWholeStatusWithEveryNestedRecord() {
        const auto status = decodeJson<ClientServerStatus>(test::fullStatusDocument());
        QVERIFY2(status, qPrintable(status ? QString() : status.error().message()));
        // One field of each kind and depth; the round trip below covers the rest.
        QCOMPARE(status->bind.ipAllowlist, (std::vector<QString>{"192.168.1.0/24", "10.0.0.7"}));
        QCOMPARE(status->model.detectedSource->sourceAppVersion, std::nullopt);
        QCOMPARE(status->model.pinState.previous[1].alias, QStringLiteral("keldmarch-4"));
        QCOMPARE(status->model.pinState.stagedUpdate->checksums.value("manifest.json"), QStringLiteral("9f2c"));
        QCOMPARE(status->stages->steeringAlpha, 0.35f);
        QCOMPARE(status->logging.mode, ClientAuditMode::hash);
        QCOMPARE(status->updater.availableUpdate->pkgSize, 73400320);
        QCOMPARE(status->uptimeSeconds, 7384.25);
    }

    void optionalBlocksMayBeAbsentOrNull() {
        QByteArray doc = test::fullStatusDocument();
        for (const char* key : {"stages", "concurrency", "orgPreamble"})
            doc = withFault(doc, QString::fromLatin1(key), Op::Remove, {});
        const auto absent = decodeJson<ClientServerStatus>(doc);
        QVERIFY(absent);
        QVERIFY(!absent->stages && !absent->concurrency && !absent->orgPreamble);

        const auto nulled = decodeJson<ClientServerStatus>(
            withFault(test::fullStatusDocument(), "orgPreamble", Op::Set, QJsonValue::Null));
        const auto removed = decodeJson<ClientServerStatus>(
            withFault(test::fullStatusDocument(), "orgPreamble", Op::Remove, {}));
        QVERIFY(nulled && removed);
        QVERIFY(*nulled == *removed);
        QCOMPARE(nulled->orgPreamble, std::nullopt);
    }

    void oneFaultFailsTheWholeDocument_data() {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("remove");
        QTest::addColumn<QJsonValue>("value");
        QTest::addColumn<QByteArray>("rawNumber");
        QTest::addColumn<QString>("message");

        auto set = [](const char* name, const char* path, QJsonValue value, const char* message) {
            QTest::newRow(name) << QString::fromLatin1(path) << false << value << QByteArray()
                                << QString::fromUtf8(message);
        };
        auto raw = [](const char* name, const char* path, const char* number, const char* message) {
            QTest::newRow(name) << QString::fromLatin1(path) << false << QJsonValue() << QByteArray(number)
                                << QString::fromUtf8(message);
        };
        auto remove = [](const char* name, const char* path, const char* message) {
            QTest::newRow(name) << QString::fromLatin1(path) << true << QJsonValue() << QByteArray()
                                << QString::fromUtf8(message);
        };

        remove("deep missing key", "model.pinState.previous[1].alias",
               "model.pinState.previous[1].alias: missing required key");
        remove("missing required array", "model.pinState.previous",
               "model.pinState.previous: missing required key");
        set("null in required field", "pid", QJsonValue::Null, "pid: null in a required field");
        set("null nested record", "hardware", QJsonValue::Null, "hardware: null in a required field");
        set("string where integer", "bind.bindPort", "11434",
            "bind.bindPort: expected integer, found string");
        set("number where string", "serverVersion", 142, "serverVersion: expected string, found number");
        set("string where double", "uptimeSeconds", "7384", "uptimeSeconds: expected number, found string");
        set("array where object", "logging", QJsonArray{}, "logging: expected object, found array");
        set("string where array", "hardware.supportNotes", "none",
            "hardware.supportNotes: expected array, found string");
        set("bool as number", "model.updateAvailable", 1,
            "model.updateAvailable: expected bool, found number");
        set("fraction in integer", "concurrency.inFlight", 1.5,
            "concurrency.inFlight: expected an integer, found 1.5");
        raw("integer beyond 64 bits", "pid", "18446744073709551616",
            "pid: number does not fit a 64-bit integer");
        raw("one past int64 max", "concurrency.totalCompleted", "9223372036854775808",
            "concurrency.totalCompleted: number does not fit a 64-bit integer");
        raw("double beyond float", "stages.steeringAlpha", "1e39",
            "stages.steeringAlpha: number does not fit a 32-bit float");
        set("wrongly cased mode", "logging.mode", "Audit", "logging.mode: unknown value \"Audit\"");
        set("null element", "bind.ipAllowlist", QJsonArray{QJsonValue::Null},
            "bind.ipAllowlist[0]: null is not allowed here");
        set("wrong element type", "model.running.aliases", QJsonArray{"a", 2},
            "model.running.aliases[1]: expected string, found number");
        set("checksum not text", "model.pinState.production.checksums", QJsonObject{{"model.safetensors", 5}},
            "model.pinState.production.checksums.model.safetensors: expected string, found number");
        set("optional with wrong type", "orgPreamble", 12, "orgPreamble: expected string, found number");
        set("optional record with fault", "updater.availableUpdate", QJsonObject{{"version", "2"}},
            "updater.availableUpdate.publishedAt: missing required key");
    }

    void oneFaultFailsTheWholeDocument() {
        QFETCH(QString, path);
        QFETCH(bool, remove);
        QFETCH(QJsonValue, value);
        QFETCH(QByteArray, rawNumber);
        QFETCH(QString, message);
        const QByteArray doc =
            withFault(test::fullStatusDocument(), path, remove ? Op::Remove : Op::Set, value, rawNumber);
        const auto status = decodeJson<ClientServerStatus>(doc);
        QVERIFY2(!status, "a faulty document decoded");
        QCOMPARE(status.error().message(), message);
    }

    void documentsThatAreNotJsonObjectsFail() {
        QCOMPARE(decodeJson<ClientServerStatus>("").error().message(), QStringLiteral("empty document"));
        QVERIFY(decodeJson<ClientServerStatus>("{\"pid\":").error().message().startsWith("not valid JSON"));
        QCOMPARE(decodeJson<ClientServerStatus>("[1]").error().message(),
                 QStringLiteral("expected object, found array"));
        QCOMPARE(decodeKeyList("{}").error().message(), QStringLiteral("keys: expected array, found object"));
    }

    void theWholeTextMustBeJson_data() {
        // Plain literals, not raw ones: moc miscounts braces inside raw strings.
        QTest::addColumn<QByteArray>("text");
        const QByteArray good =
            "{\"mode\":\"none\",\"retentionDays\":3,\"includePromptContentsInDiagnostics\":false";
        QTest::newRow("trailing comma") << good + ",}";
        QTest::newRow("text after the document") << good + "} x";
        QTest::newRow("two documents") << good + "}{}";
        QTest::newRow("bad value under an unknown key") << good + ",\"extra\":[1,2,}}";
        QTest::newRow("bare word under an unknown key") << good + ",\"extra\":nope}";
        QTest::newRow("raw control character") << good + ",\"extra\":\"a\tb\"}";
        QTest::newRow("invalid UTF-8") << good + ",\"extra\":\"\xc3\x28\"}";
        QTest::newRow("overlong UTF-8") << good + ",\"extra\":\"\xc0\xaf\"}";
        QTest::newRow("leading zero") << QByteArray("{\"mode\":\"none\",\"retentionDays\":03}");
        QTest::newRow("single quotes") << QByteArray("{'mode':\"none\"}");
        QTest::newRow("deep nesting")
            << good + ",\"extra\":" + QByteArray(5000, '[') + QByteArray(5000, ']') + "}";
        QTest::newRow("unterminated") << good;
    }

    void theWholeTextMustBeJson() {
        QFETCH(QByteArray, text);
        const auto decoded = decodeJson<ClientAuditLoggingSettings>(text);
        QVERIFY(!decoded);
        QVERIFY2(decoded.error().message().startsWith("not valid JSON ("),
                 qPrintable(decoded.error().message()));
    }

    void stringsKeepEveryCharacter() {
        const QByteArray text = "{\"preamble\":\"caf\\u00e9 \\ud83d\\ude00 \\\"q\\\" \\\\ \\/ \\n\","
                                "\"maxLength\":2000,\"other\":\"\\ud800\"}";
        const auto decoded = decodeJson<ClientOrgPreambleResponse>(text);
        QVERIFY2(decoded, qPrintable(decoded ? QString() : decoded.error().message()));
        QCOMPARE(*decoded->preamble, QStringLiteral("café 😀 \"q\" \\ / \n"));
        const auto utf8 = decodeJson<ClientOrgPreambleResponse>(
            QStringLiteral("{\"preamble\":\"Grüße, 東京 ✓\",\"maxLength\":1}").toUtf8());
        QCOMPARE(*utf8->preamble, QStringLiteral("Grüße, 東京 ✓"));
    }

    void theLastOfTwoEqualKeysWins() {
        const auto decoded =
            decodeJson<ClientAuditLoggingSettings>("{\"mode\":\"none\",\"retentionDays\":3,\"retentionDays\":"
                                                   "9,\"includePromptContentsInDiagnostics\":true}");
        QVERIFY(decoded);
        QCOMPARE(decoded->retentionDays, 9);
    }

    void integersUseTheWholeSigned64BitRange() {
        const QByteArray doc =
            R"({"maxConcurrency":9223372036854775807,"maxQueueDepth":-9223372036854775808,)"
            R"("inFlight":0,"queued":0,"totalCompleted":4.0,"totalRejected":0})";
        const auto stats = decodeJson<ClientConcurrencyStats>(doc);
        QVERIFY(stats);
        QCOMPARE(stats->maxConcurrency, std::numeric_limits<qint64>::max());
        QCOMPARE(stats->maxQueueDepth, std::numeric_limits<qint64>::min());
        QCOMPARE(stats->totalCompleted, 4);
    }

    void keyScopesAreStrictAndKeepAbsentApartFromEmpty() {
        const auto keys = decodeKeyList(test::keyListDocument(3));
        QVERIFY(keys);
        QCOMPARE(keys->at(2).scopes,
                 (std::vector{ClientAPIKeyScope::inference, ClientAPIKeyScope::readonly}));

        auto listWithKey3 = [](QJsonObject key) {
            QJsonArray array = QJsonDocument::fromJson(test::keyListDocument(5)).array();
            array[3] = key;
            return QJsonDocument(array).toJson(QJsonDocument::Compact);
        };
        QJsonObject key = QJsonDocument::fromJson(test::keyDocument(3)).object();
        key["scopes"] = QJsonArray{"inference", "admin"};
        QCOMPARE(decodeKeyList(listWithKey3(key)).error().message(),
                 QStringLiteral("keys[3].scopes[1]: unknown value \"admin\""));

        key["scopes"] = QJsonArray{};
        const auto empty = decodeKeyList(listWithKey3(key));
        QVERIFY(empty && empty->at(3).scopes.has_value() && empty->at(3).scopes->empty());

        key.remove("scopes");
        const auto absent = decodeKeyList(listWithKey3(key));
        QVERIFY(absent && !absent->at(3).scopes.has_value());
        QVERIFY(absent->at(3) != empty->at(3));
    }

    // The request bodies the client sends are checked whole in its own test; these are the rest.
    void encodesOnlyFieldsThatHaveAValue() {
        ClientNetworkPreferences prefs{"127.0.0.1", 11434, false, std::nullopt, {}, {}};
        QVERIFY(!encodeJson(prefs).contains("mdnsName"));
        prefs.mdnsName = "tavrin";
        QVERIFY(encodeJson(prefs).contains(R"("mdnsName":"tavrin")"));
        QCOMPARE(encodeJson(PreambleBody{QStringLiteral("Sé bref — ✓")}),
                 QStringLiteral(R"({"preamble":"Sé bref — ✓"})").toUtf8());
        QCOMPARE(encodeJson(DiagnosticsBody{true}), QByteArray(R"({"includePromptContents":true})"));
        QCOMPARE(
            encodeJson(ClientAuditLoggingSettings{ClientAuditMode::audit, 7, true}),
            QByteArray(R"({"includePromptContentsInDiagnostics":true,"mode":"audit","retentionDays":7})"));
    }

    void encodingRoundTripsEveryRecord() {
        const auto status = decodeJson<ClientServerStatus>(test::fullStatusDocument());
        QVERIFY(status);
        const QByteArray encoded = encodeJson(*status);
        QVERIFY(!encoded.contains("null"));
        const auto again = decodeJson<ClientServerStatus>(encoded);
        QVERIFY(again);
        QVERIFY(*again == *status);
    }

    void equalityAndHashingFollowEveryNestedField() {
        const auto a = decodeJson<ClientServerStatus>(test::fullStatusDocument());
        auto b = decodeJson<ClientServerStatus>(test::fullStatusDocument());
        QVERIFY(a && b);
        QVERIFY(*a == *b);
        QCOMPARE(std::hash<ClientServerStatus>{}(*a), std::hash<ClientServerStatus>{}(*b));

        b->model.pinState.previous[1].checksums["manifest.json"] = "changed";
        QVERIFY(*a != *b);
        QVERIFY(std::hash<ClientServerStatus>{}(*a) != std::hash<ClientServerStatus>{}(*b));

        std::unordered_set<ClientAPIKeyPublic> set;
        const auto keys = decodeKeyList(test::keyListDocument(50));
        QVERIFY(keys);
        set.insert(keys->begin(), keys->end());
        set.insert(keys->begin(), keys->end());
        QCOMPARE(set.size(), 50u);
        QSet<ClientAPIKeyPublic> qset(keys->begin(), keys->end());
        QCOMPARE(qset.size(), 50);
    }
};

QTEST_GUILESS_MAIN(RecordCodecTest)
#include "RecordCodecTest.moc"
