#pragma once

#include "protocol/ClientRecords.h"

#include <QHostAddress>
#include <QSet>
#include <QString>

#include <expected>
#include <utility>
#include <vector>

namespace tavrin {

// Who may reach which surface, from the network preferences in effect: the IP allowlist for
// the inference surface, the CORS origins a browser may call it from, and the rule that the
// admin API answers loopback clients only, whatever the bind address.
class NetworkPolicy {
public:
    explicit NetworkPolicy(const ClientNetworkPreferences& prefs);

    // Why a set of preferences cannot be stored, in one line; nothing when it can.
    static std::expected<void, QString> validate(const ClientNetworkPreferences& prefs);

    static bool isLoopback(const QString& address);
    // An empty allowlist admits every address.
    bool allows(const QString& address) const;
    bool allowsOrigin(const QString& origin) const { return m_origins.contains(origin); }

private:
    std::vector<std::pair<QHostAddress, int>> m_subnets;
    QSet<QString> m_origins;
};

} // namespace tavrin
