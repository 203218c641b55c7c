// The Org Preamble and Diagnostics tabs: their decisions as tables, then each tab against the real
// server, down to what the engine answers and which admin password the server takes.
#include "KitTestMain.h"
#include "RecordTabFixture.h"

#include "base/AdminSecretFile.h"
#include "base/StateFolder.h"
#include "support/HttpProbe.h"
#include "ui/kit/TRCheckBox.h"
#include "ui/kit/TRTextEditor.h"
#include "ui/kit/TRTextField.h"
#include "ui/tabs/DiagnosticsTab.h"
#include "ui/tabs/DiagnosticsTabLogic.h"
#include "ui/tabs/OrgPreambleTab.h"
#include "ui/tabs/OrgPreambleTabLogic.h"
#include "ui/window/MainWindow.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QPlainTextEdit>

using namespace tavrin;

// What a tab asks the desktop to open; without a file manager a reveal opens the file's folder.
class OpenedFiles : public QObject {
    Q_OBJECT
public:
    OpenedFiles() { QDesktopServices::setUrlHandler("file", this, "open"); }
    ~OpenedFiles() override { QDesktopServices::unsetUrlHandler("file"); }
    QStringList paths;
public Q_SLOTS:
    void open(const QUrl& url) { paths << url.toLocalFile(); }
};

class PreambleAndDiagnosticsTabsTest : public QObject, protected RecordTabFixture {
    Q_OBJECT
    OrgPreambleTab* preamble = nullptr;
    DiagnosticsTab* diagnostics = nullptr;

    static TRButton* button(const QWidget* in, const QString& name) {
        return findVisible<TRButton>(in, name, [](TRButton* b) { return b->accessibleName().isEmpty() ? b->text() : b->accessibleName(); });
    }
    TRTextEditor* text() const { return preamble->findChild<TRTextEditor*>(); }
    bool unreachableShown() const { return visibleTexts(preamble).contains("Start the server first.") && !text()->isVisibleTo(preamble); }

private Q_SLOTS:
    // Characters as a person sees them, white space as typed included; red and no Save above the limit.
    void theCounterCountsWhatIsTyped() {
        const std::tuple<QString, qint64, QString, bool> cases[] = {
            {"\n  Be brief.  \n", 2000, "15 / 2000 characters", false}, // blank lines count
            {"👨‍👩‍👧‍👦e\u0301", 2, "2 / 2 characters", false}, // a joined emoji, a combining accent
            {QString(2001, 'x'), 2000, "2001 / 2000 characters", true}};
        for (const auto& [typed, limit, line, over] : cases) {
            const PreambleCounter counter = preambleCounter(typed, limit);
            QCOMPARE(counter.text, line);
            QCOMPARE(counter.colour, over ? Theme::dangerRed() : Theme::inkMuted());
            QCOMPARE(preambleSaveEnabled(counter, false), !over);
        }
    }
    // Without a status the state folder is "?" with nothing to reveal; the logs stay where they are,
    // in the panel's own private folder rather than the shared /tmp.
    void theFileRowsWithoutAStatus() {
        const auto rows = diagnosticsFileRows(std::nullopt);
        QVERIFY(rows[0].path == "?" && !rows[0].target);
        for (const auto& log : {rows[1], rows[2]})
            QCOMPARE(QFileInfo(log.target.value_or(QString())).dir(), QDir(StateFolder::path()));
    }

    void init() {
        if (!QByteArray(QTest::currentTestFunction()).startsWith("the")) // the tables need no server
            startServer();
    }
    void cleanup() { tearDown(); }

    // What the tab saves is the system turn of the next conversation; cleared, it is gone again.
    void savedPreambleIsPrependedToTheNextConversation() {
        const std::optional<std::vector<ClientAPIKeyScope>> anyScope;
        const QString key = QCoro::waitFor(client->createKey("preamble test", anyScope))->key;
        const auto chat = [&] {
            const QByteArray body = R"({"messages":[{"role":"user","content":"Who are you?"}]})";
            return test::exchange(server->port(), test::HttpCall{"POST", "/v1/chat/completions"}.bearer(key).json(body))->body;
        };
        preamble = open<OrgPreambleTab>(AdminTab::orgPreamble);
        QTRY_VERIFY(preamble->editor()->record());
        QVERIFY(visibleTexts(preamble).contains("0 / 2000 characters") && !button(preamble, "Clear")->isEnabled());
        text()->editor()->insertPlainText("\n\nWe are Acme Legal. Answer formally.\n\n");
        QVERIFY(visibleTexts(preamble).contains("39 / 2000 characters"));
        button(preamble, "Save preamble")->click();
        QTRY_COMPARE(statusLines(preamble), QStringList{"Preamble saved. Future requests will include it."});
        QCOMPARE(text()->text(), "We are Acme Legal. Answer formally.");
        QVERIFY2(chat().contains(R"(System instruction: \"We are Acme Legal. Answer formally.\")"), chat().constData());

        text()->setText(QString(2001, 'x')); // any edit takes the success line away
        QVERIFY(statusLines(preamble).isEmpty() && !button(preamble, "Save preamble")->isEnabled());
        button(preamble, "Clear")->click();
        QTRY_COMPARE(statusLines(preamble), QStringList{"Preamble cleared."});
        QVERIFY(text()->text().isEmpty() && !button(preamble, "Clear")->isEnabled() && !chat().contains("System instruction"));
    }

