// The server as a gateway in front of an OpenAI-compatible engine, over real HTTP on both sides:
// the real server binary, a scripted engine (tests/support's ScriptedHttpServer) and a client on
// plain sockets that reads the answer as it arrives.

#include "ServerTesting.h"
#include "support/HttpProbe.h"
#include "support/ScriptedEngine.h"
#include "support/ScriptedHttpServer.h"
#include "support/StreamingClient.h"
#include "support/TestCertificateAuthority.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <optional>
#include <set>

using namespace tavrin;
using namespace tavrin::test;
using namespace std::chrono_literals;

namespace {

const QString upstreamKey = QStringLiteral("sk-upstream-9f2c7e41d0b8");
const QString upstreamModel = QStringLiteral("scripted-model-7b");

QJsonObject jsonOf(const QByteArray& bytes) { return QJsonDocument::fromJson(bytes).object(); }

// Who is at the engine's address.
enum class Listener {
    scripted, // the scripted engine
    nobody,   // nothing: connections are refused
    full,     // a listener that accepts nobody and whose backlog is full: connections never complete
};

// A loopback listener that never accepts, its backlog filled, so that a further connect hangs.
class FullListener {
public:
    FullListener() {
        m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_fd, 0);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        for (int i = 0; i < 4; ++i) { // the backlog's places, taken without waiting for them
            const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
            ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
            m_fillers.push_back(fd);
        }
    }
    ~FullListener() {
        for (int fd : m_fillers)
            ::close(fd);
        ::close(m_fd);
    }
    quint16 port() const { return m_port; }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    std::vector<int> m_fillers;
};

// What an https engine shows the gateway.
enum class Certificate {
    trusted,          // issued for 127.0.0.1 and localhost by the authority the gateway is told to trust
    selfSigned,       // for the same names, vouched for by nobody
    unknownAuthority, // for the same names, from an authority the gateway was not told of
    otherHost,        // from the trusted authority, for another host name
};

// How many times the engine at `upstream` was asked for its model list.
std::size_t modelChecks(const ScriptedHttpServer& upstream) { return upstream.requestCount("/v1/models"); }

// The connections the engine at `upstream` was asked for generations on, in order.
std::vector<std::size_t> generationConnections(const ScriptedHttpServer& upstream) {
    std::vector<std::size_t> out;
    for (const auto& request : upstream.requests())
        if (request.path() == "/v1/chat/completions")
            out.push_back(request.connection);
    return out;
}

} // namespace

Q_DECLARE_METATYPE(Listener)
Q_DECLARE_METATYPE(Certificate)

Q_DECLARE_METATYPE(ScriptedResponse)

class UpstreamEngineTest : public QObject {
    Q_OBJECT

    QTemporaryDir m_keyFolder;

    QString keyFile() {
        const QString path = m_keyFolder.filePath("upstream.key");
        writeBytes(path, upstreamKey.toUtf8() + "\n");
        QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
        return path;
    }

    // Sets the engine to the scripted one at `url` (or any URL) through the admin API, with the key
    // file unless told not to.
    std::expected<void, QString> setEngine(ReferenceServer& server, const QString& url, bool withKey = true, qint64 timeoutSeconds = 30,
                                           qint64 connectTimeoutSeconds = 10) {
        const ClientEngineSettings engine{"openai", url, upstreamModel, {}, withKey ? std::optional(keyFile()) : std::nullopt,
                                          timeoutSeconds, connectTimeoutSeconds};
        const auto set = await(server.client()->updateEngineSettings(engine));
        if (!set)
            return std::unexpected(set.error().message());
        return {};
    }

    // A gateway whose engine is the one at `url`.
    std::expected<void, QString> startGateway(ReferenceServer& server, const QString& url, ReferenceServerOptions options = {},
                                              bool withKey = true, qint64 timeoutSeconds = 30, qint64 connectTimeoutSeconds = 10) {
        if (auto started = server.start(std::move(options)); !started)
            return started;
        return setEngine(server, url, withKey, timeoutSeconds, connectTimeoutSeconds);
    }

    static QString clientKey(ReferenceServer& server) {
        return await(server.client()->createKey(QStringLiteral("gateway"), std::nullopt)).value_or(ClientCreatedAPIKey{}).key;
    }

