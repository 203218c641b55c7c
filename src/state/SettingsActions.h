#pragma once

#include "protocol/Task.h"

#include "protocol/ClientRecords.h"
#include "state/ActionOutcome.h"
#include "state/ExportDownload.h"

#include <QString>

#include <memory>
#include <optional>

namespace tavrin {

class ServerStateModel;

// The records of the server that the Logs, Network and Org Preamble tabs edit, read and written whole,
// and the audit log's exports. A save sends the whole record and brings back the server's answer, which
// replaces the caller's copy; one that the server took ends with a poll cycle. Failures say why in the
// client's own words. Every action runs to its end even when the screen that asked has gone.
class SettingsActions {
public:
    explicit SettingsActions(ServerStateModel* model) : m_model(model) {}

    QCoro::Task<ActionOutcome<ClientAuditLoggingSettings>> loggingSettings();
    QCoro::Task<ActionOutcome<ClientAuditLoggingSettings>> saveLoggingSettings(ClientAuditLoggingSettings settings);

    QCoro::Task<ActionOutcome<ClientNetworkPreferences>> networkPreferences();
    QCoro::Task<ActionOutcome<ClientNetworkPreferences>> saveNetworkPreferences(ClientNetworkPreferences preferences);

    QCoro::Task<ActionOutcome<ClientOrgPreambleResponse>> orgPreamble();
    // No text clears the preamble.
    QCoro::Task<ActionOutcome<ClientOrgPreambleResponse>> saveOrgPreamble(std::optional<QString> preamble);

    // An export streaming into a hidden file in `folder` at once, while the user picks where it goes
    // (see ExportDownload); `name` is the name the save dialog proposes.
    std::shared_ptr<ExportDownload> startAuditExport(AuditExportRequest request, const QString& folder,
                                                     const QString& name);

private:
    ServerStateModel* m_model;
};

} // namespace tavrin
