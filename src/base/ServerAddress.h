#pragma once

#include <QString>
#include <QUrl>

namespace tavrin {

// Where the panel finds the server, and where a server listens until it is told otherwise: this
// machine's loopback address, on the product's port. The panel's client always calls there; the
// server always answers its admin API there (tests move the port, never the host).
namespace ServerAddress {

inline constexpr QLatin1StringView defaultHost("127.0.0.1");
inline constexpr int defaultPort = 11434;

// "http://127.0.0.1:11434": what every admin path is resolved against.
QUrl defaultBaseUrl();

} // namespace ServerAddress

} // namespace tavrin
