#pragma once

#include "protocol/ClientRecords.h"
#include "state/ExportDownload.h"

#include <QString>

namespace tavrin {

// What the user reads when a change to the server worked. The panel's screens and the command-line
// tool say it in the same words, so both take them from here.

QString settingsSavedMessage();
QString networkSavedMessage();
QString preambleSavedMessage(const ClientOrgPreambleResponse& saved);
QString promotedMessage();
QString rolledBackMessage();
QString updateCheckedMessage(bool found);

// How far a streamed export has come, and the name a saved export is proposed under.
QString exportProgressText(qint64 bytes);
QString exportFileName(AuditExportRequest::Format format);

} // namespace tavrin
