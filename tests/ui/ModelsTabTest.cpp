// The Models tab as an administrator meets it: real widgets offscreen, over a state model that polls
// the real tavrin-server, with model bundles written by the server's own make-sample-bundle into a
// companion folder, picked up at each start. What the tab decides from a record is tested without a
// window (ScreenLogicTest); here is what the page shows and what its buttons do to the server.
#include "KitTestMain.h"
#include "RecordTabFixture.h"

#include "ui/kit/KVRow.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRDisplayName.h"
#include "ui/kit/TRElidedText.h"
#include "ui/kit/TRHistoryRow.h"
#include "ui/kit/TRPill.h"
#include "ui/tabs/ModelsTab.h"

#include <QAccessible>
#include <QTemporaryDir>

using namespace tavrin;

class ModelsTabTest : public QObject, protected RecordTabFixture {
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_companion;
    ModelsTab* m_tab = nullptr;

    QString companion() const { return m_companion->path() + "/tavrin-ai/resources"; }

    // Each step says whether it could be taken; a test goes no further than a step that could not.

    // What a new user does: the companion app (here the server's own command) leaves a bundle.
    [[nodiscard]] bool dropBundle(const QString& version) {
        const test::Ran made =
            test::runProgram(test::ReferenceServer::executablePath(), {"make-sample-bundle", companion(), "--version", version});
        if (made.status != 0)
            qWarning("make-sample-bundle: %s", made.err.constData());
        return made.status == 0;
    }

    [[nodiscard]] bool open() {
        startServer(test::ReferenceServerOptions({"--model-source", companion()}), false);
        if (!QTest::currentTestFailed())
            m_tab = RecordTabFixture::open<ModelsTab>(AdminTab::models, {860, 1200});
        return !QTest::currentTestFailed();
    }
    void poll() { QCoro::waitFor(model->refresh()); }
    // The companion's newest bundle is read at the next start.
    [[nodiscard]] bool restartServer() {
        if (const auto restarted = server->restart(); !restarted) {
            qWarning("%s", qPrintable(restarted.error()));
            return false;
        }
        poll();
        return true;
    }
    [[nodiscard]] bool press(const QString& text) { return ScreenHost::press(m_tab, text); }

    TRButton* buttonNamed(const QString& text) const { return ::buttonNamed(m_tab, text); }
    TRCard* cardTitled(const QString& title) const { return ::cardTitled(m_tab, title); }
    const ClientModelStatus& modelStatus() const { return model->status()->model; }
    QString name() const { return m_tab->findChild<TRDisplayName*>()->text(); }
    QStringList pills() const {
        QStringList labels;
        for (TRPill* pill : shownWidgets<TRPill>(m_tab))
            if (!pill->parentWidget()->inherits("tavrin::TRHistoryRow"))
                labels << pill->displayedText();
        return labels;
    }
    // "title / message" of each banner shown, top to bottom.
    QStringList banners() const {
        QStringList texts;
        for (TRBanner* banner : shownWidgets<TRBanner>(m_tab))
            texts << banner->title() + " / " + banner->message();
        return texts;
    }
    // Under the heading, the card alone: no model, no outcome of an earlier action.
    bool onlyUnreachable() const {
        return shownWidgets<TRCard>(m_tab) == QList<TRCard*>{cardTitled("Server unreachable")} && banners().isEmpty() &&
               shownWidgets<TRDisplayName>(m_tab).isEmpty() && shownWidgets<TRPill>(m_tab).isEmpty();
    }
    TRCard* stagedCard() const { return cardTitled("tavrin-sample-2.0.0 · staged"); }
    QStringList historyRows() const {
        QStringList rows;
        for (TRHistoryRow* row : shownWidgets<TRHistoryRow>(m_tab)) {
            auto* button = qobject_cast<TRButton*>(row->accessory());
            rows << row->name() + " | " + row->pill() + " | " + row->detail() + " | " + (button ? button->text() : "-");
        }
        return rows;
    }

private Q_SLOTS:
    void init() {
        m_companion = std::make_unique<QTemporaryDir>();
        QVERIFY(m_companion->isValid());
    }
    void cleanup() {
        tearDown();
        m_companion.reset();
    }