    static QByteArray chatBody(bool stream) {
        QJsonObject body{{"model", upstreamModel},
                         {"messages", QJsonArray{QJsonObject{{"role", "user"}, {"content", "Tell me about tides."}}}},
                         {"temperature", 0.25},
                         {"n", 3},
                         {"stream", stream}};
        return QJsonDocument(body).toJson(QJsonDocument::Compact);
    }

private Q_SLOTS:
    void piecesReachTheClientWhileTheEngineIsStillGenerating_data() {
        QTest::addColumn<QByteArray>("target");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("end"); // how the client's answer ends when the engine ends
        QTest::newRow("chat completions") << QByteArray("/v1/chat/completions") << chatBody(true) << QByteArray("data: [DONE]");
        QTest::newRow("native chat") << QByteArray("/api/chat")
                                     << QByteArray("{\"messages\":[{\"role\":\"user\",\"content\":\"Tell me about tides.\"}]}")
                                     << QByteArray("\"done\":true");
        QTest::newRow("native generate") << QByteArray("/api/generate") << QByteArray("{\"prompt\":\"Tell me about tides.\"}")
                                         << QByteArray("\"done\":true");
    }
    void piecesReachTheClientWhileTheEngineIsStillGenerating() {
        QFETCH(QByteArray, target);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, end);
        ScriptedHttpServer upstream;
        upstream.route("/v1/chat/completions",
                       ScriptedResponse::gated(200, "text/event-stream", pieceEvent("Spring tides"), pieceEvent(" follow the moon.") +
                                                                                                     finishEvent() + usageEvent(31, 17) +
                                                                                                     "data: [DONE]\n\n"));
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, upstream.baseUrl().toString() + "/v1"));
        const QString key = clientKey(server);

        StreamingClient client(server.port());
        QVERIFY(client.send(target, key, body));
        // The engine waits at its gate until told: what the client has read so far came while it
        // was still generating.
        QVERIFY2(client.readUntil("Spring tides"), client.received().constData());
        QVERIFY(!client.received().contains("follow the moon"));
        upstream.openGate();
        const QByteArray answer = client.readToEnd();
        QVERIFY2(answer.contains("follow the moon") && answer.contains(end), answer.constData());

        // Usage is the engine's own count, for the key and in the answer.
        const auto keys = await(server.client()->listKeys());
        QVERIFY(keys && keys->size() == 1);
        QCOMPARE(keys->front().promptTokens, 31);
        QCOMPARE(keys->front().completionTokens, 17);
    }

    // An engine that tells no usage: the answer is counted here. Its pieces come plain and with
    // escapes, as a model's text does, and are put together in the order they came.
    void whatGoesUpstreamIsTheConfiguredKeyModelAndSamplingOnly() {
        ScriptedHttpServer upstream;
        upstream.route("/v1/chat/completions", streamed(eventStream({"Tide ", "runs \"fast\"", " to", "day"}, std::nullopt)));
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, upstream.baseUrl().toString() + "/v1/"));
        const QString key = clientKey(server);
        const auto answer = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(false)));
        TAVRIN_REQUIRE(answer);
        QCOMPARE(answer->status, 200);
        QCOMPARE(jsonOf(answer->body)["choices"].toArray().at(0)["message"]["content"].toString(), "Tide runs \"fast\" today");
        // Words of four, six and five characters: one, two and two tokens by the server's own count.
        const QJsonObject usage = jsonOf(answer->body)["usage"].toObject();
        QVERIFY(usage["completion_tokens"].toInteger() == 6 && usage["prompt_tokens"].toInteger() > 0);
        QCOMPARE(await(server.client()->listKeys())->front().completionTokens, 6);

        std::optional<RecordedRequest> sent;
        for (const auto& request : upstream.requests())
            if (request.path() == "/v1/chat/completions")
                sent = request;
        QVERIFY(sent);
        QCOMPARE(sent->header("Authorization").value_or("(none)"), "Bearer " + upstreamKey.toUtf8());
        for (const auto& [name, value] : sent->headers)
            QVERIFY2(!value.contains(key.toUtf8()), name.constData());
        const QJsonObject up = jsonOf(sent->body);
        QCOMPARE(up["model"].toString(), upstreamModel);
        QVERIFY(up["stream"].toBool() && up["stream_options"]["include_usage"].toBool());
        QCOMPARE(up["temperature"].toDouble(), 0.25);
        QVERIFY(!up.contains("n")); // not one of the fields passed on
        QCOMPARE(up["messages"].toArray().last()["content"].toString(), "Tell me about tides.");

        // Without a key file, no Authorization header goes up at all.
        ReferenceServer keyless;
        TAVRIN_REQUIRE(startGateway(keyless, upstream.baseUrl().toString() + "/v1", {}, false));
        upstream.clearRequests();
        QVERIFY(exchange(keyless.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(clientKey(keyless)).json(chatBody(false))));
        for (const auto& request : upstream.requests())
            QVERIFY(!request.header("Authorization"));
    }

    void everyFaultOfTheEngineIsAnsweredInTheOpenAIShape_data() {
        QTest::addColumn<ScriptedResponse>("script");
        QTest::addColumn<Listener>("listener");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("words"); // %1: the engine's address
        QTest::addColumn<bool>("pieceFirst"); // a piece reaches a streaming client before the fault

        const ScriptedResponse none = ScriptedResponse::text(200, "");
        QTest::newRow("refused") << none << Listener::nobody << 502 << "upstream_unreachable" << "The engine at %1 could not be reached (" << false;
        QTest::newRow("accepts nobody") << none << Listener::full << 504 << "upstream_timeout"
                                        << "The engine at %1 did not accept a connection within 1 second." << false;
        QTest::newRow("hangs") << ScriptedResponse::stall() << Listener::scripted << 504 << "upstream_timeout"
                               << "The engine at %1 did not finish answering within 2 seconds." << false;
        QTest::newRow("500 with a body")
            << ScriptedResponse::json(500, "{\"error\":{\"message\":\"model \\u001b[31mcrashed\\u0007 again\"}}") << Listener::scripted
            << 500 << "upstream_error" << "The engine at %1 answered 500: model [31mcrashed again" << false;
        QTest::newRow("429 in plain text, long") << ScriptedResponse::text(429, QByteArray("slow down ").repeated(500)) << Listener::scripted << 429
                                                 << "upstream_error" << "The engine at %1 answered 429: slow down slow down" << false;
        QTest::newRow("401 quoting the key") << ScriptedResponse::json(401, "{\"error\":{\"message\":\"key " + upstreamKey.toUtf8() + " is revoked\"}}")
                                             << Listener::scripted << 401 << "upstream_error"
                                             << "The engine at %1 answered 401: key [the engine's key] is revoked" << false;
        ScriptedResponse redirect = ScriptedResponse::text(302, "");
        redirect.headers.emplace_back("Location", "http://127.0.0.1:1/elsewhere");
        QTest::newRow("redirect") << redirect << Listener::scripted << 502 << "upstream_error"
                                  << "The engine at %1 answered with a redirect (302), which is not followed." << false;
        QTest::newRow("binary") << ScriptedResponse::raw(QByteArray("\x00\x01\xfe\xff binary", 12)) << Listener::scripted << 502
                                << "upstream_malformed" << "The engine at %1 did not answer in HTTP (" << false;
        QTest::newRow("huge head") << ScriptedResponse::raw("HTTP/1.1 200 OK\r\nX-Filler: " + QByteArray(20000, 'a') + "\r\n\r\n")
                                   << Listener::scripted << 502 << "upstream_malformed"
                                   << "The engine at %1 sent headers larger than 16 KiB." << false;
        QTest::newRow("endless line") << ScriptedResponse::endless(200, "data: aaaaaaaaaaaaaaaa") << Listener::scripted << 502 << "upstream_malformed"
                                      << "The engine at %1 sent an event stream line larger than 1 MiB." << false;
        QTest::newRow("endless answer") << ScriptedResponse::endless(200, ": keep-alive comment\n") << Listener::scripted << 502
                                        << "upstream_malformed" << "The engine at %1 sent an answer larger than 16 MiB." << false;
        QTest::newRow("truncated") << ScriptedResponse::closeMidBody(200, pieceEvent("Tides")) << Listener::scripted << 502 << "upstream_malformed"
                                   << "The engine at %1 closed the connection before its answer was complete." << true;
        QTest::newRow("not JSON") << streamed("data: {tides\n\n") << Listener::scripted << 502 << "upstream_malformed"
                                  << "The engine at %1 sent an event that is not valid JSON (" << false;
        QTest::newRow("no end") << streamed(pieceEvent("Tides")) << Listener::scripted << 502 << "upstream_malformed"
                                << "The engine at %1 ended its answer before it was complete." << true;
        QTest::newRow("not JSON after a piece") << streamed(pieceEvent("Tides") + "data: {broken\n\n") << Listener::scripted << 502
                                                << "upstream_malformed" << "The engine at %1 sent an event that is not valid JSON (" << true;
    }
    void everyFaultOfTheEngineIsAnsweredInTheOpenAIShape() {
        QFETCH(ScriptedResponse, script);
        QFETCH(Listener, listener);
        QFETCH(int, status);
        QFETCH(QString, type);
        QFETCH(QString, words);
        QFETCH(bool, pieceFirst);
        ScriptedHttpServer upstream;
        upstream.route("/v1/chat/completions", script);
        FullListener full;
        const quint16 port = listener == Listener::nobody ? freeLoopbackPort() : listener == Listener::full ? full.port() : upstream.port();
        const QString address = QStringLiteral("http://127.0.0.1:%1").arg(port);
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, address + "/v1", {}, true, 2, 1));
        const QString key = clientKey(server);

        const auto answer = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(false)));
        TAVRIN_REQUIRE(answer);
        QCOMPARE(answer->status, status);
        const QJsonObject error = jsonOf(answer->body)["error"].toObject();
        QCOMPARE(error["type"].toString(), type);
        const QString message = error["message"].toString();
        QVERIFY2(message.startsWith(words.arg(address)), qPrintable(message));
        QVERIFY2(message.size() <= 2100, qPrintable(message.left(100)));
        for (const QChar c : message)
            QVERIFY(c.category() != QChar::Other_Control);
        QVERIFY(!answer->body.contains(upstreamKey.toUtf8()));
        QVERIFY(!answer->body.contains(upstreamKey.left(12).toUtf8()));
        QVERIFY(!server.standardError().contains(upstreamKey.toUtf8()));

        // A streamed request fails the same way before its first piece, and after it ends with the
        // fault as an event, the chunked answer whole and closed; nothing is left behind.
        if (pieceFirst) {
            StreamingClient client(server.port());
            QVERIFY(client.send("/v1/chat/completions", key, chatBody(true)));
            const QByteArray streamedAnswer = client.readToEnd();
            QVERIFY2(streamedAnswer.startsWith("HTTP/1.1 200") && streamedAnswer.contains("Tides") &&
                         streamedAnswer.contains("\"type\":\"" + type.toUtf8() + "\"") && !streamedAnswer.contains("[DONE]") &&
                         streamedAnswer.endsWith("\r\n0\r\n\r\n"),
                     streamedAnswer.constData());
            QVERIFY(client.closedByServer());
        } else {
            QCOMPARE(exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(true)))->status, status);
        }
        const auto after = await(server.client()->status());
        QVERIFY(after && after->concurrency->inFlight == 0);
    }

    void aClientThatReadsSlowerThanTheEngineWritesEndsItsGenerationNotTheServersMemory() {
        ScriptedHttpServer upstream;
        upstream.route("/v1/chat/completions", ScriptedResponse::endless(200, pieceEvent(QString(512, QLatin1Char('w')))));
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, upstream.baseUrl().toString() + "/v1"));
        StreamingClient client(server.port(), 4096);
        QVERIFY(client.send("/v1/chat/completions", clientKey(server), chatBody(true)));
        // The client reads nothing: once its share of the server's memory is full, the generation
        // ends and its slot comes back, while the client still has not read a byte.
        QTRY_COMPARE_WITH_TIMEOUT(await(server.client()->status())->concurrency->totalCompleted, 1, 60000);
        QVERIFY(client.received().isEmpty());
        const QByteArray answer = client.readToEnd();
        QVERIFY(answer.startsWith("HTTP/1.1 200") && answer.contains(QByteArray(512, 'w')));
        QVERIFY2(answer.contains("\"type\":\"client_too_slow\"") && !answer.contains("[DONE]"), answer.right(300).constData());
        QVERIFY(answer.endsWith("\r\n0\r\n\r\n") && client.closedByServer());
    }

    void aClientThatHangsUpCancelsItsGenerationAndEverySlotComesBack() {
        ScriptedHttpServer upstream;
        upstream.route("/v1/chat/completions", ScriptedResponse::gated(200, "text/event-stream", pieceEvent("Spring tides"),
                                                                       finishEvent() + "data: [DONE]\n\n"));
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, upstream.baseUrl().toString() + "/v1",
                                    QStringList{"--max-concurrency", "4", "--max-queue-depth", "1"}));
        const QString key = clientKey(server);

        constexpr int aborted = 200;
        for (int i = 0; i < aborted; ++i) {
            StreamingClient client(server.port());
            QVERIFY(client.send("/v1/chat/completions", key, chatBody(i % 2 == 0)) && (i % 2 != 0 || client.readUntil("Spring tides")));
            client.hangUp();
        }
        // Each hang-up reaches the engine as its connection closing: every one that had reached it
        // (a whole answer's client that leaves at once may go before the engine is called at all),
        // and at least every streamed one, whose first piece came from it.
        QVERIFY(upstream.waitForHangUps(aborted / 2, 30s));
        QTRY_COMPARE_WITH_TIMEOUT(upstream.hangUps(), upstream.requestCount("/v1/chat/completions"), 30000);

        // Every slot can be filled again, and the queue's place, and one more request finds none.
        std::vector<std::unique_ptr<StreamingClient>> holders;
        for (int i = 0; i < 4; ++i) {
            holders.push_back(std::make_unique<StreamingClient>(server.port()));
            QVERIFY(holders.back()->send("/v1/chat/completions", key, chatBody(true)));
            QVERIFY(holders.back()->readUntil("Spring tides"));
        }
        holders.push_back(std::make_unique<StreamingClient>(server.port()));
        QVERIFY(holders.back()->send("/v1/chat/completions", key, chatBody(true)));
        QTRY_COMPARE_WITH_TIMEOUT(await(server.client()->status())->concurrency->queued, 1, 20000);
        const auto busy = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(true)));
        QVERIFY(busy && busy->status == 503);
        upstream.openGate();
        for (auto& holder : holders)
            QVERIFY(holder->readToEnd().contains("data: [DONE]"));
        const auto stats = await(server.client()->status())->concurrency;
        QCOMPARE(stats->totalRejected, 1);
    }

    void anHttpsEngineIsUsedOnlyWithATrustedCertificateForItsName_data() {
        QTest::addColumn<Certificate>("certificate");
        QTest::addColumn<QString>("host"); // as the engine's address names it
        QTest::addColumn<QString>("words"); // how the 502's message begins, %1: the engine's address; empty: it answers

        QTest::newRow("trusted, by address") << Certificate::trusted << "127.0.0.1" << QString();
        QTest::newRow("trusted, by name") << Certificate::trusted << "localhost" << QString();
        QTest::newRow("self-signed") << Certificate::selfSigned << "127.0.0.1"
                                     << "The engine at %1 sent a certificate this server does not trust (self-signed certificate).";
        QTest::newRow("unknown authority") << Certificate::unknownAuthority << "localhost"
                                           << "The engine at %1 sent a certificate this server does not trust (";
        QTest::newRow("another host, by address") << Certificate::otherHost << "127.0.0.1"
                                                  << "The engine at %1 sent a certificate that is not for 127.0.0.1, so it is not trusted.";
        QTest::newRow("another host, by name") << Certificate::otherHost << "localhost"
                                               << "The engine at %1 sent a certificate that is not for localhost, so it is not trusted.";
    }
    void anHttpsEngineIsUsedOnlyWithATrustedCertificateForItsName() {
        QFETCH(Certificate, certificate);
        QFETCH(QString, host);
        QFETCH(QString, words);
        const auto authority = TestCertificateAuthority::make(QStringLiteral("Keldmarch test authority"));
        TAVRIN_REQUIRE(authority);
        const auto stranger = TestCertificateAuthority::make(QStringLiteral("Unknown test authority"));
        TAVRIN_REQUIRE(stranger);
        const auto identity = certificate == Certificate::trusted        ? authority->issue(CertificateNames::loopback())
                              : certificate == Certificate::selfSigned   ? TestCertificateAuthority::selfSigned(CertificateNames::loopback())
                              : certificate == Certificate::otherHost    ? authority->issue({{QStringLiteral("tides.invalid")}, {}})
                                                                         : stranger->issue(CertificateNames::loopback());
        TAVRIN_REQUIRE(identity);
        ScriptedHttpServer upstream(*identity);
        upstream.route("/v1/models", modelListOf(upstreamModel));
        upstream.route("/v1/chat/completions", streamed(eventStream({"Spring tides ", "follow the moon."})));
        // The gateway trusts the test's authority because its environment says so, as OpenSSL reads it.
        const QString trusted = m_keyFolder.filePath("authority.pem");
        QVERIFY(writeBytes(trusted, authority->certificatePem()));

        ReferenceServer server;
        const QString address = QStringLiteral("https://%1:%2").arg(host).arg(upstream.port());
        TAVRIN_REQUIRE(startGateway(server, address + "/v1", ReferenceServerOptions({}, {"SSL_CERT_FILE=" + trusted})));
        const QString key = clientKey(server);
        const auto answer = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(true)));
        TAVRIN_REQUIRE(answer);
        QVERIFY(!answer->body.contains(upstreamKey.toUtf8()));
        QVERIFY(!server.standardError().contains(upstreamKey.toUtf8()));
        if (words.isEmpty()) {
            QCOMPARE(answer->status, 200);
            QVERIFY2(answer->body.contains("Spring tides ") && answer->body.contains("follow the moon.") &&
                         answer->body.contains("data: [DONE]"),
                     answer->body.constData());
            // The next generations, whole or streamed, go over the same TLS connection.
            for (int i = 0; i < 3; ++i)
                QCOMPARE(exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(i % 2 == 0)))->status, 200);
            const auto connections = generationConnections(upstream);
            QVERIFY(connections.size() == 4 && std::ranges::all_of(connections, [&](std::size_t c) { return c == connections.front(); }));
            for (const auto& request : upstream.requests()) // the generations', and the engine's checks
                QCOMPARE(request.header("Authorization").value_or("(none)"), "Bearer " + upstreamKey.toUtf8());
            return;
        }
        QCOMPARE(answer->status, 502);
        const QJsonObject error = jsonOf(answer->body)["error"].toObject();
        QCOMPARE(error["type"].toString(), "upstream_untrusted");
        QVERIFY2(error["message"].toString().startsWith(words.arg(address)), qPrintable(error["message"].toString()));
        // The engine was reached and turned down at the handshake: nothing, and so no key, was sent to it.
        QVERIFY(upstream.refusedHandshakes() > 0);
        QVERIFY(upstream.requests().empty());
    }

    void aReplacedEngineStopsCheckingAtOnceWhileItsGenerationFinishes() {
        ScriptedHttpServer old;
        old.route("/v1/models", modelListOf(upstreamModel));
        old.route("/v1/chat/completions",
                  ScriptedResponse::gated(200, "text/event-stream", pieceEvent("Spring tides"),
                                          pieceEvent(" follow the moon.") + finishEvent() + "data: [DONE]\n\n"));
        ScriptedHttpServer replacement;
        replacement.route("/v1/models", modelListOf(upstreamModel));
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, old.baseUrl().toString() + "/v1"));
        StreamingClient client(server.port());
        QVERIFY(client.send("/v1/chat/completions", clientKey(server), chatBody(true)));
        QVERIFY(client.readUntil("Spring tides"));

        // Replaced just after one of its checks, the old engine's next one would be a whole interval away.
        const std::size_t before = modelChecks(old);
        QTRY_VERIFY_WITH_TIMEOUT(modelChecks(old) > before, 30000);
        TAVRIN_REQUIRE(setEngine(server, replacement.baseUrl().toString() + "/v1"));
        const std::size_t atSwitch = modelChecks(old);
        // The replacement checks at once and then once an interval: by its third check, two intervals
        // have passed in which the old engine, still holding a generation, asked nothing.
        QTRY_VERIFY_WITH_TIMEOUT(modelChecks(replacement) >= 3, 60000);
        QCOMPARE(modelChecks(old), atSwitch);

        old.openGate();
        const QByteArray answer = client.readToEnd();
        QVERIFY2(answer.contains("follow the moon.") && answer.contains("data: [DONE]"), answer.constData());
        QCOMPARE(modelChecks(old), atSwitch);
    }

    // (Over https: anHttpsEngineIsUsedOnlyWithATrustedCertificateForItsName.)
    void generationsOneAfterAnotherShareOneConnectionToTheEngine() {
        ScriptedHttpServer upstream;
        upstream.route("/v1/models", modelListOf(upstreamModel));
        upstream.route("/v1/chat/completions", streamed(eventStream({"Spring tides ", "follow the moon."})));
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, upstream.baseUrl().toString() + "/v1"));
        const QString key = clientKey(server);
        constexpr int generations = 6;
        for (int i = 0; i < generations; ++i) {
            const auto answer = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(i % 2 == 0)));
            TAVRIN_REQUIRE(answer);
            QCOMPARE(answer->status, 200);
            QVERIFY2(answer->body.contains("follow the moon."), answer->body.constData());
        }
        const auto connections = generationConnections(upstream);
        QCOMPARE(connections.size(), std::size_t(generations));
        QVERIFY(std::ranges::all_of(connections, [&](std::size_t c) { return c == connections.front(); }));
    }

    // The engine's answer to a first generation, and whether its connection may carry the next. A
    // gated answer's client hangs up once its first piece has come.
    void aConnectionIsKeptOnlyAfterAWholeAnswerTheEngineMeantToKeep_data() {
        QTest::addColumn<ScriptedResponse>("first");
        QTest::addColumn<bool>("kept");
        QTest::newRow("a whole answer") << streamed(eventStream({"Tides"})) << true;
        QTest::newRow("a whole answer without [DONE]") << streamed(pieceEvent("Tides") + finishEvent()) << true;
        QTest::newRow("an answer saying Connection: close")
            << streamed(eventStream({"Tides"})).withHeader("Connection", "close") << false;
        QTest::newRow("a refusal") << ScriptedResponse::json(500, R"({"error":{"message":"out of memory"}})") << false;
        QTest::newRow("an event that is not JSON") << streamed(pieceEvent("Tides") + "data: {broken\n\n") << false;
        QTest::newRow("an error event") << streamed(pieceEvent("Tides") + R"(data: {"error":{"message":"overloaded"}})" "\n\n")
                                        << false;
        QTest::newRow("a body that ends before the finish") << streamed(pieceEvent("Tides")) << false;
        QTest::newRow("a stream its client cancelled")
            << ScriptedResponse::gated(200, "text/event-stream", pieceEvent("Spring tides"), finishEvent() + "data: [DONE]\n\n") << false;
    }
    void aConnectionIsKeptOnlyAfterAWholeAnswerTheEngineMeantToKeep() {
        QFETCH(ScriptedResponse, first);
        QFETCH(bool, kept);
        ScriptedHttpServer upstream;
        upstream.route("/v1/chat/completions", first);
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, upstream.baseUrl().toString() + "/v1"));
        const QString key = clientKey(server);
        if (first.kind == ScriptedResponse::Kind::Gated) {
            StreamingClient client(server.port());
            QVERIFY(client.send("/v1/chat/completions", key, chatBody(true)) && client.readUntil("Spring tides"));
            client.hangUp();
            QVERIFY(upstream.waitForHangUps(1, 30s)); // the engine sees the connection go, its answer unfinished
        } else {
            QVERIFY(exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(true))));
        }
        upstream.route("/v1/chat/completions", streamed(eventStream({"Spring tides"})));
        const auto second = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(true)));
        TAVRIN_REQUIRE(second);
        QVERIFY2(second->status == 200 && second->body.contains("Spring tides"), second->body.constData());
        const auto connections = generationConnections(upstream);
        QCOMPARE(connections.size(), std::size_t(2));
        QCOMPARE(connections[0] == connections[1], kept);
    }

    void anEngineThatClosesIdleConnectionsGetsEachRequestExactlyOnce() {
        ScriptedHttpServer upstream;
        upstream.route("/v1/chat/completions", streamed(eventStream({"Spring tides"})).thenClose());
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, upstream.baseUrl().toString() + "/v1"));
        const QString key = clientKey(server);
        constexpr int generations = 4;
        for (int i = 0; i < generations; ++i) {
            const auto answer = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(true)));
            TAVRIN_REQUIRE(answer);
            QVERIFY2(answer->status == 200 && answer->body.contains("data: [DONE]"), answer->body.constData());
            // The engine has closed the connection the gateway kept before the next generation asks for it.
            const auto connections = generationConnections(upstream);
            QCOMPARE(connections.size(), std::size_t(i + 1));
            QVERIFY(upstream.waitForClosedConnection(connections.back(), 20s));
        }
        const auto connections = generationConnections(upstream);
        QCOMPARE(connections.size(), std::size_t(generations));
        QCOMPARE(std::set<std::size_t>(connections.begin(), connections.end()).size(), std::size_t(generations));
    }

    void aReplacedEngineLetsItsKeptConnectionsGo() {
        ScriptedHttpServer old;
        old.route("/v1/chat/completions", streamed(eventStream({"Spring tides"})));
        ScriptedHttpServer replacement;
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, old.baseUrl().toString() + "/v1"));
        const auto answer = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(clientKey(server)).json(chatBody(true)));
        QVERIFY(answer && answer->status == 200);
        QVERIFY(old.openConnections() >= 1); // the generation's, kept
        TAVRIN_REQUIRE(setEngine(server, replacement.baseUrl().toString() + "/v1"));
        QTRY_COMPARE_WITH_TIMEOUT(old.openConnections(), std::size_t(0), 20000);
    }

    void generationsWaitingForASlotHoldNoThreadAndLeaveTheLineWhenTheirClientsGo() {
        ScriptedHttpServer upstream;
        upstream.route("/v1/chat/completions", ScriptedResponse::gated(200, "text/event-stream", pieceEvent("Spring tides"),
                                                                       finishEvent() + "data: [DONE]\n\n"));
        constexpr int waiting = 48;
        ReferenceServer server;
        TAVRIN_REQUIRE(startGateway(server, upstream.baseUrl().toString() + "/v1",
                                    ReferenceServerOptions({"--max-concurrency", "1", "--max-queue-depth", QString::number(waiting)})));
        const QString key = clientKey(server);
        const auto queued = [&] { return await(server.client()->status())->concurrency->queued; };

        StreamingClient running(server.port());
        QVERIFY(running.send("/v1/chat/completions", key, chatBody(true)) && running.readUntil("Spring tides"));
        std::vector<std::unique_ptr<StreamingClient>> line;
        for (int i = 0; i < waiting; ++i) {
            line.push_back(std::make_unique<StreamingClient>(server.port()));
            QVERIFY(line.back()->send("/v1/chat/completions", key, chatBody(true)));
        }
        QTRY_COMPARE_WITH_TIMEOUT(queued(), qint64(waiting), 30000);

        // A waiting generation costs its connection, not a thread: the server runs fewer threads
        // than there are generations waiting, and still answers everything that needs no slot.
        const qint64 threads = processStatusNumber(server.pid(), "Threads");
        QVERIFY2(threads > 0 && threads < waiting, qPrintable(QStringLiteral("%1 threads").arg(threads)));
        const auto models = exchange(server.port(), HttpCall{"GET", "/v1/models"}.bearer(key));
        QVERIFY(models && models->status == 200);
        const auto health = exchange(server.port(), HttpCall{"GET", "/healthz"});
        QVERIFY(health && health->status == 200);
        const auto full = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(chatBody(true)));
        QVERIFY(full && full->status == 503 && full->header("Retry-After") == "1");

        // A client that leaves the line takes its place along, and is neither served nor refused.
        line.front()->hangUp();
        QTRY_COMPARE_WITH_TIMEOUT(queued(), qint64(waiting - 1), 30000);

        upstream.openGate();
        QVERIFY(running.readToEnd().contains("data: [DONE]"));
        for (std::size_t i = 1; i < line.size(); ++i)
            QVERIFY2(line[i]->readToEnd().contains("data: [DONE]"), line[i]->received().constData());
        const auto stats = await(server.client()->status())->concurrency;
        QCOMPARE(stats->totalRejected, 1);
        QCOMPARE(stats->totalCompleted, qint64(waiting));
        QCOMPARE(upstream.requestCount("/v1/chat/completions"), std::size_t(waiting));
    }
};

QTEST_GUILESS_MAIN(UpstreamEngineTest)
#include "UpstreamEngineTest.moc"
