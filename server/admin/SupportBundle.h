#pragma once

#include "protocol/ClientRecords.h"

#include <QString>

#include <expected>

namespace tavrin {

struct ServerContext;

// A support bundle: a zip (0600) in "diagnostics/" of the state directory with the hardware
// summary, the status, the logging settings, the audit metadata and the server's recent log
// output. Prompt and answer text go in only when asked for and when the administrator's master
// switch allows it; secrets never do (no key secrets, hashes or admin password are read).
std::expected<ClientDiagnosticsResponse, QString> writeSupportBundle(const ServerContext& context,
                                                                     const ClientServerStatus& status,
                                                                     bool promptContentsAsked);

} // namespace tavrin
