#include "server/stores/ServerSettings.h"

#include "base/ServerAddress.h"
#include "server/stores/NetworkPolicy.h"

#include <QUrl>

namespace tavrin {

namespace {

const QString loggingFile = QStringLiteral("logging.json");
const QString networkFile = QStringLiteral("network.json");
const QString preambleFile = QStringLiteral("preamble.json");
const QString engineFile = QStringLiteral("engine.json");
const QString builtinKind = QStringLiteral("builtin");
const QString openaiKind = QStringLiteral("openai");

bool blank(const std::optional<QString>& text) { return text && text->trimmed().isEmpty(); }

std::expected<void, QString> validateAddress(const QString& address) {
    const QUrl url(address, QUrl::StrictMode);
    if (!url.isValid() || (url.scheme() != QLatin1StringView("http") && url.scheme() != QLatin1StringView("https")))
        return std::unexpected(QStringLiteral("The engine's address must start with http:// or https://."));
    if (url.host().isEmpty())
        return std::unexpected(QStringLiteral("The engine's address must name its host, like http://127.0.0.1:8080/v1."));
    // A password in the address would sit in settings and logs; the key file is where it belongs.
    if (!url.userInfo().isEmpty())
        return std::unexpected(
            QStringLiteral("The engine's address must not hold a user name or password; put the key in a key file."));
    if (url.hasQuery() || url.hasFragment())
        return std::unexpected(QStringLiteral("The engine's address must end with its path, without ? or #."));
    return {};
}


Refusal saveFailed(const QString& reason) {
    return Refusal{500, QStringLiteral("could not save the setting: %1").arg(reason)};
}

} // namespace

ClientEngineSettings ServerSettings::defaultEngine() {
    ClientEngineSettings settings;
    settings.kind = builtinKind;
    return settings;
}

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
    auto engine = store.load<ClientEngineSettings>(engineFile);
    if (!engine)
        return std::unexpected(engine.error());
    if (*engine)
        if (auto valid = validateEngine(**engine); !valid)
            return std::unexpected(QStringLiteral("%1: %2").arg(store.pathOf(engineFile), valid.error()));
    settings->m_engine = engine->value_or(defaultEngine());
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

std::expected<void, QString> ServerSettings::validateEngine(const ClientEngineSettings& settings) {
    if (blank(settings.servedName))
        return std::unexpected(QStringLiteral("The served name must not be blank; leave it out to serve the engine's own name."));
    if (settings.kind == builtinKind) {
        if (settings.url || settings.model || settings.keyFile || settings.timeoutSeconds || settings.connectTimeoutSeconds)
            return std::unexpected(QStringLiteral("The built-in engine takes no address, model, key file or timeouts."));
        return {};
    }
    if (settings.kind != openaiKind)
        return std::unexpected(QStringLiteral("The engine must be \"builtin\" or \"openai\", not \"%1\".").arg(settings.kind));
    if (!settings.url)
        return std::unexpected(QStringLiteral("An OpenAI-compatible engine needs its address."));
    if (auto valid = validateAddress(*settings.url); !valid)
        return valid;
    if (!settings.model || settings.model->trimmed().isEmpty())
        return std::unexpected(QStringLiteral("An OpenAI-compatible engine needs a model name."));
    if (settings.keyFile && !settings.keyFile->startsWith(QLatin1Char('/')))
        return std::unexpected(QStringLiteral("The key file must be given by its full path, starting with /."));
    if (settings.timeoutSeconds && (*settings.timeoutSeconds < 1 || *settings.timeoutSeconds > maxTimeoutSeconds))
        return std::unexpected(
            QStringLiteral("The request timeout must be between 1 and %1 seconds.").arg(maxTimeoutSeconds));
    if (settings.connectTimeoutSeconds &&
        (*settings.connectTimeoutSeconds < 1 || *settings.connectTimeoutSeconds > maxConnectTimeoutSeconds))
        return std::unexpected(
            QStringLiteral("The connect timeout must be between 1 and %1 seconds.").arg(maxConnectTimeoutSeconds));
    return {};
}

ClientEngineSettings ServerSettings::engine() const {
    std::lock_guard lock(m_mutex);
    return m_engine;
}

std::expected<ClientEngineSettings, Refusal> ServerSettings::setEngine(const ClientEngineSettings& settings) {
    if (auto valid = validateEngine(settings); !valid)
        return std::unexpected(Refusal{400, valid.error()});
    std::lock_guard lock(m_mutex);
    if (auto saved = m_store.save(engineFile, settings); !saved)
        return std::unexpected(saveFailed(saved.error()));
    m_engine = settings;
    return m_engine;
}

} // namespace tavrin
