#include "app/SingleInstance.h"
#include "app/TavrinServerApp.h"
#include "base/PrivateFile.h"
#include "support/ForeignListener.h"
#include "ui/kit/Theme.h"
#include "ui/tray/TrayPanel.h"
#include "ui/window/MainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace tavrin;

class AppShellTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() {
        QApplication::setOrganizationName("Tavrin");
        QApplication::setApplicationName("Tavrin Keldmarch Tests");
        QApplication::setQuitOnLastWindowClosed(false);
        Theme::apply(*qApp);
    }

    void cleanup() {
        // The shells of a test are gone: let their poll loops and pending cycles end.
        QTest::qWait(300);
    }

    // The window shows setup until it is complete, as the next launch remembers; the simulated host
    // reaches setup's probe.
    void aFirstLaunchShowsSetupAndALaterOneTheScreens() {
        QSettings().remove(QLatin1StringView(ServerStateModel::firstRunKey));
        {
            TavrinServerApp app(AppOptions{.simulatedHost = SimulatedHost{"Apple M1", 8}});
            app.openMainWindow();
            QVERIFY(app.mainWindow()->firstRunScreen() && !app.mainWindow()->currentScreen());
            QVERIFY(app.state().setup().hostIsSimulated());
            app.state().setHasCompletedFirstRun(true);
        }
        {
            TavrinServerApp app;
            app.openMainWindow();
            QVERIFY(!app.mainWindow()->firstRunScreen() && app.mainWindow()->currentScreen());
            QVERIFY(!app.state().setup().hostIsSimulated());
        }
        QSettings().remove(QLatin1StringView(ServerStateModel::firstRunKey));
    }

    void closingTheWindowKeepsTheApplicationAndReopeningMakesAFreshOne() {
        TavrinServerApp app;
        QSignalSpy quitting(qApp, &QCoreApplication::aboutToQuit);
        app.openMainWindow();
        QPointer<MainWindow> first = app.mainWindow();
        QVERIFY(first && first->isVisible());
        first->select(4);
        first->close();
        QTRY_VERIFY(first.isNull());
        QCOMPARE(quitting.count(), 0);

        app.openMainWindow();
        QVERIFY(app.mainWindow() && app.mainWindow()->isVisible());
        QCOMPARE(app.mainWindow()->selection(), 0);
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

    // The channel lives where only this user can reach it; a socket in its place that another
    // user listens on is not taken for a running panel, and is never told anything.
    void anotherUsersSocketNeverKeepsThePanelFromStarting() {
        const QString path = SingleInstance::socketPath();
        QVERIFY2(path.startsWith(qEnvironmentVariable("XDG_RUNTIME_DIR") + "/"), qPrintable(path));
        if (test::ForeignListener::available()) {
            QTemporaryDir shared;
            QVERIFY(QFile::setPermissions(shared.path(), QFileDevice::Permissions(0x7777)));
            test::ForeignListener squatter;
            QVERIFY(squatter.listenLocal(shared.filePath("socket")));
            // Moved into the channel's place and made to look like ours: only its listener is foreign.
            QVERIFY(QFile::rename(shared.filePath("socket"), path) && ::chown(QFile::encodeName(path).constData(), ::getuid(), ::getgid()) == 0);
            TavrinServerApp app;
            QVERIFY(app.claimSingleInstance());
            QVERIFY(!squatter.received().contains("raise"));
        }
        // A runtime folder that others may enter is not used: the channel goes to a private one.
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", "/tmp");
        const QString fallback = SingleInstance::socketPath();
        qputenv("XDG_RUNTIME_DIR", runtime);
        QVERIFY2(!fallback.isEmpty() && QFileInfo(fallback).path() != "/tmp", qPrintable(fallback));
        QCOMPARE(QFile::permissions(QFileInfo(fallback).path()) & QFileDevice::Permissions(0x0077), QFileDevice::Permissions());
    }

    // The tray's Quit, from its menu or its panel, takes a running server down (out of start at login,
    // and a session server with it) before the panel ends; File › Quit leaves both serving.
    void theTrayQuitsOneWayFromItsMenuAndItsPanel_data() {
        QTest::addColumn<QString>("from");
        QTest::addColumn<bool>("takesServerDown");
        QTest::newRow("tray menu") << "menu" << true;
        QTest::newRow("tray panel") << "panel" << true;
        QTest::newRow("File › Quit") << "file" << false;
    }
    void theTrayQuitsOneWayFromItsMenuAndItsPanel() {
        QFETCH(QString, from);
        QFETCH(bool, takesServerDown);
        QTemporaryDir scratch;
        const QString log = scratch.filePath("systemctl.log");
        qputenv("SCRIPTED_SYSTEMCTL_LOG", log.toUtf8());
        qputenv("SCRIPTED_SYSTEMCTL_STATE", scratch.filePath("manager").toUtf8());
        QVERIFY(makeDirectories(scratch.filePath("manager")) && // the manager runs it
                writeFilePrivately(scratch.filePath("manager/com.tavrinai.server.service"), "4321\n"));
        AppOptions options; // and the test child as the session server of a bundle of its own
        options.process.bundlePath = scratch.filePath("bundle");
        options.process.stateDirectory = scratch.filePath("state");
        options.process.standardOutputLog = options.process.standardErrorLog = scratch.filePath("server.log");
        QVERIFY(makeDirectories(options.process.bundlePath + "/libexec") &&
                QFile::copy(TEST_CHILD, options.process.bundlePath + "/libexec/tavrin-server"));

        TavrinServerApp app(options);
        DaemonProcessController* process = &app.process();
        QVERIFY(process->launchChildProcess(std::nullopt));
        const QString child = QStringLiteral("/proc/%1").arg(*process->pid());
        QCoro::waitFor(process->refreshStatus());
        QVERIFY(process->isRunning());
        std::optional<bool> leftLogin, childLeft; // read as the panel ends
        connect(&app, &TavrinServerApp::finished, this, [&] {
            QFile calls(log);
            leftLogin = calls.open(QIODevice::ReadOnly) && calls.readAll().contains("stop com.tavrinai.server.service");
            childLeft = !QFileInfo::exists(child);
        });
        app.openMainWindow();
        if (from == "menu") {
            for (QAction* action : app.trayMenu()->actions())
                if (action->text() == "Quit Tavrin Keldmarch")
                    action->trigger();
        } else if (from == "panel") {
            app.showStatusPanel();
            app.mainWindow()->findChild<TrayPanel*>()->quitItem()->click();
        } else {
            Q_EMIT app.mainWindow()->quitRequested();
        }
        QTRY_VERIFY(leftLogin && childLeft);
        QCOMPARE(*leftLogin, takesServerDown);
        QCOMPARE(*childLeft, takesServerDown);
        QVERIFY(QCoro::waitFor(process->stop())); // what File › Quit left serving
        qunsetenv("SCRIPTED_SYSTEMCTL_LOG");
        qunsetenv("SCRIPTED_SYSTEMCTL_STATE");
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
