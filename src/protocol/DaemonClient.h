#pragma once

// Include protocol/Task.h before any other QCoro header; and inside a co_await expression, name
// every argument first (see "Writing a coroutine" in docs/ARCHITECTURE.md):
//     const auto scopes = std::vector{ClientAPIKeyScope::readonly};
//     auto created = co_await client.createKey(label, scopes);
#include "protocol/Task.h"

#include "protocol/AdminRoute.h"
#include "protocol/ClientRecords.h"
#include "protocol/DaemonClientError.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <any>
#include <chrono>
#include <expected>
#include <map>
#include <memory>
#include <optional>
#include <variant>

class QIODevice;
class QNetworkReply;
class QNetworkRequest;

namespace tavrin {

// How long an exchange may take. The defaults are the panel's; tests shorten them so that a
// stalled server is noticed in a second rather than a minute.
struct DaemonClientConfiguration {
    std::chrono::milliseconds requestTimeout{60'000}; // whole admin request
    std::chrono::milliseconds healthTimeout{8'000};   // whole health check
    std::chrono::milliseconds idleTimeout{30'000};    // no bytes moving
    std::chrono::milliseconds resourceTimeout{60'000};
};

template <class T> using ClientResult = std::expected<T, DaemonClientError>;

// Follows one streamed download for whoever started it: when the server's answer turns out to be a
// success, how many bytes have reached the file, and a way to end it early.
class TransferWatch : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Ends the download at once; it then fails, which its caller, having asked, ignores.
    void abort() { Q_EMIT abortRequested(); }

Q_SIGNALS:
    void answered();               // a 2xx answer: its body is on its way to the file
    void received(qint64 written); // bytes written to the file so far
    void abortRequested();
};

// Why a streamed download did not complete: the exchange failed as any operation may, or the file
// would not take the bytes (the file's own error text, e.g. "No space left on device").
struct DownloadError {
    std::variant<DaemonClientError, QString> cause;
    QString message() const;
    bool operator==(const DownloadError&) const = default;
};
// The bytes written.
using DownloadResult = std::expected<qint64, DownloadError>;

// The panel's only door to the server's admin API. Every call is one HTTP exchange, never retried
// and never redirected (a 3xx fails as any other status), its answer bounded by what it can need.
// A record read with GET is kept with the entity tag its answer carried, and the next read of the
// same path asks the server whether it changed (If-None-Match): a 304 answer then costs no body and
// no decoding, and the kept record is the result. A server that tags nothing is read in full each
// time. Lives on the GUI thread; operations are coroutines that suspend while waiting.
class DaemonClient : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl baseURL READ baseURL CONSTANT)

public:
    explicit DaemonClient(QUrl baseURL, std::optional<QString> adminSecret = std::nullopt,
                          std::optional<DaemonClientConfiguration> configuration = std::nullopt,
                          QObject* parent = nullptr);

    QUrl baseURL() const { return m_baseURL; }

    // nullopt: no secret known. An empty secret counts as set but sends no Authorization header.
    // The header carries the secret trimmed by the password's one rule (trimmedAdminSecret), as the
    // server trims what it reads from its file: a password typed with a stray space or line break
    // is the same password before and after the panel reads it back from that file.
    const std::optional<QString>& adminSecret() const { return m_adminSecret; }
    void setAdminSecret(std::optional<QString> secret);

    QCoro::Task<bool> health();
    QCoro::Task<ClientResult<ClientServerStatus>> status();
    QCoro::Task<ClientResult<ClientAPIKeyList>> listKeys();
    QCoro::Task<ClientResult<ClientCreatedAPIKey>>
    createKey(QString label, std::optional<std::vector<ClientAPIKeyScope>> scopes);
    QCoro::Task<ClientResult<ClientAPIKeyPublic>> revokeKey(QString id);
    QCoro::Task<ClientResult<ClientCreatedAPIKey>> rotateKey(QString id);
    QCoro::Task<ClientResult<void>> deleteKey(QString id);
    QCoro::Task<ClientResult<ClientAuditLoggingSettings>> loggingSettings();
    QCoro::Task<ClientResult<ClientAuditLoggingSettings>>
    updateLoggingSettings(ClientAuditLoggingSettings settings);
    QCoro::Task<ClientResult<QByteArray>> exportAuditCSV();
    QCoro::Task<ClientResult<QByteArray>> exportAuditJSONL(bool includePromptContents);
    // The same exports, written to `file` (open for writing, owned by the download until it ends,
    // then closed) as the bytes arrive: an export of any size holds only a read buffer in memory.
    // The answer's head must come within the request timeout; after it, the body may take as long
    // as it keeps moving (the idle timeout still applies). Failures map as for every operation.
    QCoro::Task<DownloadResult> streamAuditCSV(std::unique_ptr<QIODevice> file, QPointer<TransferWatch> watch = {});
    QCoro::Task<DownloadResult> streamAuditJSONL(bool includePromptContents, std::unique_ptr<QIODevice> file,
                                                 QPointer<TransferWatch> watch = {});
    QCoro::Task<ClientResult<ClientNetworkPreferences>> networkPreferences();
    QCoro::Task<ClientResult<ClientNetworkPreferences>>
    updateNetworkPreferences(ClientNetworkPreferences prefs);
    QCoro::Task<ClientResult<ClientOrgPreambleResponse>> orgPreamble();
    QCoro::Task<ClientResult<ClientOrgPreambleResponse>> setOrgPreamble(std::optional<QString> preamble);
    QCoro::Task<ClientResult<ClientUpdaterStatus>> updaterStatus();
    QCoro::Task<ClientResult<ClientUpdateCheckResponse>> checkForUpdates();
    QCoro::Task<ClientResult<ClientUpdateDownloadResponse>> downloadUpdate();
    // Any 2xx is a success, whatever its body (servers answer these in shapes of their own): the
    // answer's bytes, which callers ignore, reading the state afresh instead.
    QCoro::Task<ClientResult<QByteArray>> clearStagedUpdate();
    QCoro::Task<ClientResult<QByteArray>> promoteModel();
    QCoro::Task<ClientResult<QByteArray>> rollbackModel();
    QCoro::Task<ClientResult<ClientDiagnosticsResponse>> createDiagnostics(bool includePromptContents);
    QCoro::Task<ClientResult<ClientEngineSettings>> engineSettings();
    // Answers the settings as saved; a refusal leaves the engine in use serving.
    QCoro::Task<ClientResult<ClientEngineSettings>> updateEngineSettings(ClientEngineSettings settings);
    // One tiny request through the engine in use; its failure carries the engine's words.
    QCoro::Task<ClientResult<ClientEngineTestResult>> testEngine();

Q_SIGNALS:
    void adminSecretChanged();

private:
    // An answer's body, or word that the record kept for the path is still current (304).
    struct Answer {
        QByteArray bytes;
        QByteArray entityTag;
        bool unchanged = false;
    };
    // A record read with GET, kept with its tag until the next answer for its path replaces it.
    struct KeptRecord {
        QByteArray entityTag;
        std::any record;
    };

    std::expected<QNetworkRequest, DaemonClientError> buildRequest(const QString& path) const;
    // Sent as its route says; `argument` goes in place of the target's `<…>` part.
    QCoro::Task<ClientResult<QByteArray>>
    exchange(AdminOperation operation, std::optional<QByteArray> body = std::nullopt, QString argument = {});
    // `ifNoneMatch`: a tag the server may answer 304 to. An answer of more than `limit` bytes is
    // abandoned as it passes the limit and fails as too large.
    QCoro::Task<ClientResult<Answer>> exchangeAnswer(HttpMethod method, QString path,
                                                     std::optional<QByteArray> body, QByteArray ifNoneMatch,
                                                     qint64 limit);
    // Sends the request with its deadline armed, and its answer bounded by `limit` bytes (0: the
    // caller reads it as it comes); a plain function, so that nothing of the awaiting exchange is
    // reachable from the deadline or the bound.
    QNetworkReply* send(QNetworkRequest request, HttpMethod method, const std::optional<QByteArray>& body,
                        std::chrono::milliseconds deadline, qint64 limit);

    QCoro::Task<DownloadResult> stream(AdminOperation operation, QString argument,
                                       std::unique_ptr<QIODevice> file, QPointer<TransferWatch> watch);

    template <class T>
    QCoro::Task<ClientResult<T>> fetch(AdminOperation operation,
                                       std::optional<QByteArray> body = std::nullopt, QString argument = {});

    static const QByteArray emptyObject;

    QUrl m_baseURL;
    std::optional<QString> m_adminSecret;
    DaemonClientConfiguration m_configuration;
    QNetworkAccessManager m_network;
    std::map<QString, KeptRecord> m_kept;
};

} // namespace tavrin
