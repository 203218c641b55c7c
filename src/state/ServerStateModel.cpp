#include "state/ServerStateModel.h"

#include "control/DaemonProcessController.h"
#include "control/KeychainStore.h"
#include "protocol/DaemonClient.h"

#include <QSettings>

namespace tavrin {

ServerStateModel::ServerStateModel(DaemonClient* client, DaemonProcessController* process, QObject* parent)
    : ServerStateModel(client, process, KeychainStore(), parent) {}

ServerStateModel::ServerStateModel(DaemonClient* client, DaemonProcessController* process, KeychainStore keychain,
                                   QObject* parent)
    : QObject(parent), m_client(client), m_process(process), m_password(client, process, std::move(keychain)) {
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

ServerStateModel::~ServerStateModel() = default;

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

QCoro::Task<void> ServerStateModel::adminSecretFound() {
    return m_password.found();
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

    m_phaseRules.healthy();
    auto status = co_await m_client->status();
    if (!self)
        co_return;
    if (!status && m_phaseRules.goingAway(status.error())) {
        countFailedCheck();
        co_return;
    }
    m_phaseRules.answered();
    if (!status) {
        const Phase refused = PhaseRules::refused(status.error());
        if (refused.kind == Phase::Kind::error)
            setLastError(refused.message);
        setPhase(refused);
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
    if (std::optional<Phase> stopped = m_phaseRules.checkFailed()) {
        setPhase(std::move(*stopped));
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
    setPhase(m_phaseRules.stopEnded());
    setStatus(std::nullopt);
}

QCoro::Task<ActionResult> ServerStateModel::setAdminSecret(QString secret) {
    return m_password.save(std::move(secret));
}

QCoro::Task<void> ServerStateModel::clearAdminSecret() {
    return m_password.forget();
}

} // namespace tavrin
