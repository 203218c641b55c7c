#include "control/LoginService.h"

namespace tavrin {

namespace {

using Error = DaemonProcessControllerError;

// A coroutine cannot return a braced success; this names it.
ControllerResult<> succeeded() {
    return {};
}

ControllerResult<> startedOrWhyNot(const ManagerResult<>& done) {
    if (!done)
        return std::unexpected(Error::registrationFailed(done.error().words));
    return succeeded();
}

} // namespace

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

QCoro::Task<AgentStatus> LoginService::registration() const {
    const LoginService self = *this;
    co_return co_await self.m_manager.registration();
}

QCoro::Task<UnitState> LoginService::inspect() const {
    const LoginService self = *this;
    co_return co_await self.m_manager.inspect(); // bus calls, or one systemctl run
}

QCoro::Task<ControllerResult<>> LoginService::install(EnvironmentEntries environment) const {
    const LoginService self = *this;
    const EnvironmentEntries entries = std::move(environment); // named: see "Writing a coroutine"
    co_return startedOrWhyNot(co_await self.m_manager.install(entries));
}

QCoro::Task<ControllerResult<>> LoginService::start() const {
    const LoginService self = *this;
    co_return startedOrWhyNot(co_await self.m_manager.start());
}

QCoro::Task<ControllerResult<>> LoginService::stop() const {
    const LoginService self = *this;
    const ManagerResult<> stopped = co_await self.m_manager.stop();
    if (!stoppedAsAsked(stopped))
        co_return std::unexpected(Error::stopFailed(stopped.error().words));
    co_return succeeded();
}

QCoro::Task<ControllerResult<>> LoginService::restart() const {
    const LoginService self = *this;
    co_return startedOrWhyNot(co_await self.m_manager.restart());
}

QCoro::Task<ControllerResult<>> LoginService::uninstall() const {
    const LoginService self = *this;
    co_return startedOrWhyNot(co_await self.m_manager.uninstall());
}

} // namespace tavrin
