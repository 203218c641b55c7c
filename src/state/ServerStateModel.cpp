#include "state/ServerStateModel.h"

#include "base/AdminSecretFile.h"
#include "base/Graphemes.h"
#include "control/AdminPassword.h"
#include "control/DaemonProcessController.h"
#include "control/KeychainStore.h"
#include "protocol/DaemonClient.h"
#include "state/PollAlarm.h"

#include <QCoroFuture>
#include <QCoroSignal>
#include <QFutureWatcher>
#include <QSettings>
#include <QTimer>

#include <chrono>
#include <cmath>

namespace tavrin {

ServerStateModel::ServerStateModel(DaemonClient* client, DaemonProcessController* process, QObject* parent)
    : ServerStateModel(client, process, KeychainStore(), parent) {}

ServerStateModel::ServerStateModel(DaemonClient* client, DaemonProcessController* process, KeychainStore keychain,
                                   QObject* parent)
    : QObject(parent), m_client(client), m_process(process),
      m_keychain(std::make_unique<KeychainStore>(std::move(keychain))) {
    // The file is what the server reads, so it wins; the keychain copy is the panel's own.
    if (const std::optional<QString> secret = m_process->adminSecretFile().read()) {
        m_client->setAdminSecret(*secret);
    } else {
        m_secretDiscovery = m_keychain->load(KeychainAccount::adminSecret);
        auto* watcher = new QFutureWatcher<std::optional<QString>>(this);
        connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
            takeDiscoveredSecret();
            watcher->deleteLater();
        });
        watcher->setFuture(*m_secretDiscovery);
    }

    m_hasCompletedFirstRun = QSettings().value(QLatin1StringView(firstRunKey), false).toBool();
}

std::unique_ptr<ServerStateModel> ServerStateModel::make(ModelOptions options) {
    std::shared_ptr<DaemonProcessController> process =
        options.process ? std::move(options.process) : std::make_shared<DaemonProcessController>();
    auto* client = new DaemonClient(std::move(options.baseURL));
    auto model = std::make_unique<ServerStateModel>(client, process.get());
    // The model's children go after its own members, which use them to the end.
    client->setParent(model.get());
    model->m_ownProcess = std::move(process);
    model->m_followChanges = options.followChanges;
    return model;
}

ServerStateModel::~ServerStateModel() {
    // Wakes a sleeping loop so it sees the model gone and ends, instead of waiting out its interval.
    Q_EMIT pollLoopReplaced();
}

void ServerStateModel::setPhase(Phase phase) {
    m_phase = std::move(phase);
    Q_EMIT phaseChanged();
}

void ServerStateModel::setStatus(std::optional<ClientServerStatus> status) {
    m_status = std::move(status);
    Q_EMIT statusChanged();
}

void ServerStateModel::setKeys(ClientAPIKeyList keys) {
    m_keys = std::move(keys);
    Q_EMIT keysChanged();
}

void ServerStateModel::setLastError(std::optional<QString> error) {
    m_lastError = std::move(error);
    Q_EMIT lastErrorChanged();
}

void ServerStateModel::setLastRefreshedAt(std::optional<QDateTime> at) {
    m_lastRefreshedAt = std::move(at);
    Q_EMIT lastRefreshedAtChanged();
}

void ServerStateModel::setHasCompletedFirstRun(bool done) {
    m_hasCompletedFirstRun = done;
    Q_EMIT hasCompletedFirstRunChanged();
    QSettings settings;
    settings.setValue(QLatin1StringView(firstRunKey), done);
    settings.sync();
}

void ServerStateModel::setPollIntervalSeconds(double seconds) {
    m_pollIntervalSeconds = seconds;
    Q_EMIT pollIntervalSecondsChanged();
}

QCoro::Task<void> ServerStateModel::followChange() {
    if (m_followChanges)
        co_await refresh();
}

void ServerStateModel::takeDiscoveredSecret() {
    if (!m_secretDiscovery || !m_secretDiscovery->isFinished())
        return;
    const std::optional<QString> found = m_secretDiscovery->result();
    m_secretDiscovery.reset();
    if (found && !m_client->adminSecret())
        m_client->setAdminSecret(*found);
}

QCoro::Task<void> ServerStateModel::adminSecretFound() {
    if (!m_secretDiscovery)
        co_return;
    QPointer<ServerStateModel> self(this);
    const QFuture<std::optional<QString>> discovery = *m_secretDiscovery;
    co_await discovery;
    if (self)
        takeDiscoveredSecret();
}

