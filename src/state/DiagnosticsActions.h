#pragma once

#include "protocol/Task.h"

#include "protocol/ClientRecords.h"
#include "state/ActionOutcome.h"

#include <QString>

namespace tavrin {

class ServerStateModel;

// What the Diagnostics tab asks of the server and of the panel's own admin password; setup saves the
// password through the same action. Failures say why in the words of whatever refused. Every action
// runs to its end even when the screen that asked has gone.
class DiagnosticsActions {
public:
    explicit DiagnosticsActions(ServerStateModel* model) : m_model(model) {}

    // The server writes the bundle and says where; whether prompt text goes in is its call, by its
    // audit settings: `includePromptContents` only asks. A bundle that was made ends with a poll cycle.
    QCoro::Task<ActionOutcome<ClientDiagnosticsResponse>> supportBundle(bool includePromptContents);

    // Kept as typed: keychain, client, then the file the server reads (see ServerStateModel::setAdminSecret).
    // No poll follows: the next one reads with the new password.
    QCoro::Task<ActionResult> savePassword(QString password);
    // Keyring item, client, file; never fails.
    QCoro::Task<void> clearPassword();

private:
    ServerStateModel* m_model;
};

} // namespace tavrin
