// The engine setting of the reference server, through the panel's own DaemonClient and raw HTTP:
// what it accepts, what it refuses and in which words, the upstream key's file, and that the key
// never comes back out.

#include "support/HttpProbe.h"
#include "support/ScriptedEngine.h"
#include "ServerTesting.h"

#include "base/PrivateFile.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>
#include <unistd.h>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// What no answer, log or saved file may ever hold.
const QByteArray upstreamKey = "sk-upstream-7Qm2-never-shown";

ClientEngineSettings upstream(const QString& keyFile = {}) {
    return {"openai", QStringLiteral("http://127.0.0.1:%1/v1").arg(freeLoopbackPort()), "qwen2.5-7b-instruct", {},
            keyFile.isEmpty() ? std::nullopt : std::optional(keyFile), {}, {}};
}

} // namespace

class EngineContractTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ReferenceServer> m_server;
    std::unique_ptr<DaemonClient> m_client;
    QTemporaryDir m_files;

    HttpAnswer put(const QByteArray& body) {
        HttpCall call{"PUT", "/admin/engine"};
        return exchange(m_server->port(), call.json(body).bearer(m_server->adminSecret())).value_or(HttpAnswer{});
    }
    HttpAnswer get(const QByteArray& target) {
        HttpCall call{"GET", target};
        return exchange(m_server->port(), call.bearer(m_server->adminSecret())).value_or(HttpAnswer{});
    }
    bool builtinServes() {
        const auto settings = await(m_client->engineSettings());
        const auto status = await(m_client->status());
        return settings && settings->kind == QStringLiteral("builtin") && status && status->engine &&
               status->engine->kind == QStringLiteral("builtin");
    }