    // The whole road: no status yet, a model alone, a newer bundle staged at the next start,
    // promoted, rolled back (once, however often pressed); a restart pending; an action the server
    // refuses; the server gone. Which pill each history row has is the history table's (ScreenLogicTest).
    void aNewerBundleIsStagedPromotedAndRolledBack() {
        QVERIFY(dropBundle("1.0.0"));
        QVERIFY(open());
        QVERIFY(onlyUnreachable());

        poll();
        QVERIFY(!cardTitled("Server unreachable"));
        QCOMPARE(name(), "TAVRIN-SAMPLE-1.0.0");
        QVERIFY(model->status() && modelStatus().running);
        const ClientModelMetadata first = *modelStatus().running;
        QStringList lines;
        for (QLabel* label : shownWidgets<QLabel>(m_tab))
            lines << label->text();
        QVERIFY(lines.contains("Imported " + first.importedAt + " · from Tavrin AI 1.0.0"));
        QCOMPARE(pills(), (QStringList{"Healthy", "BASE MODEL ONLY"}));
        QVERIFY(!stagedCard());
        QCOMPARE(historyRows(), QStringList{});
        QCOMPARE(banners(), QStringList{});

        QVERIFY(dropBundle("2.0.0"));
        QVERIFY(restartServer());
        QVERIFY(modelStatus().pinState.stagedUpdate);
        const ClientModelSnapshot staged = *modelStatus().pinState.stagedUpdate;
        const QString ready = "tavrin-sample-2.0.0 is ready to promote / The free Tavrin AI app delivered a new "
                              "model. Promotion is reversible.";
        QCOMPARE(banners(), QStringList{ready});
        QVERIFY(stagedCard());
        QCOMPARE(stagedCard()->subtitle(), "From Tavrin AI 2.0.0 · imported " + staged.importedAt + " · pipeline " +
                                               QString::number(staged.manifestPipelineVersion));
        QVERIFY(!buttonNamed("Roll back")->isEnabled()); // nothing to go back to yet
        QVERIFY(buttonNamed("Promote")->isEnabled());

        QVERIFY(press("Promote"));
        QCOMPARE(banners(), QStringList{" / Promoted. Restart the server for the runtime to load the new model."});
        QVERIFY(!stagedCard());
        QCOMPARE(historyRows(),
                 QStringList{"tavrin-sample-1.0.0 | Previous | Promoted " + first.importedAt + " | Roll back to this"});
        QCOMPARE(name(), "TAVRIN-SAMPLE-1.0.0"); // the running engine does not hot-swap

        // The poll goes on: an unchanged record keeps the rows and the open details as they are.
        auto* details = m_tab->findChild<TRDisclosure*>();
        details->header()->click();
        TRHistoryRow* row = shownWidgets<TRHistoryRow>(m_tab).value(0);
        KVRow* hash = details->findChildren<KVRow*>().value(2);
        poll();
        QVERIFY(details->isExpanded());
        QCOMPARE(shownWidgets<TRHistoryRow>(m_tab).value(0), row);
        QCOMPARE(details->findChildren<KVRow*>().value(2), hash);
        QCOMPARE(hash->value(), first.modelSha256.left(32) + "…");
        // Read whole, through the reader's text interface.
        QAccessibleTextInterface* reader =
            QAccessible::queryAccessibleInterface(hash->valueText())->textInterface();
        QCOMPARE(reader->text(0, reader->characterCount()), first.modelSha256);

        // A double press is one: a second, sent after the first, would go back one version more.
        TRButton* back = buttonNamed("Roll back to this");
        QCOMPARE(back->accessibleName(), "Roll back to this: tavrin-sample-1.0.0");
        back->click();
        back->click();
        QCOMPARE(m_tab->flows().running(), 1);
        QTRY_COMPARE(m_tab->flows().running(), 0);
        QCOMPARE(banners(), (QStringList{ready, " / Rolled back. Restart the server for the runtime to load the "
                                                "previous model."}));
        QCOMPARE(historyRows(), QStringList{});
        QVERIFY(stagedCard());
        QVERIFY(!buttonNamed("Roll back")->isEnabled());
        QVERIFY(!modelStatus().restartRequired); // production is what runs again: nothing to restart for
        QCOMPARE(shownWidgets<TRBanner>(stagedCard()), QList<TRBanner*>{});

        // Promoted and restarted, then rolled back: the engine runs 2.0.0 while production is 1.0.0
        // again, and the staged card says a restart is due.
        QVERIFY(press("Promote"));
        QVERIFY(restartServer());
        QCOMPARE(name(), "TAVRIN-SAMPLE-2.0.0");
        QVERIFY(press("Roll back to this"));
        QVERIFY(modelStatus().restartRequired);
        QCOMPARE(shownWidgets<TRBanner>(stagedCard()).size(), 1);
        QCOMPARE(shownWidgets<TRBanner>(stagedCard()).front()->title(), "Restart required after promoting.");

        // Someone else promotes meanwhile; the page still offers it until the next poll, and the
        // server's refusal reads as the server wrote it, alone.
        QVERIFY(QCoro::waitFor(server->client()->promoteModel()));
        QVERIFY(press("Promote"));
        QCOMPARE(banners(), (QStringList{ready,
                                         "Restart required after promoting. / The running engine doesn't hot-swap "
                                         "models — use the Status tab to restart when you're ready.",
                                         " / Server returned HTTP 409: there is no staged model to promote"}));
        QCOMPARE(shownWidgets<TRBanner>(m_tab).last()->kind(), BannerKind::danger);

        QVERIFY(server->stop());
        poll();
        poll();
        QVERIFY(onlyUnreachable());
    }
};

int main(int argc, char** argv) { return runKitTests<ModelsTabTest>(argc, argv); }

#include "ModelsTabTest.moc"
