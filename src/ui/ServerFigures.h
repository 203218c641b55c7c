#pragma once

#include "protocol/ClientRecords.h"

#include <QString>

#include <optional>

namespace tavrin {

// Figures of a status record that the Status tab and the tray panel both show.

// "Xh Ym" from whole seconds (truncated): hours are not capped, so three days read "72h 0m".
// Nothing for an uptime that is not a finite, non-negative number that fits 64 bits.
std::optional<QString> formatUptime(double seconds);

// What stands where an uptime cannot be formatted.
QString noFigure();

// "http://127.0.0.1:<port>/v1".
QString localhostEndpoint(const ClientServerStatus& status);
// "http://<host name>:<port>/v1"; nothing while the server does not listen on the LAN.
std::optional<QString> lanEndpoint(const ClientServerStatus& status, const QString& hostName);

} // namespace tavrin
