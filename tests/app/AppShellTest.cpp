#include "app/SingleInstance.h"
#include "app/TavrinServerApp.h"
#include "base/AdminSecretFile.h"
#include "base/PrivateFile.h"
#include "control/DaemonProcessController.h"
#include "control/TestBundle.h"
#include "support/Basics.h"
#include "support/ForeignListener.h"
#include "support/HttpProbe.h"
#include "support/ReferenceServer.h"
#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/Theme.h"
#include "ui/tray/TrayPanel.h"
#include "ui/window/MainWindow.h"
#include "ui/wizard/FirstRunWizardView.h"

#include <QAction>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>

#include <csignal>
#include <unistd.h>

using namespace tavrin;

namespace {

// The desktop's notification service as the test plays it, on a connection of its own to the
// private session bus: it keeps what it is asked to show, and tells of an action chosen on one.
class NotificationService : public QDBusVirtualObject {
public:
    struct Shown {
        uint id;
        QString summary;
        QStringList actions;
    };
    std::vector<Shown> shown;

    NotificationService() {
        m_bus.registerVirtualObject(path, this);
        m_bus.registerService(interface);
    }
    ~NotificationService() override { QDBusConnection::disconnectFromBus(m_bus.name()); }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& bus) override {
        if (message.member() != QLatin1String("Notify"))
            return false;
        const QList<QVariant> args = message.arguments();
        const uint id = args.value(1).toUInt() ? args.value(1).toUInt() : uint(shown.size() + 1);
        shown.push_back({id, args.value(3).toString(), args.value(5).toStringList()});
        bus.send(message.createReply(QVariant::fromValue(id)));
        return true;
    }
    QString introspect(const QString&) const override { return {}; }
    void choose(uint id, const QString& action) {
        QDBusMessage chosen = QDBusMessage::createSignal(path, interface, QStringLiteral("ActionInvoked"));
        chosen << id << action;
        m_bus.send(chosen);
    }

private:
    static inline const QString path = QStringLiteral("/org/freedesktop/Notifications");
    static inline const QString interface = QStringLiteral("org.freedesktop.Notifications");
    QDBusConnection m_bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("notifications"));
};

} // namespace

class AppShellTest : public QObject {
    Q_OBJECT

    // A shell with notifications on and a quick poll, whose server is the real one through a bundle of
    // the test's own whose script adds `serverArguments`; its admin port is a free one, given through the
    // environment as the panel's would be (cleanup sets it back to 0).
    static std::unique_ptr<TavrinServerApp> notifyingShell(const TestBundle& bundle,
                                                           const QString& serverArguments = {}) {
        const QString noModel = bundle.path() + "/no-model";
        const quint16 port = test::freeLoopbackPort();
        qputenv("TAVRIN_ADMIN_PORT", QByteArray::number(port));
        if (!makeDirectories(noModel) ||
            !bundle.installWrapper(test::ReferenceServer::executablePath(),
                                   "--port 0 --model-source '" + noModel + "' " + serverArguments) ||
            !AdminSecretFile(processOf(bundle).stateDirectory).write("notified-password"))
            return nullptr;
        AppOptions options;
        options.model.baseURL = QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
        options.model.process = std::make_shared<DaemonProcessController>(processOf(bundle));
        auto app = std::make_unique<TavrinServerApp>(options);
        app->notificationsToggle()->setChecked(true);
        app->state().setPollIntervalSeconds(0.2);
        app->state().startPolling();
        return app;
    }

