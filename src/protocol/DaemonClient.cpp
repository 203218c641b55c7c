#include "protocol/DaemonClient.h"

#include "base/AdminSecretFile.h"
#include "base/ShownFigures.h"
#include "protocol/ListenerOwners.h"

#include <QCoreApplication>
#include <QCoroNetworkReply>
#include <QFileDevice>
#include <QLocale>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStringDecoder>
#include <QTimer>

#include <memory>

#include <unistd.h>

namespace tavrin {

const QByteArray DaemonClient::emptyObject = QByteArrayLiteral("{}");

namespace {

struct ReplyDeleter {
    void operator()(QNetworkReply* reply) const { reply->deleteLater(); }
};
using ReplyPtr = std::unique_ptr<QNetworkReply, ReplyDeleter>;

// A streamed download holds at most this much of the answer in memory; beyond it Qt stops reading
// from the socket until the file has taken what is there.
constexpr qint64 streamBufferBytes = 1 << 20;
constexpr qint64 streamChunkBytes = 256 * 1024;
// A failure's body is shown to the user; more than this is no message anyone reads.
constexpr qsizetype errorBodyLimit = 64 * 1024;
constexpr qsizetype shownBodyCharacters = 2000;

// What an answer may hold, by what it answers: anyone may listen on the port, and an answer read
// whole without a bound is a way to exhaust the panel's memory. Each is far beyond what a real
// server sends (a health body is a word; a status, a few KiB); a list of keys, or an export held in
// memory, grows with use, and larger exports stream to a file instead.
constexpr qint64 healthAnswerLimit = 64 * 1024;
constexpr qint64 recordAnswerLimit = 1024 * 1024;
constexpr qint64 listAnswerLimit = 16 * 1024 * 1024;

qint64 answerLimit(AdminOperation operation) {
    switch (operation) {
    case AdminOperation::listKeys:
    case AdminOperation::exportAuditCSV:
    case AdminOperation::exportAuditJSONL:
        return listAnswerLimit;
    default:
        return recordAnswerLimit;
    }
}

// Set on a reply that its deadline aborted.
constexpr const char* deadlinePassed = "tavrinDeadlinePassed";

// A bounded answer's body as it arrives, kept by its reply: taken off the reply at once, so that
// Qt's own buffer stays at its read buffer's size, and the reply abandoned as the body passes its
// limit. It touches the reply alone, like the deadline; the abort is queued, since it finishes the
// reply and so resumes the exchange, which must not happen inside the reply's own signal.
class AnswerBody : public QObject {
public:
    static constexpr const char* name = "answerBody";

    AnswerBody(QNetworkReply* reply, qint64 limit) : QObject(reply), m_reply(reply), m_limit(limit) {
        setObjectName(QLatin1String(name));
        // Qt reads no further from the socket than this, whatever the server sends.
        reply->setReadBufferSize(answerReadBufferBytes);
        connect(reply, &QNetworkReply::metaDataChanged, this, [this] {
            bool declared = false;
            const qint64 length = m_reply->header(QNetworkRequest::ContentLengthHeader).toLongLong(&declared);
            if (declared && length > m_limit)
                giveUp();
        });
        connect(reply, &QNetworkReply::readyRead, this, &AnswerBody::take);
    }

    static AnswerBody* of(const QNetworkReply* reply) {
        return static_cast<AnswerBody*>(reply->findChild<QObject*>(QLatin1String(name), Qt::FindDirectChildrenOnly));
    }

    bool tooLarge() const { return m_tooLarge; }
    // The whole body, once the reply has finished.
    QByteArray bytes() {
        take();
        return m_bytes;
    }

private:
    static constexpr qint64 answerReadBufferBytes = 256 * 1024;

    void take() {
        while (!m_tooLarge && m_reply->bytesAvailable() > 0) {
            m_bytes += m_reply->read(answerReadBufferBytes);
            if (m_bytes.size() > m_limit)
                giveUp();
        }
    }
    void giveUp() {
        if (m_tooLarge)
            return;
        m_tooLarge = true;
        m_bytes = QByteArray();
        QMetaObject::invokeMethod(m_reply, &QNetworkReply::abort, Qt::QueuedConnection);
    }

