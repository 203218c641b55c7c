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

// A model's SHA-256 as the screens show it: the first 32 characters, and "…" only when there is more.
QString shortenedHash(const QString& hash);

// The machine's memory and system as the product words them: "24 GB · Debian GNU/Linux 12 (bookworm)"
// on the Status tab's tile, and with " RAM" after the size on the setup wizard's hardware card. The
// product writes "macOS " before the version; on Linux the version names the system itself, so that
// word would make a false statement and is left out.
QString memoryAndSystem(const ClientHardwareReport& hardware, const QString& afterSize = {});

// "http://127.0.0.1:<port>/v1", on the port the status gives or on `port`.
QString localhostEndpoint(const ClientServerStatus& status);
QString localhostEndpoint(qint64 port);
// "http://<host name>:<port>/v1"; nothing while the server does not listen on the LAN.
std::optional<QString> lanEndpoint(const ClientServerStatus& status, const QString& hostName);

// The model clients get their answers from, as they name it: the one an OpenAI-compatible engine
// serves while it stands in, else the bundle's running model; nothing while neither.
std::optional<QString> answeringModel(const ClientServerStatus& status);

// What the copy actions of the endpoints are called, in the tray panel and on the Status tab alike.
QString copyLocalhostEndpointName();
QString copyLanEndpointName();
// ... and of a model's hash.
QString copyModelHashName();

} // namespace tavrin
