#pragma once

// Common ground of the Status tab, tray panel and main window tests: a model whose client talks over
// real HTTP to a scripted server, and whose controller drives a temporary bundle (the test child as its
// server) through the scripted systemctl; the screen under test shown offscreen.

#include "control/DaemonProcessController.h"
#include "control/KeychainStore.h"
#include "control/TestBundle.h"
#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"
#include "support/ReferenceServer.h"
#include "support/ScriptedHttpServer.h"
#include "ScreenTesting.h"

#include <QAbstractButton>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

class StatusFixture : public ScreenHost {
public:
    std::unique_ptr<TestBundle> bundle;
    std::unique_ptr<QTemporaryDir> scratch;
    std::unique_ptr<tavrin::test::ScriptedHttpServer> server;
    std::unique_ptr<tavrin::DaemonClient> client;
    std::unique_ptr<tavrin::DaemonProcessController> controller;
    std::unique_ptr<tavrin::ServerStateModel> model;
    std::optional<QByteArray> savedConfigHome;

    struct Setup {
        bool withServerBinary = true;
        bool atRequiredLocation = false;
        bool withoutSystemctl = false; // a machine without any service manager tool
        bool referenceServer = false;  // the bundle's server is the real one, on an admin port of its own
        // As a first launch finds the panel: no password, no settings, an empty keychain, nothing
        // answering its client, and the companion's sample model in its user folder.
        bool firstLaunch = false;
    };

    void setUp(Setup setup) {
        for (const char* name : {"SCRIPTED_SYSTEMCTL_NO_MANAGER", "SCRIPTED_SYSTEMCTL_MAINPID", "TAVRIN_TEST_CHILD_MODE",
                                 "TAVRIN_TEST_CHILD_REPORT"})
            qunsetenv(name);
        bundle = std::make_unique<TestBundle>();
        scratch = std::make_unique<QTemporaryDir>();
        QVERIFY(scratch->isValid());
        // The login unit folder and the scripted manager's memory live in this test's own folders,
        // never in the user's, whether or not the test runs inside the test session.
        savedConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME") ? std::optional(qgetenv("XDG_CONFIG_HOME"))
                                                                        : std::nullopt;
        qputenv("XDG_CONFIG_HOME", (scratch->path() + QStringLiteral("/config")).toUtf8());
        qputenv("SCRIPTED_SYSTEMCTL_STATE", (scratch->path() + QStringLiteral("/systemd-state")).toUtf8());
        if (setup.referenceServer) {
            QVERIFY(QDir().mkpath(scratch->path() + QStringLiteral("/no-model")));
            QVERIFY(bundle->installWrapper(tavrin::test::ReferenceServer::executablePath(),
                                           "--port 0 --model-source '" + scratch->path() + "/no-model'"));
        } else if (setup.withServerBinary) {
            QVERIFY(bundle->installServer(QStringLiteral(TEST_CHILD)));
        }
        QVERIFY(bundle->writeUnit("[Service]\nExecStart=/x serve\n"));
        qputenv("SCRIPTED_SYSTEMCTL_LOG", systemctlLog().toUtf8());
        if (setup.firstLaunch) {
            QSettings().clear();
            tavrin::KeychainStore().remove(tavrin::KeychainAccount::adminSecret).waitForFinished();
            const QString companion =
                QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/tavrin-ai/resources";
            QCOMPARE(tavrin::test::runProgram(tavrin::test::ReferenceServer::executablePath(),
                                              {"make-sample-bundle", companion}).status, 0);
        }

        server = std::make_unique<tavrin::test::ScriptedHttpServer>();
        server->route("/healthz", tavrin::test::ScriptedResponse::text(200, "ok"));
        server->route("/admin/status", tavrin::test::ScriptedResponse::json(200, tavrin::test::fullStatusDocument()));
        server->route("/admin/keys", tavrin::test::ScriptedResponse::json(200, tavrin::test::keyListDocument(1)));
        tavrin::DaemonClientConfiguration quick;
        quick.requestTimeout = quick.resourceTimeout = std::chrono::seconds(3);
        quick.healthTimeout = quick.idleTimeout = std::chrono::seconds(2);
        QUrl base = server->baseUrl();
        if (setup.referenceServer) { // the server it starts takes the admin port from the environment, as the panel's does
            base.setPort(tavrin::test::freeLoopbackPort());
            qputenv("TAVRIN_ADMIN_PORT", QByteArray::number(base.port()));
        }
        if (setup.firstLaunch)
            base.setPort(tavrin::test::freeLoopbackPort());
        client = std::make_unique<tavrin::DaemonClient>(
            base, setup.firstLaunch ? std::nullopt : std::optional(QStringLiteral("s3cret")), quick);

        tavrin::DaemonProcessControllerOptions o = bundle->controllerOptions(scratch->path(), setup.atRequiredLocation);
        if (setup.withoutSystemctl)
            o.systemctl = scratch->path() + QStringLiteral("/no-such/systemctl");
        controller = std::make_unique<tavrin::DaemonProcessController>(o);
        if (setup.referenceServer)
            QVERIFY(controller->writeAdminSecret(QStringLiteral("s3cret")));
        model = std::make_unique<tavrin::ServerStateModel>(client.get(), controller.get());
    }

    void tearDown() {
        close();
        if (controller)
            QCoro::waitFor(controller->stop()); // a server outlives its panel, but not its test
        model.reset();
        controller.reset();
        client.reset();
        server.reset();
        scratch.reset();
        bundle.reset();
        qputenv("TAVRIN_ADMIN_PORT", "0");
        if (savedConfigHome)
            qputenv("XDG_CONFIG_HOME", *savedConfigHome);
        else
            qunsetenv("XDG_CONFIG_HOME");
        qunsetenv("SCRIPTED_SYSTEMCTL_STATE");
    }

    QString systemctlLog() const { return scratch->path() + QStringLiteral("/systemctl.log"); }
    QString systemctlCalls() const { return QString::fromUtf8(tavrin::test::fileBytes(systemctlLog())); }

    // The server answers with `status`; one poll cycle takes it in (phase running).
    void serve(const tavrin::ClientServerStatus& status) {
        server->route("/healthz", tavrin::test::ScriptedResponse::text(200, "ok"));
        server->route("/admin/status", tavrin::test::ScriptedResponse::json(200, tavrin::encodeJson(status)));
        QCoro::waitFor(model->refresh());
    }

    // The server stops answering; two poll cycles make the phase stopped and drop the status.
    void goDown() {
        server->route("/healthz", tavrin::test::ScriptedResponse::text(503, "down"));
        QCoro::waitFor(model->refresh());
        QCoro::waitFor(model->refresh());
    }
};
