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

// The administrator's settings: audit logging, network preferences, the org preamble and the
// engine, each in its own file of the state directory. A change is on disk before it is answered. Network
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

    // The built-in echo engine, until the administrator names another.
    static ClientEngineSettings defaultEngine();
    static constexpr qint64 defaultTimeoutSeconds = 300;
    static constexpr qint64 defaultConnectTimeoutSeconds = 10;
    static constexpr qint64 maxTimeoutSeconds = 3600;
    static constexpr qint64 maxConnectTimeoutSeconds = 300;
    // Whether settings describe an engine, in the words the administrator reads when not. The key
    // file is judged by whoever reads it (EngineKeyFile), when the engine is made.
    static std::expected<void, QString> validateEngine(const ClientEngineSettings& settings);

    ClientEngineSettings engine() const;
    // Saves settings already validated and made into an engine; the caller puts that engine in use.
    std::expected<ClientEngineSettings, Refusal> setEngine(const ClientEngineSettings& settings);

private:
    explicit ServerSettings(StateStore store) : m_store(std::move(store)) {}

    StateStore m_store;
    mutable std::mutex m_mutex;
    ClientAuditLoggingSettings m_logging;
    ClientNetworkPreferences m_network;
    std::optional<QString> m_preamble;
    ClientEngineSettings m_engine;
};

} // namespace tavrin
