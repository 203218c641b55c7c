#include "state/ServerStateModel.h"
#include "base/AdminSecretFile.h"
#include "base/PrivateFile.h"
#include "control/DaemonProcessController.h"
#include "control/KeychainStore.h"
#include "protocol/DaemonClient.h"
#include "support/ModelFixture.h"
#include "support/SampleDocuments.h"
#include "support/ScriptedHttpServer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTest>
#include <QTimer>

using namespace tavrin;
using namespace std::chrono_literals;
using test::ScriptedHttpServer;
using test::ScriptedResponse;

namespace {

DaemonClientConfiguration quick() {
    DaemonClientConfiguration c;
    c.requestTimeout = c.resourceTimeout = 2s;
    c.healthTimeout = c.idleTimeout = 1s;
    return c;
}

// Owns the Secret Service's name on the session bus and never answers, like a keyring whose unlock
// prompt waits for the user; answerAll() ends the wait with a refusal.
class SilentSecretService : public QDBusVirtualObject {
public:
    SilentSecretService() {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.registerVirtualObject(QStringLiteral("/org/freedesktop/secrets"), this, QDBusConnection::SubPath);
        bus.registerService(QStringLiteral("org.freedesktop.secrets"));
    }
    ~SilentSecretService() override {
        answerAll();
        QDBusConnection::sessionBus().unregisterService(QStringLiteral("org.freedesktop.secrets"));
        QDBusConnection::sessionBus().unregisterObject(QStringLiteral("/org/freedesktop/secrets"));
    }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        m_pending << message;
        if (m_answering)
            answerAll();
        return true;
    }
    QString introspect(const QString&) const override { return {}; }
    void answerAll() {
        m_answering = true;
        for (const QDBusMessage& message : std::exchange(m_pending, {}))
            QDBusConnection::sessionBus().send(message.createErrorReply(QDBusError::AccessDenied, "refused"));
    }

private:
    QList<QDBusMessage> m_pending;
    bool m_answering = false;
};

} // namespace

class ServerStateModelTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedHttpServer> server;
    std::unique_ptr<DaemonClient> client;
    QString stateDir;
    std::unique_ptr<DaemonProcessController> process;

    std::unique_ptr<ServerStateModel> makeModel(KeychainStore keychain = KeychainStore()) {
        return std::make_unique<ServerStateModel>(client.get(), process.get(), std::move(keychain));
    }

    void writeSecretFile(const QByteArray& content) {
        QVERIFY(makeDirectories(stateDir) && writeFilePrivately(stateDir + "/admin.secret", content));
    }

