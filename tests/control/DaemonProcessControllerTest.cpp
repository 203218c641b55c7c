#include "base/PrivateFile.h"
#include "base/StateFolder.h"
#include "control/ChildProcess.h"
#include "control/DaemonProcessController.h"
#include "control/LoginService.h"
#include "protocol/DaemonClient.h"
#include "protocol/JsonCodec.h"

#include "support/Basics.h"
#include "support/HttpProbe.h"
#include "support/ScriptedSystemd.h"

#include "TestBundle.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <sys/stat.h>
#include <thread>
#include <cstdio>
#include <sys/prctl.h>
#include <sys/wait.h>

using namespace tavrin;

Q_DECLARE_METATYPE(tavrin::ServiceStatusSnapshot)

namespace {

// Running, not merely waiting to be reaped.
bool processRunning(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (pid <= 0 || !stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray fields = stat.readAll();
    return fields.mid(fields.lastIndexOf(')') + 2, 1) != "Z";
}

QString readAll(const QString& path) { return QString::fromUtf8(test::fileBytes(path)); }

QString installedUnit() {
    return qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/systemd/user/com.tavrinai.server.service");
}

// The "listening on HOST:PORT" line the server prints once it accepts connections.
QUrl listeningUrl(const QString& log) {
    static const QRegularExpression listening(QStringLiteral("listening on ([^\\s:]+):(\\d+)"));
    const auto match = listening.match(readAll(log));
    return match.hasMatch() ? QUrl(QStringLiteral("http://%1:%2").arg(match.captured(1), match.captured(2))) : QUrl();
}

} // namespace

// Common ground: a temporary bundle whose libexec/tavrin-server is the test child, the scripted
// systemctl, private log files and state folder.
class ControllerFixture : public QObject {
    Q_OBJECT
protected:
    std::unique_ptr<TestBundle> bundle;
    std::unique_ptr<QTemporaryDir> scratch;
    std::unique_ptr<DaemonProcessController> controller;

    DaemonProcessControllerOptions options(bool atRequiredLocation = false) const {
        return bundle->controllerOptions(scratch->path(), atRequiredLocation);
    }
    QString report() const { return scratch->path() + QStringLiteral("/report"); }
    QString systemctlLog() const { return scratch->path() + QStringLiteral("/systemctl.log"); }
    QString secretFile() const { return options().stateDirectory + QStringLiteral("/admin.secret"); }
    QString childRecord() const { return options().stateDirectory + QStringLiteral("/session-server"); }

    void setUp(bool atRequiredLocation) {
        for (const char* name : {"SCRIPTED_SYSTEMCTL_NO_MANAGER", "SCRIPTED_SYSTEMCTL_FAIL_START",
                                 "SCRIPTED_SYSTEMCTL_MAINPID", "TAVRIN_TEST_CHILD_MODE"})
            qunsetenv(name);
        QDir(qEnvironmentVariable("XDG_CONFIG_HOME") + QStringLiteral("/systemd")).removeRecursively();
        QDir(qEnvironmentVariable("XDG_RUNTIME_DIR") + QStringLiteral("/scripted-systemd")).removeRecursively();
        QSettings().remove(QStringLiteral("TavrinServer.bundlePath"));
        bundle = std::make_unique<TestBundle>();
        scratch = std::make_unique<QTemporaryDir>();
        QVERIFY(bundle->installServer(QStringLiteral(TEST_CHILD)));
        QVERIFY(bundle->writeUnit("[Service]\nExecStart=/x serve\nEnvironment=TAVRIN_TEST_AGENT_VALUE=from-unit\n"));
        qputenv("TAVRIN_TEST_CHILD_REPORT", report().toUtf8());
        qputenv("SCRIPTED_SYSTEMCTL_LOG", systemctlLog().toUtf8());
        controller = std::make_unique<DaemonProcessController>(options(atRequiredLocation));
    }

    void tearDown() {
        if (!controller)
            return;
        const auto pid = controller->pid();
        QCoro::waitFor(controller->stop()); // a server outlives its panel, but not its test
        controller.reset();
        if (pid && *pid != 4321 && *pid != 999)
            QTRY_VERIFY(test::processGone(*pid));
    }

    qint32 launchAndWaitUntilReady(std::optional<QString> secret = std::nullopt) {
        const auto launched = controller->launchChildProcess(secret);
        [&] { TAVRIN_REQUIRE(launched); }();
        [&] { QTRY_VERIFY(readAll(report()).endsWith(QStringLiteral("ready\n"))); }();
        return controller->pid().value_or(-1);
    }

    // A folder the readiness step chose because it holds the companion's model.
    QString chooseModelFolder() {
        const QString folder = scratch->path() + QStringLiteral("/models/ModelResources");
        test::writeBytes(folder + QStringLiteral("/model.safetensors"), {});
        QSettings().setValue(QStringLiteral("TavrinServer.bundlePath"), scratch->path() + QStringLiteral("/models"));
        return scratch->path() + QStringLiteral("/models");
    }
};

class SessionModeTest : public ControllerFixture {
    Q_OBJECT
private Q_SLOTS:
    void init() { setUp(false); }
    void cleanup() { tearDown(); }

