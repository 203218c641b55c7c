#pragma once

// The JSON records of the server's admin API, shared by the panel and the reference server.
// JSON keys are the field names. Dates stay ISO-8601 text exactly as the server sent them.

#include "protocol/JsonCodec.h"

#include <QMap>
#include <QString>

#include <optional>
#include <vector>

namespace tavrin {

enum class ClientAuditMode { none, privacy, hash, audit };

template <> struct EnumCases<ClientAuditMode> {
    static constexpr std::array<std::pair<ClientAuditMode, std::string_view>, 4> cases{{
        {ClientAuditMode::none, "none"},
        {ClientAuditMode::privacy, "privacy"},
        {ClientAuditMode::hash, "hash"},
        {ClientAuditMode::audit, "audit"},
    }};
};

enum class ClientAPIKeyScope { inference, readonly };

template <> struct EnumCases<ClientAPIKeyScope> {
    static constexpr std::array<std::pair<ClientAPIKeyScope, std::string_view>, 2> cases{{
        {ClientAPIKeyScope::inference, "inference"},
        {ClientAPIKeyScope::readonly, "readonly"},
    }};
};

struct ClientNetworkPreferences {
    QString bindHost;
    qint64 bindPort = 0;
    bool lanEnabled = false;
    std::optional<QString> mdnsName;
    std::vector<QString> corsAllowedOrigins;
    std::vector<QString> ipAllowlist;

    static constexpr auto fields() {
        using R = ClientNetworkPreferences;
        return std::tuple{
            required("bindHost", &R::bindHost),
            required("bindPort", &R::bindPort),
            required("lanEnabled", &R::lanEnabled),
            optional("mdnsName", &R::mdnsName),
            required("corsAllowedOrigins", &R::corsAllowedOrigins),
            required("ipAllowlist", &R::ipAllowlist),
        };
    }
};

struct ClientModelMetadata {
    QString id;
    std::vector<QString> aliases;
    QString productionAlias;
    QString modelSha256;
    qint64 manifestPipelineVersion = 0;
    std::optional<QString> sourceAppVersion;
    QString stagedBundlePath;
    QString importedAt;

    static constexpr auto fields() {
        using R = ClientModelMetadata;
        return std::tuple{
            required("id", &R::id),
            required("aliases", &R::aliases),
            required("productionAlias", &R::productionAlias),
            required("modelSha256", &R::modelSha256),
            required("manifestPipelineVersion", &R::manifestPipelineVersion),
            optional("sourceAppVersion", &R::sourceAppVersion),
            required("stagedBundlePath", &R::stagedBundlePath),
            required("importedAt", &R::importedAt),
        };
    }
};

struct ClientModelSnapshot {
    QString id;
    QString alias;
    QString modelSha256;
    qint64 manifestPipelineVersion = 0;
    QString sourceBundlePath;
    QString stagedBundlePath;
    QString importedAt;
    std::optional<QString> sourceAppVersion;
    QMap<QString, QString> checksums;

    static constexpr auto fields() {
        using R = ClientModelSnapshot;
        return std::tuple{
            required("id", &R::id),
            required("alias", &R::alias),
            required("modelSha256", &R::modelSha256),
            required("manifestPipelineVersion", &R::manifestPipelineVersion),
            required("sourceBundlePath", &R::sourceBundlePath),
            required("stagedBundlePath", &R::stagedBundlePath),
            required("importedAt", &R::importedAt),
            optional("sourceAppVersion", &R::sourceAppVersion),
            required("checksums", &R::checksums),
        };
    }
};

struct ClientModelPinState {
    std::optional<ClientModelSnapshot> production;
    std::optional<ClientModelSnapshot> stagedUpdate;
    std::vector<ClientModelSnapshot> previous;

    static constexpr auto fields() {
        using R = ClientModelPinState;
        return std::tuple{
            optional("production", &R::production),
            optional("stagedUpdate", &R::stagedUpdate),
            required("previous", &R::previous),
        };
    }
};

struct ClientModelStatus {
    std::optional<ClientModelMetadata> running;
    std::optional<ClientModelMetadata> detectedSource;
    ClientModelPinState pinState;
    bool updateAvailable = false;
    bool restartRequired = false;

    static constexpr auto fields() {
        using R = ClientModelStatus;
        return std::tuple{
            optional("running", &R::running),
            optional("detectedSource", &R::detectedSource),
            required("pinState", &R::pinState),
            required("updateAvailable", &R::updateAvailable),
            required("restartRequired", &R::restartRequired),
        };
    }
};

struct ClientCompositionStages {
    bool adapterApplied = false;
    bool softPromptApplied = false;
    bool steeringApplied = false;
    std::optional<QString> steeringMode;
    std::optional<float> steeringAlpha;
    bool systemPromptApplied = false;
    std::optional<qint64> systemPromptChars;

