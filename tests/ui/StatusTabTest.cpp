// The Status tab as a user meets it: real widgets offscreen, a model fed over real HTTP, the
// controller driving a temporary bundle through the scripted systemctl: each phase as the tab reads
// it, and what its buttons do. Its Start and Stop while the panel polls, and start at login with the
// removal's question, are the accessibility walk's (tests/app), pressed through the reader.
#include "KitTestMain.h"
#include "StatusFixture.h"

#include "ui/LanAddresses.h"
#include "ui/kit/EndpointBox.h"
#include "ui/kit/KVRow.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/StatTile.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRCopyButton.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TREndpointList.h"
#include "ui/kit/TRLoadChart.h"
#include "ui/kit/TRPhaseBlock.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/StatusTab.h"
#include "ui/tabs/TabCatalogue.h"

#include <QAccessible>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QLabel>
#include <QSignalSpy>
#include <QSysInfo>

using namespace tavrin;

class StatusTabTest : public QObject, protected StatusFixture {
    Q_OBJECT
    StatusTab* tab = nullptr;

    // Sets the fixture up as `setup` says, unless it was already, and shows the tab.
    void open(std::optional<Setup> setup = Setup{}) {
        if (setup)
            setUp(*setup);
        QSignalSpy registrationRead(controller.get(), &DaemonProcessController::loginServiceEnabledChanged);
        const AdminScreen& entry = adminTab(AdminTab::status);
        tab = show(static_cast<StatusTab*>(entry.make(model.get(), entry.heading)), {860, 1400});
        // The tab reads the registration when it appears.
        QTRY_VERIFY(!registrationRead.isEmpty());
    }
    KeldmarchSwitch* loginSwitch() const { return tab->findChild<KeldmarchSwitch*>(); }
    QString errorLine() const { return errorLines(tab).value(0); }
    TRCard* loginCard() const { return cardTitled(tab, "Start at login"); }

private Q_SLOTS:
    void cleanup() { tearDown(); }

    // Running with a record, then stopped without one: the same widgets follow, and what needs a
    // record goes away with it. Technical details copy whole values; a poll with the same rows keeps
    // the rows (and any selection in them) and shows new figures. Under the model, the engine that
    // serves it once there is more than the one.
    void theTabFollowsThePhaseAndTheRecord() {
        open();
        serve(sampleStatus());
        TRButton* stop = buttonNamed(tab, "Stop server");
        QVERIFY(stop && !stop->isPrimary());
        QCOMPARE(tab->findChild<TabHeader*>()->title(), "Your Tavrin server is live.");
        QCOMPARE(tab->findChild<TRPhaseBlock*>()->phaseText(), "Running");
        const auto boxes = tab->findChildren<EndpointBox*>();
        QCOMPARE(boxes[0]->url(), "http://127.0.0.1:11434/v1");
        QCOMPARE(boxes[1]->url(), "http://" + QSysInfo::machineHostName() + ":11434/v1");
        QStringList tiles;
        for (auto* tile : tab->findChildren<StatTile*>())
            tiles << tile->value() + " | " + tile->detail();
        QCOMPARE(tiles, (QStringList{"keldmarch-1 | Adapter · Steering · System prompt loaded",
                                     "Apple M3 Max | 36 GB · Debian GNU/Linux 12 (bookworm)",
                                     "2 in flight · 1 queued | 503 above 32 · completed 1234 since start"}));
        auto* details = tab->findChild<TRDisclosure*>();
        details->header()->click();
        QTRY_VERIFY(details->contentArea()->height() >= details->contentArea()->sizeHint().height());
        KVRow* pid = details->findChildren<KVRow*>().first();
        ClientServerStatus changed = sampleStatus();
        changed.pid = 5150;
        serve(changed);
        QCOMPARE(details->findChildren<KVRow*>().first(), pid);
        pid->copyButton()->click();
        QCOMPARE(QGuiApplication::clipboard()->text(), "5150");
        QVERIFY(details->isExpanded()); // the user's choice survives a poll
        QVERIFY(visibleTexts(tab).filter(" answering").isEmpty()); // a server with one engine says nothing of it
        changed.engine = ClientEngineHealth{"openai", "http://10.0.0.7:8000/v1", "tide-7b", "office", false, false,
                                            "the engine refused the connection", "2026-12-08T10:00:00Z"};
        serve(changed);
        // An engine that does not answer is shown, as a warning rather than as one more detail.
        const auto engineLine = findVisible<QLabel>(tab, "office · http://10.0.0.7:8000/v1 · not answering",
                                                    [](QLabel* l) { return l->text(); });
        QVERIFY(engineLine && engineLine->palette().color(QPalette::WindowText) == Theme::dangerRed());

        ClientServerStatus local = sampleStatus();
        local.bind.lanEnabled = false;
        serve(local);
        QCOMPARE(boxes[1]->url(), "disabled · enable in Network tab");
        QVERIFY(boxes[1]->isDashed() && boxes[1]->isMuted());
        QVERIFY(!boxes[1]->copyButton()->isVisibleTo(tab)); // nothing there to copy

        goDown();
        QCOMPARE(buttonNamed(tab, "Start server"), stop); // one button, two looks
        QVERIFY(stop->isPrimary());
        QCOMPARE(tab->findChild<TRPhaseBlock*>()->phaseText(), "Stopped");
        QCOMPARE(tab->findChild<TRPhaseBlock*>()->detail(), "The login service is not running.");
        for (QWidget* part : {static_cast<QWidget*>(boxes[0]), static_cast<QWidget*>(tab->findChild<StatTile*>()),
                              static_cast<QWidget*>(tab->findChild<TRDisclosure*>())})
            QVERIFY(!part->isVisibleTo(tab));
        QVERIFY(loginCard());
    }

