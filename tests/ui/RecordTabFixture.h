#pragma once

// Common ground of the admin tab tests: the real reference server, a client on its admin
// port holding its password (as the panel's is), a controller that keeps the server's state folder,
// and the model they make; a tab built from the catalogue and shown offscreen.

#include "KitTestMain.h"
#include "ScreenTesting.h"

#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"
#include "support/ReferenceServer.h"
#include "ui/RecordEditor.h"
#include "ui/kit/TRProgressIndicator.h"
#include "ui/tabs/TabCatalogue.h"

#include <memory>

class RecordTabFixture {
public:
    std::unique_ptr<tavrin::test::ReferenceServer> server;
    std::unique_ptr<tavrin::DaemonClient> client;
    std::unique_ptr<tavrin::DaemonProcessController> controller;
    std::unique_ptr<tavrin::ServerStateModel> model;
    std::unique_ptr<TestHost> host;

    // `poll`: the model's first poll is made, as the panel makes it before a tab is shown.
    void startServer(tavrin::test::ReferenceServerOptions serverOptions = {}, bool poll = true) {
        server = std::make_unique<tavrin::test::ReferenceServer>();
        const auto started = server->start(std::move(serverOptions));
        QVERIFY2(started, qPrintable(started ? QString() : started.error()));
        client = server->client();
        tavrin::DaemonProcessControllerOptions options;
        options.bundlePath = server->stateDirectory() + QStringLiteral("/no-bundle");
        options.systemctl = server->stateDirectory() + QStringLiteral("/no-systemctl");
        options.stateDirectory = server->stateDirectory();
        controller = std::make_unique<tavrin::DaemonProcessController>(options);
        model = std::make_unique<tavrin::ServerStateModel>(client.get(), controller.get());
        if (poll)
            QCoro::waitFor(model->refresh());
    }

    // Builds the catalogue's tab and shows it; `Tab` is the catalogue's type for `which`.
    template <class Tab> Tab* open(tavrin::AdminTab which, QSize size = {860, 1300}) {
        host = std::make_unique<TestHost>();
        const tavrin::AdminScreen& entry = tavrin::adminTab(which);
        auto* tab = static_cast<Tab*>(entry.make(model.get(), entry.heading));
        host->place(tab, size.width(), 0, size.height());
        return tab;
    }

    // Every flow of `tab` runs to its end before the model it talks to goes away.
    template <class Tab> void close(Tab* tab) {
        if (tab)
            QTRY_COMPARE_WITH_TIMEOUT(tab->flows().running(), 0, 15000);
        host.reset();
    }

    void tearDown() {
        host.reset();
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

    // The tab before its first load has ended: built and drawn, never shown, so nothing loads.
    void saveLoadingLook(tavrin::AdminTab which, const QString& name) {
        const tavrin::AdminScreen& entry = tavrin::adminTab(which);
        const std::unique_ptr<QWidget> tab(entry.make(model.get(), entry.heading));
        tab->resize(860, 400);
        saveLook(tab.get(), name);
    }

    // For a person to look at: the tab as it stands, once the switches and the disclosure have
    // ended their animations.
    static void saveLook(QWidget* tab, const QString& name) {
        if (qEnvironmentVariableIsEmpty("TAVRIN_SCREENS_DIR"))
            return;
        QTest::qWait(400);
        saveScreen(tab, name);
    }
};

inline bool wheelShown(const QWidget* tab) {
    const auto* wheel = tab->findChild<tavrin::TRProgressIndicator*>();
    return wheel && wheel->isVisibleTo(tab);
}