    void startsTheServerWithServeBothEnvironmentsAndThePanelsFolders() {
        qputenv("TAVRIN_TEST_AGENT_VALUE", "from-panel"); // the unit's entry replaces it
        qputenv("TAVRIN_TEST_PANEL_VALUE", "kept");
        const QString models = chooseModelFolder();
        QVERIFY(test::writeBytes(options().standardOutputLog, "earlier run\n"));
        QSignalSpy running(controller.get(), &DaemonProcessController::isRunningChanged);
        const qint32 pid = launchAndWaitUntilReady(QStringLiteral("launch-secret"));
        qunsetenv("TAVRIN_TEST_AGENT_VALUE");
        qunsetenv("TAVRIN_TEST_PANEL_VALUE");
        QVERIFY(controller->isRunning() && pid > 0 && !test::processGone(pid));
        QCOMPARE(running.count(), 1);
        QCOMPARE(readAll(report()), QStringLiteral("arg=serve\nTAVRIN_TEST_AGENT_VALUE=from-unit\n"
                                                   "TAVRIN_TEST_PANEL_VALUE=kept\nTAVRIN_STATE_DIR=%1\n"
                                                   "TAVRIN_MODEL_SOURCE=%2\nready\n")
                                        .arg(options().stateDirectory, models));
        QCOMPARE(readAll(secretFile()), QStringLiteral("launch-secret"));
        QCOMPARE(test::modeOf(secretFile()), mode_t(0600));
        QCOMPARE(test::modeOf(QFileInfo(secretFile()).path()), mode_t(0700));
        QTRY_COMPARE(readAll(options().standardOutputLog), QStringLiteral("earlier run\nlistening on 127.0.0.1:0\n"));
        QTRY_VERIFY(readAll(options().standardErrorLog).contains(QStringLiteral("started")));
        QCOMPARE(test::modeOf(options().standardErrorLog), mode_t(0600));

        // A stop terminates and reaps the child, without a word to the service manager.
        const auto stopped = QCoro::waitFor(controller->stop());
        TAVRIN_REQUIRE(stopped);
        QVERIFY(!controller->isRunning() && !controller->pid());
        QVERIFY2(test::processGone(pid), "the child is still there, or left as a zombie");
        QVERIFY(!readAll(systemctlLog()).contains(QStringLiteral("stop")));
    }

    // Its log planted as a symbolic link (into a file it must not write), the child starts anyway.
    void aChildThatExitsByItselfIsForgotten() {
        const QString target = scratch->path() + QStringLiteral("/target");
        QVERIFY(QFile::link(target, options().standardOutputLog));
        qputenv("TAVRIN_TEST_CHILD_MODE", "exit");
        const qint32 pid = launchAndWaitUntilReady();
        QVERIFY(!QFileInfo::exists(target));
        QTRY_VERIFY(!controller->isRunning() && !controller->pid());
        QTRY_VERIFY2(test::processGone(pid), "the exited child was left as a zombie");
        // And a new start launches a new process rather than adopting the dead one.
        qunsetenv("TAVRIN_TEST_CHILD_MODE");
        QFile::remove(report());
        QVERIFY(launchAndWaitUntilReady() != pid);
    }

    // By default the logs are the user's own, in the private state folder. A FIFO planted where a log
    // goes (opening one for writing waits for a reader) neither hangs the start nor gets the output.
    void theLogsAreInThePrivateStateFolderAndAPlantedFifoHangsNothing() {
        DaemonProcessControllerOptions defaults = options();
        defaults.standardOutputLog.clear();
        defaults.standardErrorLog.clear();
        controller = std::make_unique<DaemonProcessController>(defaults);
        const QString out = defaults.stateDirectory + QStringLiteral("/tavrin-server.out.log");
        const QString err = defaults.stateDirectory + QStringLiteral("/tavrin-server.err.log");
        QVERIFY(makeDirectories(defaults.stateDirectory));
        QCOMPARE(::mkfifo(QFile::encodeName(err).constData(), 0666), 0);

        // Should the start block on the FIFO, a reader comes after a while to let it go on, and says so.
        std::atomic<bool> readerNeeded = false;
        std::promise<void> started;
        std::thread rescue([&, done = started.get_future()] {
            if (done.wait_for(std::chrono::seconds(20)) == std::future_status::ready)
                return;
            readerNeeded = true;
            const int fd = ::open(QFile::encodeName(err).constData(), O_RDONLY | O_NONBLOCK);
            done.wait();
            ::close(fd);
        });
        const qint32 pid = launchAndWaitUntilReady();
        started.set_value();
        rescue.join();
        QVERIFY2(!readerNeeded, "the start waited for a reader of the planted FIFO");
        QVERIFY(pid > 0);
        QTRY_COMPARE(readAll(out), QStringLiteral("listening on 127.0.0.1:0\n"));
        QCOMPARE(test::modeOf(out), mode_t(0600));
        QCOMPARE(test::modeOf(defaults.stateDirectory), mode_t(0700));
    }