    // While audit mode turns requests away for want of a writable audit log, the tab says so above
    // everything else, with the server's reason; the callout goes when the status no longer has one.
    void anAuditLogThatCannotBeWrittenIsToldAboveEverything() {
        open();
        serve(sampleStatus());
        auto* callout = tab->findChild<TRBanner*>();
        QVERIFY(callout && !callout->isVisibleTo(tab));

        ClientServerStatus refusing = sampleStatus();
        refusing.logging.mode = ClientAuditMode::audit;
        refusing.auditUnavailable = QStringLiteral("it is at its size limit");
        serve(refusing);
        QVERIFY(callout->isVisibleTo(tab));
        QCOMPARE(callout->kind(), BannerKind::danger);
        QCOMPARE(callout->title(), "Audit log can't be written: requests are being refused.");
        QCOMPARE(callout->message(), "It is at its size limit.");
        QVERIFY(callout->geometry().bottom() < tab->findChild<TRPhaseBlock*>()->mapTo(tab, QPoint(0, 0)).y());

        refusing.auditUnavailable = QStringLiteral("cannot open today's file: Is a directory");
        serve(refusing);
        QCOMPARE(callout->message(), "Cannot open today's file: Is a directory.");
        serve(sampleStatus());
        QVERIFY(!callout->isVisibleTo(tab));
    }

    // The concurrency card keeps the last ten minutes, read out as one line; with LAN access on, the
    // LAN box is followed by every address of this machine a colleague can use, each to copy.
    void theLoadAndTheAddressesColleaguesCanUseShow() {
        open();
        serve(sampleStatus());
        // Ten minutes of polls, as the model would have kept them; the last one is now's.
        const QDateTime now = QDateTime::currentDateTimeUtc();
        for (int ago = 600; ago > 0; ago -= 5)
            model->loadHistory().add({now.addSecs(-ago), (ago / 60) % 4, ago > 300 && ago < 420 ? 1 : 0});
        model->loadHistory().add({now, 0, 0});
        model->loadHistory().add({now.addSecs(60), 7, 7}); // stamped ahead of the clock: not drawn
        const TRLoadChart* chart = tab->findChild<TRLoadChart*>();
        QCOMPARE(chart->description(), "In flight over the last 10 minutes: peak 3, now 0. Queued: peak 1, now 0.");
        const QAccessibleInterface* heard = QAccessible::queryAccessibleInterface(const_cast<TRLoadChart*>(chart));
        QVERIFY(heard->role() == QAccessible::Chart && heard->text(QAccessible::Name) == chart->description());
        const auto* addresses = tab->findChild<TREndpointList*>();
        QCOMPARE(addresses->entries(), lanEndpointEntries(sampleStatus().bind));
        for (const EndpointBox* box : addresses->boxes())
            QVERIFY(box->copyButton()->accessibleName().startsWith("Copy address on "));
        ClientServerStatus local = sampleStatus();
        local.bind.lanEnabled = false;
        serve(local);
        QVERIFY(addresses->entries().isEmpty() && !addresses->isVisibleTo(tab));
    }

