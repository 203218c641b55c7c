#include "state/ServerActions.h"

#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>
#include <QCoroTimer>
#include <QPointer>

#include <chrono>

namespace tavrin {

namespace {

// A server that starts answers within a few hundred milliseconds; one that takes longer than the
// quick checks is left to the regular poll.
constexpr std::chrono::milliseconds quickCheckInterval{100};
constexpr int quickChecks = 50; // about five seconds

ActionError failure(const DaemonProcessControllerError& error) { return {error.message()}; }

// A failed start of the server as a child says how to get back on track.
ActionError childStartFailure(const DaemonProcessControllerError& error) {
    return {error.message() +
            QCoreApplication::translate("ServerActions", " Re-run setup from Diagnostics → Re-run setup.")};
}

} // namespace

ServerActions::ServerActions(ServerStateModel* model) : m_model(model) {
    if (DaemonProcessController* process = m_model->process()) {
        connect(process, &DaemonProcessController::isRunningChanged, this, &ServerActions::serverRunningChanged);
        connect(process, &DaemonProcessController::loginServiceEnabledChanged, this,
                &ServerActions::loginServiceEnabledChanged);
    }
}

bool ServerActions::serverRunning() const { return m_model->process()->isRunning(); }
bool ServerActions::loginServiceEnabled() const { return m_model->process()->loginServiceEnabled(); }

// Every action keeps the model and the controller through guarded pointers: the application owns both
// for its whole life, but an action must still end quietly if they go first (at exit, in tests).

QCoro::Task<void> ServerActions::settle() {
    QPointer<ServerStateModel> model = m_model;
    QPointer<DaemonProcessController> process = m_model->process();
    const std::chrono::milliseconds once{0}; // named: see the note on temporaries in ServiceManager.h
    co_await QCoro::sleepFor(once);          // lets other work on the GUI thread run once
    if (process)
        co_await process->refreshStatus();
    if (model)
        co_await model->followChange();
}

QCoro::Task<void> ServerActions::settleAfterStart() {
    QPointer<ServerStateModel> model = m_model;
    QPointer<DaemonProcessController> process = m_model->process();
    QPointer<DaemonClient> client = m_model->client();
    // The service manager is asked first: by the time it has answered, a quick server is up.
    if (process)
        co_await process->refreshStatus();
    for (int check = 0; check < quickChecks && model && client; ++check) {
        if (co_await client->health())
            break;
        co_await QCoro::sleepFor(quickCheckInterval);
    }
    if (model)
        co_await model->refresh();
}

QCoro::Task<void> ServerActions::settleAfterStop() {
    QPointer<ServerStateModel> model = m_model;
    QPointer<DaemonProcessController> process = m_model->process();
    QPointer<DaemonClient> client = m_model->client();
    bool gone = false;
    if (process) {
        const ServiceStatusSnapshot seen = co_await process->refreshStatus();
        gone = !seen.running;
    }
    if (gone && client)
        gone = !co_await client->health();
    if (gone && model)
        model->showStopped();
    if (model)
        co_await model->followChange();
}

QCoro::Task<ActionResult> ServerActions::start() {
    QPointer<ServerActions> self(this);
    QPointer<DaemonProcessController> process = m_model->process();
    m_model->expectStop(false);
    m_model->noteRequest(ServerStateModel::Request::start);
    ActionResult result;
    if (co_await process->agentStatus() == AgentStatus::enabled) {
        if (!process)
            co_return result;
        if (auto restarted = co_await process->restart(); !restarted)
            result = std::unexpected(failure(restarted.error()));
    } else if (process) {
        const std::optional<QString> noSecret;
        if (auto launched = process->launchChildProcess(noSecret); !launched)
            result = std::unexpected(childStartFailure(launched.error()));
    }
    if (self) {
        // Named, never a conditional inside co_await (see "Writing a coroutine").
        QCoro::Task<void> after = result ? settleAfterStart() : settle();
        co_await std::move(after);
    }
    co_return result;
}

QCoro::Task<ActionResult> ServerActions::stop() {
    QPointer<ServerActions> self(this);
    QPointer<ServerStateModel> model = m_model;
    model->expectStop(true);
    model->noteRequest(ServerStateModel::Request::stop);
    ActionResult result;
    if (auto stopped = co_await model->process()->stop(); !stopped) {
        result = std::unexpected(failure(stopped.error()));
        if (model)
            model->expectStop(false);
    }
    if (self) {
        QCoro::Task<void> after = result ? settleAfterStop() : settle();
        co_await std::move(after);
    }
    co_return result;
}

QCoro::Task<void> ServerActions::stopFromTray() {
    QPointer<ServerActions> self(this);
    QPointer<DaemonProcessController> process = m_model->process();
    m_model->expectStop(true);
    m_model->noteRequest(ServerStateModel::Request::stop);
    const auto removed = co_await process->unregisterAgent();
    if (!removed && process && process->isRunning())
        co_await process->stop();
    if (!self)
        co_return;
    if (process && process->isRunning()) { // it would not go: what the poll reads next is no stop
        m_model->expectStop(false);
        co_await settle();
    } else {
        co_await settleAfterStop();
    }
}

QCoro::Task<ActionResult> ServerActions::setStartAtLogin(bool enabled) {
    QPointer<ServerActions> self(this);
    QPointer<DaemonProcessController> process = m_model->process();
    // Leaving start at login stops the login service's server with it.
    m_model->expectStop(!enabled);
    m_model->noteRequest(enabled ? ServerStateModel::Request::start : ServerStateModel::Request::stop);
    ActionResult result;
    if (auto changed = co_await process->setStartAtLogin(enabled); !changed) {
        result = std::unexpected(failure(changed.error()));
        if (self)
            m_model->expectStop(false);
        if (process)
            co_await process->agentStatus();
    }
    if (self) {
        QCoro::Task<void> after = !result ? settle() : enabled ? settleAfterStart() : settleAfterStop();
        co_await std::move(after);
    }
    co_return result;
}

QCoro::Task<ActionResult> ServerActions::removeFromLogin() {
    QPointer<ServerActions> self(this);
    m_model->expectStop(true);
    m_model->noteRequest(ServerStateModel::Request::stop);
    ActionResult result;
    if (auto removed = co_await m_model->process()->unregisterAgent(); !removed) {
        result = std::unexpected(failure(removed.error()));
        if (self)
            m_model->expectStop(false);
    }
    if (self) {
        QCoro::Task<void> after = result ? settleAfterStop() : settle();
        co_await std::move(after);
    }
    co_return result;
}

QCoro::Task<bool> ServerActions::readLoginService() {
    co_return co_await m_model->process()->agentStatus() == AgentStatus::enabled;
}

QCoro::Task<ActionOutcome<ClientServerStatus>> ServerActions::readStatus() {
    co_return outcomeOf(co_await m_model->client()->status());
}

QCoro::Task<void> ServerActions::leaveLoginBeforeQuit() {
    DaemonProcessController* process = m_model->process();
    if (process->isRunning())
        co_await process->unregisterAgent();
}

} // namespace tavrin
