#pragma once

#include "base/Graphemes.h"
#include "protocol/ClientRecords.h"
#include "server/stores/Refusal.h"
#include "server/stores/StateStore.h"

#include <QString>

#include <expected>
#include <memory>
#include <mutex>
#include <optional>

namespace tavrin {

// The administrator's settings: audit logging, network preferences and the org preamble, each
// in its own file of the state directory. A change is on disk before it is answered. Network
// preferences saved here are those of the next start; the ones in effect are fixed at start.
class ServerSettings {
public:
    static std::expected<std::unique_ptr<ServerSettings>, QString> open(const StateStore& store);

    static ClientAuditLoggingSettings defaultLogging();
    static ClientNetworkPreferences defaultNetwork();
    static constexpr qint64 preambleMaxLength = 2000;

    ClientAuditLoggingSettings logging() const;
    std::expected<ClientAuditLoggingSettings, Refusal> setLogging(const ClientAuditLoggingSettings& settings);

    ClientNetworkPreferences network() const;
    std::expected<ClientNetworkPreferences, Refusal> setNetwork(const ClientNetworkPreferences& prefs);

    std::optional<QString> preamble() const;
    // An absent or empty preamble clears it.
    std::expected<std::optional<QString>, Refusal> setPreamble(std::optional<QString> preamble);

private:
    explicit ServerSettings(StateStore store) : m_store(std::move(store)) {}

    StateStore m_store;
    mutable std::mutex m_mutex;
    ClientAuditLoggingSettings m_logging;
    ClientNetworkPreferences m_network;
    std::optional<QString> m_preamble;
};

} // namespace tavrin
