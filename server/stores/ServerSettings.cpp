#include "server/stores/ServerSettings.h"

#include "base/ServerAddress.h"
#include "server/stores/NetworkPolicy.h"

namespace tavrin {

namespace {

const QString loggingFile = QStringLiteral("logging.json");
const QString networkFile = QStringLiteral("network.json");
const QString preambleFile = QStringLiteral("preamble.json");

Refusal saveFailed(const QString& reason) {
    return Refusal{500, QStringLiteral("could not save the setting: %1").arg(reason)};
}

} // namespace

ClientAuditLoggingSettings ServerSettings::defaultLogging() {
    return ClientAuditLoggingSettings{ClientAuditMode::privacy, 30, false};
}

ClientNetworkPreferences ServerSettings::defaultNetwork() {
    ClientNetworkPreferences prefs;
    prefs.bindHost = ServerAddress::defaultHost;
    prefs.bindPort = ServerAddress::defaultPort;
    return prefs;
}

std::expected<std::unique_ptr<ServerSettings>, QString> ServerSettings::open(const StateStore& store) {
    std::unique_ptr<ServerSettings> settings(new ServerSettings(store));
    auto logging = store.load<ClientAuditLoggingSettings>(loggingFile);
    if (!logging)
        return std::unexpected(logging.error());
    auto network = store.load<ClientNetworkPreferences>(networkFile);
    if (!network)
        return std::unexpected(network.error());
    auto preamble = store.load<PreambleBody>(preambleFile);
    if (!preamble)
        return std::unexpected(preamble.error());
    settings->m_logging = logging->value_or(defaultLogging());
    settings->m_network = network->value_or(defaultNetwork());
    if (*preamble)
        settings->m_preamble = (*preamble)->preamble;
    return settings;
}

ClientAuditLoggingSettings ServerSettings::logging() const {
    std::lock_guard lock(m_mutex);
    return m_logging;
}

std::expected<ClientAuditLoggingSettings, Refusal>
ServerSettings::setLogging(const ClientAuditLoggingSettings& settings) {
    if (settings.retentionDays <= 0)
        return std::unexpected(Refusal{400, QStringLiteral("retentionDays must be at least 1")});
    std::lock_guard lock(m_mutex);
    if (auto saved = m_store.save(loggingFile, settings); !saved)
        return std::unexpected(saveFailed(saved.error()));
    m_logging = settings;
    return m_logging;
}

ClientNetworkPreferences ServerSettings::network() const {
    std::lock_guard lock(m_mutex);
    return m_network;
}

std::expected<ClientNetworkPreferences, Refusal>
ServerSettings::setNetwork(const ClientNetworkPreferences& prefs) {
    if (auto valid = NetworkPolicy::validate(prefs); !valid)
        return std::unexpected(Refusal{400, valid.error()});
    std::lock_guard lock(m_mutex);
    if (auto saved = m_store.save(networkFile, prefs); !saved)
        return std::unexpected(saveFailed(saved.error()));
    m_network = prefs;
    return m_network;
}

std::optional<QString> ServerSettings::preamble() const {
    std::lock_guard lock(m_mutex);
    return m_preamble;
}

std::expected<std::optional<QString>, Refusal> ServerSettings::setPreamble(std::optional<QString> preamble) {
    if (preamble && preamble->isEmpty())
        preamble.reset();
    if (preamble) {
        const qint64 length = graphemeCount(*preamble);
        if (length > preambleMaxLength)
            return std::unexpected(
                Refusal{400, QStringLiteral("preamble is %1 characters long; the limit is %2")
                                 .arg(length)
                                 .arg(preambleMaxLength)});
    }
    std::lock_guard lock(m_mutex);
    if (auto saved = m_store.save(preambleFile, PreambleBody{preamble}); !saved)
        return std::unexpected(saveFailed(saved.error()));
    m_preamble = std::move(preamble);
    return m_preamble;
}

} // namespace tavrin