    // The bundle's controller, with the state folder and the session server's log beside it.
    static DaemonProcessControllerOptions processOf(const TestBundle& bundle) {
        DaemonProcessControllerOptions process;
        process.bundlePath = bundle.path();
        process.stateDirectory = bundle.path() + "/state";
        process.standardOutputLog = process.standardErrorLog = bundle.path() + "/server.log";
        return process;
    }

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
        qputenv("TAVRIN_ADMIN_PORT", "0");
    }

    // The window shows setup alone, at setup's size, until it is complete; then its screens, sidebar and
    // toolbar, as the next launch remembers. The simulated host reaches setup's probe.
    void aFirstLaunchShowsSetupAndALaterOneTheScreens() {
        QSettings().remove(QLatin1StringView(ServerStateModel::firstRunKey));
        const auto showsScreens = [](const MainWindow* window) {
            return !window->firstRunScreen() && window->currentScreen() &&
                   window->sidebar()->isVisibleTo(window) &&
                   window->findChild<QToolBar*>()->isVisibleTo(window) &&
                   window->minimumSize() == MainWindow::kMinimumSize;
        };
        {
            TavrinServerApp app(AppOptions{.simulatedHost = SimulatedHost{"Apple M1", 8}});
            app.openMainWindow();
            const MainWindow* window = app.mainWindow();
            QVERIFY(window->firstRunScreen() && !window->currentScreen() &&
                    !window->sidebar()->isVisibleTo(window));
            QVERIFY(!window->findChild<QToolBar*>()->isVisibleTo(window));
            QCOMPARE(window->minimumSize(), FirstRunWizardView::kMinimumSize);
            QVERIFY(app.state().setup().hostIsSimulated());
            app.state().setHasCompletedFirstRun(true);
            QVERIFY(showsScreens(window));
        }
        {
            TavrinServerApp app;
            app.openMainWindow();
            QVERIFY(showsScreens(app.mainWindow()));
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
        TestBundle bundle; // and the test child as the session server of a bundle of its own
        QVERIFY(bundle.installServer(TEST_CHILD));
        AppOptions options;
        options.model.process = std::make_shared<DaemonProcessController>(processOf(bundle));

        TavrinServerApp app(options);
        DaemonProcessController* process = options.model.process.get();
        QVERIFY(process->launchChildProcess(std::nullopt));
        const QString child = QStringLiteral("/proc/%1").arg(*process->pid());
        QCoro::waitFor(process->refreshStatus());
        QVERIFY(process->isRunning());
        std::optional<bool> leftLogin, childLeft; // read as the panel ends
        connect(&app, &TavrinServerApp::finished, this, [&] {
            leftLogin = test::fileBytes(log).contains("stop com.tavrinai.server.service");
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

    // A user who leaves the panel in the tray hears once that the server died and can start it again
    // from there; nothing is said of what the user did, nor anything once notifications are off. Audit
    // mode turning requests away (an audit log with no room at all) is told by one that opens the panel
    // (that the polls which see the same refusal say nothing more is ServerEventsTest's).
    void theServerDyingIsToldOnceAndTheUsersOwnDoingsNever() {
        NotificationService service;
        TestBundle bundle;
        const auto shell = notifyingShell(bundle, "--audit-max-bytes 0");
        QVERIFY(shell);
        TavrinServerApp& app = *shell;
        const auto startedAndKilled = [&] {
            QVERIFY(QCoro::waitFor(app.state().actions().start()));
            QCOMPARE(app.state().phase(), Phase::running());
            QVERIFY(::kill(pid_t(app.state().status()->pid), SIGKILL) == 0);
        };
        startedAndKilled();
        QTRY_COMPARE(service.shown.size(), 1u);
        QCOMPARE(service.shown[0].summary, "Tavrin server stopped");
        QCOMPARE(service.shown[0].actions, (QStringList{"start", "Start server", "open", "Open Tavrin Keldmarch"}));
        service.choose(service.shown[0].id, "start");
        QTRY_COMPARE(app.state().phase(), Phase::running());
        QVERIFY(QCoro::waitFor(app.state().actions().stop()));
        QTest::qWait(1000); // five poll cycles, for anything that would still be said
        QCOMPARE(service.shown.size(), 1u); // neither the start asked for there nor the stop
        QVERIFY(QCoro::waitFor(app.state().actions().start()));
        QVERIFY(QCoro::waitFor(app.state().settingsActions().saveLoggingSettings({ClientAuditMode::audit, 30, false})));
        QTRY_COMPARE(service.shown.size(), 2u);
        QCOMPARE(service.shown[1].summary, "Audit log can't be written: requests are being refused.");
        QCOMPARE(service.shown[1].actions, (QStringList{"open", "Open Tavrin Keldmarch"}));
        QVERIFY(QCoro::waitFor(app.state().actions().stop()));

        app.notificationsToggle()->setChecked(false);
        QVERIFY(!QSettings().value(TavrinServerApp::notificationsSetting).toBool());
        startedAndKilled();
        QTRY_COMPARE(app.state().phase(), Phase::stopped());
        QCOMPARE(service.shown.size(), 2u);
        app.notificationsToggle()->setChecked(true);
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
