// The Logs tab against the real reference server: every mode and retention is saved and read back,
// values without a control of their own go back unchanged, and the exports are the server's own
// answer, with prompt text exactly when the master switch and the checkbox both say so.
#include "KitTestMain.h"
#include "RecordTabFixture.h"

#include "support/RecordedRequests.h"
#include "ui/desktop/SaveDialog.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/ModeCard.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRCheckBox.h"
#include "ui/kit/TRSegmentedPicker.h"
#include "ui/tabs/LogsTab.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QTemporaryDir>

using namespace tavrin;

Q_DECLARE_METATYPE(tavrin::ClientAuditMode)

namespace {

const QString prompt = QStringLiteral("Draft a reply to the Lisbon supplier");

QStringList partFiles(const QString& folder) {
    return QDir(folder).entryList({QStringLiteral("*.part")}, QDir::Files | QDir::Hidden);
}

} // namespace

class LogsTabTest : public QObject, protected RecordTabFixture {
    Q_OBJECT
    LogsTab* tab = nullptr;
    QTemporaryDir saves;

    void openLoaded() {
        tab = open<LogsTab>(AdminTab::logs);
        QTRY_VERIFY(tab->editor()->record());
    }
    ModeCard* card(const QString& title) const {
        return findVisible<ModeCard>(tab, title, [](ModeCard* c) { return c->accessibleName(); });
    }
    QStringList cardsOn() const {
        QStringList on;
        for (auto* c : tab->findChildren<ModeCard*>())
            if (c->isOn())
                on << c->accessibleName();
        return on;
    }
    ClientAuditLoggingSettings onServer() const { return *QCoro::waitFor(client->loggingSettings()); }
    void saveAndWait() {
        QVERIFY(press(tab, "Save"));
        QCOMPARE(statusLines(tab), QStringList{"Saved."});
    }
    // Presses an export button, checks what the dialog proposes, and answers it.
    void exportThrough(const QString& buttonText, const QString& proposedName, const QString& saveAs) {
        buttonNamed(tab, buttonText)->click();
        QFileDialog* dialog = nullptr;
        QTRY_VERIFY((dialog = tab->findChild<QFileDialog*>()) && dialog->isVisible());
        QCOMPARE(QFileInfo(dialog->selectedFiles().value(0)).fileName(), proposedName);
        QCOMPARE(dialog->nameFilters().size(), 1);
        if (saveAs.isEmpty()) {
            dialog->reject();
            return;
        }
        // Typed as a user would: the dialog takes no selectFile() while its name field has focus.
        dialog->setDirectory(QFileInfo(saveAs).absolutePath());
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        QVERIFY(name);
        name->setText(QFileInfo(saveAs).fileName());
        QCOMPARE(dialog->selectedFiles().value(0), saveAs);
        static_cast<QDialog*>(dialog)->accept(); // as the dialog's Save button does
    }

private Q_SLOTS:
    void init() { startServer(); }
    void cleanup() { tearDown(); }

    // "hash" and 45 days have no control: they go back as they came, with the switch's change. Then a
    // mode and a retention chosen are saved; the audit warning comes with the tap, before any save.
    void aChosenModeAndRetentionAreSaved() {
        QVERIFY(QCoro::waitFor(client->updateLoggingSettings({ClientAuditMode::hash, 45, false})));
        openLoaded();
        QVERIFY(cardsOn().isEmpty());
        QCOMPARE(tab->findChild<TRSegmentedPicker*>()->currentIndex(), -1);
        tab->findChild<KeldmarchSwitch*>()->click();
        QCOMPARE(onServer().includePromptContentsInDiagnostics, false); // the copy only, until Save
        saveAndWait();
        ClientAuditLoggingSettings saved = onServer();
        QCOMPARE(saved.mode, ClientAuditMode::hash);
        QCOMPARE(saved.retentionDays, 45);
        QVERIFY(saved.includePromptContentsInDiagnostics);

        const struct {
            const char* title;
            ClientAuditMode mode;
            int segment;
            qint64 days;
        } steps[] = {{"Audit", ClientAuditMode::audit, 3, 365}, {"Privacy", ClientAuditMode::privacy, 1, 30}};
        for (const auto& step : steps) {
            card(step.title)->click();
            tab->findChild<TRSegmentedPicker*>()->segment(step.segment)->click();
            QCOMPARE(cardsOn(), QStringList{step.title});
            QCOMPARE(tab->findChild<TRBanner*>()->isVisibleTo(tab), step.mode == ClientAuditMode::audit);
            saveAndWait();
            saved = onServer();
            QCOMPARE(saved.mode, step.mode);
            QCOMPARE(saved.retentionDays, step.days);
        }
    }

