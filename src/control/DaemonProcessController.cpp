#include "control/DaemonProcessController.h"

#include "base/PrivateFile.h"
#include "control/ChildProcess.h"
#include "control/CompanionModelLocator.h"
#include "control/OffThread.h"
#include "control/SystemdBus.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcessEnvironment>

#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

template <class... F> struct Overloaded : F... { using F::operator()...; };

// The product's stop deadline for a child that was asked to terminate.
constexpr std::chrono::milliseconds stopDeadline{5'000};
// After SIGKILL the kernel ends the process promptly; this only bounds a process stuck in the kernel.
constexpr std::chrono::milliseconds killGrace{2'000};

// The parent of the folder of the program as it was started, taken as text, as the install check
// compares it: an install reached through a link to a versioned folder (/opt/tavrin-keldmarch ->
// /opt/tavrin-keldmarch-1.4) is where it was started from. Only links to the program file itself
// are followed, since a launcher such as /usr/bin/tavrin-keldmarch says where the program lives.
// The kernel's name for it (/proc/self/exe, applicationDirPath) has every link resolved, so it
// serves only when the name the program was started by cannot be found.
QString bundlePathOfThisProgram() {
    QString program = QCoreApplication::arguments().value(0);
    if (!program.isEmpty() && !program.contains(QLatin1Char('/'))) {
        const QString name = std::exchange(program, QString());
        for (const QString& folder : qEnvironmentVariable("PATH").split(QLatin1Char(':'))) {
            const QFileInfo candidate((folder.isEmpty() ? QDir::currentPath() : folder) + QLatin1Char('/') + name);
            if (candidate.isFile() && candidate.isExecutable()) {
                program = candidate.filePath();
                break;
            }
        }
    }
    if (!program.isEmpty() && QDir::isRelativePath(program))
        program = QDir::currentPath() + QLatin1Char('/') + program;
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(QFile::encodeName(program).constData(), target, sizeof target);
        if (n <= 0 || n == ssize_t(sizeof target))
            break;
        const QString next = QFile::decodeName(QByteArray(target, n));
        program = QDir::cleanPath(QDir::isRelativePath(next) ? QFileInfo(program).path() + QLatin1Char('/') + next : next);
    }
    if (program.isEmpty() || !QFileInfo(program).isFile())
        return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    return QDir::cleanPath(QFileInfo(program).path() + QStringLiteral("/.."));
}

DaemonProcessControllerOptions resolved(DaemonProcessControllerOptions options) {
    if (options.bundlePath.isEmpty())
        options.bundlePath = bundlePathOfThisProgram();
    if (options.stateDirectory.isEmpty())
        options.stateDirectory = StateFolder::path();
    if (options.standardOutputLog.isEmpty())
        options.standardOutputLog = SessionLogs::standardOutputIn(options.stateDirectory);
    if (options.standardErrorLog.isEmpty())
        options.standardErrorLog = SessionLogs::standardErrorIn(options.stateDirectory);
    return options;
}

} // namespace

QString DaemonProcessControllerError::message() const {
    return std::visit(
        Overloaded{
            [](const DaemonBinaryMissing& e) {
                return QStringLiteral("tavrin-server binary not found at ") + e.path +
                       QStringLiteral(". Reinstall Tavrin Keldmarch.");
            },
            [](const WrongAppLocation& e) {
                return QStringLiteral(
                           "Tavrin Keldmarch must be installed in /opt/tavrin-keldmarch. Currently at ") +
                       e.path + QStringLiteral(". Move it to /opt/tavrin-keldmarch and re-run setup.");
            },
            [](const RegistrationFailed& e) {
                return QStringLiteral("Could not start the background service: ") + e.text;
            },
            [](const SecretWriteFailed& e) {
                return QStringLiteral("Could not save the admin password: ") + e.text;
            },
            [](const StopFailed& e) { return QStringLiteral("Could not stop the background service: ") + e.text; },
        },
        m_case);
}

ServiceStatusSnapshot statusSnapshot(const UnitState& unit, std::optional<qint32> childPid) {
    ServiceStatusSnapshot snapshot{unit.registration == AgentStatus::enabled, false, std::nullopt};
    if (unit.loaded) {
        snapshot.pid = unit.mainPid;
        snapshot.running = unit.running || unit.mainPid; // a main process is a running one
    }
    if (!snapshot.pid && childPid) {
        snapshot.pid = childPid;
        snapshot.running = true;
    }
    return snapshot;
}

