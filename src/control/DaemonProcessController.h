#pragma once

#include "base/AdminSecretFile.h"
#include "base/StateFolder.h"
#include "control/ServiceManager.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include "protocol/Task.h"

#include <expected>
#include <optional>
#include <variant>

namespace tavrin {

class ChildProcess;
class SystemdUnitWatch;
struct ProcessIdentity;

// Every way a service operation can fail. message() is the exact text the user sees.
class DaemonProcessControllerError {
public:
    struct DaemonBinaryMissing {
        QString path;
        bool operator==(const DaemonBinaryMissing&) const = default;
    };
    struct WrongAppLocation {
        QString path;
        bool operator==(const WrongAppLocation&) const = default;
    };
    struct RegistrationFailed {
        QString text;
        bool operator==(const RegistrationFailed&) const = default;
    };
    struct SecretWriteFailed {
        QString text;
        bool operator==(const SecretWriteFailed&) const = default;
    };
    struct StopFailed {
        QString text;
        bool operator==(const StopFailed&) const = default;
    };
    using Case = std::variant<DaemonBinaryMissing, WrongAppLocation, RegistrationFailed, SecretWriteFailed, StopFailed>;

    static DaemonProcessControllerError daemonBinaryMissing(QString path) {
        return {DaemonBinaryMissing{std::move(path)}};
    }
    static DaemonProcessControllerError wrongAppLocation(QString path) {
        return {WrongAppLocation{std::move(path)}};
    }
    static DaemonProcessControllerError registrationFailed(QString text) {
        return {RegistrationFailed{std::move(text)}};
    }
    static DaemonProcessControllerError secretWriteFailed(QString text) {
        return {SecretWriteFailed{std::move(text)}};
    }
    static DaemonProcessControllerError stopFailed(QString text) { return {StopFailed{std::move(text)}}; }

    const Case& kind() const { return m_case; }
    template <class C> bool is() const { return std::holds_alternative<C>(m_case); }
    template <class C> const C* as() const { return std::get_if<C>(&m_case); }
    QString message() const;

    bool operator==(const DaemonProcessControllerError&) const = default;

private:
    DaemonProcessControllerError(Case c) : m_case(std::move(c)) {}
    Case m_case;
};

struct ServiceStatusSnapshot {
    bool registered = false;
    bool running = false;
    std::optional<qint32> pid;
    bool operator==(const ServiceStatusSnapshot&) const = default;
};

// What a refresh reports from the login service's unit: its own main process first, then a child
// this panel started. A unit systemd has not loaded runs nothing, whatever else it says.
ServiceStatusSnapshot statusSnapshot(const UnitState& unit, std::optional<qint32> childPid);

// What turning start at login on or off comes to, given the registration read just before.
enum class StartAtLoginStep { nothing, registerService, unregisterService };
StartAtLoginStep startAtLoginStep(AgentStatus status, bool enabled);

// Whether a stop of the login service did its job: a unit that is not loaded is as stopped as a stop
// could make it.
bool stoppedAsAsked(const ManagerResult<>& stopped);

struct DaemonProcessControllerOptions {
    QString bundlePath; // default: parent of the folder of the program as it was started
    QString requiredBundlePath = QStringLiteral("/opt/tavrin-keldmarch"); // for start at login
    QString systemctl;      // default: $TAVRIN_SYSTEMCTL, else systemctl
    QString unitDirectory;  // default: $XDG_CONFIG_HOME/systemd/user
    QString stateDirectory; // default: StateFolder::path()
    QString standardOutputLog; // default: SessionLogs in the state folder
    QString standardErrorLog;
};

// Installs, starts, stops, restarts and inspects the server, either as the systemd user service that
// starts at login or as a child process for this session. Lives on the GUI thread; the tool runs and
// the wait for a stopping process happen on workers and are applied back here.
//
// When the login service's unit changes in the user manager (it stops, crashes, or the manager
// comes or goes), the controller refreshes and publishes what it finds at once, without waiting for
// the next poll.
//
// Every server it starts, child or login service, is told the panel's state folder and the model
// folder the readiness step chose (StateFolder::variable, modelSourceVariable): a service started
// by the user manager does not see the panel's environment.
//
// A child outlives the panel (quitting leaves the server to its clients). The controller records the
// child it starts in the state folder ("session-server": its id and start time, private), and a later
// controller that finds the recorded process still there, this user's and running this bundle's
// server, tracks it as its own child: stop, the published state and a second start work on it as
// on a child it started. A record that names anything else is removed.
//
// The coroutines follow "Writing a coroutine" in docs/ARCHITECTURE.md: name every argument of a
// co_awaited call (`const std::optional<QString> none; co_await registerAgent(none);`).
class DaemonProcessController : public QObject {
    Q_OBJECT
    Q_PROPERTY(bool isRunning READ isRunning NOTIFY isRunningChanged)
    Q_PROPERTY(std::optional<qint32> pid READ pid NOTIFY pidChanged)
    Q_PROPERTY(bool loginServiceEnabled READ loginServiceEnabled NOTIFY loginServiceEnabledChanged)

public:
    using Error = DaemonProcessControllerError;
    template <class T = void> using Result = std::expected<T, Error>;

