#pragma once

#include "control/DaemonProcessControllerError.h"
#include "control/ServiceManager.h"

#include "protocol/Task.h"

#include <optional>

namespace tavrin {

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

// The login service as the product speaks of it: each of the service manager's answers, in systemd's
// terms, taken by the rules above and failed in the product's words ("Could not start the background
// service: " and the manager's own). A value, copied into each of its coroutines, so that one may
// outlive the controller that started it.
class LoginService {
public:
    LoginService(QString bundlePath, QString systemctl, QString unitDirectory)
        : m_manager(std::move(bundlePath), std::move(systemctl), std::move(unitDirectory)) {}

    // The bundle unit's Environment= entries.
    EnvironmentEntries bundleEnvironment() const { return m_manager.bundleEnvironment(); }

    QCoro::Task<AgentStatus> registration() const;
    QCoro::Task<UnitState> inspect() const;
    // Registering is these two steps, so that the caller can free the port between them.
    QCoro::Task<ControllerResult<>> install(EnvironmentEntries environment) const;
    QCoro::Task<ControllerResult<>> start() const;
    QCoro::Task<ControllerResult<>> stop() const;
    // In place: systemd stops the unit's server and starts it again, as one job.
    QCoro::Task<ControllerResult<>> restart() const;
    QCoro::Task<ControllerResult<>> uninstall() const;

private:
    ServiceManager m_manager;
};

} // namespace tavrin