    static constexpr auto fields() {
        using R = ClientCompositionStages;
        return std::tuple{
            required("adapterApplied", &R::adapterApplied),
            required("softPromptApplied", &R::softPromptApplied),
            required("steeringApplied", &R::steeringApplied),
            optional("steeringMode", &R::steeringMode),
            optional("steeringAlpha", &R::steeringAlpha),
            required("systemPromptApplied", &R::systemPromptApplied),
            optional("systemPromptChars", &R::systemPromptChars),
        };
    }
};

struct ClientAuditLoggingSettings {
    ClientAuditMode mode = ClientAuditMode::privacy;
    qint64 retentionDays = 0;
    bool includePromptContentsInDiagnostics = false;

    static constexpr auto fields() {
        using R = ClientAuditLoggingSettings;
        return std::tuple{
            required("mode", &R::mode),
            required("retentionDays", &R::retentionDays),
            required("includePromptContentsInDiagnostics", &R::includePromptContentsInDiagnostics),
        };
    }
};

struct ClientAppcastRelease {
    QString version;
    QString publishedAt;
    std::optional<QString> minimumServerVersion;
    QString pkgURL;
    QString pkgSha256;
    std::optional<qint64> pkgSize;
    std::optional<QString> releaseNotesURL;
    std::optional<QString> releaseNotes;
    QString signature;

    static constexpr auto fields() {
        using R = ClientAppcastRelease;
        return std::tuple{
            required("version", &R::version),
            required("publishedAt", &R::publishedAt),
            optional("minimumServerVersion", &R::minimumServerVersion),
            required("pkgURL", &R::pkgURL),
            required("pkgSha256", &R::pkgSha256),
            optional("pkgSize", &R::pkgSize),
            optional("releaseNotesURL", &R::releaseNotesURL),
            optional("releaseNotes", &R::releaseNotes),
            required("signature", &R::signature),
        };
    }
};

struct ClientUpdaterStatus {
    bool enabled = false;
    QString channel;
    QString current;
    std::optional<QString> lastCheckedAt;
    std::optional<QString> lastError;
    std::optional<ClientAppcastRelease> availableUpdate;
    std::optional<QString> stagedDownloadPath;

    static constexpr auto fields() {
        using R = ClientUpdaterStatus;
        return std::tuple{
            required("enabled", &R::enabled),
            required("channel", &R::channel),
            required("current", &R::current),
            optional("lastCheckedAt", &R::lastCheckedAt),
            optional("lastError", &R::lastError),
            optional("availableUpdate", &R::availableUpdate),
            optional("stagedDownloadPath", &R::stagedDownloadPath),
        };
    }
};

struct ClientUpdateCheckResponse {
    ClientUpdaterStatus status;
    std::optional<QString> error;

    static constexpr auto fields() {
        using R = ClientUpdateCheckResponse;
        return std::tuple{
            required("status", &R::status),
            optional("error", &R::error),
        };
    }
};

struct ClientUpdateDownloadResponse {
    QString stagedDownloadPath;
    QString version;
    QString pkgSha256;
    bool verified = false;
    QString message;

    static constexpr auto fields() {
        using R = ClientUpdateDownloadResponse;
        return std::tuple{
            required("stagedDownloadPath", &R::stagedDownloadPath),
            required("version", &R::version),
            required("pkgSha256", &R::pkgSha256),
            required("verified", &R::verified),
            required("message", &R::message),
        };
    }
};

struct ClientHardwareReport {
    QString macOSVersion;
    QString macOSBuild;
    QString cpuBrand;
    qint64 cpuCores = 0;
    qint64 totalMemoryBytes = 0;
    double totalMemoryGB = 0;
    std::optional<qint64> freeDiskBytes;
    bool isAppleSilicon = false;
    QString hostname;
    std::optional<QString> appleSiliconChip;
    QString chipTier;
    QString supportLevel;
    std::vector<QString> supportNotes;
    qint64 recommendedConcurrency = 1;
    qint64 recommendedMaxQueueDepth = 4;

