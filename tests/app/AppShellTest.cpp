#include "app/TavrinServerApp.h"
#include "ui/window/MainWindow.h"
#include "ui/window/TrayIcon.h"

#include <QApplication>
#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace tavrin;

class AppShellTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setOrganizationName("Tavrin");
        QApplication::setApplicationName("Tavrin Keldmarch Tests");
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void cleanup() {
        // The shells of a test are gone: let their poll loops and pending cycles end.
        QTest::qWait(300);
    }

    void theTrayIconFollowsThePhase_data() {
        QTest::addColumn<Phase>("phase");
        QTest::addColumn<QString>("symbol");
        QTest::newRow("unknown") << Phase::unknown() << "ellipsis.circle";
        QTest::newRow("probing") << Phase::probing() << "ellipsis.circle";
        QTest::newRow("running") << Phase::running() << "antenna.radiowaves.left.and.right";
        QTest::newRow("stopped") << Phase::stopped() << "antenna.radiowaves.left.and.right.slash";
        QTest::newRow("unauthenticated") << Phase::unauthenticated() << "lock.fill";
        QTest::newRow("error") << Phase::error("boom") << "exclamationmark.triangle.fill";
    }

    void theTrayIconFollowsThePhase() {
        QFETCH(Phase, phase);
        QFETCH(QString, symbol);
        QCOMPARE(trayIconSymbol(phase), symbol);
    }

    void theFirstPollWithoutAPasswordAsksForOne() {
        TavrinServerApp app;
        QCOMPARE(app.state().client()->baseURL(), QUrl("http://127.0.0.1:11434"));
        QCoro::waitFor(app.state().refresh());
        QCOMPARE(app.state().phase(), Phase::unauthenticated());
    }

    void closingTheWindowKeepsTheApplicationAndReopeningMakesAFreshOne() {
        TavrinServerApp app;
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        app.openMainWindow();
        QPointer<MainWindow> first = app.mainWindow();
        QVERIFY(first && first->isVisible());
        first->select(AdminTab::network);
        first->close();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(quitting.count(), 0);

        app.openMainWindow();
        QVERIFY(app.mainWindow() && app.mainWindow()->isVisible());
        QCOMPARE(app.mainWindow()->selection(), AdminTab::status);
    }

    void aSecondLaunchBringsTheFirstWindowForward() {
        TavrinServerApp first;
        QVERIFY(first.claimSingleInstance());
        QVERIFY(!first.mainWindow());

        TavrinServerApp second;
        QVERIFY(!second.claimSingleInstance());
        QTRY_VERIFY(first.mainWindow() && first.mainWindow()->isVisible());
        QVERIFY(!second.mainWindow());
    }

    void everyScreenRendersToAFile() {
        QTemporaryDir dir;
        TavrinServerApp app;
        const QStringList files = app.renderScreens(dir.path());
        QCOMPARE(files.filter("/window-").size(), 8);
        QVERIFY(files.filter("/window-").first().endsWith("window-01-status.png"));
        for (const QString& file : files) {
            const QImage image(file);
            QVERIFY2(!image.isNull() && image.width() >= 100, qPrintable(file));
        }
    }
};

QTEST_MAIN(AppShellTest)
#include "AppShellTest.moc"
