// The tray panel as a user meets it, and the small kit rows it is made of.
#include "KitTestMain.h"
#include "StatusFixture.h"

#include "ui/TrayPanel.h"
#include "ui/kit/MenuPanelParts.h"
#include "ui/kit/Theme.h"

#include <QClipboard>
#include <QDialog>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QSysInfo>

using namespace tavrin;

namespace {

QStringList itemLabels(const QWidget* root) {
    QStringList labels;
    for (const MBItem* item : root->findChildren<MBItem*>())
        if (item->isVisibleTo(root))
            labels << item->label();
    return labels;
}

QStringList statLines(const QWidget* root) {
    QStringList lines;
    for (const MBStat* stat : root->findChildren<MBStat*>())
        if (stat->isVisibleTo(root))
            lines << stat->label() + ": " + stat->value();
    return lines;
}

bool processGone(qint32 pid) { return !QFile::exists(QStringLiteral("/proc/%1").arg(pid)); }

} // namespace

class MenuPanelPartsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void anItemIsWashedOnlyWhileThePointerIsOverIt_data() {
        QTest::addColumn<bool>("danger");
        QTest::addColumn<QColor>("wash");
        QTest::newRow("plain") << false << Theme::alpha(Theme::linkBlue(), 0.10);
        QTest::newRow("danger") << true << Theme::alpha(Theme::dangerRed(), 0.10);
    }
    void anItemIsWashedOnlyWhileThePointerIsOverIt() {
        QFETCH(bool, danger);
        QFETCH(QColor, wash);
        ScreenHost host;
        auto* item = new MBItem("xmark", "Quit Tavrin Keldmarch", danger);
        host.place(item, {320, item->sizeHint().height()});
        QEvent leave(QEvent::Leave); // wherever the offscreen pointer happens to be
        QCoreApplication::sendEvent(item, &leave);
        QCOMPARE(item->background(), QColor(Qt::transparent));
        const QColor clear = item->grab().toImage().pixelColor(item->width() - 2, 2);
        QEnterEvent enter(QPointF(10, 5), QPointF(10, 5), QPointF(10, 5));
        QCoreApplication::sendEvent(item, &enter);
        QVERIFY(item->isHovered());
        QCOMPARE(item->background(), wash);
        const QImage hovered = item->grab().toImage();
        if (const QString dir = qEnvironmentVariable("TAVRIN_SCREENS_DIR"); !dir.isEmpty() && QDir().mkpath(dir))
            hovered.save(dir + "/tray-item-hovered-" + QTest::currentDataTag() + ".png"); // for a person to look at
        const QColor washed = hovered.pixelColor(item->width() - 2, 2);
        QVERIFY(danger ? washed.red() > washed.blue() : washed.blue() > washed.red());
        QCoreApplication::sendEvent(item, &leave);
        QVERIFY(!item->isHovered());
        QCOMPARE(item->background(), QColor(Qt::transparent));
        QCOMPARE(item->grab().toImage().pixelColor(item->width() - 2, 2), clear);
    }

    void theFocusRingShowsOnlyAfterKeyboardMoves() {
        ScreenHost host;
        auto* item = new MBItem("macwindow", "Open Tavrin Keldmarch…");
        host.place(item, {320, item->sizeHint().height()});
        host.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&host));
        const auto edge = [&] { return item->grab().toImage().pixelColor(3, item->height() / 2); };
        item->clearFocus();
        const QColor plain = edge();
        item->setFocus(Qt::ActiveWindowFocusReason); // what a popup does to its first row
        QVERIFY(item->hasFocus());
        QCOMPARE(edge(), plain);
        item->clearFocus();
        item->setFocus(Qt::TabFocusReason);
        QVERIFY(edge() != plain);
    }

    void aStatValueTooLongIsCutInTheMiddle() {
        ScreenHost host;
        const QString alias = "keldmarch-production-2026-12-06-with-a-very-long-alias-tail";
        auto* stat = new MBStat("Model", alias);
        host.place(stat, {320, stat->sizeHint().height()});
        const QString shown = stat->displayedValue();
        QVERIFY2(shown.contains(QChar(0x2026)), qPrintable(shown));
        QVERIFY(shown.startsWith("keldmarch"));
        QVERIFY(shown.endsWith("tail"));
        stat->setValue("keldmarch-1");
        QCOMPARE(stat->displayedValue(), "keldmarch-1");
    }
};

