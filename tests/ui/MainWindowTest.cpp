#include "ui/window/MainWindow.h"
#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"
#include "support/SampleDocuments.h"
#include "support/ScriptedHttpServer.h"
#include "ui/kit/StatusChip.h"
#include "ui/kit/TRIconButton.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/window/KeldmarchSidebar.h"

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
using namespace std::chrono_literals;
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
        state = std::make_unique<ServerStateModel>(client.get(), process.get());
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

    void theWindowIsTitledAndSizedAsTheProduct() {
        MainWindow window(state.get());
        QCOMPARE(window.windowTitle(), QStringLiteral("Tavrin Keldmarch"));
        QCOMPARE(window.minimumSize(), QSize(880, 580));
        QCOMPARE(window.sidebar()->width(), 220);
        QCOMPARE(window.refreshButton()->toolTip(), QStringLiteral("Refresh"));
        QCOMPARE(window.refreshButton()->accessibleName(), QStringLiteral("Refresh"));
    }

    void theSidebarListsTheEightTabsInOrderWithStatusActive() {
        MainWindow window(state.get());
        const QStringList expected{"Status",  "API Keys",     "Models",  "Logs",
                                   "Network", "Org Preamble", "Updates", "Diagnostics"};
        QStringList labels;
        for (AdminTab tab : allAdminTabs) {
            SidebarItem* item = window.sidebar()->item(tab);
            QVERIFY(item);
            labels << item->accessibleName();
            QCOMPARE(item->isActive(), tab == AdminTab::status);
        }
        QCOMPARE(labels, expected);
    }

    void choosingATabBuildsAFreshScreenAndTheActiveOneChangesNothing() {
        QList<AdminTab> built;
        MainWindow window(state.get(), [&](AdminTab tab, ServerStateModel*) -> QWidget* {
            built << tab;
            return nullptr; // header-only screens
        });
        QCOMPARE(built, QList<AdminTab>{AdminTab::status});
        window.show();
        QWidget* statusScreen = window.currentScreen();

        QTest::mouseClick(window.sidebar()->item(AdminTab::logs), Qt::LeftButton);
        QCOMPARE(window.selection(), AdminTab::logs);
        QVERIFY(window.currentScreen() != statusScreen);
        QCOMPARE(window.currentScreen()->findChild<TabHeader*>()->title(),
                 QStringLiteral("What this server remembers"));
        QVERIFY(window.sidebar()->item(AdminTab::logs)->isActive());
        QVERIFY(!window.sidebar()->item(AdminTab::status)->isActive());

        QWidget* logsScreen = window.currentScreen();
        QTest::mouseClick(window.sidebar()->item(AdminTab::logs), Qt::LeftButton);
        QCOMPARE(window.currentScreen(), logsScreen);
        QCOMPARE(built, (QList<AdminTab>{AdminTab::status, AdminTab::logs}));

        QTest::mouseClick(window.sidebar()->item(AdminTab::status), Qt::LeftButton);
        QCOMPARE(built.size(), 3); // coming back builds the screen anew
    }

    void theKeyboardReachesEveryTab() {
        MainWindow window(state.get());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        SidebarItem* updates = window.sidebar()->item(AdminTab::updates);
        updates->setFocus(Qt::TabFocusReason);
        QTest::keyClick(updates, Qt::Key_Space);
        QCOMPARE(window.selection(), AdminTab::updates);
        SidebarItem* keys = window.sidebar()->item(AdminTab::keys);
        keys->setFocus(Qt::TabFocusReason);
        QTest::keyClick(keys, Qt::Key_Return);
        QCOMPARE(window.selection(), AdminTab::keys);
    }

    void subtitleChipAndPinnedModelFollowTheState() {
        MainWindow window(state.get());
        QCOMPARE(window.subtitle(), QStringLiteral("—"));
        QVERIFY(!window.sidebar()->pinnedModel());
        QCOMPARE(window.statusChip()->label(), QStringLiteral("Unknown"));

        refresh();
        QCOMPARE(window.subtitle(), QStringLiteral("1.4.2"));
        QCOMPARE(window.sidebar()->pinnedModel(), QStringLiteral("keldmarch-1"));
        QVERIFY(!window.sidebar()->pinnedBlock()->isHidden());
        QCOMPARE(window.statusChip()->label(), QStringLiteral("Running"));
        QCOMPARE(window.statusChip()->kind(), PillKind::ok);

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

    void aLongAliasIsCutInTheMiddle() {
        const QString alias =
            QStringLiteral("keldmarch-production-alias-that-is-much-too-long-for-the-sidebar-v42");
        server->route("/admin/status", ScriptedResponse::json(200, statusWithRunningAlias(alias)));
        MainWindow window(state.get());
        refresh();
        auto* label = window.sidebar()->pinnedBlock()->findChildren<QLabel*>().last();
        QVERIFY2(label->text().contains(QStringLiteral("…")), qPrintable(label->text()));
        QVERIFY(label->text().startsWith(QStringLiteral("keldmarch-")));
        QVERIFY(label->text().endsWith(QStringLiteral("-v42")));
        QCOMPARE(label->toolTip(), alias);
    }

    void everyRefreshPressStartsItsOwnCycle() {
        MainWindow window(state.get());
        server->route("/healthz", ScriptedResponse::text(200, "ok").after(200ms));
        for (int i = 0; i < 3; ++i)
            QTest::mouseClick(window.refreshButton(), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                const auto requests = server->requests();
                return std::count_if(requests.begin(), requests.end(),
                                     [](const auto& r) { return r.target == "/healthz"; }) == 3;
            }(),
            5000);
    }

    void showingTheWindowStartsPolling() {
        state->setPollIntervalSeconds(0.2);
        MainWindow window(state.get());
        QCOMPARE(server->requestCount(), 0u);
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusChip()->label(), QStringLiteral("Running"), 5000);
    }
};

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
