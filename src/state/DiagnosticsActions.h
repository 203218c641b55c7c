#pragma once

#include "protocol/Task.h"

#include "protocol/ClientRecords.h"
#include "state/ActionOutcome.h"

#include <QFile>
#include <QString>

#include <memory>

namespace tavrin {

class ServerStateModel;
class SupportBundleFile;

// What the Diagnostics tab asks of the server and of the panel's own admin password; setup saves the
// password through the same action. Failures say why in the words of whatever refused. Every action
// runs to its end even when the screen that asked has gone.
class DiagnosticsActions {
public:
    explicit DiagnosticsActions(ServerStateModel* model) : m_model(model) {}

    // The server writes the bundle and says where; whether prompt text goes in is its call, by its
    // audit settings: `includePromptContents` only asks. A bundle that was made ends with a poll cycle.
    // Nothing is asked without an admin password: the check of who listens goes with the password,
    // and without it any program on the port could answer. The path that comes back is one
    // openBundle() opens, or the action fails (a listener may name any file of the user's).
    QCoro::Task<ActionOutcome<ClientDiagnosticsResponse>> supportBundle(bool includePromptContents);
    // The bundle at `path`, open for reading, when it is a file of this user's in the state folder's
    // bundle folder (SupportBundleFile); checked anew, on the file opened.
    ActionOutcome<std::unique_ptr<QFile>> openBundle(const QString& path) const;

    // Kept as typed: keychain, client, then the file the server reads (see ServerStateModel::setAdminSecret).
    // No poll follows: the next one reads with the new password.
    QCoro::Task<ActionResult> savePassword(QString password);
    // Keyring item, client, file; never fails.
    QCoro::Task<void> clearPassword();

private:
    SupportBundleFile bundleFiles() const;

    ServerStateModel* m_model;
};

} // namespace tavrin