    QNetworkReply* m_reply;
    qint64 m_limit;
    QByteArray m_bytes;
    bool m_tooLarge = false;
};

bool answerTooLarge(const QNetworkReply* reply) {
    const AnswerBody* body = AnswerBody::of(reply);
    return body && body->tooLarge();
}

// The deadline is over once the answer is in, whichever came first.
bool endDeadline(QNetworkReply* reply) {
    if (auto* timer = reply->findChild<QTimer*>(QStringLiteral("deadline"), Qt::FindDirectChildrenOnly))
        timer->stop();
    return reply->property(deadlinePassed).toBool();
}

QString secondsText(std::chrono::milliseconds ms) {
    const auto count = ms.count();
    if (const qint64 seconds = count / 1000; seconds * 1000 == count)
        return QCoreApplication::translate("DaemonClient", "%n second(s)", nullptr, pluralCount(seconds));
    return QCoreApplication::translate("DaemonClient", "%1 seconds").arg(QLocale().toString(double(count) / 1000.0));
}

QString bodyText(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return QStringLiteral("<binary>");
    return text;
}

// The status of a finished reply, or why there is none worth reading: with no status line nothing
// HTTP came back; with one, a transport error below the HTTP level (closed mid-body, stalled)
// means the answer is incomplete and must not pass as good.
std::expected<int, DaemonClientError> answerStatus(QNetworkReply* reply, bool timedOut,
                                                   std::chrono::milliseconds deadline,
                                                   std::chrono::milliseconds idleTimeout) {
    const QVariant statusAttribute = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply->error();
    const bool transportFailed = !statusAttribute.isValid() || (error != QNetworkReply::NoError &&
                                                                error < QNetworkReply::ContentAccessDenied);
    if (!transportFailed)
        return statusAttribute.toInt();
    if (timedOut)
        return std::unexpected(DaemonClientError::notReachable(
            QCoreApplication::translate("DaemonClient",
                                        "The request timed out (no complete answer within %1).")
                .arg(secondsText(deadline))));
    // Qt ends a reply whose transfer timeout expired as "Operation canceled"; nothing else
    // cancels our replies (a download's caller that aborts one ignores the outcome), so say what
    // really happened.
    if (error == QNetworkReply::OperationCanceledError)
        return std::unexpected(DaemonClientError::notReachable(
            QCoreApplication::translate("DaemonClient", "The request timed out (no data for %1).")
                .arg(secondsText(idleTimeout))));
    // Only where Qt itself says the answer was not HTTP. A connection dropped before or in the
    // middle of the answer is said in the transport's own words ("Connection closed"); Qt
    // reports bytes that are not HTTP followed by a close in those same words, and there is
    // nothing more to tell the two apart by.
    if (!statusAttribute.isValid() && (error == QNetworkReply::NoError || error == QNetworkReply::ProtocolFailure ||
                                       error == QNetworkReply::ProtocolUnknownError))
        return std::unexpected(DaemonClientError::notReachable(
            QCoreApplication::translate("DaemonClient", "non-HTTP response")));
    return std::unexpected(DaemonClientError::notReachable(reply->errorString()));
}

QString trueOrFalse(bool value) {
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

// A complete answer outside 2xx. Its body is shown whole only when short: whatever answers on the
// port chooses it.
DaemonClientError statusFailure(int status, const QByteArray& body) {
    if (status == 401 || status == 403)
        return DaemonClientError::unauthenticated();
    QString text = bodyText(body);
    if (text.size() > shownBodyCharacters)
        text = text.left(shownBodyCharacters) + QStringLiteral("…");
    return DaemonClientError::http(status, text);
}

} // namespace

DaemonClient::DaemonClient(QUrl baseURL, std::optional<QString> adminSecret,
                           std::optional<DaemonClientConfiguration> configuration, QObject* parent)
    : QObject(parent), m_baseURL(std::move(baseURL)), m_adminSecret(std::move(adminSecret)),
      m_configuration(configuration.value_or(DaemonClientConfiguration{})) {
    // The admin API is on this machine; a desktop proxy setting must never route it elsewhere.
    m_network.setProxy(QNetworkProxy::NoProxy);
    // A redirect would carry the Authorization header to wherever the answer points, checked by
    // nobody: the server never redirects, so a 3xx is an answer like any other failure.
    m_network.setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
}

void DaemonClient::setAdminSecret(std::optional<QString> secret) {
    m_adminSecret = std::move(secret);
    m_kept.clear(); // what one password was shown is not vouched for under another
    Q_EMIT adminSecretChanged();
}

std::expected<QNetworkRequest, DaemonClientError> DaemonClient::buildRequest(const QString& path) const {
    const QUrl relative(path, QUrl::StrictMode);
    if (path.isEmpty() || !relative.isValid())
        return std::unexpected(DaemonClientError::notReachable(
            QCoreApplication::translate("DaemonClient", "invalid path %1").arg(path)));
    QNetworkRequest request(m_baseURL.resolved(relative));
    // Trimmed, a secret also never carries a line break into the header.
    const QString secret = m_adminSecret ? trimmedAdminSecret(*m_adminSecret) : QString();
    if (isAdminPath(path.toStdString()) && !secret.isEmpty()) {
        const QString host = m_baseURL.host();
        const QHostAddress address = host == QLatin1StringView("localhost") ? QHostAddress(QHostAddress::LocalHost) : QHostAddress(host);
        if (auto ours = checkListenerIsOurs(address, quint16(m_baseURL.port(80)), ::getuid()); !ours)
            return std::unexpected(ours.error());
        request.setRawHeader("Authorization", "Bearer " + secret.toUtf8());
    }
    return request;
}

QNetworkReply* DaemonClient::send(QNetworkRequest request, HttpMethod method,
                                  const std::optional<QByteArray>& body, std::chrono::milliseconds deadline,
                                  qint64 limit) {
    request.setTransferTimeout(int(m_configuration.idleTimeout.count()));
    if (body)
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));

