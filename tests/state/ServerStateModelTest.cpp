#include "state/ServerStateModel.h"
#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"
#include "support/ReferenceServer.h"
#include "support/SampleDocuments.h"
#include "support/ScriptedHttpServer.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QTimer>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace tavrin;
using namespace std::chrono_literals;
using test::ScriptedHttpServer;
using test::ScriptedResponse;

namespace {

DaemonClientConfiguration quick() {
    DaemonClientConfiguration c;
    c.requestTimeout = c.resourceTimeout = 2s;
    c.healthTimeout = 1s;
    c.idleTimeout = 1s;
    return c;
}

QString phaseName(const Phase& p) {
    switch (p.kind) {
    case Phase::Kind::unknown:
        return "unknown";
    case Phase::Kind::probing:
        return "probing";
    case Phase::Kind::stopped:
        return "stopped";
    case Phase::Kind::running:
        return "running";
    case Phase::Kind::unauthenticated:
        return "unauthenticated";
    case Phase::Kind::error:
        return "error: " + p.message;
    }
    return {};
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
        if (m_answering)
            QDBusConnection::sessionBus().send(message.createErrorReply(QDBusError::AccessDenied, "refused"));
        else
            m_pending << message;
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

    // A controller that keeps the admin password file in `folder`; it never starts anything here.
    static std::unique_ptr<DaemonProcessController> controllerFor(const QString& folder) {
        DaemonProcessControllerOptions options;
        options.bundlePath = folder + "/no-bundle";
        options.systemctl = folder + "/no-systemctl";
        options.stateDirectory = folder;
        return std::make_unique<DaemonProcessController>(options);
    }

    std::unique_ptr<ServerStateModel> makeModel(KeychainStore keychain = KeychainStore()) {
        return std::make_unique<ServerStateModel>(client.get(), process.get(), std::move(keychain));
    }

    void writeSecretFile(const QByteArray& content) {
        QDir().mkpath(stateDir);
        QFile f(stateDir + "/admin.secret");
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
    }

    // The phases a model goes through, in order, as an observer would see them.
    static QStringList record(ServerStateModel& model, QStringList& into) {
        QObject::connect(&model, &ServerStateModel::phaseChanged, &model,
                         [&] { into << phaseName(model.phase()); });
        return into;
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
        process = controllerFor(stateDir);
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

    void withoutAnyPasswordTheFirstCycleIsUnauthenticatedAndSilent() {
        auto model = makeModel();
        QCOMPARE(client->adminSecret(), std::nullopt);
        QCoro::waitFor(model->refresh());
        QCOMPARE(model->phase(), Phase::unauthenticated());
        QCOMPARE(server->requestCount(), 0u);
    }

    void theSecretFileIsTrimmedAndABlankOneFallsThroughToTheKeychain() {
        writeSecretFile("  from-file-secret\n");
        QCOMPARE(makeModel()->client()->adminSecret(), QStringLiteral("from-file-secret"));

        client->setAdminSecret(std::nullopt);
        writeSecretFile(" \n\t ");
        QVERIFY(KeychainStore().save(QStringLiteral(" kept as stored "), KeychainAccount::adminSecret).result());
        auto model = makeModel();
        QCoro::waitFor(model->refresh()); // the first cycle waits for the keychain's answer
        QCOMPARE(client->adminSecret(), QStringLiteral(" kept as stored "));
        QCOMPARE(model->phase(), Phase::running());
    }

    void aStoppedServerIsStoppedOnTheSecondFailedCheck() {
        client->setAdminSecret(QStringLiteral("s3cret"));
        auto model = makeModel();
        QStringList phases;
        record(*model, phases);
        QCoro::waitFor(model->refresh());
        QCOMPARE(phases, (QStringList{"probing", "running"}));
        QVERIFY(model->status());

        server->route("/healthz", ScriptedResponse::text(503, "down"));
        phases.clear();
        QSignalSpy statusChanges(model.get(), &ServerStateModel::statusChanged);
        QCoro::waitFor(model->refresh());
        QVERIFY2(phases.isEmpty(), qPrintable(phases.join(",")));
        QVERIFY(model->status());
        QCoro::waitFor(model->refresh());
        QCOMPARE(phases, QStringList{"stopped"});
        QCOMPARE(model->status(), std::nullopt);
        QCOMPARE(statusChanges.count(), 1);
        QCOMPARE(model->keys().size(), 2u); // kept
    }

    void aGoodCheckResetsTheFailureCount() {
        client->setAdminSecret(QStringLiteral("s3cret"));
        auto model = makeModel();
        QCoro::waitFor(model->refresh());
        server->route("/healthz", ScriptedResponse::text(503, "down"));
        QCoro::waitFor(model->refresh());
        server->route("/healthz", ScriptedResponse::text(200, "ok"));
        QCoro::waitFor(model->refresh());
        server->route("/healthz", ScriptedResponse::text(503, "down"));
        QCoro::waitFor(model->refresh());
        QCOMPARE(model->phase(), Phase::running());
    }

    void aRejectedSecretKeepsTheLastStatus() {
        client->setAdminSecret(QStringLiteral("s3cret"));
        auto model = makeModel();
        QCoro::waitFor(model->refresh());
        const auto before = model->status();
        QVERIFY(before);
        server->route("/admin/status", ScriptedResponse::text(403, "nope"));
        QCoro::waitFor(model->refresh());
        QCOMPARE(model->phase(), Phase::unauthenticated());
        QVERIFY(model->status() == before);
        QCOMPARE(model->lastError(), std::nullopt);
    }

    void aMalformedStatusIsAnErrorWithTheDecodeText() {
        client->setAdminSecret(QStringLiteral("s3cret"));
        server->route("/admin/status", ScriptedResponse::json(200, R"({"serverVersion": 3})"));
        auto model = makeModel();
        QCoro::waitFor(model->refresh());
        const QString text =
            QStringLiteral("Could not decode server response: serverVersion: expected string, found number");
        QCOMPARE(model->phase(), Phase::error(text));
        QCOMPARE(model->lastError(), text);
        QCOMPARE(model->lastRefreshedAt(), std::nullopt);
    }

    void aFailedKeyListKeepsThePreviousList() {
        client->setAdminSecret(QStringLiteral("s3cret"));
        auto model = makeModel();
        QCoro::waitFor(model->refresh());
        QCOMPARE(model->keys().size(), 2u);
        server->route("/admin/keys", ScriptedResponse::text(500, "db locked"));
        QCoro::waitFor(model->refresh());
        QCOMPARE(model->keys().size(), 2u);
        QCOMPARE(model->phase(), Phase::running());
        QCOMPARE(model->lastError(), std::nullopt);
        QVERIFY(model->lastRefreshedAt());
    }

    void startingPollingTwiceLeavesOneLoop() {
        client->setAdminSecret(QStringLiteral("s3cret"));
        auto model = makeModel();
        model->setPollIntervalSeconds(0.25);
        model->startPolling();
        model->startPolling();
        QTest::qWait(1300);
        const auto requests = server->requests();
        const auto health = std::count_if(requests.begin(), requests.end(),
                                          [](const auto& r) { return r.target == "/healthz"; });
        // One loop makes at most 6 cycles in 1.3 s (the first at once, then every 0.25 s); two
        // loops would make about twice as many.
        QVERIFY2(health >= 2 && health <= 7, qPrintable(QString::number(health)));
        QCOMPARE(model->phase(), Phase::running());
    }

    void theLoopEndsWithItsModel() {
        client->setAdminSecret(QStringLiteral("s3cret"));
        auto model = makeModel();
        model->setPollIntervalSeconds(0.1);
        model->startPolling();
        QTest::qWait(250);
        model.reset();
        QTest::qWait(100);
        const auto count = server->requestCount();
        QTest::qWait(400);
        QCOMPARE(server->requestCount(), count);
    }

    void theFirstRunFlagIsPersistedOnEveryWrite() {
        auto model = makeModel();
        QSignalSpy changed(model.get(), &ServerStateModel::hasCompletedFirstRunChanged);
        model->setHasCompletedFirstRun(true);
        QVERIFY(makeModel()->hasCompletedFirstRun());
        model->setHasCompletedFirstRun(false);
        QVERIFY(!makeModel()->hasCompletedFirstRun());
        QCOMPARE(changed.count(), 2);
        QCOMPARE(QSettings().value(ServerStateModel::firstRunKey).toBool(), false);
    }

    void settingTheSecretStoresItEverywhereAndClearingForgetsIt() {
        auto model = makeModel();
        QVERIFY(QCoro::waitFor(model->setAdminSecret(QStringLiteral("new-password-0123456789"))));
        QCOMPARE(client->adminSecret(), QStringLiteral("new-password-0123456789"));
        QCOMPARE(KeychainStore().load(KeychainAccount::adminSecret).result(),
                 QStringLiteral("new-password-0123456789"));
        QFile file(stateDir + "/admin.secret");
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("new-password-0123456789"));
        QCOMPARE(file.permissions() &
                     (QFile::ReadGroup | QFile::ReadOther | QFile::WriteGroup | QFile::WriteOther),
                 QFile::Permissions());

        QCoro::waitFor(model->clearAdminSecret());
        QCOMPARE(client->adminSecret(), std::nullopt);
        QCOMPARE(KeychainStore().load(KeychainAccount::adminSecret).result(), std::nullopt);
        QVERIFY(!QFile::exists(stateDir + "/admin.secret"));
        QCoro::waitFor(model->refresh());
        QCOMPARE(model->phase(), Phase::unauthenticated());
    }

    void followsTheRealServerThroughStopAndStart() {
        test::ReferenceServer real;
        QVERIFY(real.start());
        DaemonClient realClient(real.baseUrl(), std::nullopt, quick());
        const auto realProcess = controllerFor(real.stateDirectory());
        ServerStateModel model(&realClient, realProcess.get());
        QCOMPARE(realClient.adminSecret(), real.adminSecret()); // found in the server's own file

        QVERIFY(QCoro::waitFor(realClient.createKey(QStringLiteral("Build farm"), std::nullopt)));
        QCoro::waitFor(model.refresh());
        QCOMPARE(model.phase(), Phase::running());
        QVERIFY(model.status());
        QCOMPARE(model.status()->pid, real.pid());
        QCOMPARE(model.keys().size(), 1u);
        QCOMPARE(model.keys().front().label, QStringLiteral("Build farm"));

        QVERIFY(real.stop());
        QCoro::waitFor(model.refresh());
        QCOMPARE(model.phase(), Phase::running());
        QCoro::waitFor(model.refresh());
        QCOMPARE(model.phase(), Phase::stopped());
        QCOMPARE(model.status(), std::nullopt);
        QCOMPARE(model.keys().size(), 1u);

        QVERIFY(real.start(test::ReferenceServerOptions({}, {}, real.port())));
        QCoro::waitFor(model.refresh());
        QCOMPARE(model.phase(), Phase::running());

        // The password in the file is what the server accepts; a stale one in the panel is refused.
        real.writeAdminSecret(QStringLiteral("rotated-by-someone-else"));
        QCoro::waitFor(model.refresh());
        QCOMPARE(model.phase(), Phase::unauthenticated());
        QVERIFY(model.status());
    }

    void aPasswordReadsTheSameBeforeAndAfterARestart_data() {
        QTest::addColumn<QString>("password");
        QTest::newRow("ending in a no-break space") << QStringLiteral("a-password-ending-in-nbsp\u00A0");
        QTest::newRow("typed with spaces and a line break") << QStringLiteral("  padded password 12345\n");
    }
    void aPasswordReadsTheSameBeforeAndAfterARestart() {
        QFETCH(QString, password);
        test::ReferenceServer real(std::nullopt);
        QVERIFY(real.start());
        const auto realProcess = controllerFor(real.stateDirectory());
        DaemonClient before(real.baseUrl(), std::nullopt, quick());
        ServerStateModel typed(&before, realProcess.get());
        QVERIFY(QCoro::waitFor(typed.setAdminSecret(password)));
        QCoro::waitFor(typed.refresh());
        QCOMPARE(typed.phase(), Phase::running());
        // The panel restarts: it reads the password back from the file.
        DaemonClient after(real.baseUrl(), std::nullopt, quick());
        ServerStateModel restarted(&after, realProcess.get());
        QCoro::waitFor(restarted.refresh());
        QCOMPARE(restarted.phase(), Phase::running());
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
        QTest::qWait(500);
        QVERIFY2(ticks > 20, qPrintable(QString::number(ticks)));
        // The first cycle waits for the keychain's answer rather than calling the password missing.
        QCOMPARE(model->phase(), Phase::unknown());
        QCOMPARE(client->adminSecret(), std::nullopt);
        keyring.answerAll();
        QCOMPARE(QCoro::waitFor(std::move(saving)).error().message(), QStringLiteral("Keychain write failed (9)"));
        QCoro::waitFor(std::move(cycle));
        QCOMPARE(model->phase(), Phase::unauthenticated());
    }

    void aKeychainThatCannotBeWrittenChangesNothingElse() {
        if (!qEnvironmentVariableIsSet("TAVRIN_TEST_NO_KEYRING"))
            QSKIP("needs a session without a Secret Service");
        // No Secret Service on the bus and a fallback folder that cannot be made: nothing can keep it.
        auto model = makeModel(KeychainStore("/proc/no-such/keychain"));
        const auto result = QCoro::waitFor(model->setAdminSecret(QStringLiteral("would-be-password-123")));
        QVERIFY(!result);
        QVERIFY2(result.error().message().startsWith(QStringLiteral("Keychain write failed (")),
                 qPrintable(result.error().message()));
        QCOMPARE(client->adminSecret(), std::nullopt);
        QVERIFY(!QFile::exists(stateDir + "/admin.secret"));
    }

    void aStateFolderThatCannotBeWrittenFailsAfterTheKeychainStep() {
        // A plain file where the folder should be: the keychain and client already hold the secret.
        QFile blocker(stateDir);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        auto model = makeModel();
        const auto result = QCoro::waitFor(model->setAdminSecret(QStringLiteral("another-password-123")));
        QVERIFY(!result);
        QCOMPARE(result.error().message(), stateDir + QStringLiteral(": Not a directory"));
        QCOMPARE(client->adminSecret(), QStringLiteral("another-password-123"));
        QCOMPARE(KeychainStore().load(KeychainAccount::adminSecret).result(), QStringLiteral("another-password-123"));
        QFile::remove(stateDir);
    }
};

QTEST_GUILESS_MAIN(ServerStateModelTest)
#include "ServerStateModelTest.moc"