    explicit DaemonProcessController(DaemonProcessControllerOptions options = {}, QObject* parent = nullptr);
    ~DaemonProcessController() override;

    bool isRunning() const { return m_isRunning; }
    std::optional<qint32> pid() const { return m_pid; }
    // The last registration status read, as "enabled": what the start-at-login switch shows.
    bool loginServiceEnabled() const { return m_loginServiceEnabled; }

    QString bundlePath() const { return m_options.bundlePath; }
    QString serverExecutable() const;

    QCoro::Task<Result<>> registerAgent(std::optional<QString> adminSecret);
    Result<> launchChildProcess(std::optional<QString> adminSecret);
    QCoro::Task<Result<>> unregisterAgent();
    QCoro::Task<Result<>> setStartAtLogin(bool enabled);
    QCoro::Task<Result<>> stop();
    QCoro::Task<Result<>> restart();
    QCoro::Task<ServiceStatusSnapshot> refreshStatus();
    // The login service's registration; also publishes loginServiceEnabled.
    QCoro::Task<AgentStatus> agentStatus();

    // The panel's one writer of the admin password file; the state model writes through it too.
    Result<> writeAdminSecret(const QString& secret);
    AdminSecretFile adminSecretFile() const { return AdminSecretFile(m_options.stateDirectory); }
    EnvironmentEntries agentEnvironment() const;

Q_SIGNALS:
    void isRunningChanged();
    void pidChanged();
    void loginServiceEnabledChanged();

private:
    void setIsRunning(bool value);
    void setPid(std::optional<qint32> value);
    void setLoginServiceEnabled(bool value);
    void publishStopped();
    Result<> checkExecutable() const;
    EnvironmentEntries serverEnvironment() const;
    bool trackedChildRunning();
    QCoro::Task<void> stopChild();
    void track(ChildProcess* child);
    void childExited(ChildProcess* child);
    QString childRecordPath() const;
    void recordChild(const ChildProcess& child) const;
    void forgetChildRecord(const ProcessIdentity& identity) const;
    void adoptRecordedChild();
    QCoro::Task<void> followUnitChanges();

    DaemonProcessControllerOptions m_options;
    ServiceManager m_manager;
    QPointer<ChildProcess> m_child;
    SystemdUnitWatch* m_unitWatch = nullptr; // a child of this object
    bool m_followingUnit = false;
    bool m_unitChangedAgain = false;
    bool m_isRunning = false;
    std::optional<qint32> m_pid;
    bool m_loginServiceEnabled = false;
};

} // namespace tavrin