    // Opened while the server is away the tab says so, and loads once it answers; what is typed
    // survives a failed save and the server going away again.
    void preambleEditorStepsAsideWhileTheServerIsAway() {
        QVERIFY(QCoro::waitFor(client->setOrgPreamble(QStringLiteral("Stored before."))));
        QVERIFY(server->stop());
        pollUntilStopped();
        preamble = open<OrgPreambleTab>(AdminTab::orgPreamble);
        QVERIFY(unreachableShown());
        QVERIFY(server->start());
        QCoro::waitFor(model->refresh());
        QTRY_COMPARE(text()->text(), "Stored before.");
        text()->setText(text()->text() + " Typed after.");
        QVERIFY(server->stop());
        button(preamble, "Save preamble")->click();
        QTRY_VERIFY(errorLines(preamble).value(0).startsWith("Tavrin Keldmarch is not reachable: "));
        pollUntilStopped();
        QVERIFY(unreachableShown());
        QVERIFY(server->start());
        QCoro::waitFor(model->refresh());
        QVERIFY(!unreachableShown() && text()->text() == "Stored before. Typed after.");
    }

    // The bundle is shown where the server put it; the logs open whether they exist or not, silently.
    // A password is saved as typed, and cleared (where it goes is the state model's test).
    void diagnosticsShowTheBundleAndTheFilesAndSetThePassword() {
        OpenedFiles opened;
        diagnostics = open<DiagnosticsTab>(AdminTab::diagnostics);
        diagnostics->findChild<TRCheckBox*>()->click();
        button(diagnostics, "Generate bundle")->click();
        // The checkbox was sent: the server says why no prompt text went in.
        QTRY_COMPARE(statusLines(diagnostics), QStringList{"Support bundle saved. Prompt contents were left out: the "
                                                           "master switch “Include prompt contents in diagnostic exports” is off."});
        QTRY_COMPARE(opened.paths.size(), 1);
        QCOMPARE(QDir(opened.paths[0]).entryList({"tavrin-support-*.zip"}, QDir::Files).size(), 1);
        for (const char* row : {"Server log", "Error log", "State directory"})
            button(diagnostics, QStringLiteral("Show in Folder: ") + row)->click();
        QTRY_COMPARE(opened.paths.size(), 4);
        const QDir panelState(StateFolder::path());
        QCOMPARE(opened.paths.mid(1, 2), (QStringList{panelState.filePath("tavrin-server.out.log"),
                                                      panelState.filePath("tavrin-server.err.log")}));
        QCOMPARE(QDir(opened.paths[3]), QFileInfo(model->status()->stateDirectory).dir());

        auto* field = diagnostics->findChild<TRTextField*>();
        QVERIFY(!button(diagnostics, "Save")->isEnabled());
        // Setup's rule holds here too; what was typed stays for another try.
        QTest::keyClicks(field, " a new password ");
        button(diagnostics, "Save")->click();
        QTRY_COMPARE(errorLines(diagnostics),
                     QStringList{"An admin password needs 16 characters or more; this one has 14."});
        QCOMPARE(field->text(), " a new password ");
        QTest::keyClicks(field, "and more");
        button(diagnostics, "Save")->click();
        QTRY_COMPARE(statusLines(diagnostics), QStringList{"Saved."});
        QVERIFY(field->text().isEmpty() && client->adminSecret() == " a new password and more");
        button(diagnostics, "Clear")->click();
        QTRY_VERIFY(!client->adminSecret() && !AdminSecretFile(server->stateDirectory()).read());
    }

    // Confirmed, "Re-run setup" brings the wizard into the window at once (what "Cancel" does is the
    // login service removal's, tried in the accessibility walk).
    void reRunSetupBringsTheWizardBack() {
        model->setHasCompletedFirstRun(true);
        std::vector<AdminScreen> screens(adminTabs().begin(), adminTabs().end());
        screens[0].make = headerOnlyScreen; // the window opens on it: nothing of Status runs meanwhile
        MainWindow window(model.get(), screens, [](ServerStateModel*) { return new QWidget; });
        window.select(int(AdminTab::diagnostics));
        auto* tab = qobject_cast<DiagnosticsTab*>(window.currentScreen());
        button(tab, "Re-run setup")->click();
        QCOMPARE(tab->rerunConfirmation()->informativeText(), "This relaunches the setup wizard. Your existing keys "
                                                             "and the server's state are preserved.");
        findVisible<QPushButton>(tab->rerunConfirmation(), "Re-run setup", [](QPushButton* b) { return b->text(); })->click();
        QVERIFY(!model->hasCompletedFirstRun() && window.firstRunScreen() && !window.currentScreen());
    }
};

int main(int argc, char** argv) { return runKitTests<PreambleAndDiagnosticsTabsTest>(argc, argv); }

#include "PreambleAndDiagnosticsTabsTest.moc"