private slots:
    void initTestCase() {
        QCoreApplication::setOrganizationName("Tavrin");
        QCoreApplication::setApplicationName("Tavrin Keldmarch Tests");
    }

    void init() {
        server = std::make_unique<ScriptedHttpServer>();
        server->route("/healthz", ScriptedResponse::text(200, "ok"));
        server->route("/admin/status", ScriptedResponse::json(200, test::fullStatusDocument()));
        server->route("/admin/keys", ScriptedResponse::json(200, test::keyListDocument(2)));
        client = std::make_unique<DaemonClient>(server->baseUrl(), std::nullopt, quick());
        stateDir = QDir::homePath() + "/state-" + QString::number(QRandomGenerator::global()->generate());
        process = ModelFixture::controllerFor(stateDir);
        KeychainStore().remove(KeychainAccount::adminSecret).waitForFinished();
    }

    void cleanup() {
        // Let a sleeping poll loop see its model gone and end.
        QTest::qWait(50);
        client.reset();
        server.reset();
        process.reset();
        QDir(stateDir).removeRecursively();
    }

    // The file is what the server reads, so it wins; a blank one falls through to the keychain,
    // whose answer the first cycle waits for; with neither, the cycle asks nothing of the server.
    void thePasswordComesFromTheFileThenTheKeychain() {
        writeSecretFile("from-file-secret\n");
        QVERIFY(KeychainStore().save(QStringLiteral(" kept as stored "), KeychainAccount::adminSecret).result());
        makeModel();
        QCOMPARE(client->adminSecret(), QStringLiteral("from-file-secret"));

        client->setAdminSecret(std::nullopt);
        writeSecretFile(" \n\t ");
        auto model = makeModel();
        QCoro::waitFor(model->refresh());
        QCOMPARE(client->adminSecret(), QStringLiteral(" kept as stored "));
        QCOMPARE(model->phase(), Phase::running());

        KeychainStore().remove(KeychainAccount::adminSecret).waitForFinished();
        client->setAdminSecret(std::nullopt);
        server->clearRequests();
        model = makeModel();
        QCoro::waitFor(model->refresh());
        QCOMPARE(model->phase(), Phase::unauthenticated());
        QCOMPARE(server->requestCount(), 0u);
    }

    // Poll cycles against a scripted server, one answer set per cycle: the phase after each, and what
    // the model holds at the end. "ok" answers everything; "down" fails the health check; "403"
    // refuses the secret; "malformed" sends a status that does not decode; "no keys" fails the key list.
    void eachCycleSetsThePhaseAsTheRulesSay_data() {
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QList<Phase>>("phases");
        QTest::addColumn<bool>("statusHeld");
        const Phase running = Phase::running();
        QTest::newRow("stopped on the second failed check")
            << QStringList{"ok", "down", "down"} << QList{running, running, Phase::stopped()} << false;
        QTest::newRow("a fresh model checks, then stops")
            << QStringList{"down", "down"} << QList{Phase::probing(), Phase::stopped()} << false;
        QTest::newRow("a good check resets the count")
            << QStringList{"ok", "down", "ok", "down"} << QList{running, running, running, running} << true;
        QTest::newRow("a refused secret keeps the last status")
            << QStringList{"ok", "403"} << QList{running, Phase::unauthenticated()} << true;
        QTest::newRow("a malformed status is an error with its text")
            << QStringList{"malformed"}
            << QList{Phase::error("Could not decode server response: serverVersion: expected string, found number")} << false;
        QTest::newRow("a failed key list is not reported") << QStringList{"ok", "no keys"} << QList{running, running} << true;
    }
    void eachCycleSetsThePhaseAsTheRulesSay() {
        QFETCH(QStringList, answers);
        QFETCH(QList<Phase>, phases);
        client->setAdminSecret(QStringLiteral("s3cret"));
        auto model = makeModel();
        QList<Phase> seen;
        for (const QString& answer : answers) {
            server->route("/healthz", ScriptedResponse::text(answer == "down" ? 503 : 200, "ok"));
            server->route("/admin/status", answer == "403"         ? ScriptedResponse::text(403, "no")
                                           : answer == "malformed" ? ScriptedResponse::json(200, R"({"serverVersion": 3})")
                                                                   : ScriptedResponse::json(200, test::fullStatusDocument()));
            server->route("/admin/keys", answer == "no keys" ? ScriptedResponse::text(500, "db locked")
                                                             : ScriptedResponse::json(200, test::keyListDocument(2)));
            QCoro::waitFor(model->refresh());
            seen << model->phase();
            QVERIFY2(seen.back() == phases.value(seen.size() - 1), qPrintable(answer + ": " + seen.back().message));
        }
        QCOMPARE(seen.size(), phases.size());
        QTEST(model->status().has_value(), "statusHeld");
        QCOMPARE(model->lastError().value_or(QString()), phases.back().message);
        QCOMPARE(model->keys().size(), answers.contains("ok") ? 2u : 0u); // a key list is never dropped
    }

    // Started twice, it runs as one loop: each cycle whole (health, status, keys) before the next.
    // Without a password a cycle asks nothing, so both starts end their first cycle at once.
    void startingPollingTwiceLeavesOneLoop() {
        auto model = makeModel();
        QCoro::waitFor(model->adminSecretFound());
        model->setPollIntervalSeconds(0.01);
        model->startPolling();
        model->startPolling();
        client->setAdminSecret(QStringLiteral("s3cret"));
        QTRY_VERIFY(server->requestCount() >= 12);
        const auto requests = server->requests();
        const QByteArray cycle[] = {"/healthz", "/admin/status", "/admin/keys"};
        for (std::size_t i = 0; i < 12; ++i)
            QCOMPARE(requests[i].target, cycle[i % 3]);
    }

    void settingTheSecretStoresItEverywhereAndClearingForgetsIt() {
        auto model = makeModel();
        // Short to the server's reading (characters as a person counts them, without the spaces at the
        // ends): refused before anything is stored, whoever asks. (Blank and plainly short ones:
        // tavrinctl's password test.)
        const std::optional<QString> held = client->adminSecret();
        const std::pair<QString, QString> refused[] = {
            {QStringLiteral("   fifteen-chars-x   "), QStringLiteral("An admin password needs 16 characters or more; "
                                                                   "this one has 15.")},
            {QStringLiteral("e\u0301").repeated(15), QStringLiteral("An admin password needs 16 characters or more; "
                                                                   "this one has 15.")},
        };
        for (const auto& [typed, message] : refused) {
            const auto result = QCoro::waitFor(model->setAdminSecret(typed));
            QVERIFY(!result);
            QCOMPARE(result.error().message(), message);
        }
        QCOMPARE(client->adminSecret(), held);
        QVERIFY(!QFile::exists(stateDir + "/admin.secret"));
        const QString emoji = QStringLiteral("\U0001F510").repeated(16);
        QVERIFY(QCoro::waitFor(model->setAdminSecret(emoji)));
        QCOMPARE(AdminSecretFile(stateDir).read(), emoji);
        QVERIFY(QCoro::waitFor(model->setAdminSecret(QStringLiteral("new-password-0123456789"))));
        QCOMPARE(client->adminSecret(), QStringLiteral("new-password-0123456789"));
        QCOMPARE(KeychainStore().load(KeychainAccount::adminSecret).result(), QStringLiteral("new-password-0123456789"));
        QCOMPARE(AdminSecretFile(stateDir).read(), QStringLiteral("new-password-0123456789"));

        QCoro::waitFor(model->clearAdminSecret());
        QCOMPARE(client->adminSecret(), std::nullopt);
        QCOMPARE(KeychainStore().load(KeychainAccount::adminSecret).result(), std::nullopt);
        QVERIFY(!QFile::exists(stateDir + "/admin.secret"));
    }

    void aPasswordReadsTheSameBeforeAndAfterARestart() {
        for (const QString password : {"a-password-ending-in-nbsp\u00A0", "  padded password 12345\n"}) {
            test::ReferenceServer real(std::nullopt);
            QVERIFY(real.start());
            const auto realProcess = ModelFixture::controllerFor(real.stateDirectory());
            for (const bool restarted : {false, true}) { // once restarted, the panel reads it from the file
                DaemonClient panel(real.baseUrl(), std::nullopt, quick());
                ServerStateModel model(&panel, realProcess.get());
                QVERIFY(restarted || QCoro::waitFor(model.setAdminSecret(password)));
                QCoro::waitFor(model.refresh());
                QCOMPARE(model.phase(), Phase::running());
            }
        }
    }

    void aKeychainThatDoesNotAnswerNeverHoldsUpTheWindow() {
        if (!qEnvironmentVariableIsSet("TAVRIN_TEST_NO_KEYRING"))
            QSKIP("needs a session bus whose Secret Service this test can play");
        SilentSecretService keyring;
        auto model = makeModel(); // no password file: the keychain is asked
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        auto cycle = model->refresh();
        auto saving = model->setAdminSecret(QStringLiteral("typed-while-the-keyring-waits"));
        QTRY_VERIFY(ticks > 20); // the event loop runs on while the keychain stays silent
        // The first cycle waits for the keychain's answer rather than calling the password missing.
        QCOMPARE(model->phase(), Phase::unknown());
        QCOMPARE(client->adminSecret(), std::nullopt);
        keyring.answerAll();
        QCOMPARE(QCoro::waitFor(std::move(saving)).error().message(), QStringLiteral("Keyring write failed (9)"));
        QCoro::waitFor(std::move(cycle));
        QCOMPARE(model->phase(), Phase::unauthenticated());
    }

    // Keychain, client, file: setting the password stops at the first step that fails, with what
    // came before it kept and nothing after it done.
    void aStepThatFailsStopsTheRest_data() {
        QTest::addColumn<bool>("keychainFails");
        QTest::newRow("the keychain cannot be written") << true;
        QTest::newRow("the state folder cannot be written") << false;
    }
    void aStepThatFailsStopsTheRest() {
        QFETCH(bool, keychainFails);
        if (keychainFails && !qEnvironmentVariableIsSet("TAVRIN_TEST_NO_KEYRING"))
            QSKIP("needs a session without a Secret Service, where the fallback folder decides");
        QFile blocker(stateDir); // a plain file where the folder should be
        QVERIFY(keychainFails || blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto model = makeModel(keychainFails ? KeychainStore("/proc/no-such/keychain") : KeychainStore());
        const QString typed = QStringLiteral("would-be-password-123");
        const auto result = QCoro::waitFor(model->setAdminSecret(typed));
        QFile::remove(stateDir);
        QVERIFY(!result);
        const QString expected = keychainFails ? QStringLiteral("Keyring write failed (") : stateDir + QStringLiteral(": Not a directory");
        QVERIFY2(result.error().message().startsWith(expected), qPrintable(result.error().message()));
        QCOMPARE(client->adminSecret() == typed, !keychainFails);
        QCOMPARE(KeychainStore().load(KeychainAccount::adminSecret).result() == typed, !keychainFails);
        QVERIFY(!QFile::exists(stateDir + "/admin.secret"));
    }
};

QTEST_GUILESS_MAIN(ServerStateModelTest)
#include "ServerStateModelTest.moc"
