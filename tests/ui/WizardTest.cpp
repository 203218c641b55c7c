// The first-run wizard where its run-through cannot go: real widgets offscreen, the panel's own
// controller, a real Secret Service. The run-through itself, from the
// first window to the main window with the password, the server and the first key checked where they
// end up, is the accessibility walk's (tests/app), done by a screen reader alone; what the steps decide
// is tested without a window (WizardLogicTest). Here: what a user types wrong, the rail back, a
// simulated or missing model and hardware, and a start that fails.
#include "KitTestMain.h"
#include "StatusFixture.h"

#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRPill.h"
#include "ui/kit/TRStepRail.h"
#include "ui/kit/TRTextField.h"
#include "ui/wizard/FirstRunWizardView.h"
#include "ui/wizard/WizardAdminSecret.h"
#include "ui/wizard/WizardDone.h"
#include "ui/wizard/WizardReadiness.h"
#include "ui/wizard/WizardSetupStart.h"

#include <QClipboard>
#include <QFileDialog>
#include <QMimeData>

using namespace tavrin;

class WizardTest : public QObject, protected StatusFixture {
    Q_OBJECT

    // A panel as a first launch finds it, its bundle without a server.
    void setUpPanel() {
        setUp({.withServerBinary = false, .firstLaunch = true});
        model->setPollIntervalSeconds(3600); // the steps drive every cycle themselves
    }

    std::unique_ptr<TestHost> m_host;
    FirstRunWizardView* openWizard(WizardStep step) {
        m_host = std::make_unique<TestHost>();
        auto* wizard = new FirstRunWizardView(model.get());
        m_host->place(wizard, 1000, 0, 820);
        wizard->go(step);
        return wizard;
    }

    template <class Step> Step* current(FirstRunWizardView* w) { return qobject_cast<Step*>(w->currentStep()); }

private Q_SLOTS:
    void cleanup() {
        QTest::qWait(300); // the last flows see their screens go, and their actions end
        m_host.reset();
        tearDown();
    }

