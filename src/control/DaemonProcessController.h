#pragma once

#include "base/AdminSecretFile.h"
#include "base/StateFolder.h"
#include "control/DaemonProcessControllerError.h"
#include "control/LoginService.h"
#include "control/ServerBundle.h"
#include "control/ServerHandover.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include "protocol/Task.h"

#include <expected>
#include <optional>

namespace tavrin {

class SessionServer;
class SystemdUnitWatch;

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
// starts at login or as a child process for this session: the façade the state layer acts through,
// composed of one part per job. ServerBundle finds the bundle and its server, ServerHandover gives a
// server what it needs (its folders, the password file), LoginService drives the service manager,
// SessionServer runs, records and takes over the session's server, DaemonProcessControllerError
// words every failure. What is left here is the product's order of steps across them and what the
// controller publishes. Lives on the GUI thread; the tool runs and the wait for a stopping process
// happen on workers and are applied back here.
//
// When the login service's unit changes in the user manager (it stops, crashes, or the manager
// comes or goes), the controller refreshes and publishes what it finds at once, without waiting for
// the next poll.
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
    template <class T = void> using Result = ControllerResult<T>;

    explicit DaemonProcessController(DaemonProcessControllerOptions options = {}, QObject* parent = nullptr);
    ~DaemonProcessController() override;

    bool isRunning() const { return m_isRunning; }
    std::optional<qint32> pid() const { return m_pid; }
    // The last registration status read, as "enabled": what the start-at-login switch shows.
    bool loginServiceEnabled() const { return m_loginServiceEnabled; }

    QString bundlePath() const { return m_bundle.path(); }
    QString serverExecutable() const { return m_bundle.server(); }

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
    Result<> writeAdminSecret(const QString& secret) { return m_handover.writeAdminSecret(secret); }
    AdminSecretFile adminSecretFile() const { return m_handover.adminSecretFile(); }
    EnvironmentEntries agentEnvironment() const { return m_login.bundleEnvironment(); }

Q_SIGNALS:
    void isRunningChanged();
    void pidChanged();
    void loginServiceEnabledChanged();

private:
    struct Resolved {
        DaemonProcessControllerOptions options; // every default filled in
    };
    DaemonProcessController(Resolved resolved, QObject* parent);

    void setIsRunning(bool value);
    void setPid(std::optional<qint32> value);
    void setLoginServiceEnabled(bool value);
    void publishRunning(qint32 pid);
    void publishStopped();
    EnvironmentEntries serverEnvironment() const;
    QCoro::Task<void> followUnitChanges();

    ServerBundle m_bundle;
    ServerHandover m_handover;
    LoginService m_login;
    SessionServer* m_session;                // a child of this object
    SystemdUnitWatch* m_unitWatch = nullptr; // a child of this object
    bool m_followingUnit = false;
    bool m_unitChangedAgain = false;
    bool m_isRunning = false;
    std::optional<qint32> m_pid;
    bool m_loginServiceEnabled = false;
};

} // namespace tavrin