    // Past the deadline SIGKILL ends it, and the window's event loop runs on meanwhile: a callback
    // queued when the stop began runs while the server is still shown running.
    void aChildThatIgnoresSigtermIsKilledWhileTheEventLoopRuns() {
        qputenv("TAVRIN_TEST_CHILD_MODE", "ignore-term");
        const qint32 pid = launchAndWaitUntilReady();
        std::optional<bool> runningMeanwhile;
        QTimer::singleShot(0, [&] { runningMeanwhile = controller->isRunning(); });
        QVERIFY(QCoro::waitFor(controller->stop()));
        QCOMPARE(runningMeanwhile, std::optional(true));
        QVERIFY(test::processGone(pid));
        QVERIFY(!controller->isRunning());
    }

    void aChildOfADestroyedControllerIsStillReaped() {
        const qint32 pid = launchAndWaitUntilReady();
        controller.reset();
        QCOMPARE(::kill(pid, SIGTERM), 0);
        QTRY_VERIFY2(test::processGone(pid), "no one reaped the orphaned child");
    }

    void anExecutableThatIsMissingOrCannotRunStartsNothing() {
        QVERIFY(QFile::setPermissions(bundle->server(), QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(controller->launchChildProcess(std::nullopt).error().message(),
                 QStringLiteral("Could not start the background service: Could not launch tavrin-server: "
                                "Permission denied"));
        QVERIFY(QFile::remove(bundle->server()));
        const auto launched = controller->launchChildProcess(QStringLiteral("pw"));
        QCOMPARE(launched.error().message(), QStringLiteral("tavrin-server binary not found at ") + bundle->server() +
                                                 QStringLiteral(". Reinstall Tavrin Keldmarch."));
        QCOMPARE(QCoro::waitFor(controller->registerAgent(QStringLiteral("pw"))).error(), launched.error());
        QVERIFY(!QFileInfo::exists(secretFile()));
        QVERIFY(!controller->isRunning());
    }

    // Restart is the login service's: it leaves a child alone. Unregistering stops a child too, so
    // that "stopped" is true afterwards.
    void restartLeavesAChildAloneAndUnregisteringStopsIt() {
        controller = std::make_unique<DaemonProcessController>(options(true));
        const qint32 pid = launchAndWaitUntilReady();
        QCOMPARE(QCoro::waitFor(controller->restart()).error().message(),
                 QStringLiteral("Could not start the background service: Tavrin Keldmarch is not registered. "
                                "Re-run setup."));
        QVERIFY(controller->isRunning() && !test::processGone(pid));
        QVERIFY(QCoro::waitFor(controller->unregisterAgent()));
        QVERIFY(!controller->isRunning());
        QVERIFY(test::processGone(pid));
        QVERIFY(!QFileInfo::exists(childRecord()));
    }

    // A record is taken over only while it names the server it was written for: this user's
    // process, running this bundle's server, started when recorded. Anything else is removed, and
    // the process it names is left alone.
    void aRecordOfAnyOtherProcessIsRemovedAndItsProcessLeftAlone_data() {
        QTest::addColumn<QString>("program"); // run for the record to name; none: a record naming nothing
        QTest::addColumn<quint64>("startShift"); // added to its start time in the record
        QTest::addColumn<bool>("ownFolder");     // it runs with the panel's state folder
        QTest::newRow("an id now another run of the server") << "server" << quint64(1) << true;
        QTest::newRow("the user's server of another state folder") << "server" << quint64(0) << false;
        QTest::newRow("an id now another program's") << "/bin/sleep" << quint64(0) << true;
        QTest::newRow("a process that ended") << "/bin/true" << quint64(0) << true;
        QTest::newRow("a record that cannot be read") << "" << quint64(0) << true;
    }
    void aRecordOfAnyOtherProcessIsRemovedAndItsProcessLeftAlone() {
        QFETCH(QString, program);
        QFETCH(quint64, startShift);
        QFETCH(bool, ownFolder);
        QProcess named;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QString::fromLatin1(StateFolder::variable),
                           ownFolder ? options().stateDirectory : scratch->path() + QStringLiteral("/other state"));
        named.setProcessEnvironment(environment);
        QByteArray record = "4321\n";
        if (!program.isEmpty()) {
            named.start(program == "server" ? bundle->server() : program, {QStringLiteral("30")});
            const auto identity =
                named.waitForStarted() ? ProcessIdentity::of(pid_t(named.processId())) : std::nullopt;
            QVERIFY(identity && (program != "/bin/true" || named.waitForFinished()));
            record = ProcessIdentity{identity->pid, identity->startTime + startShift}.text();
        }
        QVERIFY(makeDirectories(options().stateDirectory) && writeFilePrivately(childRecord(), record));
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()),
                 (ServiceStatusSnapshot{false, false, std::nullopt}));
        QVERIFY(!QFileInfo::exists(childRecord()) && QCoro::waitFor(controller->stop()));
        QCOMPARE(processRunning(named.processId()), program == "server" || program == "/bin/sleep");
        named.kill();
        named.waitForFinished();
    }
};

// The login service, against the scripted systemctl.
class LoginServiceTest : public ControllerFixture {
    Q_OBJECT
private Q_SLOTS:
    void init() { setUp(true); }
    void cleanup() { tearDown(); }

