#pragma once

#include "protocol/ClientRecords.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

namespace tavrin::cli {

// The server's records as tavrinctl shows them to a person: one "Name   value" line each, or a table.
// Scripts read --json instead; these texts may change.

// Name and value lines, the values in one column.
QString fieldLines(const std::vector<std::pair<QString, QString>>& fields);

QString onOff(bool on);
// "Xh Ym" from whole seconds, as the panel shows it.
QString uptimeText(double seconds);

// `startAtLogin`: nothing when it could not be read.
QString statusText(const ClientServerStatus& status, const QString& hostName, std::optional<bool> startAtLogin);
QString keyTable(const ClientAPIKeyList& keys);
QString scopesText(const std::optional<std::vector<ClientAPIKeyScope>>& scopes);
QString loggingText(const ClientAuditLoggingSettings& settings);
QString networkText(const ClientNetworkPreferences& preferences);
QString modelsText(const ClientModelStatus& models);
QString updaterText(const ClientUpdaterStatus& updater);

} // namespace tavrin::cli
