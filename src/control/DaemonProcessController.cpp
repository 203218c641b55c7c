#include "control/DaemonProcessController.h"

#include "control/SessionServer.h"
#include "control/SystemdBus.h"

#include <QCoreApplication>

namespace tavrin {

namespace {

DaemonProcessControllerOptions resolved(DaemonProcessControllerOptions options) {
    if (options.bundlePath.isEmpty())
        options.bundlePath = ServerBundle::ofThisProgram();
    if (options.stateDirectory.isEmpty())
        options.stateDirectory = StateFolder::path();
    if (options.standardOutputLog.isEmpty())
        options.standardOutputLog = SessionLogs::standardOutputIn(options.stateDirectory);
    if (options.standardErrorLog.isEmpty())
        options.standardErrorLog = SessionLogs::standardErrorIn(options.stateDirectory);
    return options;
}

QString closing() {
    return QCoreApplication::translate("DaemonProcessController", "the panel is closing");
}

} // namespace

DaemonProcessController::DaemonProcessController(DaemonProcessControllerOptions options, QObject* parent)
    : DaemonProcessController(Resolved{resolved(std::move(options))}, parent) {}

DaemonProcessController::DaemonProcessController(Resolved resolved, QObject* parent)
    : QObject(parent), m_bundle(resolved.options.bundlePath, resolved.options.requiredBundlePath),
      m_handover(resolved.options.stateDirectory),
      m_login(resolved.options.bundlePath, resolved.options.systemctl, resolved.options.unitDirectory),
      m_session(new SessionServer({m_bundle.server(), resolved.options.stateDirectory,
                                   resolved.options.standardOutputLog, resolved.options.standardErrorLog},
                                  this)),
      m_unitWatch(new SystemdUnitWatch(QLatin1String(ServiceManager::unitName), QDBusConnection::sessionBus(), this)) {
    connect(m_session, &SessionServer::exited, this, &DaemonProcessController::publishStopped);
    connect(m_unitWatch, &SystemdUnitWatch::changed, this, [this] { followUnitChanges(); });
}

DaemonProcessController::~DaemonProcessController() = default;

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

void DaemonProcessController::publishRunning(qint32 pid) {
    setIsRunning(true);
    setPid(pid);
}

void DaemonProcessController::publishStopped() {
    setIsRunning(false);
    setPid(std::nullopt);
}

EnvironmentEntries DaemonProcessController::serverEnvironment() const {
    return m_handover.environment(m_login.bundleEnvironment());
}

QCoro::Task<AgentStatus> DaemonProcessController::agentStatus() {
    QPointer self(this);
    const AgentStatus status = co_await m_login.registration();
    if (self)
        setLoginServiceEnabled(status == AgentStatus::enabled);
    co_return status;
}

QCoro::Task<DaemonProcessController::Result<>>
DaemonProcessController::registerAgent(std::optional<QString> adminSecret) {
    QPointer self(this);
    if (auto present = m_bundle.serverPresent(); !present)
        co_return present;
    if (auto placed = m_bundle.atRequiredPlace(); !placed)
        co_return placed;
    if (adminSecret)
        if (auto written = writeAdminSecret(*adminSecret); !written)
            co_return written;

    const EnvironmentEntries environment = serverEnvironment();
    const LoginService login = m_login;
    const Result<> installed = co_await login.install(environment);
    if (!self)
        co_return std::unexpected(Error::registrationFailed(closing()));
    if (!installed)
        co_return installed;

    // The service needs the port a session server started here holds. That server goes only now
    // that the service is installed, and comes back if the service then does not start: the user
    // is never left without the server that was running.
    const bool hadChild = m_session->running();
    if (hadChild) {
        co_await m_session->stop();
        if (self)
            publishStopped();
    }
    if (!self)
        co_return std::unexpected(Error::registrationFailed(closing()));
    const Result<> started = co_await login.start();
    if (!self)
        co_return std::unexpected(Error::registrationFailed(closing()));
    if (!started) {
        setLoginServiceEnabled(false);
        if (hadChild)
            (void)launchChildProcess(std::nullopt); // the password file is already in place
        co_return started;
    }

    // Read back, so that the start-at-login switch shows what systemd now holds.
    co_await agentStatus();
    co_return Result<>{};
}

DaemonProcessController::Result<>
DaemonProcessController::launchChildProcess(std::optional<QString> adminSecret) {
    if (auto present = m_bundle.serverPresent(); !present)
        return present;
    // A second start takes the first server on, and leaves the password file alone.
    if (const std::optional<qint32> running = m_session->alreadyRunning()) {
        publishRunning(*running);
        return {};
    }
    if (adminSecret)
        if (auto written = writeAdminSecret(*adminSecret); !written)
            return written;
    const auto launched = m_session->launch(serverEnvironment());
    if (!launched)
        return std::unexpected(Error::registrationFailed(
            QCoreApplication::translate("DaemonProcessController", "Could not launch tavrin-server: %1")
                .arg(launched.error())));
    publishRunning(*launched);
    return {};
}

QCoro::Task<DaemonProcessController::Result<>> DaemonProcessController::stop() {
    QPointer self(this);
    if (m_session->running()) {
        co_await m_session->stop();
        if (self)
            publishStopped();
        co_return Result<>{};
    }
    const LoginService login = m_login;
    const Result<> stopped = co_await login.stop();
    if (!self)
        co_return Result<>{};
    if (!stopped)
        co_return stopped;
    publishStopped();
    co_return Result<>{};
}

QCoro::Task<DaemonProcessController::Result<>> DaemonProcessController::restart() {
    QPointer self(this);
    if (co_await agentStatus() != AgentStatus::enabled)
        co_return std::unexpected(Error::registrationFailed(QCoreApplication::translate(
            "DaemonProcessController", "Tavrin Keldmarch is not registered. Re-run setup.")));
    if (!self)
        co_return Result<>{};
    const LoginService login = m_login;
    co_return co_await login.restart();
}

QCoro::Task<DaemonProcessController::Result<>> DaemonProcessController::unregisterAgent() {
    QPointer self(this);
    const LoginService login = m_login;
    const Result<> removed = co_await login.uninstall();
    if (!self)
        co_return Result<>{};
    if (!removed)
        co_return removed;
    setLoginServiceEnabled(false);
    // "Stopped" must be true: a session-mode server started here goes down with the service.
    if (m_session->running())
        co_await m_session->stop();
    if (self)
        publishStopped();
    co_return Result<>{};
}

QCoro::Task<DaemonProcessController::Result<>> DaemonProcessController::setStartAtLogin(bool enabled) {
    QPointer self(this);
    const AgentStatus status = co_await agentStatus();
    if (!self)
        co_return std::unexpected(Error::registrationFailed(closing()));
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
    const LoginService login = m_login;
    const UnitState unit = co_await login.inspect();
    if (!self)
        co_return ServiceStatusSnapshot{};
    setLoginServiceEnabled(unit.registration == AgentStatus::enabled);

    const ServiceStatusSnapshot snapshot =
        statusSnapshot(unit, m_session->running() ? m_session->pid() : std::nullopt);
    setIsRunning(snapshot.running);
    setPid(snapshot.pid);
    co_return snapshot;
}

} // namespace tavrin