StartAtLoginStep startAtLoginStep(AgentStatus status, bool enabled) {
    const bool registered = status == AgentStatus::enabled || status == AgentStatus::requiresApproval;
    if (enabled == registered)
        return StartAtLoginStep::nothing;
    return enabled ? StartAtLoginStep::registerService : StartAtLoginStep::unregisterService;
}

bool stoppedAsAsked(const ManagerResult<>& stopped) {
    return stopped || stopped.error().reason == ManagerFailure::Reason::unitNotLoaded;
}

DaemonProcessController::DaemonProcessController(DaemonProcessControllerOptions options, QObject* parent)
    : QObject(parent), m_options(resolved(std::move(options))),
      m_manager(m_options.bundlePath, m_options.systemctl, m_options.unitDirectory),
      m_unitWatch(new SystemdUnitWatch(QLatin1String(ServiceManager::unitName), QDBusConnection::sessionBus(), this)) {
    connect(m_unitWatch, &SystemdUnitWatch::changed, this, [this] { followUnitChanges(); });
}

// One refresh at a time: changes that arrive during one are read by one more refresh after it.
QCoro::Task<void> DaemonProcessController::followUnitChanges() {
    QPointer self(this);
    if (m_followingUnit) {
        m_unitChangedAgain = true;
        co_return;
    }
    m_followingUnit = true;
    do {
        m_unitChangedAgain = false;
        co_await refreshStatus();
    } while (self && m_unitChangedAgain);
    if (self)
        m_followingUnit = false;
}

// A child still running is left to run, for a later panel to take over: it is reaped when it ends
// (ChildProcess owns itself), and its record then names a process that is gone.
DaemonProcessController::~DaemonProcessController() = default;

void DaemonProcessController::setIsRunning(bool value) {
    m_isRunning = value;
    Q_EMIT isRunningChanged();
}

void DaemonProcessController::setPid(std::optional<qint32> value) {
    m_pid = value;
    Q_EMIT pidChanged();
}

void DaemonProcessController::setLoginServiceEnabled(bool value) {
    m_loginServiceEnabled = value;
    Q_EMIT loginServiceEnabledChanged();
}

void DaemonProcessController::publishStopped() {
    setIsRunning(false);
    setPid(std::nullopt);
}

QString DaemonProcessController::serverExecutable() const {
    return m_manager.serverExecutable();
}

EnvironmentEntries DaemonProcessController::agentEnvironment() const {
    return m_manager.bundleEnvironment();
}

DaemonProcessController::Result<> DaemonProcessController::checkExecutable() const {
    if (!QFileInfo::exists(serverExecutable()))
        return std::unexpected(Error::daemonBinaryMissing(serverExecutable()));
    return {};
}

bool DaemonProcessController::trackedChildRunning() {
    if (!m_child)
        adoptRecordedChild();
    return m_child && m_child->isRunning();
}

QString DaemonProcessController::childRecordPath() const {
    return m_options.stateDirectory + QStringLiteral("/session-server");
}

// Best effort: without its record the server runs all the same; only a later panel cannot take it over.
void DaemonProcessController::recordChild(const ChildProcess& child) const {
    if (!makeDirectories(m_options.stateDirectory))
        return;
    ::chmod(QFile::encodeName(m_options.stateDirectory).constData(), 0700);
    (void)writeFilePrivately(childRecordPath(), child.identity().text());
}

void DaemonProcessController::forgetChildRecord(const ProcessIdentity& identity) const {
    QFile record(childRecordPath());
    if (record.open(QIODevice::ReadOnly) && ProcessIdentity::fromText(record.read(64)) == identity)
        record.remove();
}

void DaemonProcessController::adoptRecordedChild() {
    QFile record(childRecordPath());
    if (!record.open(QIODevice::ReadOnly)) // no server left by an earlier panel: the common case
        return;
    const std::optional<ProcessIdentity> recorded = ProcessIdentity::fromText(record.read(64));
    ChildProcess* child = recorded ? ChildProcess::adopt(*recorded, serverExecutable(), m_options.stateDirectory) : nullptr;
    if (!child) { // it ended, or its id now belongs to another process
        record.remove();
        return;
    }
    track(child);
}