class TrayPanelFixture : public QObject, protected StatusFixture {
    Q_OBJECT
protected:
    std::unique_ptr<ScreenHost> host;
    TrayPanel* panel = nullptr;

    void open() {
        host = std::make_unique<ScreenHost>();
        panel = new TrayPanel(model.get());
        host->place(panel, {MenuPanel::kWidth, panel->sizeHint().height()});
    }
    void close() {
        if (panel) // every flow runs to its end before the model it talks to goes away
            QTRY_COMPARE(panel->runningFlows(), 0);
        host.reset();
        panel = nullptr;
        tearDown();
    }
};

class TrayPanelViewTest : public TrayPanelFixture {
    Q_OBJECT
private Q_SLOTS:
    void init() { setUp({}); }
    void cleanup() { close(); }

    void withoutAStatusThePanelSaysTheDaemonIsNotReachable() {
        open();
        goDown();
        QCOMPARE(panel->width(), 320);
        QCOMPARE(panel->header()->phaseText(), "Stopped");
        QVERIFY(visibleTexts(panel).contains("Daemon not reachable"));
        QCOMPARE(statLines(panel), QStringList());
        QCOMPARE(itemLabels(panel), (QStringList{"Start server", "Refresh", "Open Tavrin Keldmarch…", "Re-run setup…",
                                                 "Quit Tavrin Keldmarch"}));
        QVERIFY(panel->quitItem()->isDanger());
        QVERIFY(visibleTexts(panel).contains("ENDPOINTS"));
        QVERIFY(visibleTexts(panel).contains("SERVER STATE"));
    }

    void aFullStatusShowsBothEndpointsAndEveryLine() {
        open();
        serve(sampleStatus());
        QCOMPARE(panel->header()->phaseText(), "Running");
        QVERIFY(!visibleTexts(panel).contains("Daemon not reachable"));
        QCOMPARE(itemLabels(panel).mid(0, 2), (QStringList{"Copy localhost endpoint", "Copy LAN endpoint"}));
        QCOMPARE(statLines(panel), (QStringList{"Model: keldmarch-1", "Uptime: 2h 3m", "In flight: 2 / 8 max"}));
        QVERIFY(visibleTexts(panel).contains("Update available · 1.5.0"));

        panel->copyLocalhostItem()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), "http://127.0.0.1:11434/v1");
        panel->copyLanItem()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), "http://" + QSysInfo::machineHostName() + ":11434/v1");
    }

    void aLocalOnlyServerWithoutFiguresShowsLess() {
        open();
        ClientServerStatus status = sampleStatus();
        status.bind.lanEnabled = false;
        status.concurrency.reset();
        status.updater.availableUpdate.reset();
        status.model.running.reset();
        serve(status);
        QCOMPARE(itemLabels(panel).mid(0, 2), (QStringList{"Copy localhost endpoint", "Start server"}));
        QCOMPARE(statLines(panel), (QStringList{"Model: not loaded", "Uptime: 2h 3m"}));
        for (const QString& text : visibleTexts(panel))
            QVERIFY2(!text.startsWith("Update available"), qPrintable(text));
    }
};

class TrayPanelActionTest : public TrayPanelFixture {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { close(); }

    void openAndRerunSetupAskTheShell() {
        setUp({});
        model->setHasCompletedFirstRun(true);
        open();
        QSignalSpy opened(panel, &TrayPanel::openMainWindowRequested);
        QSignalSpy rerun(panel, &TrayPanel::rerunSetupRequested);
        panel->openItem()->click();
        QCOMPARE(opened.count(), 1);
        QVERIFY(model->hasCompletedFirstRun());
        panel->rerunSetupItem()->click();
        QCOMPARE(rerun.count(), 1);
        QVERIFY(!model->hasCompletedFirstRun());
    }

    void refreshRunsOnePollCycle() {
        setUp({});
        open();
        server->clearRequests();
        panel->refreshItem()->click();
        QTRY_COMPARE(panel->header()->phaseText(), "Running");
        QVERIFY(server->requestCount() >= 2);
    }

