// The tray panel as a user meets it. Its lines are decided without a window (ScreenLogicTest); here is
// what the panel shows and what its entries do.
#include "KitTestMain.h"
#include "StatusFixture.h"

#include "ui/kit/MBPanel.h"
#include "ui/tray/TrayPanel.h"

#include <QAccessible>
#include <QClipboard>
#include <QDialog>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QSysInfo>

using namespace tavrin;

namespace {

QStringList itemLabels(const QWidget* root) {
    QStringList labels;
    for (const MBItem* item : shownWidgets<MBItem>(root))
        labels << item->label();
    return labels;
}

// What a screen reader hears of each visible figure: its name and its value.
QStringList statLines(const QWidget* root) {
    QStringList lines;
    for (MBStat* stat : shownWidgets<MBStat>(root)) {
        QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(stat);
        lines << heard->text(QAccessible::Name) + ": " + heard->text(QAccessible::Value);
    }
    return lines;
}

} // namespace

class TrayPanelTest : public QObject, protected StatusFixture {
    Q_OBJECT
    TrayPanel* panel = nullptr;

    void open(Setup setup = {}) {
        setUp(setup);
        panel = new TrayPanel(model.get());
        show(panel, {MBPanel::kWidth, panel->sizeHint().height()});
    }

private Q_SLOTS:
    void cleanup() { tearDown(); }

    // The tray keeps its panel between uses: hidden, it follows nothing, and it is current again as
    // it opens. A figure too long for its row is drawn cut, but heard whole.
    void thePanelShowsTheStatusCatchesUpAsItShowsAndSaysWhenThereIsNone() {
        open();
        ClientServerStatus status = sampleStatus();
        const QString alias = "keldmarch-production-2026-12-06-with-a-very-long-alias-tail";
        status.model.running->productionAlias = alias;
        serve(status);
        QCOMPARE(panel->header()->phaseText(), "Running");
        QCOMPARE(itemLabels(panel).mid(0, 2), (QStringList{"Copy localhost endpoint", "Copy LAN endpoint"}));
        QCOMPARE(statLines(panel), (QStringList{"Model: " + alias, "Uptime: 2h 3m", "In flight: 2 / 8 max"}));
        QVERIFY(shownWidgets<MBStat>(panel).first()->displayedValue().contains("…"));
        QVERIFY(visibleTexts(panel).contains("Update available · 1.5.0"));
        panel->copyLocalhostItem()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), "http://127.0.0.1:11434/v1");
        panel->copyLanItem()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), "http://" + QSysInfo::machineHostName() + ":11434/v1");

        host->hide();
        ClientServerStatus later = sampleStatus();
        later.uptimeSeconds += 3600;
        serve(later);
        QCOMPARE(statLines(panel).value(1), "Uptime: 2h 3m");
        host->show();
        QCOMPARE(statLines(panel).value(1), "Uptime: 3h 3m");

        goDown();
        QCOMPARE(panel->header()->phaseText(), "Stopped");
        QVERIFY(visibleTexts(panel).contains("Daemon not reachable"));
        QCOMPARE(statLines(panel), QStringList());
        QCOMPARE(itemLabels(panel), (QStringList{"Start server", "Refresh", "Open Tavrin Keldmarch…", "Re-run setup…",
                                                 "Quit Tavrin Keldmarch"}));
    }

    // Start launches a child where no login service is registered, and Stop takes it down; where the
    // server cannot start, the window comes forward for the user to finish setting up.
    void startLaunchesAChildWhenNotRegisteredAndStopTakesItDown() {
        open();
        goDown();
        QSignalSpy opened(panel, &TrayPanel::openMainWindowRequested);
        server->route("/healthz", test::ScriptedResponse::text(200, "ok")); // it comes up when started
        panel->startStopItem()->click();
        QTRY_VERIFY(controller->isRunning());
        QCOMPARE(panel->startStopItem()->label(), "Stop server");
        const qint32 pid = *controller->pid();

        panel->startStopItem()->click();
        QTRY_VERIFY(!controller->isRunning());
        QTRY_VERIFY(test::processGone(pid));
        QCOMPARE(panel->startStopItem()->label(), "Start server");
        QVERIFY(systemctlCalls().contains("stop com.tavrinai.server.service"));
        QCOMPARE(opened.count(), 0);

        goDown();
        QVERIFY(QFile::remove(bundle->server()));
        panel->startStopItem()->click();
        QTRY_COMPARE(opened.count(), 1);
        QVERIFY(!controller->isRunning());
    }

    void stopStillStopsAChildWhenNoServiceManagerAnswers() {
        open({.withoutSystemctl = true});
        QVERIFY(controller->launchChildProcess(std::nullopt));
        const qint32 pid = *controller->pid();
        QVERIFY(!QCoro::waitFor(controller->unregisterAgent())); // removal cannot work here
        panel->startStopItem()->click();
        QTRY_VERIFY(!controller->isRunning());
        QTRY_VERIFY(test::processGone(pid));
    }

    // Open, Re-run setup and Quit ask the shell; the popup and the dialog step aside for a window.
    void theEntriesAskTheShellAndThePopupAndTheDialogStepAside() {
        setUp({});
        model->setHasCompletedFirstRun(true);
        auto* popupPanel = new TrayPanel(model.get());
        std::unique_ptr<QWidget> popup(makeTrayPanelWindow(popupPanel));
        QSignalSpy opened(popupPanel, &TrayPanel::openMainWindowRequested);
        QSignalSpy quit(popupPanel, &TrayPanel::quitRequested);
        QCOMPARE(popup->windowType(), Qt::Popup);
        showTrayPanelWindow(popup.get(), QRect(900, 2, 24, 24));
        QVERIFY(popup->isVisible());
        popupPanel->openItem()->click();
        QVERIFY(!popup->isVisible());
        showTrayPanelWindow(popup.get(), QRect());
        QTest::keyClick(popup.get(), Qt::Key_Escape);
        QVERIFY(!popup->isVisible());
        popupPanel->quitItem()->click();
        QCOMPARE(opened.count() + quit.count(), 2);

        auto* dialogPanel = new TrayPanel(model.get());
        std::unique_ptr<QDialog> dialog(makeTrayPanelDialog(dialogPanel));
        QSignalSpy rerun(dialogPanel, &TrayPanel::rerunSetupRequested);
        dialog->show();
        dialogPanel->rerunSetupItem()->click();
        QVERIFY(!dialog->isVisible());
        QVERIFY(!model->hasCompletedFirstRun());
        QCOMPARE(rerun.count(), 1);
    }
};

int main(int argc, char** argv) { return runKitTests<TrayPanelTest>(argc, argv); }

#include "TrayPanelTest.moc"