private Q_SLOTS:
    void initTestCase() {
        m_server = std::make_unique<ReferenceServer>();
        TAVRIN_REQUIRE(m_server->start());
        m_client = m_server->client();
    }
    void cleanupTestCase() {
        m_client.reset();
        QCOMPARE(m_server->stop().value_or(-1), 0);
        QVERIFY(!m_server->standardError().contains(upstreamKey));
    }

    // A new server answers with its echo engine, and says so in its status.
    void theBuiltInEngineServesUntilAnotherIsSet() {
        const auto settings = await(m_client->engineSettings());
        TAVRIN_REQUIRE(settings);
        QCOMPARE(get("/admin/engine").body, QByteArray("{\"kind\":\"builtin\"}"));
        const auto status = await(m_client->status());
        TAVRIN_REQUIRE(status);
        QVERIFY(status->engine);
        QCOMPARE(status->engine->kind, QStringLiteral("builtin"));
        QCOMPARE(status->engine->servedName, std::optional(QStringLiteral("tavrin-echo")));
        QVERIFY(status->engine->reachable && !status->engine->lastError);

        const auto saved = await(m_client->updateEngineSettings(*settings));
        QCOMPARE(saved.value_or(ClientEngineSettings{}), *settings);
    }

    // One line that says what is wrong; the engine in use keeps serving and nothing is saved.
    void settingsThatDescribeNoEngineAreRefusedInWords_data() {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("said");
        const auto with = [](const char* name, const QJsonValue& value) {
            QJsonObject settings = QJsonDocument::fromJson(encodeJson(upstream())).object();
            if (value.isUndefined())
                settings.remove(name);
            else
                settings.insert(name, value);
            return QJsonDocument(settings).toJson(QJsonDocument::Compact);
        };
        QTest::newRow("an unknown kind") << QByteArray("{\"kind\":\"llama\"}")
                                         << QByteArray("The engine must be \"builtin\" or \"openai\", not \"llama\".");
        QTest::newRow("a built-in engine with an address") << QByteArray("{\"kind\":\"builtin\",\"url\":\"http://127.0.0.1:8080/v1\"}")
                                                           << QByteArray("The built-in engine takes no address, model, key file or timeouts.");
        QTest::newRow("no address") << with("url", QJsonValue::Undefined) << QByteArray("An OpenAI-compatible engine needs its address.");
        QTest::newRow("another scheme") << with("url", "ftp://127.0.0.1/v1")
                                        << QByteArray("The engine's address must start with http:// or https://.");
        QTest::newRow("no host") << with("url", "http:///v1") << QByteArray("The engine's address must name its host");
        QTest::newRow("a password in the address") << with("url", QString::fromUtf8("http://me:" + upstreamKey + "@127.0.0.1:8080/v1"))
                                                   << QByteArray("must not hold a user name or password; put the key in a key file.");
        QTest::newRow("a query") << with("url", "http://127.0.0.1:8080/v1?key=x") << QByteArray("without ? or #.");
        QTest::newRow("no model") << with("model", QJsonValue::Undefined) << QByteArray("An OpenAI-compatible engine needs a model name.");
        QTest::newRow("a blank model") << with("model", "  ") << QByteArray("An OpenAI-compatible engine needs a model name.");
        QTest::newRow("a blank served name") << with("servedName", " ") << QByteArray("The served name must not be blank");
        QTest::newRow("a relative key file") << with("keyFile", "keys/upstream") << QByteArray("The key file must be given by its full path");
        QTest::newRow("no time at all") << with("timeoutSeconds", 0) << QByteArray("The request timeout must be between 1 and 3600 seconds.");
        QTest::newRow("over an hour") << with("timeoutSeconds", 3601) << QByteArray("The request timeout must be between 1 and 3600 seconds.");
        QTest::newRow("no time to connect") << with("connectTimeoutSeconds", -1) << QByteArray("The connect timeout must be between 1 and 300 seconds.");
        QTest::newRow("too long to connect") << with("connectTimeoutSeconds", 301) << QByteArray("The connect timeout must be between 1 and 300 seconds.");
    }
    void settingsThatDescribeNoEngineAreRefusedInWords() {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, said);
        const QString saved = m_server->stateDirectory() + "/engine.json";
        const QByteArray before = fileBytes(saved);
        const HttpAnswer answer = put(body);
        QVERIFY2(answer.status == 400 && answer.body.contains(said), answer.body.constData());
        QVERIFY(answer.body.count('\n') == 1 && !answer.body.contains(upstreamKey));
        QVERIFY(builtinServes());
        QCOMPARE(fileBytes(saved), before);
    }

    // The key's file is the user's own regular file that nobody else may read, of a key's size;
    // anything else is refused before a byte of it is taken, and its contents are never told.
    void theKeyFileMustBeTheUsersOwnPrivateFile_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("said");
        const QByteArray notPrivate = "The key file must be a regular file of yours that only you can read (mode 0600).";
        QTest::newRow("a link to a private file") << "link" << notPrivate;
        QTest::newRow("readable by others") << "shared" << notPrivate;
        QTest::newRow("a FIFO") << "fifo" << notPrivate;
        QTest::newRow("a folder") << "folder" << notPrivate;
        QTest::newRow("another user's") << "theirs" << notPrivate;
        QTest::newRow("larger than a key") << "large" << QByteArray("The key file is larger than 4 KiB; it should hold the key alone.");
        QTest::newRow("empty") << "empty" << QByteArray("is empty.");
        QTest::newRow("two lines") << "lines" << QByteArray("The key file must hold the key alone, on one line.");
        QTest::newRow("missing") << "missing" << QByteArray("There is no key file at ");
    }
    void theKeyFileMustBeTheUsersOwnPrivateFile() {
        QFETCH(QString, name);
        QFETCH(QByteArray, said);
        const QString path = m_files.filePath(name);
        const QString own = m_files.filePath("own");
        QVERIFY(writeFilePrivately(own, upstreamKey + "\n"));
        if (name == "link")
            QVERIFY(QFile::link(own, path));
        else if (name == "shared")
            QVERIFY(writeFilePrivately(path, upstreamKey) && ::chmod(QFile::encodeName(path).constData(), 0644) == 0);
        else if (name == "fifo") // a reader of a FIFO nobody writes to would wait for ever
            QVERIFY(::mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
        else if (name == "folder")
            QVERIFY(QDir().mkpath(path) && ::chmod(QFile::encodeName(path).constData(), 0700) == 0);
        else if (name == "theirs") {
            if (::geteuid() != 0)
                QSKIP("making another user's file needs root");
            QVERIFY(writeFilePrivately(path, upstreamKey) && ::chown(QFile::encodeName(path).constData(), 65534, 65534) == 0);
        } else if (name == "large")
            QVERIFY(writeFilePrivately(path, upstreamKey + QByteArray(4096, ' ')));
        else if (name == "empty")
            QVERIFY(writeFilePrivately(path, " \n"));
        else if (name == "lines")
            QVERIFY(writeFilePrivately(path, upstreamKey + "\nX-Injected: " + upstreamKey));
        const HttpAnswer answer = put(encodeJson(upstream(path)));
        QVERIFY2(answer.status == 400 && answer.body.contains(said), answer.body.constData());
        QVERIFY(!answer.body.contains(upstreamKey) && !m_server->standardError().contains(upstreamKey));
        QVERIFY(builtinServes());
    }

    // Settings the server could make an engine from are answered as saved and kept across a restart;
    // the key their file holds is in no answer, no status, no log and no saved file.
    void anEngineSetIsKeptAcrossARestartAndItsKeyNeverLeaves() {
        const QString keyFile = m_files.filePath("upstream.key");
        QVERIFY(writeFilePrivately(keyFile, "  " + upstreamKey + "\n"));
        ClientEngineSettings settings = upstream(keyFile);
        settings.servedName = QStringLiteral("office-assistant");
        settings.timeoutSeconds = 120;
        settings.connectTimeoutSeconds = 5;
        const HttpAnswer answer = put(encodeJson(settings));
        QVERIFY2(answer.status == 200, answer.body.constData());
        QCOMPARE(decodeJson<ClientEngineSettings>(answer.body).value_or(ClientEngineSettings{}), settings);
        const auto status = await(m_client->status());
        TAVRIN_REQUIRE(status);
        QVERIFY(status->engine && status->engine->kind == QStringLiteral("openai") && status->engine->url == settings.url &&
                status->engine->model == settings.model && status->engine->servedName == settings.servedName);

        TAVRIN_REQUIRE(m_server->restart());
        QCOMPARE(await(m_client->engineSettings()).value_or(ClientEngineSettings{}), settings);
        const QString saved = m_server->stateDirectory() + "/engine.json";
        QCOMPARE(modeOf(saved), mode_t(0600));
        for (const QByteArray& text : {get("/admin/engine").body, get("/admin/status").body, fileBytes(saved), m_server->standardError()})
            QVERIFY(!text.contains(upstreamKey));

        // A key file others may read by the next start is not used: the server starts with the
        // built-in engine serving, and says why.
        QVERIFY(::chmod(QFile::encodeName(keyFile).constData(), 0644) == 0);
        TAVRIN_REQUIRE(m_server->restart());
        QCOMPARE(await(m_client->engineSettings()).value_or(ClientEngineSettings{}), settings); // kept as saved
        const auto standIn = await(m_client->status());
        TAVRIN_REQUIRE(standIn);
        QCOMPARE(standIn->engine->kind, QStringLiteral("builtin"));
        QVERIFY(standIn->engine->lastError &&
                standIn->engine->lastError->contains("The key file must be a regular file of yours"));
        QVERIFY(m_server->standardError().contains("The saved engine cannot be used") &&
                m_server->standardError().contains("The key file must be a regular file of yours"));
        QVERIFY(!m_server->standardError().contains(upstreamKey));

        ClientEngineSettings builtin;
        builtin.kind = QStringLiteral("builtin");
        TAVRIN_REQUIRE(await(m_client->updateEngineSettings(builtin)));
        QVERIFY(builtinServes());
    }

    // One tiny request through the engine in use, answered with its reply and how long it took.
    void anEngineTestAnswersThroughTheEngineInUse() {
        TAVRIN_REQUIRE(await(m_client->setOrgPreamble(QStringLiteral("Always answer in French."))));
        const auto tested = await(m_client->testEngine());
        TAVRIN_REQUIRE(tested);
        // The echo engine quotes what it was sent: the test's own prompt, and no preamble.
        QVERIFY2(tested->answer.contains(QStringLiteral("\"Say hello.\"")) && !tested->answer.contains(QStringLiteral("French")),
                 qPrintable(tested->answer));
        QVERIFY(tested->firstPieceMilliseconds <= tested->totalMilliseconds);
        TAVRIN_REQUIRE(await(m_client->setOrgPreamble(std::nullopt)));
    }

    // Through an OpenAI-compatible engine, the test is its answer, and the key its file holds goes to
    // that engine alone; a failing engine's test fails with the engine's words, and never the key.
    void anEngineTestGoesThroughTheUpstreamWithItsKey() {
        ScriptedHttpServer engine;
        engine.route("/v1/chat/completions",
                     streamed(eventStream({"Hello", " there."}, std::nullopt)));
        const QString keyFile = m_files.filePath("tested.key");
        QVERIFY(writeFilePrivately(keyFile, upstreamKey + "\n"));
        ClientEngineSettings settings = upstream(keyFile);
        settings.url = engine.baseUrl().toString() + "/v1";
        TAVRIN_REQUIRE(await(m_client->updateEngineSettings(settings)));

        const auto tested = await(m_client->testEngine());
        TAVRIN_REQUIRE(tested);
        QCOMPARE(tested->answer, QStringLiteral("Hello there."));
        QVERIFY(tested->firstPieceMilliseconds <= tested->totalMilliseconds);
        const auto requests = engine.requests();
        const auto asked = std::ranges::find(requests, QByteArray("/v1/chat/completions"), &RecordedRequest::path);
        QVERIFY(asked != requests.end());
        QCOMPARE(asked->header("Authorization"), std::optional<QByteArray>("Bearer " + upstreamKey));
        QVERIFY(asked->body.contains("Say hello.") && asked->body.contains(settings.model->toUtf8()));

        engine.route("/v1/chat/completions", ScriptedResponse::text(500, "the model ran out of memory"));
        const auto failed = await(m_client->testEngine());
        QCOMPARE(httpStatusOf(failed), 502);
        QVERIFY(!httpBodyOf(failed).isEmpty() && !httpBodyOf(failed).contains(QString::fromUtf8(upstreamKey)));

        // An engine that never answers is given up on within its own timeout.
        settings.timeoutSeconds = 1;
        TAVRIN_REQUIRE(await(m_client->updateEngineSettings(settings)));
        engine.route("/v1/chat/completions", ScriptedResponse::stall());
        QCOMPARE(httpStatusOf(await(m_client->testEngine())), 504);

        ClientEngineSettings builtin;
        builtin.kind = QStringLiteral("builtin");
        TAVRIN_REQUIRE(await(m_client->updateEngineSettings(builtin)));
    }
};

QTEST_GUILESS_MAIN(EngineContractTest)
#include "EngineContractTest.moc"
