#include "control/DaemonProcessController.h"

#include "TestBundle.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <sys/stat.h>

using namespace tavrin;

Q_DECLARE_METATYPE(tavrin::PrintedServiceState)

namespace {

bool processGone(qint32 pid) {
    return !QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid));
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

QString unitFolder() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/systemd/user");
}

QString readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

class ServicePrintTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsPidAndStateLinesByTheRules_data() {
        QTest::addColumn<QString>("output");
        QTest::addColumn<PrintedServiceState>("expected");
        using S = PrintedServiceState;
        QTest::newRow("pid wins over state") << "x = {\n\tstate = waiting\n\tpid = 4321\n}\n"
                                             << S{true, 4321};
        QTest::newRow("unparsable pid") << "\tpid = abc\n" << S{false, std::nullopt};
        QTest::newRow("state running, no pid") << "\tstate = running\n" << S{true, std::nullopt};
        QTest::newRow("state is case-insensitive") << "state = RUNNING\n" << S{true, std::nullopt};
        QTest::newRow("later state replaces") << "state = running\nstate = inactive\n"
                                              << S{false, std::nullopt};
        QTest::newRow("later valid pid replaces") << "pid = 1\npid = 2\npid = x\n" << S{true, 2};
        QTest::newRow("signed pids") << "pid = +12\n" << S{true, 12};
        QTest::newRow("negative pid") << "pid = -7\n" << S{true, -7};
        QTest::newRow("beyond 32 bits") << "pid = 2147483648\n" << S{false, std::nullopt};
        QTest::newRow("32-bit minimum") << "pid = -2147483648\n"
                                        << S{true, std::numeric_limits<qint32>::min()};
        QTest::newRow("three pieces") << "pid = 1 = 2\n" << S{false, std::nullopt};
        QTest::newRow("no space before =") << "pid=5\n" << S{false, std::nullopt};
        QTest::newRow("inner space in value") << "pid = 4 2\n" << S{false, std::nullopt};
        QTest::newRow("empty output") << "" << S{false, std::nullopt};
    }
    void readsPidAndStateLinesByTheRules() {
        QFETCH(QString, output);
        QFETCH(PrintedServiceState, expected);
        QCOMPARE(parseServicePrint(output), expected);
    }

    void errorsReadAsTheProductWordsThem() {
        using E = DaemonProcessControllerError;
        QCOMPARE(E::wrongAppLocation(QStringLiteral("/home/me/tk")).message(),
                 QStringLiteral(
                     "Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at /home/me/tk. "
                     "Move it to /opt/tavrin-keldmarch and re-run setup."));
        QCOMPARE(E::secretWriteFailed(QStringLiteral("why")).message(),
                 QStringLiteral("Could not save the admin password: why"));
        QCOMPARE(E::requiresApproval().message(),
                 QStringLiteral("macOS needs your approval. Open System Settings → General → Login Items and "
                                "turn on Tavrin Keldmarch."));
    }
};

// Common ground: a temporary bundle whose libexec/tavrin-server is the test child, the scripted
// systemctl, private log files and state directory.
class ControllerFixture : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<TestBundle> bundle;
    std::unique_ptr<QTemporaryDir> scratch;
    std::unique_ptr<DaemonProcessController> controller;

    DaemonProcessControllerOptions options(bool atRequiredLocation = false) const {
        DaemonProcessControllerOptions o;
        o.bundlePath = bundle->path();
        if (atRequiredLocation)
            o.requiredBundlePath = bundle->path();
        o.systemctl = QStringLiteral(SCRIPTED_SYSTEMCTL);
        o.stateDirectory = scratch->path() + QStringLiteral("/state/Tavrin Server");
        o.standardOutputLog = scratch->path() + QStringLiteral("/out.log");
        o.standardErrorLog = scratch->path() + QStringLiteral("/err.log");
        return o;
    }
    QString report() const { return scratch->path() + QStringLiteral("/report"); }
    QString systemctlLog() const { return scratch->path() + QStringLiteral("/systemctl.log"); }
    QString secretFile() const { return options().stateDirectory + QStringLiteral("/admin.secret"); }

    void setUp(bool atRequiredLocation = false) {
        for (const char* name :
             {"SCRIPTED_SYSTEMCTL_NO_MANAGER", "SCRIPTED_SYSTEMCTL_MAINPID", "TAVRIN_TEST_CHILD_MODE"})
            qunsetenv(name);
        QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/systemd")).removeRecursively();
        QDir(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/scripted-systemd"))
            .removeRecursively();
        bundle = std::make_unique<TestBundle>();
        scratch = std::make_unique<QTemporaryDir>();
        QVERIFY(bundle->installServer(QStringLiteral(TEST_CHILD)));
        QVERIFY(bundle->writeUnit(
            "[Service]\nExecStart=/x serve\nEnvironment=TAVRIN_TEST_AGENT_VALUE=from-unit\n"));
        qputenv("TAVRIN_TEST_CHILD_REPORT", report().toUtf8());
        qputenv("SCRIPTED_SYSTEMCTL_LOG", systemctlLog().toUtf8());
        controller = std::make_unique<DaemonProcessController>(options(atRequiredLocation));
    }

    void tearDown() {
        if (!controller)
            return;
        const auto pid = controller->pid();
        QCoro::waitFor(controller->stopChildOnQuit());
        controller.reset();
        if (pid && *pid != 4321 && *pid != 999)
            QTRY_VERIFY(processGone(*pid));
    }

    qint32 launchAndWaitUntilReady(std::optional<QString> secret = std::nullopt) {
        const auto launched = controller->launchChildProcess(secret);
        [&] { QVERIFY2(launched, failureOf(launched).constData()); }();
        [&] { QTRY_VERIFY(readAll(report()).endsWith(QStringLiteral("ready\n"))); }();
        return controller->pid().value_or(-1);
    }
};