    // Each export is the server's own answer, with prompt text exactly when the checkbox asks for it
    // under the master switch; a cancelled dialog leaves no file and the lines as they were; with the
    // server gone no dialog opens, and a tab opened meanwhile shows its wheel with the reason until
    // the server is back.
    void theExportsAreTheServersAndAFailureOpensNoDialog() {
        const auto recorded = test::recordChatRequests(*server, 2, prompt);
        TAVRIN_REQUIRE(recorded);
        openLoaded();
        // The switch as saved here, the checkbox as sent (their rule is the DiagnosticsContractTest's).
        if (auto* master = tab->findChild<KeldmarchSwitch*>(); !master->isChecked())
            master->click();
        saveAndWait();
        for (const bool checkbox : {false, true}) {
            tab->findChild<TRCheckBox*>()->setChecked(checkbox);
            const QString path = saves.filePath(QString("audit-%1.jsonl").arg(checkbox));
            exportThrough("Save audit JSONL", "tavrin-server-audit.jsonl", path);
            QTRY_COMPARE(statusLines(tab), QStringList{"Saved " + QFileInfo(path).fileName()});
            QCOMPARE(test::fileBytes(path).contains(prompt.toUtf8()), checkbox); // the whole export is ExportDownloadTest's
        }

        const QString path = saves.filePath("usage.csv");
        exportThrough("Save usage CSV", "tavrin-server-usage.csv", path);
        QTRY_COMPARE(statusLines(tab), QStringList{"Saved usage.csv"});
        QCOMPARE(test::fileBytes(path), *QCoro::waitFor(client->exportAuditCSV()));
        tab->editor()->showError("an earlier failure");
        exportThrough("Save usage CSV", "tavrin-server-usage.csv", {});
        QTRY_VERIFY(partFiles(proposedSaveFolder()).isEmpty());
        QCOMPARE(statusLines(tab), QStringList{"Saved usage.csv"});
        QCOMPARE(errorLines(tab), QStringList{"an earlier failure"});

        QVERIFY(server->stop());
        tab->editor()->showError({});
        buttonNamed(tab, "Save usage CSV")->click();
        QTRY_COMPARE(errorLines(tab).size(), 1);
        QVERIFY(errorLines(tab).first().startsWith("Tavrin Keldmarch is not reachable: "));
        QCOMPARE(statusLines(tab), QStringList{"Saved usage.csv"});
        QVERIFY(!tab->findChild<QFileDialog*>());
        QVERIFY(partFiles(proposedSaveFolder()).isEmpty());
        close();

        pollUntilStopped();
        tab = open<LogsTab>(AdminTab::logs);
        QTRY_VERIFY(!errorLines(tab).isEmpty());
        QVERIFY(wheelShown(tab));
        QVERIFY(server->start());
        QCoro::waitFor(model->refresh());
        QTRY_VERIFY(!wheelShown(tab));
        QVERIFY(tab->findChild<ModeCard*>()->isVisibleTo(tab));
    }
};

int main(int argc, char** argv) { return runKitTests<LogsTabTest>(argc, argv); }

#include "LogsTabTest.moc"