    static constexpr auto fields() {
        using R = ClientHardwareReport;
        return std::tuple{
            required("macOSVersion", &R::macOSVersion),
            required("macOSBuild", &R::macOSBuild),
            required("cpuBrand", &R::cpuBrand),
            required("cpuCores", &R::cpuCores),
            required("totalMemoryBytes", &R::totalMemoryBytes),
            required("totalMemoryGB", &R::totalMemoryGB),
            optional("freeDiskBytes", &R::freeDiskBytes),
            required("isAppleSilicon", &R::isAppleSilicon),
            required("hostname", &R::hostname),
            optional("appleSiliconChip", &R::appleSiliconChip),
            required("chipTier", &R::chipTier),
            required("supportLevel", &R::supportLevel),
            required("supportNotes", &R::supportNotes),
            required("recommendedConcurrency", &R::recommendedConcurrency),
            required("recommendedMaxQueueDepth", &R::recommendedMaxQueueDepth),
        };
    }
};

struct ClientConcurrencyStats {
    qint64 maxConcurrency = 0;
    qint64 maxQueueDepth = 0;
    qint64 inFlight = 0;
    qint64 queued = 0;
    qint64 totalCompleted = 0;
    qint64 totalRejected = 0;

    static constexpr auto fields() {
        using R = ClientConcurrencyStats;
        return std::tuple{
            required("maxConcurrency", &R::maxConcurrency),
            required("maxQueueDepth", &R::maxQueueDepth),
            required("inFlight", &R::inFlight),
            required("queued", &R::queued),
            required("totalCompleted", &R::totalCompleted),
            required("totalRejected", &R::totalRejected),
        };
    }
};

// Which engine generates the answers: the built-in echo engine, or an OpenAI-compatible server the
// reference server stands in front of. The upstream's key is never part of it: `keyFile` names a file
// of the user's own (0600) that holds it, read by the server alone.
struct ClientEngineSettings {
    QString kind; // "builtin" | "openai"
    std::optional<QString> url;        // openai: the base URL, http or https, e.g. http://127.0.0.1:8080/v1
    std::optional<QString> model;      // openai: the upstream's model name
    std::optional<QString> servedName; // the name clients see; the model's by default ("tavrin-echo" built in)
    std::optional<QString> keyFile;    // absolute path of the file holding the upstream's API key
    std::optional<qint64> timeoutSeconds;        // one request, whole; 300 by default
    std::optional<qint64> connectTimeoutSeconds; // reaching the upstream; 10 by default

    static constexpr auto fields() {
        using R = ClientEngineSettings;
        return std::tuple{
            required("kind", &R::kind),
            optional("url", &R::url),
            optional("model", &R::model),
            optional("servedName", &R::servedName),
            optional("keyFile", &R::keyFile),
            optional("timeoutSeconds", &R::timeoutSeconds),
            optional("connectTimeoutSeconds", &R::connectTimeoutSeconds),
        };
    }
};

// How the engine in use is faring, as it last found out: a remote engine checks on its own every few
// seconds, never on a client's request.
struct ClientEngineHealth {
    QString kind;
    std::optional<QString> url;
    std::optional<QString> model;
    std::optional<QString> servedName;
    bool reachable = false;
    std::optional<bool> modelListed;  // the upstream's model list names `model`
    std::optional<QString> lastError; // words for a person; never the key
    std::optional<QString> checkedAt; // ISO time of the last check

    static constexpr auto fields() {
        using R = ClientEngineHealth;
        return std::tuple{
            required("kind", &R::kind),
            optional("url", &R::url),
            optional("model", &R::model),
            optional("servedName", &R::servedName),
            required("reachable", &R::reachable),
            optional("modelListed", &R::modelListed),
            optional("lastError", &R::lastError),
            optional("checkedAt", &R::checkedAt),
        };
    }
};

// One tiny request through the engine in use, timed.
struct ClientEngineTestResult {
    qint64 firstPieceMilliseconds = 0;
    qint64 totalMilliseconds = 0;
    QString answer;

    static constexpr auto fields() {
        using R = ClientEngineTestResult;
        return std::tuple{
            required("firstPieceMilliseconds", &R::firstPieceMilliseconds),
            required("totalMilliseconds", &R::totalMilliseconds),
            required("answer", &R::answer),
        };
    }
};

struct ClientServerStatus {
    QString serverVersion;
    QString stateDirectory;
    qint64 pid = 0;
    QString startedAt;
    ClientNetworkPreferences bind;
    double uptimeSeconds = 0;
    ClientModelStatus model;
    std::optional<ClientCompositionStages> stages;
    ClientAuditLoggingSettings logging;
    ClientUpdaterStatus updater;
    ClientHardwareReport hardware;
    std::optional<ClientConcurrencyStats> concurrency;
    std::optional<QString> orgPreamble;
    // Audit records not kept since the server started because the audit log was at its size cap
    // or the disk at its floor; absent while none was dropped.
    std::optional<qint64> auditRecordsDropped;
    // In audit mode, why the audit log cannot keep records now (full, or the file system's error),
    // so that inference requests are being refused; absent while it can, and in the other modes.
    std::optional<QString> auditUnavailable;
    // The engine in use and how it is faring; absent from servers that have but one engine.
    std::optional<ClientEngineHealth> engine;

