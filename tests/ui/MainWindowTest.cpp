// The main window as a user meets it: its sidebar of screens, the chosen screen, and the toolbar that
// follows the model.
#include "KitTestMain.h"
#include "StatusFixture.h"

#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/StatusChip.h"
#include "ui/kit/TabHeader.h"
#include "ui/tabs/TabCatalogue.h"
#include "ui/window/MainWindow.h"

using namespace tavrin;

class MainWindowTest : public QObject, protected StatusFixture {
    Q_OBJECT

private slots:
    void init() {
        setUp({});
        model->setPollIntervalSeconds(3600); // the tests drive every cycle themselves
    }
    void cleanup() {
        model->setPollIntervalSeconds(3600);
        // A poll cycle the window started may still wait for its answer: let it have it.
        QTest::qWait(300);
        tearDown();
    }

    // The window builds the chosen screen afresh each time it is chosen; choosing the one shown
    // changes nothing.
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
        MainWindow window(model.get(), screens);
        QCOMPARE(window.sidebar()->count(), int(screens.size())); // the rows a reader hears: the accessibility walk
        QCOMPARE(built, QStringList{"Status"});
        window.show();
        const int logs = int(AdminTab::logs);
        const QPointer<QWidget> statusScreen = window.currentScreen();
        QTest::mouseClick(window.sidebar()->item(logs), Qt::LeftButton);
        QCOMPARE(window.selection(), logs);
        QVERIFY(!statusScreen || !statusScreen->isVisible()); // gone at once for a reader, not a loop later
        QCOMPARE(window.currentScreen()->findChild<TabHeader*>()->title(), "What this server remembers");
        QVERIFY(window.sidebar()->item(logs)->isActive() && !window.sidebar()->item(0)->isActive());
        QWidget* logsScreen = window.currentScreen();
        QTest::mouseClick(window.sidebar()->item(logs), Qt::LeftButton);
        QCOMPARE(window.currentScreen(), logsScreen);
        QTest::mouseClick(window.sidebar()->item(0), Qt::LeftButton);
        QCOMPARE(built, (QStringList{"Status", "Logs", "Status"}));
    }

    void subtitleChipAndPinnedModelFollowTheState() {
        MainWindow window(model.get(), adminTabs());
        QVERIFY(!window.sidebar()->pinnedModel());
        ClientServerStatus status = sampleStatus();
        serve(status);
        QCOMPARE(window.subtitle(), QStringLiteral("1.4.2"));
        QCOMPARE(window.sidebar()->pinnedModel(), QStringLiteral("keldmarch-1"));
        QCOMPARE(window.statusChip()->kind(), PillKind::ok);

        status.model.running.reset();
        serve(status);
        QVERIFY(window.sidebar()->pinnedBlock()->isHidden());

        goDown();
        QCOMPARE(window.subtitle(), QStringLiteral("—"));
        QCOMPARE(window.statusChip()->label(), QStringLiteral("Stopped"));
    }

    void showingTheWindowStartsPolling() {
        model->setPollIntervalSeconds(0.2);
        MainWindow window(model.get(), adminTabs());
        QCOMPARE(server->requestCount(), 0u);
        window.show();
        QTRY_COMPARE_WITH_TIMEOUT(window.statusChip()->label(), QStringLiteral("Running"), 5000);
    }
};

int main(int argc, char** argv) { return runKitTests<MainWindowTest>(argc, argv); }

#include "MainWindowTest.moc"
