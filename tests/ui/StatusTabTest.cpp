// The Status tab as a user meets it: real widgets offscreen, a model fed over real HTTP, the
// controller driving a temporary bundle through the scripted systemctl.
#include "KitTestMain.h"
#include "StatusFixture.h"
#include "support/ReferenceServer.h"

#include "ui/kit/EndpointBox.h"
#include "ui/kit/KVRow.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/CopyButton.h"
#include "ui/kit/PhaseBlock.h"
#include "ui/kit/StatTile.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/StatusTab.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTcpServer>

using namespace tavrin;

namespace {

TRButton* buttonNamed(const QWidget* root, const QString& text) {
    return findVisible<TRButton>(root, text, [](TRButton* b) { return b->text(); });
}

QString errorLine(const QWidget* root) {
    const auto* line = root->findChild<TRMessageLine*>();
    return line && line->isVisibleTo(root) ? line->message() : QString();
}

} // namespace

// Common steps of the tab tests: a fresh fixture and a tab shown on a host.
class StatusTabFixture : public QObject, protected StatusFixture {
    Q_OBJECT
protected:
    std::unique_ptr<ScreenHost> host;
    StatusTab* tab = nullptr;

    void open() {
        host = std::make_unique<ScreenHost>();
        QSignalSpy registrationRead(controller.get(), &DaemonProcessController::loginServiceEnabledChanged);
        tab = new StatusTab(model.get());
        host->place(tab, {860, 1400});
        // The tab reads the registration when it appears.
        QTRY_VERIFY(!registrationRead.isEmpty());
    }
    void close() {
        if (tab) // every flow runs to its end before the model it talks to goes away
            QTRY_COMPARE(tab->runningFlows(), 0);
        host.reset();
        tab = nullptr;
        tearDown();
    }
    // For a person to look at: states that a fresh render of the tab cannot show.
    void saveLook(const QString& name) const {
        const QString dir = qEnvironmentVariable("TAVRIN_SCREENS_DIR");
        if (!dir.isEmpty() && QDir().mkpath(dir))
            tab->grab().save(dir + "/flow-" + name + ".png");
    }
    KeldmarchSwitch* loginSwitch() const { return tab->findChild<KeldmarchSwitch*>(); }
    TRCard* loginCard() const {
        return findVisible<TRCard>(tab, "Start at login", [](TRCard* c) { return c->title(); });
    }
};

class StatusTabPhaseTest : public StatusTabFixture {
    Q_OBJECT
private Q_SLOTS:
    void init() { setUp({}); }
    void cleanup() { close(); }

