// What the reference server keeps and how it starts and ends: state across restarts, private
// files, a SIGKILL in the middle of writes, SIGTERM with a request in flight, and one port for
// one server. And clients that open connections and then do little or nothing: the server keeps
// answering everyone else, and drops a client that does not finish its request's headers.

#include "support/HttpProbe.h"
#include "support/StreamingClient.h"
#include "ServerTesting.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QThread>

#include <atomic>
#include <csignal>
#include <future>
#include <thread>

using namespace tavrin;
using namespace tavrin::test;

namespace {

// The head of a request that announces a megabyte of body, and the first 64 KiB of it.
QByteArray announcingAMegabyte(const QByteArray& target, const QByteArray& authorization) {
    return "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\n" + authorization +
           "Content-Length: 1048576\r\n\r\n" + QByteArray(64 * 1024, ' ');
}

QByteArray bearerLine(const QString& token) { return "Authorization: Bearer " + token.toUtf8() + "\r\n"; }

QByteArray adminStatusCall(const QString& password) {
    return "GET /admin/status HTTP/1.1\r\nHost: 127.0.0.1\r\n" + bearerLine(password) + "\r\n";
}

qint64 residentKiB(qint64 pid) { return processStatusNumber(pid, "VmRSS"); }

const QByteArray unfinishedHeaders = "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\nUser-Agent: slow";
const QByteArray healthCheck = "GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";

} // namespace

class ServerLifecycleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What the administrator set is kept, in files only the owner may read, and is in effect after a
    // restart. (Where a restarted server listens is the admin-port case below and the Network tab's.)
    void everythingTheAdministratorSetIsKeptPrivatelyAcrossARestart() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        auto client = server.client();
        const auto key = await(client->createKey(QStringLiteral("kept"), std::vector{ClientAPIKeyScope::inference}));
        TAVRIN_REQUIRE(key);
        const auto revoked = await(client->createKey(QStringLiteral("revoked"), std::nullopt));
        TAVRIN_REQUIRE(await(client->revokeKey(revoked->record.id)));
        const ClientAuditLoggingSettings logging{ClientAuditMode::audit, 90, true};
        TAVRIN_REQUIRE(await(client->updateLoggingSettings(logging)));
        TAVRIN_REQUIRE(await(client->setOrgPreamble(QStringLiteral("Be brief."))));
        const ClientNetworkPreferences network{"0.0.0.0", 11500, true, "studio", {"https://app.example.com"}, {}};
        TAVRIN_REQUIRE(await(client->updateNetworkPreferences(network)));
        QCOMPARE(exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key->key).json(
                                             R"({"messages":[{"role":"user","content":"hello"}]})"))->status, 200);
        const auto before = await(client->listKeys());

        const QDir dir(server.stateDirectory());
        QCOMPARE(QFileInfo(dir.path()).permissions() & 0x0077, QFileDevice::Permissions());
        const QStringList files = dir.entryList(QDir::Files | QDir::Hidden);
        QVERIFY(files.size() >= 5);
        for (const QString& name : files) {
            QCOMPARE(QFileInfo(dir.filePath(name)).permissions() & 0x0077, QFileDevice::Permissions());
            QVERIFY2(!name.startsWith(QLatin1Char('.')), qPrintable(name)); // no temporary file left behind
        }
        const QByteArray keysFile = fileBytes(dir.filePath(QStringLiteral("keys.json"))); // the key's hash and prefix, never the key
        QVERIFY(keysFile.contains(key->record.prefix.toUtf8()) && !keysFile.contains(key->key.toUtf8()));

        TAVRIN_REQUIRE(server.restart());
        client = server.client();
        const auto status = await(client->status());
        QVERIFY(status && status->logging == logging && status->orgPreamble == std::optional<QString>("Be brief."));
        QCOMPARE(await(client->networkPreferences()).value_or(ClientNetworkPreferences{}), network);
        const auto after = await(client->listKeys());
        QVERIFY(after && *after == *before && after->at(0).totalRequests == 1); // usage counters included: SIGTERM flushes them
        QCOMPARE(exchange(server.port(), HttpCall{"GET", "/v1/models"}.bearer(key->key))->status, 200);
    }

    void aKillDuringWritesLeavesTheLastCompleteState() {
        ReferenceServer server;
        for (int round = 0; round < 6; ++round) {
            TAVRIN_REQUIRE(server.start());
            const QString secret = server.adminSecret();
            const quint16 port = server.port();
            std::atomic<bool> running = true;
            std::atomic<int> confirmedCreates = 0;
            std::vector<std::thread> writers;
            for (int w = 0; w < 3; ++w) {
                writers.emplace_back([&, w] {
                    for (int i = 0; running; ++i) {
                        const QByteArray n = QByteArray::number(i + 1);
                        // Plain literals, not raw ones: moc miscounts braces inside raw strings.
                        HttpCall call = w == 0   ? HttpCall{"POST", "/admin/keys"}.json("{\"label\":\"churn\"}")
                                        : w == 1 ? HttpCall{"PUT", "/admin/settings/preamble"}.json(
                                                       "{\"preamble\":\"" + QByteArray(500 + i % 700, 'x') + "\"}")
                                                 : HttpCall{"PUT", "/admin/settings/logging"}.json(
                                                       "{\"mode\":\"hash\",\"includePromptContentsInDiagnostics\":true,\"retentionDays\":" + n + "}");
                        const auto answer = exchange(port, call.bearer(secret));
                        confirmedCreates += w == 0 && answer && answer->status == 201;
                    }
                });
            }
            QTest::qWait(100 + int(QRandomGenerator::global()->bounded(300)));
            server.kill();
            running = false;
            for (auto& t : writers)
                t.join();

            TAVRIN_REQUIRE(server.start());
            auto client = server.client();
            const auto keys = await(client->listKeys());
            TAVRIN_REQUIRE(keys);
            QVERIFY2(int(keys->size()) >= confirmedCreates, qPrintable(QStringLiteral("%1 keys, %2 confirmed").arg(keys->size()).arg(confirmedCreates)));
            const auto preamble = await(client->orgPreamble());
            QVERIFY(preamble && (!preamble->preamble || preamble->preamble->count(u'x') == preamble->preamble->size()));
            TAVRIN_REQUIRE(await(client->loggingSettings()));
            TAVRIN_REQUIRE(server.stop());
        }
    }

    // The panel always calls 127.0.0.1 on the admin port: no saved bind may lock it out. A wildcard
    // listener keeps a loopback one off its port: one socket then serves both.
    void theAdminApiStaysOnItsPortWhateverBindIsSaved() {
        for (const auto& [bindHost, onTheAdminPort] :
             {std::pair{"0.0.0.0", false}, std::pair{"0.0.0.0", true}, std::pair{"127.0.0.1", true}, std::pair{"127.0.0.1", false}}) {
            ReferenceServerOptions options;
            options.adminPort = freeLoopbackPort();
            ReferenceServer server;
            TAVRIN_REQUIRE(server.start(options));
            const auto key = await(server.client()->createKey(QStringLiteral("k"), std::nullopt));
            TAVRIN_REQUIRE(key);
            quint16 port = options.adminPort;
            while (!onTheAdminPort && port == options.adminPort)
                port = freeLoopbackPort();
            const ClientNetworkPreferences saved{bindHost, port, QByteArray(bindHost) != "127.0.0.1", std::nullopt, {}, {}};
            TAVRIN_REQUIRE(await(server.client()->updateNetworkPreferences(saved)));

            TAVRIN_REQUIRE(server.stop());
            options.port = std::nullopt;
            TAVRIN_REQUIRE(server.start(options));
            QVERIFY2(server.adminPort() == options.adminPort && server.port() == port, bindHost);
            QCOMPARE(await(server.client()->status()).value_or(ClientServerStatus{}).bind, saved);
            QCOMPARE(exchange(port, HttpCall{"GET", "/v1/models"}.bearer(key->key))->status, 200);
        }
    }

    // SIGTERM: a generation in flight finishes, while the idle kept-alive connection (the
    // panel's) goes at once. Were it kept, the panel's health check would still succeed on it
    // while its other requests were refused, and a stop would read as an error.
    void sigtermClosesIdleConnectionsAtOnceAndLetsRunningGenerationsFinish() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start({{QStringLiteral("--generation-delay-ms"), QStringLiteral("3000")}}));
        const QString key = await(server.client()->createKey(QStringLiteral("k"), std::nullopt)).value_or(ClientCreatedAPIKey{}).key;
        StreamingClient idle(server.adminPort());
        QVERIFY(idle.send(healthCheck) && idle.readUntil("\r\n\r\nok\n")); // answered, and kept alive
        const quint16 port = server.port();
        auto inFlight = std::async(std::launch::async, [port, key] {
            return exchange(port, HttpCall{"POST", "/api/generate"}.bearer(key).json(R"({"prompt":"slow","stream":false})"));
        });
        QThread::msleep(300);

        ::kill(pid_t(server.pid()), SIGTERM);
        // Well before the generation ends, the idle connection has been closed.
        QVERIFY(idle.closedByServer(2000));
        QCOMPARE(inFlight.get().value_or(HttpAnswer{}).status, 200);
        QCOMPARE(server.stop().value_or(-1), 0);
        QVERIFY(!exchange(port, HttpCall{"GET", "/healthz"})); // and nothing listens any more
    }

    // Before, some thirty such connections took every worker until they timed out, and the
    // panel read the server as down.
    void healthAndAdminAnswerWhileHalfOpenAndIdleConnectionsStayOpen() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        std::vector<StreamingClient> halfOpen;
        std::vector<StreamingClient> idle;
        for (quint16 port : {server.port(), server.adminPort()})
            for (int i = 0; i < 100; ++i) {
                halfOpen.emplace_back(port);
                QVERIFY(halfOpen.back().send(unfinishedHeaders));
                idle.emplace_back(port);
                QVERIFY(idle.back().send(healthCheck));
                QVERIFY(idle.back().readUntil("\r\n\r\nok\n"));
            }

        for (quint16 port : {server.adminPort(), server.port()})
            for (HttpCall call : {HttpCall{"GET", "/healthz"}, HttpCall{"GET", "/admin/status"}.bearer(server.adminSecret())}) {
                call.patienceMs = 3000;
                const auto answer = exchange(port, call);
                QVERIFY2(answer && answer->status == 200, call.target.constData());
            }
        // They were served beside the slow clients, not after them.
        for (const auto* group : {&halfOpen, &idle})
            for (const StreamingClient& c : *group)
                QVERIFY(c.open());
    }

    // Nobody unknown makes the server take in a body: a request without a valid key or password is
    // refused on its head, and its memory is back once it is gone.
    void bodiesAreTakenOnlyFromKnownClients() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        const qint64 before = residentKiB(server.pid());
        {
            std::vector<StreamingClient> strangers;
            for (int i = 0; i < 300; ++i) {
                strangers.emplace_back(i % 2 ? server.port() : server.adminPort());
                QVERIFY(strangers.back().send(announcingAMegabyte(i % 2 ? "/v1/chat/completions" : "/admin/keys", "")));
            }
            for (StreamingClient& c : strangers)
                QVERIFY(c.readUntil("HTTP/1.1 401"));
        }
        QTRY_VERIFY2(residentKiB(server.pid()) - before < 32 * 1024,
                     qPrintable(QStringLiteral("%1 KiB before, %2 KiB after").arg(before).arg(residentKiB(server.pid()))));
    }

    // Key holders' bodies are taken only up to the client surface's allowance at once, the rest
    // answered 503 rather than held in memory; and no key (a quarter of it) nor address (half)
    // takes it all. Whatever they hold, the admin API's changes go through: it has its own.
    void bodiesInFlightAreSharedSoNoClientHoldsUpTheOthers_data() {
        QTest::addColumn<int>("keys");
        QTest::addColumn<int>("addresses");
        QTest::addColumn<int>("taken"); // of seventy bodies of a megabyte each
        QTest::newRow("one key") << 1 << 1 << 16;
        QTest::newRow("four keys from one address") << 4 << 1 << 32;
        QTest::newRow("four keys from two addresses") << 4 << 2 << 64;
    }
    void bodiesInFlightAreSharedSoNoClientHoldsUpTheOthers() {
        QFETCH(int, keys);
        QFETCH(int, addresses);
        QFETCH(int, taken);
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        const auto admin = server.client();
        QStringList bearers;
        for (int k = 0; k < keys; ++k) {
            const auto key = await(admin->createKey(QStringLiteral("bulk-%1").arg(k), std::nullopt));
            TAVRIN_REQUIRE(key);
            bearers << key->key;
        }
        const char* sources[] = {"127.0.0.1", "127.0.0.2"};
        std::vector<StreamingClient> holders;
        for (int i = 0; i < 70; ++i) {
            const int k = i % keys;
            holders.emplace_back(server.port(), 0, sources[k * addresses / keys]);
            QVERIFY(holders.back().send(announcingAMegabyte("/v1/chat/completions", bearerLine(bearers[k]))));
        }
        std::vector<bool> turnedAway(holders.size());
        const auto busy = [&] {
            for (std::size_t i = 0; i < holders.size(); ++i)
                turnedAway[i] = turnedAway[i] || holders[i].readUntil("HTTP/1.1 503", 0);
            return int(std::ranges::count(turnedAway, true));
        };
        QTRY_COMPARE_WITH_TIMEOUT(busy(), 70 - taken, 10000);
        for (std::size_t i = 0; i < holders.size(); ++i)
            QVERIFY(turnedAway[i] || holders[i].open());

        // The panel's writes, each with a body, while the holders keep theirs.
        const auto created = await(admin->createKey(QStringLiteral("while-busy"), std::nullopt));
        QVERIFY2(created, qPrintable(QString::number(httpStatusOf(created))));
        const auto preamble = await(admin->setOrgPreamble(QStringLiteral("Answer briefly.")));
        QVERIFY2(preamble, qPrintable(QString::number(httpStatusOf(preamble))));

        // Another key from another address is served while there is room for it.
        const auto other = await(admin->createKey(QStringLiteral("other"), std::nullopt));
        TAVRIN_REQUIRE(other);
        HttpCall call{"POST", "/v1/chat/completions"};
        call.sourceAddress = QStringLiteral("127.0.0.3");
        call.bearer(other->key).json(R"({"messages":[{"role":"user","content":"hello"}]})");
        const auto answer = exchange(server.port(), call);
        QVERIFY(answer);
        QCOMPARE(answer->status, taken < 64 ? 200 : 503);
    }

    // Past the free mistakes, admin passwords are judged one at a time with the throttle's wait
    // between them, and a guess whose client has gone is never judged. So a guesser who opens many
    // connections and drops each whose answer is slow (the right password used to be answered at
    // once) learns nothing. The right password still gets in: on a connection that has already
    // proven it, before anything that waits for the gate; on a new one, in its turn.
    void droppedPasswordGuessesAreNeverJudged() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        const auto judged = [&] { return server.standardError().count("wrong admin password ("); };
        StreamingClient panel(server.adminPort());
        QVERIFY(panel.send(adminStatusCall(server.adminSecret())));
        QVERIFY(panel.readUntil("HTTP/1.1 200"));

        // Eleven wrong passwords at once: five are free, and the sixth to the eleventh are judged
        // 250 ms, 500 ms, … 4 s apart. Once ten are refused and the last is judged, it has closed
        // the gate for the longest wait, 8 s.
        std::vector<StreamingClient> first;
        for (int i = 0; i < 11; ++i) {
            first.emplace_back(server.port());
            QVERIFY(first.back().send(adminStatusCall(QStringLiteral("first-guess-%1").arg(i))));
        }
        std::vector<bool> refused(first.size());
        const auto refusals = [&] {
            for (std::size_t i = 0; i < first.size(); ++i)
                refused[i] = refused[i] || first[i].readUntil("HTTP/1.1 401", 0);
            return int(std::ranges::count(refused, true));
        };
        QTRY_VERIFY_WITH_TIMEOUT(refusals() >= 10 && judged() == 11, 20000);

        std::vector<StreamingClient> guessers;
        for (int i = 0; i < 40; ++i) {
            guessers.emplace_back(server.port());
            QVERIFY(guessers.back().send(adminStatusCall(i == 20 ? server.adminSecret() : QStringLiteral("guess-%1").arg(i))));
        }
        QThread::msleep(300); // the guesser's patience
        for (StreamingClient& guesser : guessers)
            QVERIFY2(!guesser.readUntil("HTTP/1.1", 0), "a guess was answered before the gate opened");
        guessers.clear();

        StreamingClient newcomer(server.port());
        QVERIFY(newcomer.send(adminStatusCall(server.adminSecret())));
        QVERIFY(panel.send(adminStatusCall(server.adminSecret())));
        QVERIFY(panel.readUntil("HTTP/1.1 200", 20000));
        QVERIFY2(!newcomer.readUntil("HTTP/1.1", 0), "the newcomer's password was judged before the gate opened");
        QVERIFY(newcomer.readUntil("HTTP/1.1 200", 20000));
        QCOMPARE(judged(), 11);
    }

    void aClientThatTricklesItsHeadersIsDisconnected() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start());
        StreamingClient slow(server.port());
        QVERIFY(slow.send("GET /healthz HTTP/1.1\r\n"));
        // A byte every quarter second would keep a per-read timeout from ever firing.
        bool closed = false;
        for (int i = 0; i < 60 && !closed; ++i)
            closed = !slow.send("X") || slow.closedByServer(250);
        QVERIFY2(closed, "a connection still without complete headers after 15 s was kept");
    }

    void aSecondServerNeverSharesThePort() {
        ReferenceServer first;
        TAVRIN_REQUIRE(first.start());
        ReferenceServer second;
        const auto refused = second.start({{}, {}, int(first.port())});
        QVERIFY2(!refused && refused.error().contains(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(first.port())) &&
                     refused.error().contains(QStringLiteral("in use")),
                 qPrintable(refused ? QString() : refused.error()));
        QVERIFY(!second.isRunning());
        // Every request still reaches the first server.
        for (int i = 0; i < 20; ++i)
            QCOMPARE(await(first.client()->status())->pid, first.pid());
    }

    void commandLineMistakesAreReportedNotIgnored() {
        const std::pair<QStringList, const char*> cases[] = {
            {{}, "no command given"},
            {{"serve", "--verbose"}, "unknown argument \"--verbose\""},
            {{"serve", "--port", "70000"}, "--port must be a whole number from 0 to 65535"},
            {{"serve", "--pipeline", "2"}, "--pipeline\""}, // a flag of the sample command
            {{"serve", "--update-public-key", QString(64, u'a')}, "unknown argument \"--update-public-key\""}, // a release build
        };
        for (const auto& [arguments, message] : cases) {
            QTemporaryDir state;
            const Ran ran = runProgram(ReferenceServer::executablePath(), arguments + QStringList{"--state-dir", state.path()});
            QVERIFY2(ran.status > 0 && ran.err.contains(message), ran.err.constData());
        }
    }
};

QTEST_GUILESS_MAIN(ServerLifecycleTest)
#include "ServerLifecycleTest.moc"