    // Every poll republishes the record. What did not change is not drawn or laid out again; a new
    // uptime redraws the phase block it stands in and nothing beyond it. The load chart alone moves
    // with every poll: its ten minutes end now.
    void aPollRedrawsOnlyWhatChanged() {
        open();
        serve(sampleStatus());
        struct Redraws : QObject {
            QRegion painted;
            int layouts = 0;
            bool eventFilter(QObject* watched, QEvent* event) override {
                auto* widget = qobject_cast<QWidget*>(watched);
                if (widget && event->type() == QEvent::Paint)
                    painted += static_cast<QPaintEvent*>(event)->region().translated(widget->mapTo(widget->window(), QPoint()));
                if (widget && event->type() == QEvent::LayoutRequest)
                    ++layouts;
                return false;
            }
            void reset() {
                painted = {};
                layouts = 0;
            }
            // Delivers the layouts and the window's update that what came before set off.
            void flush() {
                settleLayouts();
                QCoreApplication::sendPostedEvents();
            }
            bool quiet() {
                reset();
                flush();
                return painted.isEmpty() && layouts == 0;
            }
        } redraws;
        qApp->installEventFilter(&redraws);
        QTRY_VERIFY(redraws.quiet()); // the first record laid out and drawn
        const TRLoadChart* chart = tab->findChild<TRLoadChart*>();
        const QRegion chartArea(QRect(chart->mapTo(chart->window(), QPoint()), chart->size()));
        const auto poll = [&](const ClientServerStatus& status) {
            redraws.reset();
            serve(status);
            // The chart's redraw is the poll's; whatever else it changed is drawn in the same pass.
            QTRY_VERIFY(redraws.painted.intersects(chartArea));
            redraws.flush();
        };
        poll(sampleStatus());
        QVERIFY2(redraws.painted.subtracted(chartArea).isEmpty(), qPrintable(QString::number(redraws.painted.rectCount())));
        QCOMPARE(redraws.layouts, 0);

        ClientServerStatus later = sampleStatus();
        later.uptimeSeconds += 60;
        poll(later);
        const TRPhaseBlock* block = tab->findChild<TRPhaseBlock*>();
        QCOMPARE(block->detail(), "Uptime · 2h 4m");
        const QRect blockArea(block->mapTo(block->window(), QPoint()), block->size());
        const QRegion beyondChart = redraws.painted.subtracted(chartArea);
        QVERIFY(!beyondChart.isEmpty() && blockArea.contains(beyondChart.boundingRect()));
        qApp->removeEventFilter(&redraws);
    }

    // A failed child start says why, and the next press clears it. The tab may go (another tab
    // chosen, the window closed) while that start runs: the start ends, and the flow never comes back
    // into the destroyed tab.
    void aFailedStartSaysWhyAndATabGoneMidStartIsNotResumed() {
        open(Setup{.withServerBinary = false});
        goDown();
        buttonNamed(tab, "Start server")->click();
        QTRY_COMPARE(errorLine(), "tavrin-server binary not found at " + bundle->server() +
                                      ". Reinstall Tavrin Keldmarch. Re-run setup from Diagnostics → Re-run setup.");
        QVERIFY(bundle->installServer(QStringLiteral(TEST_CHILD)));
        server->route("/healthz", test::ScriptedResponse::text(200, "ok")); // it comes up
        buttonNamed(tab, "Start server")->click();
        QCOMPARE(errorLine(), QString());
        const auto life = tab->flows().life();
        QCOMPARE(life->running, 1);
        closeAtOnce();
        QTRY_COMPARE(life->running, 0);
        QVERIFY(controller->isRunning());
    }

    // A registered login service is restarted rather than started as a child; a failure is the
    // service manager's word alone, without the way back a child start failure gets.
    void startRestartsARegisteredServiceAndAFailureShowsTheBareMessage() {
        setUp({.atRequiredLocation = true});
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        open(std::nullopt);
        goDown();
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1");
        buttonNamed(tab, "Start server")->click();
        QTRY_COMPARE(errorLine(), "Could not start the background service: Failed to connect to bus: No such file or "
                                  "directory");
        qunsetenv("SCRIPTED_SYSTEMCTL_NO_MANAGER");
        server->route("/healthz", test::ScriptedResponse::text(200, "ok")); // it comes up
        buttonNamed(tab, "Start server")->click();
        QTRY_COMPARE(controller->pid(), std::optional<qint32>(4321)); // the scripted manager's, not a child
        QCOMPARE(errorLine(), QString());
    }