    void everyPhaseHasItsHeadlinePhaseBlockAndButton_data() {
        QTest::addColumn<QString>("drive");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("lead");
        QTest::addColumn<QString>("phase");
        QTest::addColumn<QColor>("colour");
        const QString tools = "Tools to start, monitor, and tune the Tavrin server running on this Mac.";
        QTest::newRow("unknown") << "" << "Tavrin Keldmarch" << tools << "Unknown" << Theme::mutedGrey();
        QTest::newRow("probing") << "one failed check" << "Tavrin Keldmarch" << tools << "Checking…" << Theme::mutedGrey();
        QTest::newRow("stopped") << "down" << "Your server is stopped."
                                 << "Start it whenever you need it. The Tavrin app launches in the background and "
                                    "the menu-bar icon stays visible."
                                 << "Stopped" << Theme::mutedGrey();
        QTest::newRow("running") << "up" << "Your Tavrin server is live."
                                 << "One Mac, two endpoints, no surveillance. Everything below reflects what the "
                                    "server is doing right now."
                                 << "Running" << Theme::okGreen();
        QTest::newRow("unauthenticated") << "403" << "Admin password required."
                                         << "Set the admin password in Diagnostics ▸ Admin password to take control "
                                            "of the server."
                                         << "Admin password required" << Theme::warnAmber();
        QTest::newRow("error") << "malformed" << "Your server hit an error." << tools
                               << "Error: Could not decode server response: serverVersion: expected string, found number"
                               << Theme::dangerRed();
    }
    void everyPhaseHasItsHeadlinePhaseBlockAndButton() {
        QFETCH(QString, drive);
        QFETCH(QString, title);
        QFETCH(QString, lead);
        QFETCH(QString, phase);
        QFETCH(QColor, colour);
        open();
        if (drive == "one failed check") {
            server->route("/healthz", test::ScriptedResponse::text(503, "down"));
            QCoro::waitFor(model->refresh());
        } else if (drive == "down") {
            goDown();
        } else if (drive == "up") {
            serve(sampleStatus());
        } else if (drive == "403") {
            server->route("/admin/status", test::ScriptedResponse::text(403, "no"));
            QCoro::waitFor(model->refresh());
        } else if (drive == "malformed") {
            server->route("/admin/status", test::ScriptedResponse::json(200, R"({"serverVersion": 3})"));
            QCoro::waitFor(model->refresh());
        }
        QCOMPARE(tab->findChild<TabHeader*>()->title(), title);
        QCOMPARE(tab->findChild<TabHeader*>()->lead(), lead);
        const auto* block = tab->findChild<PhaseBlock*>();
        QCOMPARE(block->phaseText(), phase);
        QCOMPARE(block->phaseTextColor(), colour);
        QVERIFY(buttonNamed(tab, phase == "Running" ? "Stop server" : "Start server"));
    }

    void theStartButtonStaysOneWidgetAcrossItsTwoLooks() {
        open();
        TRButton* start = buttonNamed(tab, "Start server");
        QVERIFY(start && start->isPrimary());
        QCOMPARE(start->symbol(), "play.fill");
        serve(sampleStatus());
        TRButton* stop = buttonNamed(tab, "Stop server");
        QCOMPARE(stop, start);
        QVERIFY(!stop->isPrimary());
        QVERIFY(stop->buttonStyle() == AnyButtonStyle(GhostButtonStyle{.danger = true}));
        QCOMPARE(stop->symbol(), "stop.fill");
    }

};

class StatusTabRecordTest : public StatusTabFixture {
    Q_OBJECT
private Q_SLOTS:
    void init() { setUp({}); }
    void cleanup() { close(); }