    QNetworkReply* reply = nullptr;
    switch (method) {
    case HttpMethod::Get:
        reply = m_network.get(request);
        break;
    case HttpMethod::Delete:
        reply = m_network.deleteResource(request);
        break;
    case HttpMethod::Post:
        reply = m_network.post(request, body.value_or(QByteArray()));
        break;
    case HttpMethod::Put:
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

    if (limit > 0)
        new AnswerBody(reply, limit);
    return reply;
}

QCoro::Task<ClientResult<QByteArray>>
DaemonClient::exchange(AdminOperation operation, std::optional<QByteArray> body, QString argument) {
    const AdminRoute& route = adminRoute(operation);
    const QString target = route.targetWith(argument);
    const QByteArray noTag;
    const qint64 limit = answerLimit(operation);
    auto answer = co_await exchangeAnswer(route.method, target, std::move(body), noTag, limit);
    if (!answer)
        co_return std::unexpected(answer.error());
    co_return std::move(answer->bytes);
}

QCoro::Task<ClientResult<DaemonClient::Answer>> DaemonClient::exchangeAnswer(HttpMethod method, QString path,
                                                                             std::optional<QByteArray> body,
                                                                             QByteArray ifNoneMatch, qint64 limit) {
    auto request = buildRequest(path);
    if (!request)
        co_return std::unexpected(request.error());
    if (!ifNoneMatch.isEmpty())
        request->setRawHeader("If-None-Match", ifNoneMatch);

    const auto deadline = std::min(m_configuration.requestTimeout, m_configuration.resourceTimeout);
    ReplyPtr reply(send(*request, method, body, deadline, limit));
    co_await reply.get();
    const bool timedOut = endDeadline(reply.get());
    if (answerTooLarge(reply.get()))
        co_return std::unexpected(DaemonClientError::tooLarge(limit));

    const auto status = answerStatus(reply.get(), timedOut, deadline, m_configuration.idleTimeout);
    if (!status)
        co_return std::unexpected(status.error());
    const QByteArray bytes = AnswerBody::of(reply.get())->bytes();
    if (*status == 304 && !ifNoneMatch.isEmpty())
        co_return Answer{.bytes = {}, .entityTag = {}, .unchanged = true};
    if (*status >= 200 && *status <= 299)
        co_return Answer{.bytes = bytes, .entityTag = reply->rawHeader("ETag"), .unchanged = false};
    co_return std::unexpected(statusFailure(*status, bytes));
}

template <class T>
QCoro::Task<ClientResult<T>> DaemonClient::fetch(AdminOperation operation, std::optional<QByteArray> body,
                                                 QString argument) {
    const HttpMethod method = adminRoute(operation).method;
    const QString path = adminRoute(operation).targetWith(argument); // also the key of the kept record
    // The record the tag stands for is held here, should another read replace it meanwhile.
    QByteArray ifNoneMatch;
    std::shared_ptr<const T> current;
    if (const auto kept = m_kept.find(path); method == HttpMethod::Get && kept != m_kept.end()) {
        if (const auto* record = std::any_cast<std::shared_ptr<const T>>(&kept->second.record)) {
            ifNoneMatch = kept->second.entityTag;
            current = *record;
        }
    }
    QPointer self(this);
    const qint64 limit = answerLimit(operation);
    auto answer = co_await exchangeAnswer(method, path, std::move(body), ifNoneMatch, limit);
    if (!answer)
        co_return std::unexpected(answer.error());
    if (answer->unchanged)
        co_return *current;
    auto decoded = decodeJson<T>(answer->bytes);
    if (!decoded)
        co_return std::unexpected(DaemonClientError::decodeFailed(decoded.error().message()));
    if (self && method == HttpMethod::Get) {
        if (answer->entityTag.isEmpty())
            m_kept.erase(path);
        else
            m_kept[path] = KeptRecord{answer->entityTag, std::make_shared<const T>(*decoded)};
    }
    co_return std::move(*decoded);
}

QCoro::Task<bool> DaemonClient::health() {
    const QUrl relative(QString::fromLatin1(healthPath), QUrl::StrictMode);
    QNetworkRequest request(m_baseURL.resolved(relative));
    ReplyPtr reply(send(request, HttpMethod::Get, std::nullopt, m_configuration.healthTimeout, healthAnswerLimit));
    co_await reply.get();
    const bool timedOut = endDeadline(reply.get()) || answerTooLarge(reply.get());
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    co_return !timedOut && status.isValid() && status.toInt() == 200 &&
        (reply->error() == QNetworkReply::NoError);
}

QCoro::Task<ClientResult<ClientServerStatus>> DaemonClient::status() {
    return fetch<ClientServerStatus>(AdminOperation::status);
}

QCoro::Task<ClientResult<ClientAPIKeyList>> DaemonClient::listKeys() {
    return fetch<ClientAPIKeyList>(AdminOperation::listKeys);
}

QCoro::Task<ClientResult<ClientCreatedAPIKey>>
DaemonClient::createKey(QString label, std::optional<std::vector<ClientAPIKeyScope>> scopes) {
    const CreateKeyBody body{std::move(label), std::move(scopes)};
    return fetch<ClientCreatedAPIKey>(AdminOperation::createKey, encodeJson(body));
}

QCoro::Task<ClientResult<ClientAPIKeyPublic>> DaemonClient::revokeKey(QString id) {
    return fetch<ClientAPIKeyPublic>(AdminOperation::revokeKey, emptyObject, std::move(id));
}

QCoro::Task<ClientResult<ClientCreatedAPIKey>> DaemonClient::rotateKey(QString id) {
    return fetch<ClientCreatedAPIKey>(AdminOperation::rotateKey, emptyObject, std::move(id));
}

QCoro::Task<ClientResult<void>> DaemonClient::deleteKey(QString id) {
    const std::optional<QByteArray> noBody;
    auto bytes = co_await exchange(AdminOperation::deleteKey, noBody, std::move(id));
    if (!bytes)
        co_return std::unexpected(bytes.error());
    co_return {};
}

QCoro::Task<ClientResult<ClientAuditLoggingSettings>> DaemonClient::loggingSettings() {
    return fetch<ClientAuditLoggingSettings>(AdminOperation::loggingSettings);
}

QCoro::Task<ClientResult<ClientAuditLoggingSettings>>
DaemonClient::updateLoggingSettings(ClientAuditLoggingSettings settings) {
    return fetch<ClientAuditLoggingSettings>(AdminOperation::updateLoggingSettings, encodeJson(settings));
}

QCoro::Task<ClientResult<QByteArray>> DaemonClient::exportAuditCSV() {
    return exchange(AdminOperation::exportAuditCSV);
}

QCoro::Task<ClientResult<QByteArray>> DaemonClient::exportAuditJSONL(bool includePromptContents) {
    return exchange(AdminOperation::exportAuditJSONL, std::nullopt, trueOrFalse(includePromptContents));
}

QString DownloadError::message() const {
    if (const auto* client = std::get_if<DaemonClientError>(&cause))
        return client->message();
    return std::get<QString>(cause);
}

QCoro::Task<DownloadResult> DaemonClient::stream(AdminOperation operation, QString argument,
                                                 std::unique_ptr<QIODevice> file,
                                                 QPointer<TransferWatch> watch) {
    const AdminRoute& route = adminRoute(operation);
    auto request = buildRequest(route.targetWith(argument));
    if (!request)
        co_return std::unexpected(DownloadError{request.error()});

    const auto deadline = std::min(m_configuration.requestTimeout, m_configuration.resourceTimeout);
    ReplyPtr reply(send(*request, route.method, std::nullopt, deadline, 0));
    QNetworkReply* answer = reply.get();
    answer->setReadBufferSize(streamBufferBytes);

    // What the reply's signals touch lives in this frame; `guard` ends their connections with it.
    QObject guard;
    std::optional<int> status;
    qint64 written = 0;
    QByteArray errorBody;
    QString writeError;
    bool aborted = false;
    bool errorBodyFull = false; // a failure's body past what is shown: the rest is not waited for
    const auto isSuccess = [&] { return status && *status >= 200 && *status <= 299; };
    // Aborting finishes the reply, and so resumes this coroutine, at once: never from inside one of
    // its own signals, whose handler would then run on in a frame that has ended.
    const auto abortLater = [answer] { QMetaObject::invokeMethod(answer, &QNetworkReply::abort, Qt::QueuedConnection); };

    const auto takeHead = [&] {
        const QVariant attribute = answer->attribute(QNetworkRequest::HttpStatusCodeAttribute);
        if (status || !attribute.isValid())
            return;
        status = attribute.toInt();
        // The head is in: the body may take as long as it keeps moving.
        endDeadline(answer);
        if (isSuccess() && watch)
            Q_EMIT watch->answered();
    };
    const auto drain = [&] {
        takeHead();
        while (status && answer->bytesAvailable() > 0) {
            const QByteArray chunk = answer->read(streamChunkBytes);
            if (!isSuccess()) {
                errorBody += chunk.left(errorBodyLimit - errorBody.size());
                if (errorBody.size() >= errorBodyLimit && !errorBodyFull) {
                    errorBodyFull = true;
                    abortLater();
                }
            } else if (writeError.isEmpty()) {
                if (file->write(chunk) != chunk.size()) {
                    writeError = file->errorString();
                    abortLater();
                } else {
                    written += chunk.size();
                }
            }
        }
        if (isSuccess() && writeError.isEmpty() && watch)
            Q_EMIT watch->received(written);
    };
    connect(answer, &QNetworkReply::metaDataChanged, &guard, takeHead);
    connect(answer, &QNetworkReply::readyRead, &guard, drain);
    if (watch)
        connect(watch, &TransferWatch::abortRequested, &guard, [&] {
            aborted = true;
            abortLater();
        });

    co_await answer;
    drain();
    const bool timedOut = endDeadline(answer);
    if (!writeError.isEmpty())
        co_return std::unexpected(DownloadError{writeError});
    if (aborted)
        co_return std::unexpected(DownloadError{DaemonClientError::notReachable(
            QCoreApplication::translate("DaemonClient", "Operation canceled"))});
    if (errorBodyFull)
        co_return std::unexpected(DownloadError{statusFailure(*status, errorBody)});
    const auto finalStatus = answerStatus(answer, timedOut, deadline, m_configuration.idleTimeout);
    if (!finalStatus)
        co_return std::unexpected(DownloadError{finalStatus.error()});
    if (*finalStatus < 200 || *finalStatus > 299)
        co_return std::unexpected(DownloadError{statusFailure(*finalStatus, errorBody)});
    // Bytes still in a buffer are not yet in the file: a full disk may only say so now.
    if (auto* onDisk = qobject_cast<QFileDevice*>(file.get()); onDisk && !onDisk->flush())
        co_return std::unexpected(DownloadError{onDisk->errorString()});
    file->close();
    co_return written;
}

QCoro::Task<DownloadResult> DaemonClient::streamAuditCSV(std::unique_ptr<QIODevice> file,
                                                         QPointer<TransferWatch> watch) {
    return stream(AdminOperation::exportAuditCSV, {}, std::move(file), std::move(watch));
}

QCoro::Task<DownloadResult> DaemonClient::streamAuditJSONL(bool includePromptContents, std::unique_ptr<QIODevice> file,
                                                           QPointer<TransferWatch> watch) {
    return stream(AdminOperation::exportAuditJSONL, trueOrFalse(includePromptContents), std::move(file),
                  std::move(watch));
}

QCoro::Task<ClientResult<ClientNetworkPreferences>> DaemonClient::networkPreferences() {
    return fetch<ClientNetworkPreferences>(AdminOperation::networkPreferences);
}

QCoro::Task<ClientResult<ClientNetworkPreferences>>
DaemonClient::updateNetworkPreferences(ClientNetworkPreferences prefs) {
    return fetch<ClientNetworkPreferences>(AdminOperation::updateNetworkPreferences, encodeJson(prefs));
}

QCoro::Task<ClientResult<ClientOrgPreambleResponse>> DaemonClient::orgPreamble() {
    return fetch<ClientOrgPreambleResponse>(AdminOperation::orgPreamble);
}

QCoro::Task<ClientResult<ClientOrgPreambleResponse>>
DaemonClient::setOrgPreamble(std::optional<QString> preamble) {
    const PreambleBody body{std::move(preamble)};
    return fetch<ClientOrgPreambleResponse>(AdminOperation::setOrgPreamble, encodeJson(body));
}

QCoro::Task<ClientResult<ClientUpdaterStatus>> DaemonClient::updaterStatus() {
    return fetch<ClientUpdaterStatus>(AdminOperation::updaterStatus);
}

QCoro::Task<ClientResult<ClientUpdateCheckResponse>> DaemonClient::checkForUpdates() {
    return fetch<ClientUpdateCheckResponse>(AdminOperation::checkForUpdates, emptyObject);
}

QCoro::Task<ClientResult<ClientUpdateDownloadResponse>> DaemonClient::downloadUpdate() {
    return fetch<ClientUpdateDownloadResponse>(AdminOperation::downloadUpdate, emptyObject);
}

QCoro::Task<ClientResult<QByteArray>> DaemonClient::clearStagedUpdate() {
    return exchange(AdminOperation::clearStagedUpdate, emptyObject);
}

QCoro::Task<ClientResult<QByteArray>> DaemonClient::promoteModel() {
    return exchange(AdminOperation::promoteModel, emptyObject);
}

QCoro::Task<ClientResult<QByteArray>> DaemonClient::rollbackModel() {
    return exchange(AdminOperation::rollbackModel, emptyObject);
}

QCoro::Task<ClientResult<ClientDiagnosticsResponse>>
DaemonClient::createDiagnostics(bool includePromptContents) {
    const DiagnosticsBody body{includePromptContents};
    return fetch<ClientDiagnosticsResponse>(AdminOperation::createDiagnostics, encodeJson(body));
}

QCoro::Task<ClientResult<ClientEngineSettings>> DaemonClient::engineSettings() {
    return fetch<ClientEngineSettings>(AdminOperation::engineSettings);
}

QCoro::Task<ClientResult<ClientEngineSettings>> DaemonClient::updateEngineSettings(ClientEngineSettings settings) {
    return fetch<ClientEngineSettings>(AdminOperation::updateEngineSettings, encodeJson(settings));
}

QCoro::Task<ClientResult<ClientEngineTestResult>> DaemonClient::testEngine() {
    return fetch<ClientEngineTestResult>(AdminOperation::testEngine, emptyObject);
}

} // namespace tavrin