    // After Stop the server closes its port but may answer a health check a little longer on a
    // connection it had open, while its status read is refused: a stop the user asked for must never
    // read as an error on the way to "Stopped".
    void aStopTheUserAskedForNeverShowsAsAnError() {
        setUp({});
        QVERIFY(controller->launchChildProcess(std::nullopt));
        open(std::nullopt);
        serve(sampleStatus());
        QStringList titles;
        const auto watch = connect(model.get(), &ServerStateModel::phaseChanged, this,
                                   [&] { titles << tab->findChild<TabHeader*>()->title(); });
        server->route("/admin/status", test::ScriptedResponse::raw({})); // refused: closed unanswered
        buttonNamed(tab, "Stop server")->click();
        QDeadlineTimer deadline(10000); // polls as the model's loop does, while the stop runs
        while (!titles.contains("Your server is stopped.") && !deadline.hasExpired())
            QCoro::waitFor(model->refresh());
        QVERIFY(titles.contains("Your server is stopped."));
        // Gone for good now; the scripted server would otherwise answer the next health check.
        server->route("/healthz", test::ScriptedResponse::text(503, "down"));
        disconnect(watch);
        const QStringList untilStopped = titles.mid(0, titles.indexOf("Your server is stopped."));
        QVERIFY2(!untilStopped.contains("Your server hit an error."), qPrintable(untilStopped.join(" / ")));
        QTRY_VERIFY(!controller->isRunning()); // the phase may say so before the stop has ended
    }

    // A stop the user asked for, while something still answers on the port, does not read as stopped.
    void aStopWhileSomethingStillAnswersStaysLive() {
        open();
        QVERIFY(controller->launchChildProcess(std::nullopt));
        serve(sampleStatus());
        buttonNamed(tab, "Stop server")->click();
        QTRY_COMPARE(tab->flows().running(), 0);
        QCOMPARE(tab->findChild<TabHeader*>()->title(), "Your Tavrin server is live.");
    }

    // A server that turns the admin password away, or fails its status read, says so where the
    // phase shows, with the way on where there is one.
    void aLockedOrFailingServerSaysSo_data() {
        QTest::addColumn<int>("answer");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("phase");
        QTest::addColumn<QString>("detail");
        QTest::newRow("password refused") << 401 << "Admin password required." << "Admin password required"
                                          << "Set the admin password in Diagnostics ▸ Admin password.";
        QTest::newRow("status fails") << 500 << "Your server hit an error." << "Error: " << "";
    }
    void aLockedOrFailingServerSaysSo() {
        QFETCH(int, answer);
        QFETCH(QString, phase);
        open();
        server->route("/admin/status", test::ScriptedResponse::json(answer, R"({"error":"no"})"));
        QCoro::waitFor(model->refresh());
        QTEST(tab->findChild<TabHeader*>()->title(), "title");
        const TRPhaseBlock* block = tab->findChild<TRPhaseBlock*>();
        QVERIFY2(block->phaseText().startsWith(phase), qPrintable(block->phaseText()));
        QVERIFY(block->phaseText().size() > phase.size() || answer == 401); // an error says which
        QTEST(block->detail(), "detail");
        QVERIFY(buttonNamed(tab, "Start server"));
    }

    // The same with the real server, started and stopped from the tab; no poll loop runs, so only the
    // actions themselves can have brought the phase up to date.
    void startAndStopShowAtOnceWithTheRealServer() {
        open(Setup{.referenceServer = true});
        goDown();
        buttonNamed(tab, "Start server")->click();
        QTRY_COMPARE_WITH_TIMEOUT(tab->flows().running(), 0, 10000);
        QCOMPARE(tab->findChild<TabHeader*>()->title(), "Your Tavrin server is live.");
        buttonNamed(tab, "Stop server")->click();
        QTRY_COMPARE_WITH_TIMEOUT(tab->flows().running(), 0, 10000);
        QCOMPARE(tab->findChild<TabHeader*>()->title(), "Your server is stopped.");
    }

    void aFailedStartAtLoginChangePutsTheSwitchBackAndKeepsTheError() {
        open(); // not at the required location: registering fails
        QSignalSpy flips(loginSwitch(), &QAbstractButton::toggled);
        QTest::mouseClick(loginSwitch(), Qt::LeftButton);
        QTRY_COMPARE(tab->flows().running(), 0);
        // Putting the switch back must not start a change of its own (which would clear the message).
        QCOMPARE(errorLine(), "Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at " +
                                  bundle->path() + ". Move it to /opt/tavrin-keldmarch and re-run setup.");
        QCOMPARE(flips.count(), 2); // on by the user, back off by the tab
        QVERIFY(!loginSwitch()->isChecked());
        QCOMPARE(loginCard()->subtitle(), "Currently off. You'll start the server manually from this tab.");
    }
};

int main(int argc, char** argv) { return runKitTests<StatusTabTest>(argc, argv); }

#include "StatusTabTest.moc"