class SessionModeTest : public ControllerFixture {
    Q_OBJECT
private Q_SLOTS:
    void init() { setUp(); }
    void cleanup() { tearDown(); }

    void startsTheServerWithServeThePanelEnvironmentAndTheAgentEnvironment() {
        qputenv("TAVRIN_TEST_AGENT_VALUE", "from-panel"); // the unit's entry replaces it
        qputenv("TAVRIN_TEST_PANEL_VALUE", "kept");
        QSignalSpy running(controller.get(), &DaemonProcessController::isRunningChanged);
        QSignalSpy pidChanged(controller.get(), &DaemonProcessController::pidChanged);
        const qint32 pid = launchAndWaitUntilReady(QStringLiteral("launch-secret"));
        qunsetenv("TAVRIN_TEST_AGENT_VALUE");
        qunsetenv("TAVRIN_TEST_PANEL_VALUE");
        QVERIFY(controller->isRunning());
        QVERIFY(pid > 0 && !processGone(pid));
        QCOMPARE(running.count(), 1);
        QCOMPARE(pidChanged.count(), 1);
        QCOMPARE(readAll(report()), QStringLiteral("arg=serve\nagent=from-unit\npanel=kept\nready\n"));
        QCOMPARE(readAll(secretFile()), QStringLiteral("launch-secret"));
        QCOMPARE(modeOf(secretFile()), mode_t(0600));
        QCOMPARE(modeOf(QFileInfo(secretFile()).path()), mode_t(0700));
        QTRY_COMPARE(readAll(options().standardOutputLog), QStringLiteral("listening on 127.0.0.1:0\n"));
        QTRY_VERIFY(readAll(options().standardErrorLog).contains(QStringLiteral("started")));
        QCOMPARE(modeOf(options().standardOutputLog), mode_t(0600));
    }

    void logsAreAppendedNotReplaced() {
        QFile out(options().standardOutputLog);
        QVERIFY(out.open(QIODevice::WriteOnly));
        out.write("earlier run\n");
        out.close();
        launchAndWaitUntilReady();
        QTRY_COMPARE(readAll(options().standardOutputLog),
                     QStringLiteral("earlier run\nlistening on 127.0.0.1:0\n"));
    }

    void aLogPlantedAsASymbolicLinkIsNotFollowed() {
        const QString target = scratch->path() + QStringLiteral("/target");
        QVERIFY(QFile::link(target, options().standardOutputLog));
        launchAndWaitUntilReady();
        QVERIFY(!QFileInfo::exists(target));
        QVERIFY(controller->isRunning());
    }

    void aSecondStartAdoptsTheRunningChild() {
        const qint32 pid = launchAndWaitUntilReady(QStringLiteral("first"));
        QFile::remove(report());
        QVERIFY(controller->launchChildProcess(QStringLiteral("second")));
        QCOMPARE(controller->pid(), std::optional<qint32>(pid));
        QVERIFY(controller->isRunning());
        QCOMPARE(readAll(secretFile()), QStringLiteral("first"));
        QTest::qWait(300);
        QVERIFY2(!QFileInfo::exists(report()), "a second server process was started");
    }

