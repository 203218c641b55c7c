// What an OpenAI-compatible engine says of itself: the check of {url}/models that it runs on its
// own timer while in use, and a failed generation's words, against a scripted engine over real HTTP.

#include "server/engines/OpenAIEngine.h"
#include "support/HttpProbe.h"
#include "support/ScriptedHttpServer.h"

#include <QTest>

#include <boost/asio/io_context.hpp>

#include <chrono>
#include <memory>
#include <optional>

using namespace tavrin;
using namespace tavrin::test;
using namespace std::chrono_literals;

namespace {

const std::string upstreamKey = "sk-upstream-health-51ac";

enum class At { scripted, nobody };

// Receives one generation's events.
struct RecordingSink final : GenerationSink {
    QString text;
    std::optional<EngineUsage> usage;
    std::optional<EngineFailure> failure;
    void piece(QString t) override { text += t; }
    void finished(EngineUsage u) override { usage = u; }
    void failed(EngineFailure f) override { failure = std::move(f); }
};

ClientEngineSettings settingsFor(const QString& url) { return {"openai", url, "scripted-model-7b", {}, {}, 5, 2}; }

// Runs the loop until `done` holds, or nothing is left to run, or a generous while has passed.
template <class Done>
bool runUntil(boost::asio::io_context& io, Done done) {
    for (int round = 0; round < 600 && !done(); ++round) {
        io.restart();
        io.run_for(50ms);
    }
    return done();
}

} // namespace

Q_DECLARE_METATYPE(ScriptedResponse)
Q_DECLARE_METATYPE(At)

class EngineHealthTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void theCheckSaysWhetherTheEngineAnswersAndListsTheModel_data() {
        QTest::addColumn<ScriptedResponse>("models");
        QTest::addColumn<At>("at");
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<std::optional<bool>>("listed");
        QTest::addColumn<QString>("error"); // how the last error begins; empty: none; %1: the address

        QTest::newRow("listed") << ScriptedResponse::json(200, R"({"object":"list","data":[{"id":"other"},{"id":"scripted-model-7b"}]})")
                                << At::scripted << true << std::optional<bool>(true) << QString();
        QTest::newRow("not listed") << ScriptedResponse::json(200, R"({"data":[{"id":"other"}]})") << At::scripted << true
                                    << std::optional<bool>(false) << "The engine at %1 does not list the model \"scripted-model-7b\".";
        QTest::newRow("refuses the key") << ScriptedResponse::json(401, R"({"error":{"message":"bad key"}})") << At::scripted << true
                                         << std::optional<bool>() << "The engine at %1 answered 401: bad key";
        QTest::newRow("unreadable list") << ScriptedResponse::json(200, "[1,2") << At::scripted << true << std::optional<bool>()
                                         << "The engine at %1 sent a model list that could not be read.";
        QTest::newRow("nobody there") << ScriptedResponse::json(200, "{}") << At::nobody << false << std::optional<bool>()
                                      << "The engine at %1 could not be reached (";
    }
    void theCheckSaysWhetherTheEngineAnswersAndListsTheModel() {
        QFETCH(ScriptedResponse, models);
        QFETCH(At, at);
        QFETCH(bool, reachable);
        QFETCH(std::optional<bool>, listed);
        QFETCH(QString, error);
        ScriptedHttpServer upstream;
        upstream.route("/v1/models", models);
        const QString address = QStringLiteral("http://127.0.0.1:%1").arg(at == At::nobody ? freeLoopbackPort() : upstream.port());
        boost::asio::io_context io;
        auto engine = OpenAIEngine::make(io, settingsFor(address + "/v1"), upstreamKey);
        QVERIFY(engine);
        QVERIFY(!(*engine)->health().checkedAt); // nothing is known before the first check
        QVERIFY(runUntil(io, [&] { return (*engine)->health().checkedAt.has_value(); }));

        const ClientEngineHealth health = (*engine)->health();
        QCOMPARE(health.kind, "openai");
        QCOMPARE(health.url.value_or(""), address + "/v1");
        QCOMPARE(health.servedName.value_or(""), "scripted-model-7b");
        QCOMPARE(health.reachable, reachable);
        QCOMPARE(health.modelListed, listed);
        if (error.isEmpty())
            QVERIFY2(!health.lastError, qPrintable(health.lastError.value_or("")));
        else
            QVERIFY2(health.lastError.value_or("").startsWith(error.arg(address)), qPrintable(health.lastError.value_or("(none)")));
        QVERIFY(!health.lastError.value_or("").contains(QString::fromStdString(upstreamKey)));
        if (at == At::scripted)
            QCOMPARE(upstream.requests().front().header("Authorization").value_or(""), QByteArray::fromStdString("Bearer " + upstreamKey));

        // An engine no longer in use stops checking: nothing is left on its loop.
        engine->reset();
        io.restart();
        io.run_for(30s);
        QVERIFY(io.stopped());
    }

    void aFailedGenerationIsTheLastError() {
        ScriptedHttpServer upstream;
        upstream.route("/v1/models", ScriptedResponse::json(200, R"({"data":[{"id":"scripted-model-7b"}]})"));
        upstream.route("/v1/chat/completions", ScriptedResponse::json(503, R"({"error":{"message":"loading the model"}})"));
        boost::asio::io_context io;
        auto engine = OpenAIEngine::make(io, settingsFor(upstream.baseUrl().toString() + "/v1"), std::nullopt);
        QVERIFY(engine);
        QVERIFY(runUntil(io, [&] { return (*engine)->health().checkedAt.has_value(); }));
        QVERIFY(!(*engine)->health().lastError);

        auto sink = std::make_shared<RecordingSink>();
        GenerationRequest request;
        request.turns.push_back({QStringLiteral("user"), QStringLiteral("Hello.")});
        const auto handle = (*engine)->generate(request, sink);
        QVERIFY(runUntil(io, [&] { return sink->failure.has_value(); }));
        QCOMPARE(sink->failure->status, 503);
        QCOMPARE(sink->failure->message, (*engine)->health().lastError.value_or("(none)"));
        QVERIFY((*engine)->health().reachable); // the check, not the generation, says whether it answers
    }
};

QTEST_GUILESS_MAIN(EngineHealthTest)
#include "EngineHealthTest.moc"
