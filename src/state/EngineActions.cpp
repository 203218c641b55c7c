#include "state/EngineActions.h"

#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QPointer>

namespace tavrin {

QCoro::Task<ActionOutcome<EngineOverview>> EngineActions::show() {
    DaemonClient* client = m_model->client();
    const ClientResult<ClientEngineSettings> settings = co_await client->engineSettings();
    if (!settings)
        co_return std::unexpected(actionErrorOf(settings.error()));
    const ClientResult<ClientServerStatus> status = co_await client->status();
    if (!status)
        co_return std::unexpected(actionErrorOf(status.error()));
    EngineOverview overview{settings->kind, settings->url, settings->model, settings->servedName,
                            settings->keyFile, settings->timeoutSeconds, settings->connectTimeoutSeconds,
                            false, std::nullopt, std::nullopt, std::nullopt};
    // A server with but one engine tells nothing of its health; it answered, so it serves.
    if (const std::optional<ClientEngineHealth>& health = status->engine) {
        overview.servedName = health->servedName ? health->servedName : overview.servedName;
        overview.reachable = health->reachable;
        overview.modelListed = health->modelListed;
        overview.lastError = health->lastError;
        overview.checkedAt = health->checkedAt;
    } else {
        overview.reachable = true;
    }
    co_return overview;
}

QCoro::Task<ActionOutcome<ClientEngineSettings>> EngineActions::settings() {
    co_return outcomeOf(co_await m_model->client()->engineSettings());
}

QCoro::Task<ActionOutcome<ClientEngineSettings>> EngineActions::set(ClientEngineSettings settings) {
    settings.kind = QLatin1StringView(openaiKind);
    return save(std::move(settings));
}

QCoro::Task<ActionOutcome<ClientEngineSettings>> EngineActions::setBuiltin() {
    ClientEngineSettings settings;
    settings.kind = QLatin1StringView(builtinKind);
    return save(std::move(settings));
}

QCoro::Task<ActionOutcome<ClientEngineSettings>> EngineActions::save(ClientEngineSettings settings) {
    QPointer<ServerStateModel> model = m_model; // it may go while the save waits
    // Named first: no temporary goes to a coroutine inside a co_await (see "Writing a coroutine").
    QCoro::Task<ClientResult<ClientEngineSettings>> saving = m_model->client()->updateEngineSettings(std::move(settings));
    ClientResult<ClientEngineSettings> saved = co_await std::move(saving);
    if (saved && model)
        co_await model->followChange();
    co_return outcomeOf(std::move(saved));
}

QCoro::Task<ActionOutcome<ClientEngineTestResult>> EngineActions::test() {
    co_return outcomeOf(co_await m_model->client()->testEngine());
}

} // namespace tavrin