void DaemonProcessController::track(ChildProcess* child) {
    // The controller is held weakly (the connection dies with it); the process owns itself.
    connect(child, &ChildProcess::exited, this, [this, child] { childExited(child); });
    m_child = child;
}

DaemonProcessController::Result<> DaemonProcessController::writeAdminSecret(const QString& secret) {
    if (auto written = adminSecretFile().write(secret); !written)
        return std::unexpected(Error::secretWriteFailed(written.error().message()));
    return {};
}

EnvironmentEntries DaemonProcessController::serverEnvironment() const {
    EnvironmentEntries environment = agentEnvironment();
    environment.append({QLatin1String(StateFolder::variable), m_options.stateDirectory});
    if (const std::optional<QString> models = CompanionModelLocator::chosenFolder())
        environment.append({QLatin1String(modelSourceVariable), *models});
    return environment;
}

QCoro::Task<AgentStatus> DaemonProcessController::agentStatus() {
    QPointer self(this);
    const AgentStatus status = co_await m_manager.registration();
    if (self)
        setLoginServiceEnabled(status == AgentStatus::enabled);
    co_return status;
}

QCoro::Task<DaemonProcessController::Result<>>
DaemonProcessController::registerAgent(std::optional<QString> adminSecret) {
    QPointer self(this);
    if (auto checked = checkExecutable(); !checked)
        co_return checked;
    // A plain text comparison: a symbolic link or a different letter case is another place.
    if (m_options.bundlePath != m_options.requiredBundlePath)
        co_return std::unexpected(Error::wrongAppLocation(m_options.bundlePath));
    if (adminSecret)
        if (auto written = writeAdminSecret(*adminSecret); !written)
            co_return written;

    const EnvironmentEntries environment = serverEnvironment();
    const auto installed = co_await m_manager.install(environment);
    if (!self)
        co_return std::unexpected(Error::registrationFailed(QStringLiteral("the panel is closing")));
    if (!installed)
        co_return std::unexpected(Error::registrationFailed(installed.error().words));

    // The service needs the port a session server started here holds. That server goes only now
    // that the service is installed, and comes back if the service then does not start: the user
    // is never left without the server that was running.
    const bool hadChild = trackedChildRunning();
    if (hadChild)
        co_await stopChild();
    if (!self)
        co_return std::unexpected(Error::registrationFailed(QStringLiteral("the panel is closing")));
    const auto started = co_await m_manager.start();
    if (!self)
        co_return std::unexpected(Error::registrationFailed(QStringLiteral("the panel is closing")));
    if (!started) {
        setLoginServiceEnabled(false);
        if (hadChild)
            (void)launchChildProcess(std::nullopt); // the password file is already in place
        co_return std::unexpected(Error::registrationFailed(started.error().words));
    }

    // Read back, so that the start-at-login switch shows what systemd now holds.
    co_await agentStatus();
    co_return Result<>{};
}

DaemonProcessController::Result<>
DaemonProcessController::launchChildProcess(std::optional<QString> adminSecret) {
    if (auto checked = checkExecutable(); !checked)
        return checked;
    if (!m_child)
        adoptRecordedChild();
    if (m_child && !m_child->isRunning()) {
        // Its exit report is still queued and will be ignored once it is untracked: publish it now,
        // so that a launch failing below does not leave a dead server shown as running.
        m_child = nullptr;
        publishStopped();
    }
    if (m_child) { // a second start adopts the first process, and leaves the password file alone
        setIsRunning(true);
        setPid(m_child->pid());
        return {};
    }
    if (adminSecret)
        if (auto written = writeAdminSecret(*adminSecret); !written)
            return written;

    // The logs go to the state folder by default, which the child's record needs too; only the user
    // may enter it.
    if (makeDirectories(m_options.stateDirectory))
        ::chmod(QFile::encodeName(m_options.stateDirectory).constData(), 0700);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : serverEnvironment())
        environment.insert(name, value);
    const ChildLaunch launch{serverExecutable(),
                             {QStringLiteral("serve")},
                             environment.toStringList(),
                             m_options.standardOutputLog,
                             m_options.standardErrorLog};
    const auto started = ChildProcess::launch(launch);
    if (!started)
        return std::unexpected(
            Error::registrationFailed(QStringLiteral("Could not launch tavrin-server: ") + started.error()));

    ChildProcess* child = *started;
    track(child);
    recordChild(*child);
    setIsRunning(true);
    setPid(child->pid());
    return {};
}