QCoro::Task<void> ServerStateModel::refresh() {
    // The model may be destroyed while this cycle waits for the network.
    QPointer<ServerStateModel> self(this);

    co_await adminSecretFound();
    if (!self)
        co_return;
    if (!m_client->adminSecret()) {
        setPhase(Phase::unauthenticated());
        co_return;
    }
    if (m_phase.kind == Phase::Kind::unknown)
        setPhase(Phase::probing());

    const bool healthy = co_await m_client->health();
    if (!self)
        co_return;

    if (!healthy) {
        countFailedCheck();
        co_return;
    }

    if (!m_stopExpected)
        m_consecutiveHealthFailures = 0;
    auto status = co_await m_client->status();
    if (!self)
        co_return;
    // A server told to stop closes its port at once but may still answer a health check for a few
    // seconds on a connection it had open; its status read is refused meanwhile. During a stop the
    // user asked for, that is the server going away, not an error: it counts as a failed check.
    if (!status && m_stopExpected && status.error().is<DaemonClientError::NotReachable>()) {
        countFailedCheck();
        co_return;
    }
    m_consecutiveHealthFailures = 0;
    if (!status) {
        if (status.error().is<DaemonClientError::Unauthenticated>()) {
            setPhase(Phase::unauthenticated());
        } else {
            const QString message = status.error().message();
            setLastError(message);
            setPhase(Phase::error(message));
        }
        co_return;
    }

    setStatus(std::move(*status));
    setLastError(std::nullopt);
    setLastRefreshedAt(QDateTime::currentDateTimeUtc());
    setPhase(Phase::running());

    auto keys = co_await m_client->listKeys();
    if (!self)
        co_return;
    // A failed key list keeps the previous one on screen; polling reports nothing for it.
    if (keys)
        setKeys(std::move(*keys));
}

void ServerStateModel::countFailedCheck() {
    // One failed check is tolerated: the previous phase stays on screen.
    if (++m_consecutiveHealthFailures >= 2) {
        m_stopExpected = false;
        setPhase(Phase::stopped());
        setStatus(std::nullopt);
    }
}

ServerStateModel::Request ServerStateModel::recentRequest() const {
    // Long enough for any start or stop to show; short enough that a crash later is not taken for it.
    constexpr qint64 remembered = 30;
    if (m_request == Request::none || m_requestedAt.secsTo(QDateTime::currentDateTimeUtc()) > remembered)
        return Request::none;
    return m_request;
}

void ServerStateModel::noteRequest(Request request) {
    m_request = request;
    m_requestedAt = QDateTime::currentDateTimeUtc();
}

void ServerStateModel::showStopped() {
    m_stopExpected = false;
    m_consecutiveHealthFailures = 2;
    setPhase(Phase::stopped());
    setStatus(std::nullopt);
}

void ServerStateModel::startPolling() {
    ++m_pollGeneration;
    Q_EMIT pollLoopReplaced();
    pollLoop(QPointer<ServerStateModel>(this), m_pollGeneration);
}

QCoro::Task<void> ServerStateModel::pollLoop(QPointer<ServerStateModel> model, quint64 generation) {
    // The loop holds only a weak reference and checks, each time it wakes, that the model still
    // exists and that no newer loop has replaced it; so there is never more than one.
    auto current = [&] { return model && model->m_pollGeneration == generation; };
    while (current()) {
        co_await model->refresh();
        if (!current())
            co_return;

        const auto interval =
            std::chrono::milliseconds(qint64(std::llround(model->m_pollIntervalSeconds * 1000.0)));
        PollAlarm alarm(interval);
        // Queued, so a loop never resumes inside the call that replaced it or destroyed its model.
        QObject::connect(model.data(), &ServerStateModel::pollLoopReplaced, &alarm, &PollAlarm::ring,
                         Qt::QueuedConnection);
        co_await qCoro(&alarm, &PollAlarm::rang);
    }
}

QCoro::Task<ActionResult> ServerStateModel::setAdminSecret(QString secret) {
    // The server trims the password it reads; one of only spaces would leave it with none, and every
    // admin call refused after a "Saved.".
    if (trimmedAdminSecret(secret).isEmpty())
        co_return std::unexpected(ActionError{QStringLiteral("A password of only spaces can't be used: the "
                                                             "server ignores spaces at either end.")});
    // Setup's rule, here so that the Diagnostics tab and tavrinctl cannot save a short one either: the
    // admin API is on every local user's doorstep, and a short password falls to guessing.
    if (const int length = graphemeCount(trimmedAdminSecret(secret)); length < minimumAdminPasswordLength)
        co_return std::unexpected(ActionError{
            QStringLiteral("An admin password needs %1 characters or more; this one has %2.")
                .arg(minimumAdminPasswordLength)
                .arg(length)});
    QPointer self(this);
    m_secretDiscovery.reset(); // what the user sets now wins over what the keychain held
    const auto saving = m_keychain->save(secret, KeychainAccount::adminSecret);
    const auto saved = co_await saving;
    if (!self)
        co_return std::unexpected(ActionError{QStringLiteral("The panel is closing.")});
    if (!saved)
        co_return std::unexpected(ActionError{saved.error().message()});
    m_client->setAdminSecret(secret);
    if (auto written = m_process->writeAdminSecret(secret); !written) {
        const auto* failed = written.error().as<DaemonProcessControllerError::SecretWriteFailed>();
        co_return std::unexpected(ActionError{failed ? failed->text : written.error().message()});
    }
    co_return ActionResult{};
}

QCoro::Task<void> ServerStateModel::clearAdminSecret() {
    QPointer self(this);
    m_secretDiscovery.reset();
    const auto removing = m_keychain->remove(KeychainAccount::adminSecret);
    co_await removing;
    if (!self)
        co_return;
    m_client->setAdminSecret(std::nullopt);
    m_process->adminSecretFile().remove();
}

} // namespace tavrin