    void endpointBoxesShowLocalhostAndTheLanByHostName() {
        open();
        serve(sampleStatus());
        const auto boxes = tab->findChildren<EndpointBox*>();
        QCOMPARE(boxes.size(), 2);
        QVERIFY(boxes[0]->isVisibleTo(tab));
        QCOMPARE(boxes[0]->url(), "http://127.0.0.1:11434/v1");
        QCOMPARE(boxes[1]->url(), "http://" + QSysInfo::machineHostName() + ":11434/v1");
        QVERIFY(!boxes[1]->isDashed() && !boxes[1]->isMuted());
        QVERIFY(boxes[1]->copyButton()->isVisibleTo(tab));

        boxes[0]->copyButton()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), "http://127.0.0.1:11434/v1");

        ClientServerStatus local = sampleStatus();
        local.bind.lanEnabled = false;
        local.bind.bindPort = 8080;
        serve(local);
        QCOMPARE(boxes[0]->url(), "http://127.0.0.1:8080/v1");
        QCOMPARE(boxes[1]->url(), "disabled · enable in Network tab");
        QVERIFY(boxes[1]->isDashed() && boxes[1]->isMuted());
        QVERIFY(!boxes[1]->copyButton()->isVisibleTo(tab));
    }

    void withoutAStatusOnlyTheHeaderHeroAndLoginCardRemain() {
        open();
        serve(sampleStatus());
        QVERIFY(tab->findChildren<StatTile*>().first()->isVisibleTo(tab));
        goDown();
        for (auto* box : tab->findChildren<EndpointBox*>())
            QVERIFY(!box->isVisibleTo(tab));
        for (auto* tile : tab->findChildren<StatTile*>())
            QVERIFY(!tile->isVisibleTo(tab));
        QVERIFY(!tab->findChild<TRDisclosure*>()->isVisibleTo(tab));
        QVERIFY(buttonNamed(tab, "Start server"));
        QVERIFY(loginCard());
        QCOMPARE(tab->findChild<PhaseBlock*>()->phaseText(), "Stopped");
    }

    void tilesShowModelHardwareAndLoadAndFollowThePoll() {
        open();
        serve(sampleStatus());
        const auto tiles = tab->findChildren<StatTile*>();
        QCOMPARE(tiles.size(), 3);
        QStringList shown;
        for (auto* tile : tiles)
            shown << tile->value() + " | " + tile->detail();
        QCOMPARE(shown, (QStringList{"keldmarch-1 | Adapter · Steering · System prompt loaded",
                                     "Apple M3 Max | 36 GB · macOS Debian GNU/Linux 12 (bookworm)",
                                     "2 in flight · 1 queued | 503 above 32 · completed 1234 since start"}));
        ClientServerStatus bare = sampleStatus();
        bare.concurrency.reset();
        bare.stages.reset();
        serve(bare);
        QCOMPARE(tiles[0]->detail(), "—");
        QCOMPARE(tiles[2]->value() + " | " + tiles[2]->detail(), "— | Start the server to see live load.");
    }

    void technicalDetailsListRowsAndCopyTheWholeHash() {
        open();
        serve(sampleStatus());
        auto* details = tab->findChild<TRDisclosure*>();
        QVERIFY(!details->isExpanded());
        details->header()->click();
        QVERIFY(details->isExpanded());
        QStringList rows;
        for (auto* row : details->findChildren<KVRow*>())
            rows << row->label() + (row->copyButton() ? "*" : "");
        QTRY_VERIFY(details->contentArea()->height() >= details->contentArea()->sizeHint().height());
        saveLook("technical-details");
        QCOMPARE(rows, (QStringList{"PID*", "Pipeline version*", "Model SHA-256*", "State directory*", "Max concurrency",
                                    "Max queue depth", "Rejected (busy)", "Server version*"}));

        KVRow* hash = findVisible<KVRow>(tab, "Model SHA-256", [](KVRow* r) { return r->label(); });
        QCOMPARE(hash->value(), "a3f1c9e0b7d24c6e8f1a2b3c4d5e6f70…");
        hash->copyButton()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), sampleStatus().model.running->modelSha256);

        // A poll with the same rows keeps the rows (and any selection in them); new figures show.
        KVRow* pid = details->findChildren<KVRow*>().first();
        ClientServerStatus bare = sampleStatus();
        bare.pid = 5150;
        serve(bare);
        QCOMPARE(details->findChildren<KVRow*>().first(), pid);
        QCOMPARE(pid->value(), "5150");
        pid->copyButton()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), "5150");

        bare.concurrency.reset();
        serve(bare);
        QVERIFY(details->isExpanded()); // the user's choice survives a poll
        rows.clear();
        for (auto* row : details->findChildren<KVRow*>())
            rows << row->label();
        QCOMPARE(rows, (QStringList{"PID", "Pipeline version", "Model SHA-256", "State directory", "Server version"}));
    }

    void openLoginItemsShowsOnlyWhileApprovalIsPending() {
        open();
        QVERIFY(!buttonNamed(tab, "Open Login Items…"));
        controller->setRequiresApproval(true);
        QVERIFY(buttonNamed(tab, "Open Login Items…"));
        controller->setRequiresApproval(false);
        QVERIFY(!buttonNamed(tab, "Open Login Items…"));
    }
};

class StatusTabFlowTest : public StatusTabFixture {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { close(); }

