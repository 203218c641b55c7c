#include "protocol/DaemonClient.h"

#include "base/AdminSecretFile.h"

#include <QCoroNetworkReply>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>

#include <memory>

namespace tavrin {

const QByteArray DaemonClient::emptyObject = QByteArrayLiteral("{}");

namespace {

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};
using ReplyPtr = std::unique_ptr<QNetworkReply, ReplyDeleter>;

// Set on a reply that its deadline aborted.
constexpr const char* deadlinePassed = "tavrinDeadlinePassed";

// The deadline is over once the answer is in, whichever came first.
bool endDeadline(QNetworkReply* reply) {
    if (auto* timer = reply->findChild<QTimer*>(QStringLiteral("deadline"), Qt::FindDirectChildrenOnly))
        timer->stop();
    return reply->property(deadlinePassed).toBool();
}

QString secondsText(std::chrono::milliseconds ms) {
    const auto count = ms.count();
    if (count % 1000 == 0)
        return QString::number(count / 1000) +
               (count == 1000 ? QStringLiteral(" second") : QStringLiteral(" seconds"));
    return QString::number(double(count) / 1000.0) + QStringLiteral(" seconds");
}

QString bodyText(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return QStringLiteral("<binary>");
    return text;
}

} // namespace

DaemonClient::DaemonClient(QUrl baseURL, std::optional<QString> adminSecret,
                           std::optional<DaemonClientConfiguration> configuration, QObject* parent)
    : QObject(parent), m_baseURL(std::move(baseURL)), m_adminSecret(std::move(adminSecret)),
      m_configuration(configuration.value_or(DaemonClientConfiguration{})) {
    // The admin API is on this machine; a desktop proxy setting must never route it elsewhere.
    m_network.setProxy(QNetworkProxy::NoProxy);
}

void DaemonClient::setAdminSecret(std::optional<QString> secret) {
    m_adminSecret = std::move(secret);
    Q_EMIT adminSecretChanged();
}

std::expected<QNetworkRequest, DaemonClientError> DaemonClient::buildRequest(const QString& path) const {
    const QUrl relative(path, QUrl::StrictMode);
    if (path.isEmpty() || !relative.isValid())
        return std::unexpected(DaemonClientError::notReachable(QStringLiteral("invalid path ") + path));
    QNetworkRequest request(m_baseURL.resolved(relative));
    // Trimmed, a secret also never carries a line break into the header.
    const QString secret = m_adminSecret ? trimmedAdminSecret(*m_adminSecret) : QString();
    if (path.startsWith(QLatin1StringView("/admin/")) && !secret.isEmpty())
        request.setRawHeader("Authorization", "Bearer " + secret.toUtf8());
    return request;
}

QNetworkReply* DaemonClient::send(QNetworkRequest request, Method method, const std::optional<QByteArray>& body,
                                 std::chrono::milliseconds deadline) {
    request.setTransferTimeout(int(m_configuration.idleTimeout.count()));
    if (body)
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));

    QNetworkReply* reply = nullptr;
    switch (method) {
    case Method::Get:
        reply = m_network.get(request);
        break;
    case Method::Delete:
        reply = m_network.deleteResource(request);
        break;
    case Method::Post:
        reply = m_network.post(request, body.value_or(QByteArray()));
        break;
    case Method::Put:
        reply = m_network.put(request, body.value_or(QByteArray()));
        break;
    }

    // The whole exchange, connection included, must end by the deadline. The timer is the reply's
    // and touches nothing but the reply: the answer and the deadline may fall due in the same pass
    // of the event loop, and the exchange may have ended (its frame gone) by the time the timer's
    // turn comes. The exchange stops it once the answer is in.
    auto* timer = new QTimer(reply);
    timer->setObjectName(QStringLiteral("deadline"));
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, reply, [reply] {
        if (reply->isFinished())
            return;
        reply->setProperty(deadlinePassed, true);
        reply->abort();
    });
    timer->start(std::min(deadline, m_configuration.resourceTimeout));
    return reply;
}

