// What the reference server keeps and how it starts and ends: state across restarts, private
// files, a SIGKILL in the middle of writes, SIGTERM with a request in flight, and one port for
// one server.

#include "support/HttpProbe.h"
#include "ServerTesting.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <atomic>
#include <csignal>
#include <future>
#include <thread>

using namespace tavrin;
using namespace tavrin::test;

namespace {

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class ServerLifecycleTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // What the administrator set is kept, in files only the owner may read, and is in effect after
    // a restart: without --port the stored preferences decide where the server listens.
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
        const ClientNetworkPreferences network{QStringLiteral("127.0.0.1"), freePort(), false, QStringLiteral("studio"), {}, {}};
        TAVRIN_REQUIRE(await(client->updateNetworkPreferences(network)));
        const auto used = exchange(server.port(), HttpCall{"POST", "/v1/chat/completions"}.bearer(key->key).json(
                                                      R"({"messages":[{"role":"user","content":"hello"}]})"));
        QCOMPARE(used->status, 200);
        const auto before = await(client->listKeys());

        const QDir dir(server.stateDirectory());
        QCOMPARE(QFileInfo(dir.path()).permissions() & 0x0077, QFileDevice::Permissions());
        const QStringList files = dir.entryList(QDir::Files | QDir::Hidden);
        QVERIFY(files.size() >= 5);
        for (const QString& name : files) {
            QCOMPARE(QFileInfo(dir.filePath(name)).permissions() & 0x0077, QFileDevice::Permissions());
            QVERIFY2(!name.startsWith(QLatin1Char('.')), qPrintable(name)); // no temporary file left behind
        }
        QFile stored(dir.filePath(QStringLiteral("keys.json"))); // the key's hash and prefix, never the key
        QVERIFY(stored.open(QIODevice::ReadOnly));
        const QByteArray keysFile = stored.readAll();
        QVERIFY(keysFile.contains(key->record.prefix.toUtf8()) && !keysFile.contains(key->key.toUtf8()));

