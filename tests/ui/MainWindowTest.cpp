#include "ui/window/MainWindow.h"

#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"
#include "support/SampleDocuments.h"
#include "support/ScriptedHttpServer.h"
#include "ui/kit/StatusChip.h"
#include "ui/kit/TRIconButton.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/TabCatalogue.h"

#include <QApplication>
#include <QDir>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace tavrin;
using test::ScriptedHttpServer;
using test::ScriptedResponse;

namespace {

QByteArray statusWithRunningAlias(const std::optional<QString>& alias) {
    QJsonObject status = QJsonDocument::fromJson(test::fullStatusDocument()).object();
    QJsonObject model = status["model"].toObject();
    if (alias) {
        QJsonObject running = model["running"].toObject();
        running["productionAlias"] = *alias;
        model["running"] = running;
    } else {
        model.remove("running");
    }
    status["model"] = model;
    return QJsonDocument(status).toJson(QJsonDocument::Compact);
}

} // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ScriptedHttpServer> server;
    std::unique_ptr<DaemonClient> client;
    std::unique_ptr<QTemporaryDir> scratch;
    std::unique_ptr<DaemonProcessController> process;
    std::unique_ptr<ServerStateModel> state;
    QString stateDir;

    void refresh() { QCoro::waitFor(state->refresh()); }

private slots:
    void initTestCase() {
        QApplication::setOrganizationName("Tavrin");
        QApplication::setApplicationName("Tavrin Keldmarch Tests");
        Theme::loadFonts();
    }

    void init() {
        server = std::make_unique<ScriptedHttpServer>();
        server->route("/healthz", ScriptedResponse::text(200, "ok"));
        server->route("/admin/status", ScriptedResponse::json(200, test::fullStatusDocument()));
        server->route("/admin/keys", ScriptedResponse::json(200, "[]"));
        client = std::make_unique<DaemonClient>(server->baseUrl(), QStringLiteral("s3cret"));
        stateDir = QDir::homePath() + "/main-window-state";
        // The Status tab reads the login service's state: a scripted systemctl answers, in folders of
        // this test's own.
        scratch = std::make_unique<QTemporaryDir>();
        DaemonProcessControllerOptions options;
        options.bundlePath = scratch->filePath("bundle");
        options.systemctl = QStringLiteral(SCRIPTED_SYSTEMCTL);
        options.unitDirectory = scratch->filePath("units");
        options.stateDirectory = stateDir;
        qputenv("SCRIPTED_SYSTEMCTL_STATE", scratch->filePath("systemctl-state").toUtf8());
        process = std::make_unique<DaemonProcessController>(options);
        state = std::make_unique<ServerStateModel>(client.get(), process.get(), AdminSecretFile(stateDir));
        state->setPollIntervalSeconds(3600); // the tests drive every cycle themselves
    }

    void cleanup() {
        state.reset();
        // Let cycles still waiting for an answer finish, and a sleeping poll loop see its model gone.
        QTest::qWait(300);
        client.reset();
        process.reset();
        server.reset();
        scratch.reset();
    }

    // The window lists the catalogue's screens in its order and builds the chosen one afresh each time
    // it is chosen; choosing the one shown changes nothing.
    void choosingAScreenBuildsItAfresh() {
        QStringList built;
        std::vector<AdminScreen> screens;
        for (const AdminScreen& tab : adminTabs()) {
            AdminScreen counted = tab;
            counted.make = [&built, tab](ServerStateModel* s, const ScreenHeading& heading) {
                built << tab.label;
                return headerOnlyScreen(s, heading);
            };
            screens.push_back(counted);
        }
        MainWindow window(state.get(), screens);
        QStringList rows;
        for (int i = 0; i < window.sidebar()->count(); ++i)
            rows << window.sidebar()->item(i)->accessibleName();
        QCOMPARE(rows, (QStringList{"Status", "API Keys", "Models", "Logs", "Network", "Org Preamble", "Updates",
                                    "Diagnostics"}));
        QCOMPARE(built, QStringList{"Status"});
        window.show();
        const int logs = int(AdminTab::logs);
        QTest::mouseClick(window.sidebar()->item(logs), Qt::LeftButton);
        QCOMPARE(window.selection(), logs);
        QCOMPARE(window.currentScreen()->findChild<TabHeader*>()->title(), "What this server remembers");
        QVERIFY(window.sidebar()->item(logs)->isActive() && !window.sidebar()->item(0)->isActive());
        QWidget* logsScreen = window.currentScreen();
        QTest::mouseClick(window.sidebar()->item(logs), Qt::LeftButton);
        QCOMPARE(window.currentScreen(), logsScreen);
        QTest::mouseClick(window.sidebar()->item(0), Qt::LeftButton);
        QCOMPARE(built, (QStringList{"Status", "Logs", "Status"}));
    }

    void theKeyboardReachesEveryTab() {
        MainWindow window(state.get(), adminTabs());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        for (auto [tab, key] : {std::pair{AdminTab::updates, Qt::Key_Space}, std::pair{AdminTab::keys, Qt::Key_Return}}) {
            SidebarItem* item = window.sidebar()->item(int(tab));
            item->setFocus(Qt::TabFocusReason);
            QTest::keyClick(item, key);
            QCOMPARE(window.selection(), int(tab));
        }
    }

    void subtitleChipAndPinnedModelFollowTheState() {
        MainWindow window(state.get(), adminTabs());
        QCOMPARE(window.subtitle(), QStringLiteral("—"));
        QVERIFY(!window.sidebar()->pinnedModel());
        QCOMPARE(window.statusChip()->label(), QStringLiteral("Unknown"));
        QCOMPARE(window.refreshButton()->accessibleName(), QStringLiteral("Refresh"));

        refresh();
        QCOMPARE(window.subtitle(), QStringLiteral("1.4.2"));
        QCOMPARE(window.sidebar()->pinnedModel(), QStringLiteral("keldmarch-1"));
        QVERIFY(!window.sidebar()->pinnedBlock()->isHidden());
        QCOMPARE(window.statusChip()->label(), QStringLiteral("Running"));
        QCOMPARE(window.statusChip()->kind(), PillKind::ok);

        // A long alias stays on one line, cut in the middle.
        const QString alias = "keldmarch-production-alias-that-is-much-too-long-for-the-sidebar-v42";
        server->route("/admin/status", ScriptedResponse::json(200, statusWithRunningAlias(alias)));
        refresh();
        auto* shown = window.sidebar()->pinnedBlock()->findChildren<QLabel*>().last();
        QVERIFY2(shown->text().startsWith("keldmarch-") && shown->text().contains("…") && shown->text().endsWith("-v42"),
                 qPrintable(shown->text()));
        QCOMPARE(shown->toolTip(), alias);

        server->route("/admin/status", ScriptedResponse::json(200, statusWithRunningAlias(std::nullopt)));
        refresh();
        QVERIFY(window.sidebar()->pinnedBlock()->isHidden());

        server->route("/healthz", ScriptedResponse::text(503, ""));
        refresh();
        refresh();
        QCOMPARE(window.subtitle(), QStringLiteral("—"));
        QCOMPARE(window.statusChip()->label(), QStringLiteral("Stopped"));
        QCOMPARE(window.statusChip()->kind(), PillKind::muted);
    }

    void showingTheWindowStartsPolling() {
        state->setPollIntervalSeconds(0.2);
        MainWindow window(state.get(), adminTabs());
        QCOMPARE(server->requestCount(), 0u);
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusChip()->label(), QStringLiteral("Running"), 5000);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