QCoro::Task<ClientResult<QByteArray>> DaemonClient::exchange(Method method, QString path,
                                                             std::optional<QByteArray> body) {
    auto request = buildRequest(path);
    if (!request)
        co_return std::unexpected(request.error());

    const auto deadline = std::min(m_configuration.requestTimeout, m_configuration.resourceTimeout);
    ReplyPtr reply(send(*request, method, body, deadline));
    co_await reply.get();
    const bool timedOut = endDeadline(reply.get());

    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply->error();
    // Without a status line nothing HTTP came back. With one, a transport error below the HTTP
    // level (closed mid-body, stalled) means the answer is incomplete and must not pass as good.
    const bool transportFailed = !statusAttribute.isValid() || (error != QNetworkReply::NoError &&
                                                                error < QNetworkReply::ContentAccessDenied);
    if (transportFailed) {
        if (timedOut)
            co_return std::unexpected(DaemonClientError::notReachable(
                QStringLiteral("The request timed out (no complete answer within %1).")
                    .arg(secondsText(deadline))));
        // Qt ends a reply whose transfer timeout expired as "Operation canceled"; nothing else
        // cancels our replies, so say what really happened.
        if (error == QNetworkReply::OperationCanceledError)
            co_return std::unexpected(
                DaemonClientError::notReachable(QStringLiteral("The request timed out (no data for %1).")
                                                    .arg(secondsText(m_configuration.idleTimeout))));
        // Only where Qt itself says the answer was not HTTP. A connection dropped before or in the
        // middle of the answer is said in the transport's own words ("Connection closed"); Qt
        // reports bytes that are not HTTP followed by a close in those same words, and there is
        // nothing more to tell the two apart by.
        if (!statusAttribute.isValid() && (error == QNetworkReply::NoError || error == QNetworkReply::ProtocolFailure ||
                                           error == QNetworkReply::ProtocolUnknownError))
            co_return std::unexpected(DaemonClientError::notReachable(QStringLiteral("non-HTTP response")));
        co_return std::unexpected(DaemonClientError::notReachable(reply->errorString()));
    }

    const int status = statusAttribute.toInt();
    const QByteArray bytes = reply->readAll();
    if (status >= 200 && status <= 299)
        co_return bytes;
    if (status == 401 || status == 403)
        co_return std::unexpected(DaemonClientError::unauthenticated());
    co_return std::unexpected(DaemonClientError::http(status, bodyText(bytes)));
}

template <class T>
QCoro::Task<ClientResult<std::optional<T>>> DaemonClient::fetchIfAny(Method method, QString path, QByteArray body) {
    auto bytes = co_await exchange(method, std::move(path), std::move(body));
    if (!bytes)
        co_return std::unexpected(bytes.error());
    if (bytes->isEmpty())
        co_return std::optional<T>();
    auto decoded = decodeJson<T>(*bytes);
    if (!decoded)
        co_return std::unexpected(DaemonClientError::decodeFailed(decoded.error().message()));
    co_return std::optional<T>(std::move(*decoded));
}

template <class T>
QCoro::Task<ClientResult<T>> DaemonClient::fetch(Method method, QString path,
                                                 std::optional<QByteArray> body) {
    auto bytes = co_await exchange(method, std::move(path), std::move(body));
    if (!bytes)
        co_return std::unexpected(bytes.error());
    auto decoded = decodeJson<T>(*bytes, std::is_same_v<T, ClientAPIKeyList> ? "keys" : nullptr);
    if (!decoded)
        co_return std::unexpected(DaemonClientError::decodeFailed(decoded.error().message()));
    co_return std::move(*decoded);
}

QCoro::Task<bool> DaemonClient::health() {
    const QUrl relative(QStringLiteral("/healthz"), QUrl::StrictMode);
    QNetworkRequest request(m_baseURL.resolved(relative));
    ReplyPtr reply(send(request, Method::Get, std::nullopt, m_configuration.healthTimeout));
    co_await reply.get();
    const bool timedOut = endDeadline(reply.get());
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    co_return !timedOut && status.isValid() && status.toInt() == 200 &&
        (reply->error() == QNetworkReply::NoError);
}

QCoro::Task<ClientResult<ClientServerStatus>> DaemonClient::status() {
    return fetch<ClientServerStatus>(Method::Get, QStringLiteral("/admin/status"));
}

QCoro::Task<ClientResult<ClientAPIKeyList>> DaemonClient::listKeys() {
    return fetch<ClientAPIKeyList>(Method::Get, QStringLiteral("/admin/keys"));
}

QCoro::Task<ClientResult<ClientCreatedAPIKey>>
DaemonClient::createKey(QString label, std::optional<std::vector<ClientAPIKeyScope>> scopes) {
    const CreateKeyBody body{std::move(label), std::move(scopes)};
    return fetch<ClientCreatedAPIKey>(Method::Post, QStringLiteral("/admin/keys"), encodeJson(body));
}

QCoro::Task<ClientResult<ClientAPIKeyPublic>> DaemonClient::revokeKey(QString id) {
    return fetch<ClientAPIKeyPublic>(
        Method::Post, QStringLiteral("/admin/keys/") + id + QStringLiteral("/revoke"), emptyObject);
}

