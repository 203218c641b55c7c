#include "state/UpdateActions.h"

#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QPointer>

namespace tavrin {

// The model may go while a call waits (at exit, in tests): it is held weakly, and the client is taken
// from it before the first wait, as the application keeps the client for the model's whole life.

QCoro::Task<ActionOutcome<ClientUpdaterStatus>> UpdateActions::updater() {
    co_return outcomeOf(co_await m_model->client()->updaterStatus());
}

QCoro::Task<ActionOutcome<ClientUpdateCheckResponse>> UpdateActions::check() {
    QPointer<ServerStateModel> model = m_model;
    ClientResult<ClientUpdateCheckResponse> checked = co_await m_model->client()->checkForUpdates();
    if (checked && model)
        co_await model->followChange();
    co_return outcomeOf(std::move(checked));
}

QCoro::Task<ActionOutcome<UpdateDownloaded>> UpdateActions::download() {
    QPointer<ServerStateModel> model = m_model;
    DaemonClient* client = m_model->client();
    const ClientResult<ClientUpdateDownloadResponse> downloaded = co_await client->downloadUpdate();
    if (!downloaded)
        co_return std::unexpected(actionErrorOf(downloaded.error()));
    ClientResult<ClientUpdaterStatus> after = co_await client->updaterStatus();
    UpdateDownloaded done{downloaded->message, outcomeOf(std::move(after))};
    if (model)
        co_await model->followChange();
    co_return done;
}

QCoro::Task<ActionOutcome<ClientUpdaterStatus>> UpdateActions::deleteDownload() {
    QPointer<ServerStateModel> model = m_model;
    DaemonClient* client = m_model->client();
    // What the server answers besides success is not read: the updater's state is read afresh.
    const ActionResult deleted = resultOf(co_await client->clearStagedUpdate());
    if (!deleted)
        co_return std::unexpected(deleted.error());
    ActionOutcome<ClientUpdaterStatus> after = outcomeOf(co_await client->updaterStatus());
    if (model)
        co_await model->followChange();
    co_return after;
}

} // namespace tavrin
