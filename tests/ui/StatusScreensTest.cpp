// Renders the Status tab and the tray panel for a few model states, to PNG files a person looks at
// ($TAVRIN_SCREENS_DIR, else a temporary folder), and checks what can be checked of the pictures.
#include "KitTestMain.h"
#include "StatusFixture.h"

#include "ui/StatusScreens.h"
#include "ui/kit/Theme.h"

#include <QImage>

using namespace tavrin;

class StatusScreensTest : public QObject, protected StatusFixture {
    Q_OBJECT
    QTemporaryDir fallback;

    QString dir() const {
        const QString given = qEnvironmentVariable("TAVRIN_SCREENS_DIR");
        return given.isEmpty() ? fallback.path() : given;
    }

private Q_SLOTS:
    void init() { setUp({}); }
    void cleanup() { tearDown(); }

    void rendersTheTabAndThePanelForEachState_data() {
        QTest::addColumn<QString>("state");
        QTest::newRow("running") << "running";
        QTest::newRow("local-only") << "local-only";
        QTest::newRow("stopped") << "stopped";
        QTest::newRow("error") << "error";
    }
    void rendersTheTabAndThePanelForEachState() {
        QFETCH(QString, state);
        if (state == "running") {
            serve(sampleStatus());
        } else if (state == "local-only") {
            ClientServerStatus status = sampleStatus();
            status.bind.lanEnabled = false;
            status.concurrency.reset();
            status.stages.reset();
            status.updater.availableUpdate.reset();
            serve(status);
        } else if (state == "stopped") {
            goDown();
        } else {
            server->route("/admin/status", test::ScriptedResponse::text(500, "database is locked"));
            QCoro::waitFor(model->refresh());
        }
        const auto files = renderStatusScreens(dir(), model.get(), state + "-");
        QVERIFY2(files, files ? "" : qPrintable(files.error()));
        QCOMPARE(files->size(), 2);

        const QImage tab(files->at(0));
        QCOMPARE(tab.width(), 860);
        QVERIFY(tab.height() > 300);
        // The page is drawn on the canvas colour under a brand strip.
        QCOMPARE(tab.pixel(tab.width() - 5, tab.height() - 5), Theme::canvas().rgb());

        const QImage panel(files->at(1));
        QCOMPARE(panel.width(), 320);
        QVERIFY(panel.height() > 200);
        QCOMPARE(panel.pixel(panel.width() - 3, panel.height() / 2), Theme::surface().rgb());
        if (state == "stopped") // the Status tab without a record is much shorter than with one
            QVERIFY(tab.height() < 800);
    }
};

int main(int argc, char** argv) { return runKitTests<StatusScreensTest>(argc, argv); }

#include "StatusScreensTest.moc"