    void startLaunchesAChildWhenNotRegisteredAndStopTakesItDown() {
        setUp({});
        open();
        goDown();
        QCOMPARE(panel->startStopItem()->label(), "Start server");
        QSignalSpy opened(panel, &TrayPanel::openMainWindowRequested);
        panel->startStopItem()->click();
        QTRY_VERIFY(controller->isRunning());
        QCOMPARE(panel->startStopItem()->label(), "Stop server");
        QCOMPARE(panel->startStopItem()->symbol(), "stop.fill");
        const qint32 pid = *controller->pid();
        QCOMPARE(opened.count(), 0);

        panel->startStopItem()->click();
        QTRY_VERIFY(!controller->isRunning());
        QTRY_VERIFY(processGone(pid));
        QCOMPARE(panel->startStopItem()->label(), "Start server");
        QVERIFY(systemctlCalls().contains("stop com.tavrinai.server.service"));
    }

    void stopStillStopsAChildWhenNoServiceManagerAnswers() {
        setUp({.withoutSystemctl = true});
        open();
        QVERIFY(controller->launchChildProcess(std::nullopt));
        const qint32 pid = *controller->pid();
        QVERIFY(!QCoro::waitFor(controller->unregisterAgent())); // removal cannot work here
        QVERIFY(controller->isRunning());
        panel->startStopItem()->click();
        QTRY_VERIFY(!controller->isRunning());
        QTRY_VERIFY(processGone(pid));
    }

    void startWithAMissingServerBringsTheWindowForward() {
        setUp({.withServerBinary = false});
        open();
        goDown();
        QSignalSpy opened(panel, &TrayPanel::openMainWindowRequested);
        panel->startStopItem()->click();
        QTRY_COMPARE(opened.count(), 1);
        QVERIFY(!controller->isRunning());
    }

    void startRestartsARegisteredService() {
        setUp({.atRequiredLocation = true});
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        QCoro::waitFor(controller->stop());
        QVERIFY(!controller->isRunning());
        open();
        panel->startStopItem()->click();
        QTRY_VERIFY(systemctlCalls().contains("restart com.tavrinai.server.service"));
        QTRY_VERIFY(controller->isRunning());
        QCOMPARE(controller->pid(), std::optional<qint32>(4321));
    }

    void quitWhileStoppedQuitsAtOnce() {
        setUp({});
        open();
        QSignalSpy quit(panel, &TrayPanel::quitRequested);
        const QString before = systemctlCalls();
        panel->quitItem()->click();
        QTRY_COMPARE(quit.count(), 1);
        QCOMPARE(systemctlCalls(), before);
    }

    void quitWhileRunningUnregistersFirst() {
        setUp({.atRequiredLocation = true});
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        QCoro::waitFor(controller->refreshStatus());
        QVERIFY(controller->isRunning());
        open();
        QSignalSpy quit(panel, &TrayPanel::quitRequested);
        bool unregisteredBeforeQuit = false;
        connect(panel, &TrayPanel::quitRequested, this, [&] {
            unregisteredBeforeQuit = systemctlCalls().contains("disable com.tavrinai.server.service") &&
                                     !QFile::exists(installedUnit());
        });
        panel->quitItem()->click();
        QTRY_COMPARE(quit.count(), 1);
        QVERIFY(unregisteredBeforeQuit);
    }

    void thePopupAndTheDialogStepAsideWhenAWindowIsWanted() {
        setUp({});
        auto* popupPanel = new TrayPanel(model.get());
        std::unique_ptr<QWidget> popup(makeTrayPanelWindow(popupPanel));
        QCOMPARE(popup->windowType(), Qt::Popup);
        QVERIFY(popup->windowFlags() & Qt::FramelessWindowHint);
        showTrayPanelWindow(popup.get(), QRect(900, 2, 24, 24));
        QVERIFY(popup->isVisible());
        QCOMPARE(popup->width(), 320);
        popupPanel->openItem()->click();
        QVERIFY(!popup->isVisible());
        showTrayPanelWindow(popup.get(), QRect());
        QTest::keyClick(popup.get(), Qt::Key_Escape);
        QVERIFY(!popup->isVisible());

        auto* dialogPanel = new TrayPanel(model.get());
        std::unique_ptr<QDialog> dialog(makeTrayPanelDialog(dialogPanel));
        dialog->show();
        QVERIFY(dialog->isVisible());
        dialogPanel->rerunSetupItem()->click();
        QVERIFY(!dialog->isVisible());
    }
};

int main(int argc, char** argv) {
    return runKitTests<MenuPanelPartsTest, TrayPanelViewTest, TrayPanelActionTest>(argc, argv);
}

#include "TrayPanelTest.moc"