    // Without its unit a bundle cannot register; away from the required location it registers nothing.
    void aBundleWithoutItsUnitOrAwayFromItsPlaceRegistersNothing() {
        QVERIFY(QFile::remove(bundle->unit()));
        QCOMPARE(QCoro::waitFor(controller->agentStatus()), AgentStatus::notFound);
        QCOMPARE(QCoro::waitFor(controller->setStartAtLogin(true)).error().message(),
                 QStringLiteral("Could not start the background service: ") + bundle->unit() +
                     QStringLiteral(": No such file or directory"));
        QFile::remove(systemctlLog());
        controller = std::make_unique<DaemonProcessController>(options(false));
        QCOMPARE(QCoro::waitFor(controller->registerAgent(QStringLiteral("pw"))).error().message(),
                 QStringLiteral("Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at ") +
                     bundle->path() + QStringLiteral(". Move it to /opt/tavrin-keldmarch and re-run setup."));
        QVERIFY(!QFileInfo::exists(systemctlLog()));
        QVERIFY(!QFileInfo::exists(secretFile()));
        launchAndWaitUntilReady(); // session mode does not care where it is installed
    }

    // The panel's bundle is named by the path it was started through, never by where links lead:
    // an install reached through a link to a versioned folder is at its place.
    void theBundleIsThePathThePanelWasStartedThrough_data() {
        QTest::addColumn<QString>("command"); // run by sh in a folder holding tavrin-keldmarch -> the build
        QTest::newRow("by its path") << "tavrin-keldmarch/bin/test-daemon-process-controller";
        QTest::newRow("by name on the PATH") << "PATH=\"$PWD/tavrin-keldmarch/bin\" exec test-daemon-process-controller";
        QTest::newRow("through a link to the program") << "exec \"$PWD/usr-bin/tavrin-keldmarch\"";
    }
    void theBundleIsThePathThePanelWasStartedThrough() {
        QFETCH(QString, command);
        const QString folder = scratch->path();
        const QString realBundle = QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/..")).canonicalFilePath();
        QVERIFY(QFile::link(realBundle, folder + QStringLiteral("/tavrin-keldmarch")));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/usr-bin")));
        QVERIFY(QFile::link(folder + QStringLiteral("/tavrin-keldmarch/bin/test-daemon-process-controller"),
                            folder + QStringLiteral("/usr-bin/tavrin-keldmarch")));
        QProcess run;
        run.setWorkingDirectory(folder);
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("TAVRIN_TEST_PRINT_BUNDLE_PATH"), QStringLiteral("1"));
        run.setProcessEnvironment(environment);
        run.start(QStringLiteral("/bin/sh"), {QStringLiteral("-c"), command});
        QVERIFY(run.waitForFinished(10'000));
        QCOMPARE(QString::fromUtf8(run.readAllStandardOutput()).trimmed(), folder + QStringLiteral("/tavrin-keldmarch"));
    }

    // The login service takes over from a session server, which must not stay on the port.
    // (That the installed unit hands the server the panel's folders is tried with the real server:
    // theLoginServiceFindsThePanelsPasswordAndChosenModelFolder.)
    void registeringWritesTheSecretAndInstallsEnablesAndStartsTheUnit() {
        const qint32 child = launchAndWaitUntilReady();
        QVERIFY(QCoro::waitFor(controller->registerAgent(QStringLiteral("pw"))));
        QVERIFY(test::processGone(child));
        QCOMPARE(readAll(secretFile()), QStringLiteral("pw"));
        QVERIFY(readAll(installedUnit()).contains("\nExecStart=\"" + bundle->server() + "\" serve\n"));
        QVERIFY(controller->loginServiceEnabled());
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{true, true, 4321}));
        QCOMPARE(controller->pid(), std::optional<qint32>(4321));
    }

    // Whatever step fails, the user is never left without the server that was running.
    void aFailedRegistrationLeavesASessionServerRunning_data() {
        QTest::addColumn<QByteArray>("fault");
        QTest::addColumn<QString>("message");
        QTest::newRow("no user manager") << QByteArray("SCRIPTED_SYSTEMCTL_NO_MANAGER")
                                         << "Could not start the background service: Failed to connect to bus: "
                                            "No such file or directory";
        QTest::newRow("the service does not start")
            << QByteArray("SCRIPTED_SYSTEMCTL_FAIL_START")
            << "Could not start the background service: Job for com.tavrinai.server.service failed because "
               "the control process exited with error code.";
    }
    void aFailedRegistrationLeavesASessionServerRunning() {
        QFETCH(QByteArray, fault);
        QFETCH(QString, message);
        launchAndWaitUntilReady();
        qputenv(fault.constData(), "1");
        QCOMPARE(QCoro::waitFor(controller->setStartAtLogin(true)).error().message(), message);
        QVERIFY(controller->isRunning() && !test::processGone(*controller->pid()));
        QVERIFY(!QFileInfo::exists(installedUnit()));
        qunsetenv(fault.constData());
        QCOMPARE(QCoro::waitFor(controller->agentStatus()), AgentStatus::notRegistered);
    }

    void unregisteringWithoutAManagerStillRemovesTheUnit() {
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        qputenv("SCRIPTED_SYSTEMCTL_NO_MANAGER", "1"); // nothing can run, so nothing needs stopping
        QVERIFY(QCoro::waitFor(controller->unregisterAgent()));
        QVERIFY(!QFileInfo::exists(installedUnit()));
    }

    // A step the manager refuses reports its words and changes nothing; a unit that is not loaded
    // is stopped. Then one systemctl run tells the state, whose running state stands in for an
    // unreadable pid.
    void eachStepFollowsTheManagersAnswer_data() {
        QTest::addColumn<QString>("fault"); // SCRIPTED_SYSTEMCTL_…, set once registered
        QTest::addColumn<QString>("steps");
        QTest::addColumn<bool>("refused"); // the last step, for want of a manager
        QTest::addColumn<ServiceStatusSnapshot>("after"); // refreshed once the fault is lifted
        using S = ServiceStatusSnapshot;
        QTest::newRow("stop") << "" << "stop" << false << S{true, false, std::nullopt};
        QTest::newRow("stop of a unit not loaded") << "" << "unregister stop" << false << S{false, false, std::nullopt};
        QTest::newRow("stop without a manager") << "NO_MANAGER=1" << "stop" << true << S{true, true, 4321};
        QTest::newRow("restart") << "MAINPID=999" << "restart" << false << S{true, true, 999};
        QTest::newRow("restart to an unreadable pid") << "MAINPID=abc" << "restart" << false << S{true, true, {}};
        QTest::newRow("restart without a manager") << "NO_MANAGER=1" << "restart" << true << S{true, true, 4321};
    }
    void eachStepFollowsTheManagersAnswer() {
        QFETCH(QString, fault);
        QFETCH(QString, steps);
        QFETCH(bool, refused);
        QFETCH(ServiceStatusSnapshot, after);
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        QCoro::waitFor(controller->refreshStatus());
        const QByteArray variable = "SCRIPTED_SYSTEMCTL_" + fault.section('=', 0, 0).toUtf8();
        qputenv(variable.constData(), fault.section('=', 1).toUtf8());
        QSignalSpy running(controller.get(), &DaemonProcessController::isRunningChanged);
        DaemonProcessController::Result<> result;
        for (const QString& step : steps.split(' '))
            result = QCoro::waitFor(step == "stop"      ? controller->stop()
                                    : step == "restart" ? controller->restart()
                                                        : controller->unregisterAgent());
        // A failed stop says so in its own words, not a start's.
        const QString verb = steps.endsWith("stop") ? QStringLiteral("stop") : QStringLiteral("start");
        QCOMPARE(result ? QString() : result.error().message(),
                 refused ? "Could not " + verb + " the background service: Failed to connect to bus: "
                                                 "No such file or directory"
                         : QString());
        QCOMPARE(controller->isRunning(), after.running);
        QCOMPARE(running.count() > 0, !refused && steps.contains("stop"));
        qunsetenv(variable.constData());
        QFile::remove(systemctlLog());
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), after);
        QCOMPARE(readAll(systemctlLog()).count(QLatin1Char('\n')), 1);
    }

    // Beside the manager's answers the scripted one gives: the unit's own main process first, then a
    // child's; a unit systemd has not loaded runs nothing.
    void aRefreshReportsTheServiceThenTheChild() {
        using A = AgentStatus;
        const std::tuple<UnitState, std::optional<qint32>, ServiceStatusSnapshot> rows[] = {
            {{A::enabled, true, true, 4321}, 77, {true, true, 4321}},
            {{A::enabled, true, false, 4321}, std::nullopt, {true, true, 4321}}, // a main process runs
            {{A::enabled, true, true, std::nullopt}, 77, {true, true, 77}},
            {{A::enabled, false, true, 4321}, std::nullopt, {true, false, std::nullopt}}};
        for (const auto& [unit, child, expected] : rows)
            QCOMPARE(statusSnapshot(unit, child), expected);
    }

    void aControllerGoneWhileTheSwitchIsTurnedIsLeftAlone() {
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        for (bool enabled : {false, true}) {
            auto task = controller->setStartAtLogin(enabled); // waits for systemctl's answer
            controller.reset();                               // the panel quit meanwhile
            QCoro::waitFor(std::move(task));
            controller = std::make_unique<DaemonProcessController>(options(true));
        }
        QCOMPARE(QCoro::waitFor(controller->agentStatus()), AgentStatus::enabled);
    }
};