    void stopTerminatesAndReapsTheChild() {
        const qint32 pid = launchAndWaitUntilReady();
        QSignalSpy running(controller.get(), &DaemonProcessController::isRunningChanged);
        const auto stopped = QCoro::waitFor(controller->stop());
        QVERIFY2(stopped, failureOf(stopped).constData());
        QVERIFY(!controller->isRunning());
        QCOMPARE(controller->pid(), std::optional<qint32>());
        QVERIFY(running.count() >= 1);
        QVERIFY2(processGone(pid), "the child is still there, or left as a zombie");
        QVERIFY(!readAll(systemctlLog()).contains(QStringLiteral("stop")));
    }

    void aChildThatExitsByItselfIsForgotten() {
        qputenv("TAVRIN_TEST_CHILD_MODE", "exit");
        const qint32 pid = launchAndWaitUntilReady();
        QTRY_VERIFY(!controller->isRunning());
        QCOMPARE(controller->pid(), std::optional<qint32>());
        QTRY_VERIFY2(processGone(pid), "the exited child was left as a zombie");
        // And a new start launches a new process rather than adopting the dead one.
        qunsetenv("TAVRIN_TEST_CHILD_MODE");
        QFile::remove(report());
        const qint32 second = launchAndWaitUntilReady();
        QVERIFY(second != pid);
    }

    void aChildThatIgnoresSigtermIsKilledAfterTheDeadlineWhileTheEventLoopRuns() {
        qputenv("TAVRIN_TEST_CHILD_MODE", "ignore-term");
        const qint32 pid = launchAndWaitUntilReady();
        int ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
        ticker.start(10);
        QElapsedTimer elapsed;
        elapsed.start();
        const auto stopped = QCoro::waitFor(controller->stop());
        const qint64 ms = elapsed.elapsed();
        QVERIFY(stopped);
        QVERIFY2(ms >= 4'500, qPrintable(QStringLiteral("SIGKILL came after %1 ms").arg(ms)));
        // A blocked GUI thread would have let almost no 10 ms ticks through in those 5 seconds.
        QVERIFY2(ticks > 100, qPrintable(QStringLiteral("%1 ticks").arg(ticks)));
        QVERIFY(processGone(pid));
        QVERIFY(!controller->isRunning());
    }

    void aChildOfADestroyedControllerIsStillReaped() {
        const qint32 pid = launchAndWaitUntilReady();
        controller.reset();
        QCOMPARE(::kill(pid, SIGTERM), 0);
        QTRY_VERIFY2(processGone(pid), "no one reaped the orphaned child");
    }

    void missingExecutableFailsBothStartsNamingItsPath() {
        QVERIFY(QFile::remove(bundle->server()));
        const auto launched = controller->launchChildProcess(std::nullopt);
        QVERIFY(!launched);
        QCOMPARE(launched.error().message(), QStringLiteral("tavrin-server binary not found at ") +
                                                 bundle->server() +
                                                 QStringLiteral(". Reinstall Tavrin Keldmarch."));
        const auto registered = QCoro::waitFor(controller->registerAgent(QStringLiteral("pw")));
        QVERIFY(!registered);
        QCOMPARE(registered.error(), launched.error());
        QVERIFY(!QFileInfo::exists(secretFile()));
        QVERIFY(!controller->isRunning());
    }

    void anExecutableThatCannotRunIsALaunchFailure() {
        QVERIFY(QFile::setPermissions(bundle->server(), QFile::ReadOwner | QFile::WriteOwner));
        const auto launched = controller->launchChildProcess(std::nullopt);
        QVERIFY(!launched);
        QCOMPARE(
            launched.error().message(),
            QStringLiteral(
                "Could not start the background service: Could not launch tavrin-server: Permission denied"));
        QVERIFY(!controller->isRunning());
    }

    void restartNeverTouchesAChild() {
        const qint32 pid = launchAndWaitUntilReady();
        const auto restarted = QCoro::waitFor(controller->restart());
        QVERIFY(!restarted);
        QCOMPARE(
            restarted.error().message(),
            QStringLiteral(
                "Could not start the background service: Tavrin Keldmarch is not registered. Re-run setup."));
        QVERIFY(!processGone(pid));
        QVERIFY(controller->isRunning());
    }

    void refreshReportsTheTrackedChildWhenNoServiceRuns() {
        const qint32 pid = launchAndWaitUntilReady();
        const ServiceStatusSnapshot snapshot = QCoro::waitFor(controller->refreshStatus());
        QCOMPARE(snapshot, (ServiceStatusSnapshot{false, true, pid}));
        QCOMPARE(controller->pid(), std::optional<qint32>(pid));
    }

    void quittingStopsTheChildButLeavesTheLoginService() {
        controller = std::make_unique<DaemonProcessController>(options(true));
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        const qint32 pid = launchAndWaitUntilReady();
        QFile::remove(systemctlLog());
        QCoro::waitFor(controller->stopChildOnQuit());
        QVERIFY(processGone(pid));
        QVERIFY(!QFileInfo::exists(systemctlLog())); // the service was not asked to do anything
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{true, true, 4321}));
    }

    void unregisteringAlsoStopsAChildSoThatStoppedIsTrue() {
        const qint32 pid = launchAndWaitUntilReady();
        const auto removed = QCoro::waitFor(controller->unregisterAgent());
        QVERIFY2(removed, failureOf(removed).constData());
        QVERIFY(!controller->isRunning());
        QVERIFY(processGone(pid));
    }
};