QCoro::Task<ClientResult<ClientCreatedAPIKey>> DaemonClient::rotateKey(QString id) {
    return fetch<ClientCreatedAPIKey>(
        Method::Post, QStringLiteral("/admin/keys/") + id + QStringLiteral("/rotate"), emptyObject);
}

QCoro::Task<ClientResult<void>> DaemonClient::deleteKey(QString id) {
    auto bytes = co_await exchange(Method::Delete, QStringLiteral("/admin/keys/") + id);
    if (!bytes)
        co_return std::unexpected(bytes.error());
    co_return {};
}

QCoro::Task<ClientResult<ClientAuditLoggingSettings>> DaemonClient::loggingSettings() {
    return fetch<ClientAuditLoggingSettings>(Method::Get, QStringLiteral("/admin/settings/logging"));
}

QCoro::Task<ClientResult<ClientAuditLoggingSettings>>
DaemonClient::updateLoggingSettings(ClientAuditLoggingSettings settings) {
    return fetch<ClientAuditLoggingSettings>(Method::Put, QStringLiteral("/admin/settings/logging"),
                                             encodeJson(settings));
}

QCoro::Task<ClientResult<QByteArray>> DaemonClient::exportAuditCSV() {
    return exchange(Method::Get, QStringLiteral("/admin/audit/export?format=csv"));
}

QCoro::Task<ClientResult<QByteArray>> DaemonClient::exportAuditJSONL(bool includePromptContents) {
    return exchange(Method::Get,
                    QStringLiteral("/admin/audit/export?format=jsonl&includePromptContents=") +
                        (includePromptContents ? QStringLiteral("true") : QStringLiteral("false")));
}

QCoro::Task<ClientResult<ClientNetworkPreferences>> DaemonClient::networkPreferences() {
    return fetch<ClientNetworkPreferences>(Method::Get, QStringLiteral("/admin/network"));
}

QCoro::Task<ClientResult<ClientNetworkPreferences>>
DaemonClient::updateNetworkPreferences(ClientNetworkPreferences prefs) {
    return fetch<ClientNetworkPreferences>(Method::Put, QStringLiteral("/admin/network"), encodeJson(prefs));
}

QCoro::Task<ClientResult<ClientOrgPreambleResponse>> DaemonClient::orgPreamble() {
    return fetch<ClientOrgPreambleResponse>(Method::Get, QStringLiteral("/admin/settings/preamble"));
}

QCoro::Task<ClientResult<ClientOrgPreambleResponse>>
DaemonClient::setOrgPreamble(std::optional<QString> preamble) {
    const PreambleBody body{std::move(preamble)};
    return fetch<ClientOrgPreambleResponse>(Method::Put, QStringLiteral("/admin/settings/preamble"),
                                            encodeJson(body));
}

QCoro::Task<ClientResult<ClientUpdaterStatus>> DaemonClient::updaterStatus() {
    return fetch<ClientUpdaterStatus>(Method::Get, QStringLiteral("/admin/updates"));
}

QCoro::Task<ClientResult<ClientUpdateCheckResponse>> DaemonClient::checkForUpdates() {
    return fetch<ClientUpdateCheckResponse>(Method::Post, QStringLiteral("/admin/updates/check"),
                                            emptyObject);
}

QCoro::Task<ClientResult<ClientUpdateDownloadResponse>> DaemonClient::downloadUpdate() {
    return fetch<ClientUpdateDownloadResponse>(Method::Post, QStringLiteral("/admin/updates/download"),
                                               emptyObject);
}

QCoro::Task<ClientResult<std::optional<ClientUpdaterStatus>>> DaemonClient::clearStagedUpdate() {
    return fetchIfAny<ClientUpdaterStatus>(Method::Post, QStringLiteral("/admin/updates/clear"), emptyObject);
}

QCoro::Task<ClientResult<std::optional<ClientModelStatus>>> DaemonClient::promoteModel() {
    return fetchIfAny<ClientModelStatus>(Method::Post, QStringLiteral("/admin/model/promote"), emptyObject);
}

QCoro::Task<ClientResult<std::optional<ClientModelStatus>>> DaemonClient::rollbackModel() {
    return fetchIfAny<ClientModelStatus>(Method::Post, QStringLiteral("/admin/model/rollback"), emptyObject);
}

QCoro::Task<ClientResult<ClientDiagnosticsResponse>>
DaemonClient::createDiagnostics(bool includePromptContents) {
    const DiagnosticsBody body{includePromptContents};
    return fetch<ClientDiagnosticsResponse>(Method::Post, QStringLiteral("/admin/diagnostics"),
                                            encodeJson(body));
}

} // namespace tavrin