    void aFailedChildStartSaysWhyAndTheNextPressClearsIt() {
        setUp({.withServerBinary = false});
        open();
        goDown();
        buttonNamed(tab, "Start server")->click();
        QTRY_COMPARE(errorLine(tab), "tavrin-server binary not found at " + bundle->server() +
                                         ". Reinstall Tavrin Keldmarch. Re-run setup from Diagnostics → Re-run setup.");
        QVERIFY(!controller->isRunning());

        QVERIFY(bundle->installServer(QStringLiteral(TEST_CHILD))); // reinstalled: the next press clears it
        buttonNamed(tab, "Start server")->click();
        QTRY_VERIFY(controller->isRunning());
        QCOMPARE(errorLine(tab), QString());
    }

    void aFailedStopShowsTheBareMessage() {
        setUp({});
        open();
        serve(sampleStatus());
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1");
        buttonNamed(tab, "Stop server")->click();
        QTRY_COMPARE(errorLine(tab), "Could not start the background service: launchctl bootout exited 1");
    }

    void aFailedRestartOfTheRegisteredServiceShowsTheBareMessage() {
        setUp({.atRequiredLocation = true});
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        open();
        goDown();
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1");
        buttonNamed(tab, "Start server")->click();
        QTRY_COMPARE(errorLine(tab), "Could not start the background service: launchctl kickstart exited 1");
        QVERIFY(!controller->isRunning());
    }

    void aFailedStartAtLoginChangePutsTheSwitchBackAndKeepsTheError() {
        setUp({}); // not at the required location: registering fails
        open();
        KeldmarchSwitch* toggle = loginSwitch();
        QVERIFY(!toggle->isChecked());
        QSignalSpy flips(toggle, &QAbstractButton::toggled);
        QTest::mouseClick(toggle, Qt::LeftButton);
        const QString expected = "Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at " +
                                 bundle->path() + ". Move it to /opt/tavrin-keldmarch and re-run setup.";
        QTRY_COMPARE(errorLine(tab), expected);
        QTRY_COMPARE(flips.count(), 2); // on by the user, back off by the tab
        QCOMPARE(flips.at(0).at(0).toBool(), true);
        QVERIFY(!toggle->isChecked());
        QCOMPARE(loginCard()->subtitle(), "Currently off. You'll start the server manually from this tab.");
        QTest::qWait(300); // putting the switch back starts nothing that would clear the message
        QCOMPARE(errorLine(tab), expected);
        saveLook("failed-toggle");
    }

    void startAtLoginRegistersAndRemovalAsksFirst() {
        setUp({.atRequiredLocation = true});
        open();
        QVERIFY(!buttonNamed(tab, "Remove from Login Items…"));
        QTest::mouseClick(loginSwitch(), Qt::LeftButton);
        QTRY_VERIFY(buttonNamed(tab, "Remove from Login Items…"));
        QCOMPARE(loginCard()->subtitle(), "macOS will launch Tavrin Keldmarch every time you sign in.");
        QTRY_VERIFY(controller->isRunning());
        QCOMPARE(errorLine(tab), QString());
        saveLook("registered");

        buttonNamed(tab, "Remove from Login Items…")->click();
        QMessageBox* box = tab->removeConfirmation();
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->text(), "Stop Tavrin Keldmarch and remove it from Login Items?");
        QCOMPARE(box->informativeText(), "The server will stop and the Login Items entry will be deleted. You'll need "
                                         "to re-run setup to bring it back.");
        QStringList buttons;
        for (auto* b : box->buttons())
            buttons << b->text();
        buttons.sort();
        QCOMPARE(buttons, (QStringList{"Cancel", "Remove"}));
        const QString before = systemctlCalls();
        findVisible<QPushButton>(box, "Cancel", [](QPushButton* b) { return b->text(); })->click();
        QTRY_VERIFY(!tab->removeConfirmation());
        QTest::qWait(200);
        QCOMPARE(systemctlCalls(), before);
        QVERIFY(loginSwitch()->isChecked());

        buttonNamed(tab, "Remove from Login Items…")->click();
        box = tab->removeConfirmation();
        QVERIFY(box);
        findVisible<QPushButton>(box, "Remove", [](QPushButton* b) { return b->text(); })->click();
        QTRY_VERIFY(!loginSwitch()->isChecked());
        QTRY_VERIFY(!buttonNamed(tab, "Remove from Login Items…"));
        QVERIFY(systemctlCalls().contains("disable com.tavrinai.server.service"));
        QVERIFY(!controller->isRunning());
        QCOMPARE(errorLine(tab), QString());
    }
};

