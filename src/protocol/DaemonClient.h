#pragma once

#include "protocol/ClientRecords.h"
#include "protocol/DaemonClientError.h"

#include <QByteArray>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>
#include <QUrl>

#include "protocol/Task.h"

#include <chrono>
#include <expected>
#include <optional>

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

// The panel's only door to the server's admin API. Every call is one HTTP exchange: no cache,
// no retry. Lives on the GUI thread; operations are coroutines that suspend while waiting.
class DaemonClient : public QObject {
    Q_OBJECT
    Q_PROPERTY(QUrl baseURL READ baseURL CONSTANT)

public:
    explicit DaemonClient(QUrl baseURL, std::optional<QString> adminSecret = std::nullopt,
                          std::optional<DaemonClientConfiguration> configuration = std::nullopt,
                          QObject* parent = nullptr);

    QUrl baseURL() const { return m_baseURL; }

    // nullopt: no secret known. An empty secret counts as set but sends no Authorization header.
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
    QCoro::Task<ClientResult<ClientNetworkPreferences>> networkPreferences();
    QCoro::Task<ClientResult<ClientNetworkPreferences>>
    updateNetworkPreferences(ClientNetworkPreferences prefs);
    QCoro::Task<ClientResult<ClientOrgPreambleResponse>> orgPreamble();
    QCoro::Task<ClientResult<ClientOrgPreambleResponse>> setOrgPreamble(std::optional<QString> preamble);
    QCoro::Task<ClientResult<ClientUpdaterStatus>> updaterStatus();
    QCoro::Task<ClientResult<ClientUpdateCheckResponse>> checkForUpdates();
    QCoro::Task<ClientResult<ClientUpdateDownloadResponse>> downloadUpdate();
    QCoro::Task<ClientResult<QByteArray>> clearStagedUpdate();
    QCoro::Task<ClientResult<QByteArray>> promoteModel();
    QCoro::Task<ClientResult<QByteArray>> rollbackModel();
    QCoro::Task<ClientResult<ClientDiagnosticsResponse>> createDiagnostics(bool includePromptContents);

Q_SIGNALS:
    void adminSecretChanged();

private:
    enum class Method { Get, Post, Put, Delete };

    std::expected<QNetworkRequest, DaemonClientError> buildRequest(const QString& path) const;
    QCoro::Task<ClientResult<QByteArray>> exchange(Method method, QString path,
                                                   std::optional<QByteArray> body = std::nullopt);
    QCoro::Task<QNetworkReply*> send(QNetworkRequest request, Method method, std::optional<QByteArray> body,
                                     std::chrono::milliseconds deadline, bool* timedOut);

    template <class T>
    QCoro::Task<ClientResult<T>> fetch(Method method, QString path,
                                       std::optional<QByteArray> body = std::nullopt);

    static const QByteArray emptyObject;

    QUrl m_baseURL;
    std::optional<QString> m_adminSecret;
    DaemonClientConfiguration m_configuration;
    QNetworkAccessManager m_network;
};

} // namespace tavrin