// The login service, with the user manager on the session bus (the scripted one): the controller asks
// it over D-Bus and hears from it when the unit changes.
class LoginServiceOverTheBusTest : public ControllerFixture {
    Q_OBJECT
    std::unique_ptr<test::ScriptedSystemd> manager;
    const QString unit = QLatin1String(ServiceManager::unitName);

    // What the manager was asked to change, in order (reads and subscriptions left out).
    QStringList changesAsked() {
        QStringList changes = manager->calls();
        changes.removeIf([](const QString& call) {
            return call == "Subscribe" || call == "LoadUnit" || call == "GetUnitFileState";
        });
        return changes;
    }

private Q_SLOTS:
    void init() {
        setUp(true);
        manager = std::make_unique<test::ScriptedSystemd>();
        QVERIFY(manager->start());
    }
    void cleanup() {
        tearDown();
        manager.reset();
    }

    void theWholeWalkGoesOverTheBusWithoutRunningSystemctl() {
        QVERIFY(QCoro::waitFor(controller->registerAgent(QStringLiteral("pw"))));
        QVERIFY(controller->loginServiceEnabled());
        QVERIFY(QFileInfo(qEnvironmentVariable("XDG_CONFIG_HOME") + "/systemd/user/default.target.wants/" + unit).isSymLink());
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{true, true, 4321}));
        QVERIFY(QCoro::waitFor(controller->stop()));
        QVERIFY(!controller->isRunning() && !controller->pid());
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{true, false, std::nullopt}));
        QVERIFY(QCoro::waitFor(controller->restart()));
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{true, true, 4321}));
        QVERIFY(QCoro::waitFor(controller->unregisterAgent()));
        QVERIFY(!QFileInfo::exists(installedUnit()));
        QCOMPARE(QCoro::waitFor(controller->agentStatus()), AgentStatus::notRegistered);
        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{false, false, std::nullopt}));
        QVERIFY(QCoro::waitFor(controller->stop())); // a unit the manager no longer has is stopped
        QCOMPARE(changesAsked(), (QStringList{"Reload", "EnableUnitFiles", "Reload", "StartUnit", "StopUnit",
                                              "RestartUnit", "DisableUnitFiles", "Reload", "StopUnit", "Reload",
                                              "StopUnit"}));
        QVERIFY2(!QFileInfo::exists(systemctlLog()), qPrintable(readAll(systemctlLog())));
    }

    // The manager tells of a crash as it happens; nobody asks for a refresh.
    void aCrashOfTheLoginServiceIsPublishedWhenItHappens() {
        QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
        QCoro::waitFor(controller->refreshStatus());
        QVERIFY(controller->isRunning());
        QSignalSpy stopped(controller.get(), &DaemonProcessController::isRunningChanged);
        QVERIFY(manager->crash(unit));
        QTRY_VERIFY(!controller->isRunning());
        QVERIFY(!controller->pid());
        QVERIFY(controller->loginServiceEnabled()); // still registered: systemd will try it again at login
        QVERIFY(stopped.count() > 0);
    }

    // The controller decides on what the manager says, so the manager says the same whether it was
    // asked over the bus or through systemctl (the scripted one, once the manager is off the bus), and
    // a failed start leaves no unit behind.
    void theManagerFailsInTheSameWordsEitherWay_data() {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("installed"); // the unit installed and enabled first
        QTest::addColumn<int>("reason");     // ManagerFailure::Reason
        QTest::addColumn<QString>("words");
        const QString unitName = QLatin1String(ServiceManager::unitName);
        QTest::newRow("a start of a unit not installed")
            << "start" << false << int(ManagerFailure::Reason::unitNotLoaded)
            << "Failed to start " + unitName + ": Unit " + unitName + " not found.";
        QTest::newRow("a stop of a unit not loaded")
            << "stop" << false << int(ManagerFailure::Reason::unitNotLoaded)
            << "Failed to stop " + unitName + ": Unit " + unitName + " not loaded.";
        QTest::newRow("a start whose server exits at once")
            << "start" << true << int(ManagerFailure::Reason::refused)
            << "Job for " + unitName + " failed because the control process exited with error code.";
    }
    void theManagerFailsInTheSameWordsEitherWay() {
        QFETCH(QString, operation);
        QFETCH(bool, installed);
        QFETCH(int, reason);
        QFETCH(QString, words);
        const ServiceManager service(bundle->path(), QStringLiteral(SCRIPTED_SYSTEMCTL));
        const EnvironmentEntries environment;
        const auto ask = [&] {
            if (installed) {
                const ManagerResult<> done = QCoro::waitFor(service.install(environment));
                [&] { QVERIFY2(done, qPrintable(done ? QString() : done.error().words)); }();
            }
            const ManagerResult<> answer = QCoro::waitFor(operation == "start" ? service.start() : service.stop());
            [&] { QVERIFY(!QFileInfo::exists(installedUnit())); }(); // a failed start leaves no unit
            return answer;
        };
        QVERIFY(manager->failStarts(true));
        const ManagerResult<> overTheBus = ask();
        manager.reset();
        qputenv("SCRIPTED_SYSTEMCTL_FAIL_START", "1");
        const ManagerResult<> bySystemctl = ask();
        qunsetenv("SCRIPTED_SYSTEMCTL_FAIL_START");
        for (const ManagerResult<>& answer : {overTheBus, bySystemctl}) {
            QVERIFY(!answer);
            QCOMPARE(answer.error().words, words);
            QCOMPARE(int(answer.error().reason), reason);
        }
    }

    // A manager that leaves the bus while a call waits for its answer fails that call, at once.
    void aManagerThatVanishesMidCallFailsTheCall_data() {
        QTest::addColumn<QString>("method");   // the call it leaves without answering
        QTest::addColumn<QString>("operation"); // what the controller was doing
        QTest::addColumn<QString>("message");
        QTest::newRow("a start") << "StartUnit" << "register"
                                 << "Could not start the background service: The user manager went away before "
                                    "it answered.";
        QTest::newRow("a stop") << "StopUnit" << "stop"
                                << "Could not stop the background service: The user manager went away before it "
                                   "answered.";
        QTest::newRow("a restart") << "RestartUnit" << "restart"
                                   << "Could not start the background service: The user manager went away before "
                                      "it answered.";
        QTest::newRow("a status read") << "GetAll" << "refresh" << "";
    }
    void aManagerThatVanishesMidCallFailsTheCall() {
        QFETCH(QString, method);
        QFETCH(QString, operation);
        QFETCH(QString, message);
        if (operation != "register") {
            QVERIFY(QCoro::waitFor(controller->registerAgent(std::nullopt)));
            QCoro::waitFor(controller->refreshStatus());
        }
        QVERIFY(manager->vanishOn(method));
        if (operation == "refresh") {
            // What the manager took with it runs no longer; the unit file stays registered.
            QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{true, false, std::nullopt}));
        } else {
            const auto result = QCoro::waitFor(operation == "register" ? controller->registerAgent(std::nullopt)
                                               : operation == "stop"   ? controller->stop()
                                                                       : controller->restart());
            QCOMPARE(result ? QString() : result.error().message(), message);
        }
        QTRY_VERIFY(manager->ended()); // its exit reaches QProcess through the event loop
    }
};