// The tab's own Start button starts the real tavrin-server as a child, and Stop takes it down.
class StatusTabRealServerTest : public StatusTabFixture {
    Q_OBJECT
    // The server keeps its state under $XDG_DATA_HOME; the test points that at a folder of its own,
    // so that no run, inside the test session or not, can touch a real user's server state.
    std::unique_ptr<QTemporaryDir> dataHome;
    std::optional<QByteArray> savedDataHome;

    // Polls as the model's own loop does, until the phase shows (at most 15 s).
    bool pollUntil(const Phase& phase) {
        QDeadlineTimer deadline(15000);
        while (!deadline.hasExpired()) {
            QCoro::waitFor(model->refresh());
            if (model->phase() == phase)
                return true;
            QTest::qWait(100);
        }
        return false;
    }

private Q_SLOTS:
    void init() {
        savedDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME") ? std::optional(qgetenv("XDG_DATA_HOME"))
                                                                    : std::nullopt;
        dataHome = std::make_unique<QTemporaryDir>();
        QVERIFY(dataHome->isValid());
        qputenv("XDG_DATA_HOME", dataHome->path().toUtf8());
    }

    void cleanup() {
        close();
        restoreVariable("XDG_DATA_HOME", savedDataHome);
        dataHome.reset();
    }

    void startRunsTheRealServerUntilStopTakesItDown() {
        setUp({});
        const QString server = test::ReferenceServer::executablePath();
        QVERIFY2(QFileInfo(server).isExecutable(), qPrintable("no reference server at " + server));
        QVERIFY(bundle->installServer(server));

        // The server keeps its state in the panel's state folder, whatever its environment says; it
        // is told its port as a user would have chosen it, and finds the admin password the wizard
        // left there.
        const QString serverStateDirectory = stateDirectory();
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        const quint16 port = probe.serverPort();
        probe.close();
        ClientNetworkPreferences network;
        network.bindHost = "127.0.0.1";
        network.bindPort = port;
        QVERIFY(controller->writeAdminSecret("real-s3cret"));
        QFile prefs(serverStateDirectory + "/network.json");
        QVERIFY(prefs.open(QIODevice::WriteOnly));
        prefs.write(encodeJson(network));
        prefs.close();

        model.reset();
        client = std::make_unique<DaemonClient>(QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)),
                                                QStringLiteral("real-s3cret"));
        model = std::make_unique<ServerStateModel>(client.get(), controller.get());
        open();
        QVERIFY(pollUntil(Phase::stopped()));

        buttonNamed(tab, "Start server")->click();
        QVERIFY(pollUntil(Phase::running()));
        const qint32 pid = *controller->pid();
        QCOMPARE(model->status()->pid, pid);
        QCOMPARE(tab->findChild<TabHeader*>()->title(), "Your Tavrin server is live.");
        QCOMPARE(tab->findChildren<EndpointBox*>().first()->url(), QStringLiteral("http://127.0.0.1:%1/v1").arg(port));
        QCOMPARE(errorLine(tab), QString());

        buttonNamed(tab, "Stop server")->click();
        QVERIFY(pollUntil(Phase::stopped()));
        QVERIFY(!QFile::exists(QStringLiteral("/proc/%1").arg(pid)));
        QVERIFY(buttonNamed(tab, "Start server"));
        QCOMPARE(tab->findChild<PhaseBlock*>()->detail(), "The launchd agent is not running.");
        QCOMPARE(errorLine(tab), QString());
    }
};

int main(int argc, char** argv) {
    return runKitTests<StatusTabPhaseTest, StatusTabRecordTest, StatusTabFlowTest, StatusTabRealServerTest>(argc, argv);
}

#include "StatusTabTest.moc"
