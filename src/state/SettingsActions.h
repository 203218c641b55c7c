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

// The records of the server that the Logs, Network and Org Preamble tabs (and tavrinctl) edit, read and
// written whole, and the audit log's exports. A save sends the whole record and brings back the server's
// answer, which replaces the caller's copy; one that the server took ends with a poll cycle for the faces
// that follow the model. The rules of what is sent are here, once, for both faces; failures say why in
// the client's own words, or the rule's. Every action runs to its end even when the screen that asked
// has gone.
class SettingsActions {
public:
    explicit SettingsActions(ServerStateModel* model) : m_model(model) {}

    QCoro::Task<ActionOutcome<ClientAuditLoggingSettings>> loggingSettings();
    QCoro::Task<ActionOutcome<ClientAuditLoggingSettings>> saveLoggingSettings(ClientAuditLoggingSettings settings);

    QCoro::Task<ActionOutcome<ClientNetworkPreferences>> networkPreferences();
    QCoro::Task<ActionOutcome<ClientNetworkPreferences>> saveNetworkPreferences(ClientNetworkPreferences preferences);
    // The LAN switch: on listens on every interface (0.0.0.0), off on this machine only (127.0.0.1),
    // whatever host was there before. A host given afterwards still goes as given.
    static ClientNetworkPreferences withLanEnabled(ClientNetworkPreferences preferences, bool on);

    QCoro::Task<ActionOutcome<ClientOrgPreambleResponse>> orgPreamble();
    // The preamble as typed, against the server's limit (`maxLength`, from its record): counted as typed,
    // surrounding white space included, so the limit refused is the one a counter shows; sent without
    // white space or line breaks at either end; nothing left after that clears the preamble.
    QCoro::Task<ActionOutcome<ClientOrgPreambleResponse>> saveOrgPreamble(QString typed, qint64 maxLength);
    // The length a user reads beside the limit, and whether it is within it.
    static qint64 preambleLength(const QString& typed);
    static bool preambleFits(const QString& typed, qint64 maxLength);

    // An export streaming into a hidden file in `folder` at once, while the user picks where it goes
    // (see ExportDownload); `name` is the name the save dialog proposes.
    std::shared_ptr<ExportDownload> startAuditExport(AuditExportRequest request, const QString& folder,
                                                     const QString& name);

private:
    ServerStateModel* m_model;
};

} // namespace tavrin