void DaemonProcessController::childExited(ChildProcess* child) {
    forgetChildRecord(child->identity());
    if (m_child != child) // a process the controller no longer tracks changes nothing more
        return;
    m_child = nullptr;
    publishStopped();
}

QCoro::Task<void> DaemonProcessController::stopChild() {
    QPointer self(this);
    QPointer<ChildProcess> child = m_child;
    const ProcessIdentity identity = child->identity();
    child->terminate();
    ChildProcess::Waiter waiter = child->waiter();
    co_await offThread([waiter]() mutable {
        if (!waiter.waitForExit(stopDeadline)) {
            waiter.kill();
            waiter.waitForExit(killGrace);
        }
        waiter.close();
        return true;
    });
    const bool gone = !child || !child->isRunning(); // reaps it now if the event loop has not yet
    if (!self)
        co_return;
    if (gone)
        forgetChildRecord(identity);
    if (m_child == child)
        m_child = nullptr;
    publishStopped();
}

QCoro::Task<DaemonProcessController::Result<>> DaemonProcessController::stop() {
    QPointer self(this);
    if (trackedChildRunning()) {
        co_await stopChild();
        co_return Result<>{};
    }
    const ManagerResult<> stopped = co_await m_manager.stop();
    if (!self)
        co_return Result<>{};
    if (!stoppedAsAsked(stopped))
        co_return std::unexpected(Error::stopFailed(stopped.error().words));
    publishStopped();
    co_return Result<>{};
}

QCoro::Task<DaemonProcessController::Result<>> DaemonProcessController::restart() {
    QPointer self(this);
    if (co_await agentStatus() != AgentStatus::enabled)
        co_return std::unexpected(
            Error::registrationFailed(QStringLiteral("Tavrin Keldmarch is not registered. Re-run setup.")));
    if (!self)
        co_return Result<>{};
    // In place: systemd stops the unit's server and starts it again, as one job.
    const ManagerResult<> restarted = co_await m_manager.restart();
    if (!restarted)
        co_return std::unexpected(Error::registrationFailed(restarted.error().words));
    co_return Result<>{};
}

QCoro::Task<DaemonProcessController::Result<>> DaemonProcessController::unregisterAgent() {
    QPointer self(this);
    const ManagerResult<> removed = co_await m_manager.uninstall();
    if (!self)
        co_return Result<>{};
    if (!removed)
        co_return std::unexpected(Error::registrationFailed(removed.error().words));
    setLoginServiceEnabled(false);
    // "Stopped" must be true: a session-mode server started here goes down with the service.
    if (trackedChildRunning())
        co_await stopChild();
    if (self)
        publishStopped();
    co_return Result<>{};
}

QCoro::Task<DaemonProcessController::Result<>> DaemonProcessController::setStartAtLogin(bool enabled) {
    QPointer self(this);
    const AgentStatus status = co_await agentStatus();
    if (!self)
        co_return std::unexpected(Error::registrationFailed(QStringLiteral("the panel is closing")));
    const StartAtLoginStep step = startAtLoginStep(status, enabled);
    if (step == StartAtLoginStep::registerService) {
        const std::optional<QString> noSecret; // named: see "Writing a coroutine" in docs/ARCHITECTURE.md
        co_return co_await registerAgent(noSecret);
    }
    if (step == StartAtLoginStep::unregisterService)
        co_return co_await unregisterAgent();
    co_return Result<>{};
}

QCoro::Task<ServiceStatusSnapshot> DaemonProcessController::refreshStatus() {
    QPointer self(this);
    const UnitState unit = co_await m_manager.inspect(); // bus calls, or one systemctl run
    if (!self)
        co_return ServiceStatusSnapshot{};
    setLoginServiceEnabled(unit.registration == AgentStatus::enabled);

    const ServiceStatusSnapshot snapshot =
        statusSnapshot(unit, trackedChildRunning() ? std::optional<qint32>(m_child->pid()) : std::nullopt);
    setIsRunning(snapshot.running);
    setPid(snapshot.pid);
    co_return snapshot;
}

} // namespace tavrin