    static constexpr auto fields() {
        using R = ClientServerStatus;
        return std::tuple{
            required("serverVersion", &R::serverVersion),
            required("stateDirectory", &R::stateDirectory),
            required("pid", &R::pid),
            required("startedAt", &R::startedAt),
            required("bind", &R::bind),
            required("uptimeSeconds", &R::uptimeSeconds),
            required("model", &R::model),
            optional("stages", &R::stages),
            required("logging", &R::logging),
            required("updater", &R::updater),
            required("hardware", &R::hardware),
            optional("concurrency", &R::concurrency),
            optional("orgPreamble", &R::orgPreamble),
            optional("auditRecordsDropped", &R::auditRecordsDropped),
            optional("auditUnavailable", &R::auditUnavailable),
            optional("engine", &R::engine),
        };
    }
};

// "active" is the only status that marks a usable key.
struct ClientAPIKeyPublic {
    QString id;
    QString label;
    QString prefix;
    QString createdAt;
    std::optional<QString> lastRotatedAt;
    std::optional<QString> revokedAt;
    std::optional<QString> lastUsedAt;
    std::optional<QString> lastClientIP;
    qint64 totalRequests = 0;
    qint64 promptTokens = 0;
    qint64 completionTokens = 0;
    QString status;
    std::optional<std::vector<ClientAPIKeyScope>> scopes;

    bool isActive() const { return status == QLatin1StringView("active"); }

    static constexpr auto fields() {
        using R = ClientAPIKeyPublic;
        return std::tuple{
            required("id", &R::id),
            required("label", &R::label),
            required("prefix", &R::prefix),
            required("createdAt", &R::createdAt),
            optional("lastRotatedAt", &R::lastRotatedAt),
            optional("revokedAt", &R::revokedAt),
            optional("lastUsedAt", &R::lastUsedAt),
            optional("lastClientIP", &R::lastClientIP),
            required("totalRequests", &R::totalRequests),
            required("promptTokens", &R::promptTokens),
            required("completionTokens", &R::completionTokens),
            required("status", &R::status),
            optional("scopes", &R::scopes),
        };
    }
};

struct ClientCreatedAPIKey {
    QString key;
    ClientAPIKeyPublic record;

    static constexpr auto fields() {
        using R = ClientCreatedAPIKey;
        return std::tuple{
            required("key", &R::key),
            required("record", &R::record),
        };
    }
};

struct ClientOrgPreambleResponse {
    std::optional<QString> preamble;
    qint64 maxLength = 0;

    static constexpr auto fields() {
        using R = ClientOrgPreambleResponse;
        return std::tuple{
            optional("preamble", &R::preamble),
            required("maxLength", &R::maxLength),
        };
    }
};

struct ClientDiagnosticsResponse {
    QString bundlePath;
    bool promptContentsIncluded = false;
    QString message;

    static constexpr auto fields() {
        using R = ClientDiagnosticsResponse;
        return std::tuple{
            required("bundlePath", &R::bundlePath),
            required("promptContentsIncluded", &R::promptContentsIncluded),
            required("message", &R::message),
        };
    }
};

// ---- request bodies that exist only for one operation -------------------------------------

struct CreateKeyBody {
    QString label;
    std::optional<std::vector<ClientAPIKeyScope>> scopes;

    static constexpr auto fields() {
        using R = CreateKeyBody;
        return std::tuple{
            required("label", &R::label),
            optional("scopes", &R::scopes),
        };
    }
};

struct DiagnosticsBody {
    bool includePromptContents = false;

    static constexpr auto fields() {
        using R = DiagnosticsBody;
        return std::tuple{required("includePromptContents", &R::includePromptContents)};
    }
};

// No preamble encodes as `{}`, which clears it on the server.
struct PreambleBody {
    std::optional<QString> preamble;

    static constexpr auto fields() {
        using R = PreambleBody;
        return std::tuple{optional("preamble", &R::preamble)};
    }
};

// The key list is answered as a bare array; failure paths name it "keys".
using ClientAPIKeyList = std::vector<ClientAPIKeyPublic>;
template <> struct DocumentName<ClientAPIKeyList> { static constexpr const char* value = "keys"; };

} // namespace tavrin
