#pragma once

#include "protocol/DaemonClientError.h"

#include <QHostAddress>
#include <QString>

#include <expected>
#include <sys/types.h>
#include <vector>

namespace tavrin {

// Who would take a TCP connection to address:port, as the kernel's socket table says: the owner
// of every listening socket bound to that address, to the wildcard of its family, or to the IPv6
// wildcard (which also takes IPv4 unless it is IPv6-only; counted either way, since a foreign one
// could be either). The error says why the table could not be read.
std::expected<std::vector<uid_t>, QString> listenerOwners(const QHostAddress& address, quint16 port);

// Any port is anyone's to bind while it is free, so before a secret goes out on a connection the
// panel asks who listens there, and sends it only when that is `self`. Nobody listening fails as
// the connection would ("Connection refused"): a port found free may be taken a moment later. A
// listener of another user, or a table that cannot be read, fails with a message that says the
// password was kept back.
std::expected<void, DaemonClientError> checkListenerIsOurs(const QHostAddress& address, quint16 port, uid_t self);

} // namespace tavrin