// The login service, against the scripted systemctl.
class LoginServiceTest : public ControllerFixture {
    Q_OBJECT
private Q_SLOTS:
    void init() { setUp(true); }
    void cleanup() { tearDown(); }

    void registeringAwayFromTheRequiredLocationRegistersNothing() {
        controller = std::make_unique<DaemonProcessController>(options(false));
        const auto registered = QCoro::waitFor(controller->registerAgent(QStringLiteral("pw")));
        QVERIFY(!registered);
        QCOMPARE(registered.error(), DaemonProcessControllerError::wrongAppLocation(bundle->path()));
        QVERIFY(!QFileInfo::exists(systemctlLog()));
        QVERIFY(!QFileInfo::exists(secretFile()));
        launchAndWaitUntilReady(); // session mode does not care where it is installed
    }

    void registeringWritesTheSecretAndInstallsEnablesAndStartsTheUnit() {
        QSignalSpy enabled(controller.get(), &DaemonProcessController::loginServiceEnabledChanged);
        const auto registered = QCoro::waitFor(controller->registerAgent(QStringLiteral("pw")));
        QVERIFY2(registered, failureOf(registered).constData());
        QCOMPARE(readAll(secretFile()), QStringLiteral("pw"));
        const QString installed = readAll(unitFolder() + QStringLiteral("/com.tavrinai.server.service"));
        QVERIFY(installed.contains(QStringLiteral("\nExecStart=\"") + bundle->server() +
                                   QStringLiteral("\" serve\n")));
        QCOMPARE(
            parseUnitEnvironment(installed),
            (EnvironmentEntries{{QStringLiteral("TAVRIN_TEST_AGENT_VALUE"), QStringLiteral("from-unit")}}));
        QVERIFY(QFileInfo(unitFolder() + QStringLiteral("/default.target.wants/com.tavrinai.server.service"))
                    .isSymLink());
        QVERIFY(controller->loginServiceEnabled());
        QVERIFY(enabled.count() >= 1);
        QVERIFY(!controller->requiresApproval());
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{true, true, 4321}));
        QVERIFY(controller->isRunning());
        QCOMPARE(controller->pid(), std::optional<qint32>(4321));
    }

    void theLoginServiceTakesOverFromASessionServer() {
        const qint32 pid = launchAndWaitUntilReady();
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        QVERIFY(processGone(pid));
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{true, true, 4321}));
    }

    void registeringWithoutAManagerFailsInTheManagersWords() {
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1");
        const auto registered = QCoro::waitFor(controller->registerAgent(std::nullopt));
        QVERIFY(!registered);
        QCOMPARE(registered.error().message(),
                 QStringLiteral("Could not start the background service: Failed to connect to bus: No such "
                                "file or directory"));
        QCOMPARE(QCoro::waitFor(controller->agentStatus()), AgentStatus::notRegistered);
        QVERIFY(!QFileInfo::exists(unitFolder() + QStringLiteral("/com.tavrinai.server.service")));
        QVERIFY(!QFileInfo(unitFolder() + QStringLiteral("/default.target.wants/com.tavrinai.server.service"))
                     .isSymLink());
    }

    void unregisteringWithoutAManagerStillRemovesTheUnit() {
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1"); // nothing can run, so nothing needs stopping
        const auto removed = QCoro::waitFor(controller->unregisterAgent());
        QVERIFY2(removed, failureOf(removed).constData());
        QVERIFY(!QFileInfo::exists(unitFolder() + QStringLiteral("/com.tavrinai.server.service")));
    }

    void stopBootsTheServiceOutAndTreatsNotLoadedAsStopped() {
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        QCoro::waitFor(controller->refreshStatus());
        QVERIFY(controller->isRunning());
        QVERIFY(QCoro::waitFor(controller->stop()));
        QVERIFY(!controller->isRunning());
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()),
                 (ServiceStatusSnapshot{true, false, std::nullopt}));
        QVERIFY(QCoro::waitFor(controller->unregisterAgent()));
        QVERIFY(QCoro::waitFor(controller->stop())); // unknown unit: systemctl 5, launchctl 113
    }

    void aFailedBootoutReportsItsStatusAndChangesNothing() {
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        QCoro::waitFor(controller->refreshStatus());
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1");
        QSignalSpy running(controller.get(), &DaemonProcessController::isRunningChanged);
        const auto stopped = QCoro::waitFor(controller->stop());
        QVERIFY(!stopped);
        QCOMPARE(stopped.error().message(),
                 QStringLiteral("Could not start the background service: launchctl bootout exited 1"));
        QVERIFY(controller->isRunning());
        QCOMPARE(running.count(), 0);
    }

    void aToolThatCannotRunIsStatusMinusOne() {
        DaemonProcessControllerOptions o = options(true);
        o.systemctl = scratch->path() + QStringLiteral("/no-such-systemctl");
        controller = std::make_unique<DaemonProcessController>(o);
        const QStringList args{QStringLiteral("print"), controller->launchctlTarget()};
        const LaunchctlResult printed = QCoro::waitFor(controller->runLaunchctl(args));
        QCOMPARE(printed.status, -1);
        QCOMPARE(printed.output, QString());
        QCOMPARE(QCoro::waitFor(controller->stop()).error().message(),
                 QStringLiteral("Could not start the background service: launchctl bootout exited -1"));
    }

    void restartKickstartsTheRegisteredService() {
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        qputenv("SCRIPTED_SYSTEMCTL_MAINPID", "999");
        const auto restarted = QCoro::waitFor(controller->restart());
        QVERIFY2(restarted, failureOf(restarted).constData());
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()).pid, std::optional<qint32>(999));
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1");
        QCOMPARE(QCoro::waitFor(controller->restart()).error().message(),
                 QStringLiteral("Could not start the background service: launchctl kickstart exited 1"));
    }

    void startAtLoginFollowsTheSwitch() {
        QVERIFY(QCoro::waitFor(controller->setStartAtLogin(true)));
        QCOMPARE(QCoro::waitFor(controller->agentStatus()), AgentStatus::enabled);
        QVERIFY(QCoro::waitFor(controller->setStartAtLogin(true))); // already on: nothing to do
        QVERIFY(QCoro::waitFor(controller->setStartAtLogin(false)));
        QCOMPARE(QCoro::waitFor(controller->agentStatus()), AgentStatus::notRegistered);
        QVERIFY(!controller->loginServiceEnabled());
        QVERIFY(!controller->isRunning());
    }

    void aBundleWithoutItsUnitCannotRegister() {
        QVERIFY(QFile::remove(bundle->unit()));
        QCOMPARE(QCoro::waitFor(controller->agentStatus()), AgentStatus::notFound);
        const auto registered = QCoro::waitFor(controller->setStartAtLogin(true));
        QVERIFY(!registered);
        QCOMPARE(registered.error().message(), QStringLiteral("Could not start the background service: ") +
                                                   bundle->unit() +
                                                   QStringLiteral(": No such file or directory"));
    }

    void refreshWithAnUnreadablePidUsesTheStateLine() {
        qputenv("SCRIPTED_SYSTEMCTL_MAINPID", "abc");
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()),
                 (ServiceStatusSnapshot{true, true, std::nullopt}));
        // With a tracked child the child's id fills the gap.
        const qint32 pid = launchAndWaitUntilReady();
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{true, true, pid}));
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    int status = 0;
    {
        ServicePrintTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        SessionModeTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    {
        LoginServiceTest t;
        status |= QTest::qExec(&t, argc, argv);
    }
    return status;
}

#include "DaemonProcessControllerTest.moc"