// The controller driving the real reference server over real HTTP. The bundle's libexec/tavrin-server
// execs the server (same process id) on a free port, so parallel runs never meet on port 11434;
// everything else the server finds by itself, from what the panel gave it.
class WithTheReferenceServerTest : public ControllerFixture {
    Q_OBJECT
    const QString m_server = qEnvironmentVariable("TAVRIN_BUILD_DIR") + QStringLiteral("/libexec/tavrin-server");

    // Where a server would look on its own: the panel's folder must reach it anyway.
    QString foreignHome() const { return scratch->path() + QStringLiteral("/elsewhere"); }

    QUrl waitForListening() {
        QUrl url;
        [&] { QTRY_VERIFY_WITH_TIMEOUT((url = listeningUrl(options().standardOutputLog)).isValid(), 15'000); }();
        return url;
    }

    // The folder the readiness step settled on, holding a valid model bundle.
    void chooseSampleModel() {
        const QString folder = scratch->path() + QStringLiteral("/companion resources");
        [&] { QCOMPARE(test::runProgram(m_server, {QStringLiteral("make-sample-bundle"), folder}).status, 0); }();
        QSettings().setValue(QStringLiteral("TavrinServer.bundlePath"), folder);
    }

private Q_SLOTS:
    void initTestCase() {
        if (!QFileInfo(m_server).isExecutable())
            QSKIP("the reference server is not built in this tree");
    }
    void init() {
        setUp(true);
        QVERIFY(bundle->installWrapper(m_server, QStringLiteral("--port 0")));
        qputenv("XDG_DATA_HOME", foreignHome().toUtf8()); // the last tests of this program: left set
    }
    void cleanup() { tearDown(); }

    void aChildServesThePanelsPasswordAndChosenModelFolder() {
        chooseSampleModel();
        QVERIFY(controller->launchChildProcess(QStringLiteral("correct horse battery staple")));
        const QUrl url = waitForListening();
        DaemonClient client(url, QStringLiteral("correct horse battery staple"));
        const auto status = QCoro::waitFor(client.status());
        TAVRIN_REQUIRE(status);
        QCOMPARE(status->stateDirectory, options().stateDirectory);
        QVERIFY2(status->model.running, "the server found no model in the folder the panel chose");

        // A second start adopts the serving process and leaves its password alone.
        const auto pid = controller->pid();
        QVERIFY(controller->launchChildProcess(QStringLiteral("second-password")));
        QCOMPARE(controller->pid(), pid);
        QVERIFY(QCoro::waitFor(client.status()));
    }

    // A server outlives the panel that started it, however the panel ends, and keeps answering; the
    // next panel takes it over as its own child and stops it. The panel is a program of its own,
    // under a stand-in for the desktop's session manager (see playRole()).
    void aServerOutlivesItsPanelAndTheNextPanelStopsIt_data() {
        QTest::addColumn<QString>("ending");
        QTest::addColumn<bool>("upgraded"); // the server's program file replaced while it runs
        QTest::newRow("the panel quits") << "quit" << false;
        QTest::newRow("the panel's terminal hangs up") << "hangup" << false;
        QTest::newRow("an upgrade replaced the server, then the panel quit") << "quit" << true;
    }
    void aServerOutlivesItsPanelAndTheNextPanelStopsIt() {
        QFETCH(QString, ending);
        QFETCH(bool, upgraded);
        // The recorded process is the server itself: a link to it, or a copy that an upgrade replaces.
        QVERIFY(upgraded ? bundle->installServer(m_server) : bundle->linkServer(m_server));
        // Free ports: the client surface's in the saved settings, the admin API's any (TAVRIN_ADMIN_PORT=0,
        // as the test session sets it).
        const ClientNetworkPreferences freePort{
            QStringLiteral("127.0.0.1"), test::freeLoopbackPort(), false, std::nullopt, {}, {}};
        QVERIFY(makeDirectories(options().stateDirectory) &&
                writeFilePrivately(options().stateDirectory + QStringLiteral("/network.json"), encodeJson(freePort)));
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const auto& [name, value] :
             {std::pair{"TAVRIN_TEST_ROLE", QStringLiteral("session")}, {"TAVRIN_TEST_PANEL_ENDS", ending},
              {"TAVRIN_TEST_BUNDLE", bundle->path()}, {"TAVRIN_TEST_SCRATCH", scratch->path()}})
            environment.insert(QLatin1String(name), value);
        QProcess session;
        session.setProcessEnvironment(environment);
        session.start(QCoreApplication::applicationFilePath(), QStringList());
        QByteArray said; // the server's id, then "panel ended"
        QTRY_VERIFY_WITH_TIMEOUT((said += session.readAllStandardOutput()).count('\n') >= 2, 15'000);
        const qint32 pid = said.split('\n').value(0).toInt();
        QCOMPARE(said.split('\n').value(1), QByteArray("panel ended"));
        if (upgraded)
            QVERIFY(bundle->installServer(m_server)); // a new file at the same path; the old one is gone

        static const QRegularExpression adminApi(QStringLiteral("admin API on 127.0.0.1:(\\d+)"));
        QString port;
        QTRY_VERIFY2((port = adminApi.match(readAll(options().standardOutputLog)).captured(1)) != QString(),
                     qPrintable(readAll(options().standardErrorLog)));
        DaemonClient client(QUrl(QStringLiteral("http://127.0.0.1:") + port), std::nullopt);
        QVERIFY2(QCoro::waitFor(client.health()), "the server ended with its panel");

        QCOMPARE(QCoro::waitFor(controller->refreshStatus()), (ServiceStatusSnapshot{false, true, pid}));
        QVERIFY(QCoro::waitFor(controller->stop()));
        QVERIFY(!controller->isRunning() && !QFileInfo::exists(childRecord()));
        // It ends once the server it took over has ended and been reaped.
        QTRY_COMPARE_WITH_TIMEOUT(session.state(), QProcess::NotRunning, 10'000);
        QVERIFY(test::processGone(pid));
    }

    // The user manager starts the login service with its own environment, not the panel's: what the
    // installed unit says must be enough for the server to find the panel's password and model.
    void theLoginServiceFindsThePanelsPasswordAndChosenModelFolder() {
        chooseSampleModel();
        QVERIFY(QCoro::waitFor(controller->registerAgent(QStringLiteral("login-service-password"))));
        QProcessEnvironment managers;
        managers.insert(QStringLiteral("HOME"), foreignHome());
        managers.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        for (const auto& [name, value] : parseUnitEnvironment(readAll(installedUnit())))
            managers.insert(name, value);
        QProcess service;
        service.setProcessEnvironment(managers);
        service.setStandardOutputFile(options().standardOutputLog);
        service.start(bundle->server(), {QStringLiteral("serve")});
        const QUrl url = waitForListening();
        DaemonClient client(url, QStringLiteral("login-service-password"));
        const auto status = QCoro::waitFor(client.status());
        service.terminate();
        service.waitForFinished(10'000);
        TAVRIN_REQUIRE(status);
        QVERIFY(status->model.running);
        QVERIFY(QCoro::waitFor(controller->unregisterAgent()));
    }
};

// Started again by aServerOutlivesItsPanelAndTheNextPanelStopsIt as TAVRIN_TEST_ROLE says.
int playRole(const QString& role) {
    if (role == QLatin1String("session")) {
        // Where a desktop's session manager stands: the panel's parent, which takes over what the panel
        // leaves running and reaps it, and here ends once all of that has ended.
        ::prctl(PR_SET_CHILD_SUBREAPER, 1);
        qputenv("TAVRIN_TEST_ROLE", "panel");
        const QByteArray self = QFile::encodeName(QCoreApplication::applicationFilePath());
        const pid_t panel = ::fork();
        if (panel == 0) {
            ::setpgid(0, 0); // a process group of its own, as a terminal gives each program
            ::execl(self.constData(), self.constData(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::waitpid(panel, nullptr, 0);
        std::printf("panel ended\n");
        std::fflush(stdout);
        while (::wait(nullptr) > 0 || errno == EINTR) {
        }
        return 0;
    }
    DaemonProcessController panel(TestBundle::controllerOptionsFor(qEnvironmentVariable("TAVRIN_TEST_BUNDLE"),
                                                                   qEnvironmentVariable("TAVRIN_TEST_SCRATCH")));
    if (!panel.launchChildProcess(std::nullopt))
        return 1;
    std::printf("%d\n", int(*panel.pid()));
    std::fflush(stdout);
    if (qEnvironmentVariable("TAVRIN_TEST_PANEL_ENDS") == QLatin1String("hangup"))
        ::kill(0, SIGHUP); // its terminal closes: its whole process group hangs up
    return 0;
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavrin Keldmarch Tests"));
    if (qEnvironmentVariableIsSet("TAVRIN_TEST_ROLE"))
        return playRole(qEnvironmentVariable("TAVRIN_TEST_ROLE"));
    // Started again by the bundle test, through links, to say where it thinks its bundle is.
    if (qEnvironmentVariableIsSet("TAVRIN_TEST_PRINT_BUNDLE_PATH")) {
        std::printf("%s\n", qPrintable(DaemonProcessController().bundlePath()));
        return 0;
    }
    SessionModeTest session;
    LoginServiceTest login;
    LoginServiceOverTheBusTest overTheBus;
    WithTheReferenceServerTest reference;
    int status = 0;
    for (QObject* test : std::initializer_list<QObject*>{&session, &login, &overTheBus, &reference})
        status |= QTest::qExec(test, argc, argv);
    return status;
}

#include "DaemonProcessControllerTest.moc"
