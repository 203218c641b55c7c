#pragma once

#include <QFuture>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "protocol/Task.h"

#include <expected>

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

// What one `systemctl show` says about the login service: its registration, and its state in the
// words of launchctl's "print" ("state = …", "pid = …"; empty when the unit is unknown).
struct ServiceInspection {
    AgentStatus status = AgentStatus::notRegistered;
    QString printed;
};

// The per-user systemd manager, driven through `systemctl --user`. It answers the controller in
// launchctl's terms (bootout, kickstart -k, print) so that the controller's rules stay those of the
// product, and installs, enables and removes the login unit.
//
// Coroutines here: g++ 12 destroys a temporary argument of a coroutine call inside a co_await
// expression twice, and cannot compile a braced list there. Pass named values, never temporaries
// (see "Writing a coroutine" in docs/ARCHITECTURE.md).
class ServiceManager {
public:
    static constexpr const char* label = "com.tavrinai.server";
    static constexpr const char* unitName = "com.tavrinai.server.service";

    // `systemctl`: the tool to run; empty means $TAVRIN_SYSTEMCTL, else "systemctl" on the PATH.
    // `unitDirectory`: where user units go; empty means $XDG_CONFIG_HOME/systemd/user.
    explicit ServiceManager(QString bundlePath, QString systemctl = {}, QString unitDirectory = {});

    QString bundleUnitPath() const;    // <bundle>/lib/systemd/user/com.tavrinai.server.service
    QString installedUnitPath() const; // <unit folder>/com.tavrinai.server.service
    QString serverExecutable() const;  // <bundle>/libexec/tavrin-server
    QString systemctlProgram() const { return m_systemctl; }

    // The bundle unit's Environment= entries; empty when the unit is missing or unreadable.
    EnvironmentEntries bundleEnvironment() const;

    // `systemctl --user --no-pager <args>`, off the GUI thread; co_await the future.
    QFuture<ToolRun> systemctl(const QStringList& args) const;

    // launchctl-shaped: "bootout <target>", "kickstart -k <target>", "print <target>".
    QCoro::Task<ToolRun> launchctl(QStringList args) const;

    // One `systemctl is-enabled` (none when either unit file is missing).
    QCoro::Task<AgentStatus> status() const;
    // Registration and state from a single `systemctl show`; only where no manager runs (so
    // nothing can be running) is-enabled is asked for the registration.
    QCoro::Task<ServiceInspection> inspect() const;

    // Registering is two steps, so that a caller can free the port the service needs between them:
    // install() writes the unit with `environment`, reloads the manager and enables the unit;
    // start() starts it. A failed step removes what install() did, so status keeps telling the
    // truth. On failure: the manager's own words.
    QCoro::Task<std::expected<void, QString>> install(EnvironmentEntries environment) const;
    QCoro::Task<std::expected<void, QString>> start() const;
    QCoro::Task<std::expected<void, QString>> unregisterService() const;

private:
    QString m_bundlePath;
    QString m_systemctl;
    QString m_unitDirectory;
};

} // namespace tavrin
