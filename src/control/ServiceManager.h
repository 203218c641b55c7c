#pragma once

#include <QFuture>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "protocol/Task.h"

#include <expected>
#include <optional>

namespace tavrin {

// What a command-line tool said: exit status (-1 when it could not be run at all or did not end
// normally), standard output and standard error.
struct ToolRun {
    int status = -1;
    QString output;
    QString errorOutput;
};

// The login service's registration, with the codes the controller compares.
enum class AgentStatus {
    notRegistered = 0,
    enabled = 1,
    requiresApproval = 2, // never reported by systemd; kept so every path that handles it stays
    notFound = 3,
};

// An ordered list of environment entries (a later entry of the same name wins when applied).
using EnvironmentEntries = QList<QPair<QString, QString>>;

// The `Environment=` entries of the [Service] section of a systemd unit, unquoted and unescaped the
// way systemd reads them. Never fails: text it cannot use is skipped.
EnvironmentEntries parseUnitEnvironment(const QString& unitText);

// The user unit installed for start at login.
QString renderUserUnit(const QString& serverExecutable, const EnvironmentEntries& environment);

// Why the user manager did not do what it was asked, with its own words for the user.
struct ManagerFailure {
    enum class Reason {
        refused,       // it answered no (or could not be run at all)
        unitNotLoaded, // it has no such unit loaded, so none of it runs
        noManager,     // no user manager runs in this session, so no unit runs either
    };
    Reason reason = Reason::refused;
    QString words;
    bool operator==(const ManagerFailure&) const = default;
};
template <class T = void> using ManagerResult = std::expected<T, ManagerFailure>;

// What systemd says of the login service's unit, as one `systemctl show` or one round of D-Bus
// property reads gives it. A manager that cannot be asked shows nothing loaded: without one no unit
// runs.
struct UnitState {
    AgentStatus registration = AgentStatus::notRegistered;
    bool loaded = false;           // systemd has the unit: its LoadState is anything but not-found
    bool running = false;          // SubState=running
    std::optional<qint32> mainPid; // MainPID, when it names a process
    bool operator==(const UnitState&) const = default;
};

// The per-user systemd manager: it installs, enables, starts, stops, restarts, inspects and removes
// the login service's unit, and says what it found or why it failed in systemd's own terms. What
// those mean for the product is the controller's to decide.
//
// Two ways to ask it. When the manager is on the session bus (`org.freedesktop.systemd1`), every
// operation is a D-Bus call (SystemdBus): no process per refresh, typed properties instead of text.
// When it is not, `systemctl --user` is run as before. That fallback is kept on purpose: systemctl
// reaches a manager through its private socket even where the session bus does not carry it, and
// its unit-file verbs work with no manager at all, which is what lets the unit be removed and its
// registration read in a session without one. Both ways fail in the same words, so the
// controller decides the same whichever answered.
//
// Coroutines here: g++ 12 destroys a temporary argument of a coroutine call inside a co_await
// expression twice, and cannot compile a braced list there. Pass named values, never temporaries
// (see "Writing a coroutine" in docs/ARCHITECTURE.md).
class ServiceManager {
public:
    static constexpr const char* unitName = "com.tavrinai.server.service";

    // `systemctl`: the tool to run; empty means $TAVRIN_SYSTEMCTL, else "systemctl" on the PATH.
    // `unitDirectory`: where user units go; empty means $XDG_CONFIG_HOME/systemd/user.
    explicit ServiceManager(QString bundlePath, QString systemctl = {}, QString unitDirectory = {});

    QString bundleUnitPath() const;    // <bundle>/lib/systemd/user/com.tavrinai.server.service
    QString installedUnitPath() const; // <unit folder>/com.tavrinai.server.service
    QString serverExecutable() const;  // <bundle>/libexec/tavrin-server

    // The bundle unit's Environment= entries; empty when the unit is missing or unreadable.
    EnvironmentEntries bundleEnvironment() const;

    // The manager's GetUnitFileState, or one `systemctl is-enabled` (neither when either unit file is
    // missing).
    QCoro::Task<AgentStatus> registration() const;
    // The unit's registration and state from its properties (LoadUnit and two GetAll over the bus)
    // or from a single `systemctl show`; only where no manager runs (so nothing can be running) the
    // registration is asked for apart.
    QCoro::Task<UnitState> inspect() const;

    // Registering is two steps, so that a caller can free the port the service needs between them:
    // install() writes the unit with `environment`, reloads the manager and enables the unit;
    // start() starts it. A failed step removes what install() did, so the registration keeps
    // telling the truth.
    QCoro::Task<ManagerResult<>> install(EnvironmentEntries environment) const;
    QCoro::Task<ManagerResult<>> start() const;
    // A stop and a restart of the unit, as they are.
    QCoro::Task<ManagerResult<>> stop() const;
    QCoro::Task<ManagerResult<>> restart() const;
    // Disables and stops the unit and removes it; a unit that no manager could be running is removed
    // all the same.
    QCoro::Task<ManagerResult<>> uninstall() const;

private:
    // One step of a registration, by bus or by systemctl: "daemon-reload", "enable", "disable",
    // "start", "stop" or "restart" of the unit.
    QCoro::Task<ManagerResult<>> step(bool viaBus, QString verb) const;
    // `systemctl --user --no-pager <args>`, off the GUI thread; co_await the future.
    QFuture<ToolRun> systemctl(const QStringList& args) const;
    ManagerFailure failureOf(const ToolRun& run) const;

    QString m_bundlePath;
    QString m_systemctl;
    QString m_unitDirectory;
};

} // namespace tavrin
