#pragma once

// Requests a real client made, in the audit log of a running reference server: what the exports of
// the panel are tested against.

#include <QString>

#include <expected>

namespace tavrin::test {

class ReferenceServer;

// Turns audit logging on (mode "audit", so that prompt text is kept), makes a key, sends `count`
// chat requests with `prompt` to the client surface, and waits until the server's own CSV export
// lists them all. Leaves the logging settings as it set them.
std::expected<void, QString> recordChatRequests(ReferenceServer& server, int count, const QString& prompt);

} // namespace tavrin::test
