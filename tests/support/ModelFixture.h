#pragma once

// The state layer over the real reference server: a client on its admin port holding its password (as
// the panel's is), a controller that keeps the server's state folder, and the model they make.

#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"
#include "support/Basics.h"
#include "support/ReferenceServer.h"

#include <QTest>

#include <memory>

class ModelFixture {
public:
    std::unique_ptr<tavrin::test::ReferenceServer> server;
    std::unique_ptr<tavrin::DaemonClient> client;
    std::unique_ptr<tavrin::DaemonProcessController> controller;
    std::unique_ptr<tavrin::ServerStateModel> model;

    // A controller that keeps the admin password file in `folder`; it never starts anything.
    static std::unique_ptr<tavrin::DaemonProcessController> controllerFor(const QString& folder) {
        tavrin::DaemonProcessControllerOptions options;
        options.bundlePath = folder + QStringLiteral("/no-bundle");
        options.systemctl = folder + QStringLiteral("/no-systemctl");
        options.stateDirectory = folder;
        return std::make_unique<tavrin::DaemonProcessController>(options);
    }

    // `poll`: the model's first poll is made, as the panel makes it before a tab is shown.
    void startServer(tavrin::test::ReferenceServerOptions serverOptions = {}, bool poll = true) {
        server = std::make_unique<tavrin::test::ReferenceServer>();
        TAVRIN_REQUIRE(server->start(std::move(serverOptions)));
        client = server->client();
        controller = controllerFor(server->stateDirectory());
        model = std::make_unique<tavrin::ServerStateModel>(client.get(), controller.get());
        if (poll)
            QCoro::waitFor(model->refresh());
    }

    void stopModel() {
        model.reset();
        controller.reset();
        client.reset();
        server.reset();
    }

    // Two failed health checks make the phase stopped; one good poll makes it running.
    void pollUntilStopped() {
        QCoro::waitFor(model->refresh());
        QCoro::waitFor(model->refresh());
    }
};