        TAVRIN_REQUIRE(server.stop());
        TAVRIN_REQUIRE(server.start({{}, {}, std::nullopt}));
        QCOMPARE(qint64(server.port()), network.bindPort);
        client = server.client();
        const auto status = await(client->status());
        TAVRIN_REQUIRE(status);
        QCOMPARE(status->bind, network);
        QCOMPARE(status->logging, logging);
        QCOMPARE(status->orgPreamble, std::optional(QStringLiteral("Be brief.")));
        const auto after = await(client->listKeys());
        TAVRIN_REQUIRE(after);
        QCOMPARE(*after, *before); // usage counters included: SIGTERM flushes them
        QCOMPARE(after->at(0).totalRequests, 1);
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
                        HttpCall call = w == 0   ? HttpCall{"POST", "/admin/keys"}.json(R"({"label":"churn"})")
                                        : w == 1 ? HttpCall{"PUT", "/admin/settings/preamble"}.json(
                                                       QByteArray(R"({"preamble":")") + QByteArray(500 + i % 700, 'x') + "\"}")
                                                 : HttpCall{"PUT", "/admin/settings/logging"}.json(
                                                       QByteArray(R"({"mode":"hash","retentionDays":)") + QByteArray::number(i + 1) +
                                                       R"(,"includePromptContentsInDiagnostics":true})");
                        const auto answer = exchange(port, call.bearer(secret));
                        if (w == 0 && answer && answer->status == 201)
                            ++confirmedCreates;
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
            TAVRIN_REQUIRE(preamble);
            QVERIFY(!preamble->preamble || preamble->preamble->count(QLatin1Char('x')) == preamble->preamble->size());
            TAVRIN_REQUIRE(await(client->loggingSettings()));
            TAVRIN_REQUIRE(server.stop());
        }
    }

    // The panel always calls 127.0.0.1 on the admin port: no saved bind may lock it out. (Loopback on
    // another port is the restart above.)
    void theAdminApiStaysOnItsPortWhateverBindIsSaved_data() {
        QTest::addColumn<QString>("bindHost");
        QTest::addColumn<bool>("onTheAdminPort");
        QTest::newRow("every interface, another port") << "0.0.0.0" << false;
        // A wildcard listener keeps a loopback one off its port: one socket then serves both.
        QTest::newRow("every interface, the admin port") << "0.0.0.0" << true;
        QTest::newRow("loopback, the admin port") << "127.0.0.1" << true;
    }
    void theAdminApiStaysOnItsPortWhateverBindIsSaved() {
        QFETCH(QString, bindHost);
        QFETCH(bool, onTheAdminPort);
        ReferenceServerOptions options;
        options.adminPort = freePort();
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start(options));
        const auto key = await(server.client()->createKey(QStringLiteral("k"), std::nullopt));
        TAVRIN_REQUIRE(key);
        quint16 port = options.adminPort;
        while (!onTheAdminPort && port == options.adminPort)
            port = freePort();
        const ClientNetworkPreferences saved{bindHost, port, bindHost != QLatin1StringView("127.0.0.1"), std::nullopt, {}, {}};
        TAVRIN_REQUIRE(await(server.client()->updateNetworkPreferences(saved)));

        TAVRIN_REQUIRE(server.stop());
        options.port = std::nullopt;
        TAVRIN_REQUIRE(server.start(options));
        QCOMPARE(server.adminPort(), quint16(options.adminPort));
        QCOMPARE(server.port(), port);
        const auto status = await(server.client()->status());
        TAVRIN_REQUIRE(status);
        QCOMPARE(status->bind, saved);
        QCOMPARE(exchange(port, HttpCall{"GET", "/v1/models"}.bearer(key->key))->status, 200);
    }

    // SIGTERM: a generation in flight finishes, while the idle kept-alive connection (the
    // panel's) goes at once. Were it kept, the panel's health check would still succeed on it
    // while its other requests were refused, and a stop would read as an error.
    void sigtermClosesIdleConnectionsAtOnceAndLetsRunningGenerationsFinish() {
        ReferenceServer server;
        TAVRIN_REQUIRE(server.start({{QStringLiteral("--generation-delay-ms"), QStringLiteral("3000")}}));
        const auto key = await(server.client()->createKey(QStringLiteral("k"), std::nullopt));
        TAVRIN_REQUIRE(key);
        QTcpSocket idle;
        idle.connectToHost(QHostAddress::LocalHost, server.adminPort());
        QVERIFY(idle.waitForConnected(5000));
        idle.write("GET /healthz HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n");
        QByteArray answer;
        while (!answer.endsWith("ok\n") && idle.waitForReadyRead(5000))
            answer += idle.readAll();
        QVERIFY(answer.startsWith("HTTP/1.1 200"));
        const quint16 port = server.port();
        auto inFlight = std::async(std::launch::async, [port, secret = key->key] {
            return exchange(port, HttpCall{"POST", "/api/generate"}.bearer(secret).json(R"({"prompt":"slow","stream":false})"));
        });
        QThread::msleep(300);

        ::kill(pid_t(server.pid()), SIGTERM);
        // Well before the generation ends, the idle connection has been closed.
        QVERIFY(idle.waitForDisconnected(2000));
        const auto generated = inFlight.get();
        TAVRIN_REQUIRE(generated);
        QCOMPARE(generated->status, 200);
        QCOMPARE(server.stop().value_or(-1), 0);
        QVERIFY(!exchange(port, HttpCall{"GET", "/healthz"})); // and nothing listens any more
    }

    void aSecondServerNeverSharesThePort() {
        ReferenceServer first;
        TAVRIN_REQUIRE(first.start());
        ReferenceServer second;
        const auto refused = second.start({{}, {}, int(first.port())});
        QVERIFY(!refused);
        QVERIFY2(refused.error().contains(QStringLiteral("cannot listen on 127.0.0.1:%1").arg(first.port())), qPrintable(refused.error()));
        QVERIFY(refused.error().contains(QStringLiteral("in use")));
        QVERIFY(!second.isRunning());
        // Every request still reaches the first server.
        for (int i = 0; i < 20; ++i)
            QCOMPARE(await(first.client()->status())->pid, first.pid());
    }

    void commandLineMistakesAreReportedNotIgnored_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no command") << QStringList{} << "no command given";
        QTest::newRow("unknown flag") << QStringList{"serve", "--verbose"} << "unknown argument \"--verbose\"";
        QTest::newRow("port out of range") << QStringList{"serve", "--port", "70000"} << "--port must be a whole number from 0 to 65535";
        QTest::newRow("sample flag when serving") << QStringList{"serve", "--pipeline", "2"} << "--pipeline\"";
        QTest::newRow("update key in a release build")
            << QStringList{"serve", "--update-public-key", QString(64, u'a')} << "unknown argument \"--update-public-key\"";
    }
    void commandLineMistakesAreReportedNotIgnored() {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        QTemporaryDir state;
        QProcess process;
        process.start(ReferenceServer::executablePath(), arguments << QStringLiteral("--state-dir") << state.path());
        QVERIFY(process.waitForFinished(10000));
        QVERIFY(process.exitCode() != 0);
        const QString error = QString::fromUtf8(process.readAllStandardError());
        QVERIFY2(error.contains(message), qPrintable(error));
    }
};

QTEST_GUILESS_MAIN(ServerLifecycleTest)
#include "ServerLifecycleTest.moc"
