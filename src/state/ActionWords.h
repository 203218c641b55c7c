#pragma once

#include "protocol/ClientRecords.h"
#include "state/ExportDownload.h"

#include <QString>

namespace tavrin {

// What the user reads when a change to the server worked, or of a state of the server's that the
// user must act on. The panel's screens, its notifications and the command-line tool say it in the
// same words, so all take them from here.

QString settingsSavedMessage();
QString networkSavedMessage();
QString preambleSavedMessage(const ClientOrgPreambleResponse& saved);
QString promotedMessage();
QString rolledBackMessage();
QString updateCheckedMessage(bool found);
// Which engine answers from now on, named as the Status tab names it.
QString engineSavedMessage(const ClientEngineSettings& saved);

// How far a streamed export has come, and the name a saved export is proposed under.
QString exportProgressText(qint64 bytes);
QString exportFileName(AuditExportRequest::Format format);

// While audit mode refuses inference requests because the server cannot write its audit log: what
// the Status tab's callout, the desktop notification and `tavrinctl status` say. `reason` is the server's own account
// (its status's auditUnavailable), shown as a sentence.
struct AuditRefusalText {
    QString title;
    QString message;
    bool operator==(const AuditRefusalText&) const = default;
};
AuditRefusalText auditRefusalText(const QString& reason);

// Which engine serves and whether it answers, as the Status tab's model card says it: "Built-in
// echo engine · answering", "office · http://127.0.0.1:8080/v1 · not answering".
QString engineLine(const ClientEngineHealth& engine);
// When the engine in use stops answering: what the desktop notification says. `lastError` is the
// engine's own account, shown as a sentence.
struct EngineDownText {
    QString title;
    QString message;
    bool operator==(const EngineDownText&) const = default;
};
EngineDownText engineDownText(const ClientEngineHealth& engine);

} // namespace tavrin
