#pragma once

#include "protocol/Task.h"

#include "protocol/ClientRecords.h"
#include "state/ActionOutcome.h"

#include <QString>

namespace tavrin {

class ServerStateModel;

// A download taken by the server's updater, and the updater's state read after it: the staged
// package's path comes only with that state. The download stands even when the state cannot be read;
// `after` then says why.
struct UpdateDownloaded {
    QString message; // the server's own words on the download
    ActionOutcome<ClientUpdaterStatus> after;
};

// What the Updates tab asks of the server's updater. The server checks, downloads and verifies; the
// panel never installs. A change that the server took ends with a poll cycle; failures say why in the
// client's own words. Every action runs to its end even when the screen that asked has gone.
class UpdateActions {
public:
    explicit UpdateActions(ServerStateModel* model) : m_model(model) {}

    QCoro::Task<ActionOutcome<ClientUpdaterStatus>> updater();
    // A check that failed on the server's side is still a success here: its answer carries the error
    // beside the updater's state.
    QCoro::Task<ActionOutcome<ClientUpdateCheckResponse>> check();
    QCoro::Task<ActionOutcome<UpdateDownloaded>> download();
    // The updater's state after the staged package is gone; a failure is the deletion's, or the read's.
    QCoro::Task<ActionOutcome<ClientUpdaterStatus>> deleteDownload();

private:
    ServerStateModel* m_model;
};

} // namespace tavrin