    // From the keyboard: Enter begins, and this machine may go on. The generated password goes to the
    // clipboard marked as a secret; a typed one survives Escape and, unconfirmed, holds Enter back;
    // closed again, the generated one is saved. A later visit shows the saved password and leaves the
    // clipboard alone.
    void thePasswordIsCopiedOnceAndAnUnconfirmedOneHoldsEnterBack() {
        setUpPanel();
        FirstRunWizardView* wizard = openWizard(WizardStep::welcome);
        m_host->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(m_host.get()));
        saveScreen(wizard, "wizard-1-welcome");
        QTRY_COMPARE(QApplication::focusWidget(), wizard->currentStep());
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTRY_COMPARE(wizard->step(), WizardStep::readiness);
        QTRY_VERIFY(current<WizardReadiness>(wizard)->hardware().has_value());
        saveScreen(wizard, "wizard-2-readiness-this-machine");
        QTest::mouseClick(buttonNamed(wizard, "Continue →"), Qt::LeftButton);
        QTRY_COMPARE(wizard->step(), WizardStep::adminSecret);
        auto* admin = current<WizardAdminSecret>(wizard);
        QTRY_COMPARE(admin->secret().size(), 43);
        const QString password = admin->secret();
        QCOMPARE(QGuiApplication::clipboard()->text(), password);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("x-kde-passwordManagerHint"), QByteArray("secret"));
        QVERIFY(buttonNamed(admin, "Copied"));
        saveScreen(wizard, "wizard-3-admin-password");
        admin->ownPasswordDisclosure()->header()->click();
        QTRY_COMPARE(QApplication::focusWidget(), admin->passwordField());
        QTest::keyClicks(admin->passwordField(), "correct horse battery");
        QTest::keyClick(admin->passwordField(), Qt::Key_Escape);
        QTest::keyClick(admin->passwordField(), Qt::Key_Return);
        QCOMPARE(admin->passwordField()->text(), "correct horse battery");
        QVERIFY(messageLines(admin).contains("Passwords don't match."));
        QCOMPARE(wizard->step(), WizardStep::adminSecret);
        saveScreen(wizard, "wizard-3-admin-password-own");
        admin->ownPasswordDisclosure()->header()->click();
        QTest::keyClick(admin->passwordField(), Qt::Key_Return);
        QTRY_COMPARE(wizard->step(), WizardStep::setupAndStart);

        QGuiApplication::clipboard()->setText("something else");
        wizard->go(WizardStep::adminSecret);
        auto* revisit = current<WizardAdminSecret>(wizard);
        QTRY_COMPARE(revisit->secret(), password);
        QVERIFY(buttonNamed(revisit, "Copy"));
        QCOMPARE(QGuiApplication::clipboard()->text(), "something else");
        QTRY_COMPARE(revisit->flows().running(), 0);
    }

    // The rail goes back to a fresh visit of an earlier step, never forward. There, a simulated Apple
    // chip is judged by the Apple rules, in their own words, and says it is simulated; a picked folder
    // without the model is kept and said to be wrong, with the way to put the model in place.
    void theRailGoesBackToThisMachineAndAPickedFolderIsChecked() {
        setUpPanel();
        model->setup().setSimulatedHost(SimulatedHost{QStringLiteral("Apple M1"), 8});
        FirstRunWizardView* wizard = openWizard(WizardStep::setupAndStart);
        QVERIFY(!wizard->rail()->row(int(WizardStep::done))->isEnabled());
        QTest::mouseClick(wizard->rail()->row(int(WizardStep::done)), Qt::LeftButton);
        QCOMPARE(wizard->step(), WizardStep::setupAndStart);
        QCOMPARE(wizard->rail()->row(1)->accessibleDescription(), "Step 2 of 5, done");
        QCOMPARE(wizard->rail()->row(3)->accessibleDescription(), "Step 4 of 5, current step");
        QTest::mouseClick(wizard->rail()->row(int(WizardStep::readiness)), Qt::LeftButton);
        QCOMPARE(wizard->step(), WizardStep::readiness);
        QCOMPARE(wizard->rail()->row(3)->accessibleDescription(), "Step 4 of 5, not reached yet");

        auto* readiness = current<WizardReadiness>(wizard);
        QTRY_VERIFY(readiness->hardware().has_value());
        QVERIFY(readiness->companion().found && !buttonNamed(readiness, "Browse…"));
        QVERIFY(findVisible<TRPill>(readiness, "Warning", [](TRPill* p) { return p->label(); }));
        QTRY_VERIFY2(visibleTexts(readiness).contains(
                         "Tavrin Keldmarch is recommended on Macs with 16 GB RAM or more. Detected 8.0 GB."),
                     qPrintable(visibleTexts(readiness).join(" | ")));
        QCOMPARE(visibleTexts(readiness).filter("simulated host, not this machine").size(), 1);
        QVERIFY(buttonNamed(readiness, "Continue →")->isEnabled()); // underspec warns, and lets the user on
        saveScreen(wizard, "wizard-2-readiness-simulated");
        QVERIFY(QFile::remove(readiness->companion().folder + "/model.safetensors"));
        QTest::mouseClick(buttonNamed(readiness, "Check again"), Qt::LeftButton);
        QVERIFY(!readiness->companion().found);
        const QString empty = scratch->path() + "/empty";
        QDir().mkpath(empty);
        QTest::mouseClick(buttonNamed(readiness, "Browse…"), Qt::LeftButton);
        QTRY_VERIFY(readiness->folderPicker());
        Q_EMIT readiness->folderPicker()->fileSelected(empty);
        QCOMPARE(readiness->companion().folder, empty);
        QVERIFY(!readiness->companion().found);
        QVERIFY(visibleTexts(readiness).contains("Put the Tavrin AI model bundle in this folder, or choose the folder "
                                                 "that holds it, then click Check again."));
        QVERIFY(buttonNamed(readiness, "Open Folder"));
        QVERIFY(findVisible<TRPill>(readiness, "Not found", [](TRPill* p) { return p->label(); }));
        QVERIFY(messageLines(readiness).contains(
            "No model.safetensors found in this folder or its ModelResources/ subdirectory."));
        QVERIFY(visibleTexts(readiness).contains(empty));
        QVERIFY(!buttonNamed(readiness, "Continue →")->isEnabled());
        saveScreen(wizard, "wizard-2-readiness-not-found");
    }

    // With no server to start, the start says why in the controller's words and leaves the user free
    // to try again; the last step says no key could be made, offers it again, and "Re-run setup" goes back.
    void withoutAServerTheStartAndTheKeySayWhyAndCanBeTriedAgain() {
        setUpPanel();
        FirstRunWizardView* wizard = openWizard(WizardStep::setupAndStart);
        auto* setup = current<WizardSetupStart>(wizard);
        QVERIFY(!buttonNamed(setup, "Continue →")->isEnabled());
        QTest::mouseClick(setup->startButton(), Qt::LeftButton);
        QTRY_VERIFY(!setup->isWorking());
        QCOMPARE(messageLines(setup), QStringList{"tavrin-server binary not found at " + bundle->server() +
                                              ". Reinstall Tavrin Keldmarch."});
        QVERIFY(buttonNamed(setup, "Start Tavrin Keldmarch")->isEnabled());
        QCOMPARE(wizard->step(), WizardStep::setupAndStart);
        saveScreen(wizard, "wizard-4-set-up-failed");

        wizard->go(WizardStep::done);
        auto* done = current<WizardDone>(wizard);
        QTRY_VERIFY(buttonNamed(done, "Create first key"));
        QVERIFY(!done->firstKey());
        QCOMPARE(messageLines(done).size(), 1);
        QVERIFY(messageLines(done).first().startsWith("Tavrin Keldmarch is not reachable: "));
        saveScreen(wizard, "wizard-5-done-no-key");
        QTest::mouseClick(buttonNamed(done, "Re-run setup"), Qt::LeftButton);
        QCOMPARE(wizard->step(), WizardStep::setupAndStart);
    }
};

int main(int argc, char** argv) { return runKitTests<WizardTest>(argc, argv); }

#include "WizardTest.moc"
