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
// wildcard unless that socket is IPv6-only and the address IPv4 (the kernel says which, socket by
// socket). The error says why the table could not be read.
std::expected<std::vector<uid_t>, QString> listenerOwners(const QHostAddress& address, quint16 port);

// Any port is anyone's to bind while it is free, so before a secret goes out on a connection the
// panel asks who listens there, and sends it only when that is `self`. Nobody listening fails as
// the connection would ("Connection refused"): a port found free may be taken a moment later. A
// listener of another user, or a table that cannot be read, fails with a message that says the
// password was kept back.
//
// The table is read just before Qt connects, not about the connection itself: Qt's network access
// gives no way to the socket it opens (no descriptor, no peer credentials), so the few milliseconds
// between the two cannot be closed here. What bounds the risk: while this user's server listens on
// the port, no other user can bind it (a listening socket blocks every overlapping bind, and
// SO_REUSEPORT shares only within one uid); and a port found free fails the request without
// connecting. A secret could go astray only if this user's server let go of the port and another
// user's program took it inside that window.
std::expected<void, DaemonClientError> checkListenerIsOurs(const QHostAddress& address, quint16 port, uid_t self);

} // namespace tavrin
