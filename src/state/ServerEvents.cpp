#include "state/ServerEvents.h"

#include "state/ServerStateModel.h"

namespace tavrin {

ServerEvents::ServerEvents(ServerStateModel* model) : m_model(model), m_last(model->phase()) {
    connect(model, &ServerStateModel::phaseChanged, this, &ServerEvents::followPhase);
    connect(model, &ServerStateModel::statusChanged, this, &ServerEvents::followStatus);
}

void ServerEvents::followPhase() {
    const Phase now = m_model->phase();
    const Phase before = std::exchange(m_last, now);
    if (now.kind == before.kind)
        return;
    const ServerStateModel::Request asked = m_model->recentRequest();
    if (before.kind == Phase::Kind::running && now.kind == Phase::Kind::stopped) {
        if (asked != ServerStateModel::Request::stop && !m_reportedStop) {
            m_reportedStop = true;
            Q_EMIT stoppedUnasked();
        }
    } else if (now.kind == Phase::Kind::running && m_reportedStop) {
        m_reportedStop = false;
        if (asked != ServerStateModel::Request::start)
            Q_EMIT runningAgain();
    }
}

void ServerEvents::followStatus() {
    const auto& status = m_model->status();
    // No status (a stopped server, a poll that failed) is no news of the audit log either way.
    if (!status)
        return;
    if (!status->auditUnavailable) {
        m_reportedAuditRefusal = false;
    } else if (!m_reportedAuditRefusal) {
        m_reportedAuditRefusal = true;
        Q_EMIT auditRefusing(*status->auditUnavailable);
    }
    if (const auto& engine = status->engine) {
        const QString address = engine->url.value_or(QString());
        if (engine->reachable || m_reportedEngineDown != address)
            m_reportedEngineDown.reset();
        // A new engine is not answering until its first check: only a check that failed is news.
        if (!engine->reachable && engine->checkedAt && !m_reportedEngineDown) {
            m_reportedEngineDown = address;
            Q_EMIT engineNotAnswering(*engine);
        }
    }
    if (!status->updater.availableUpdate)
        return;
    const QString version = status->updater.availableUpdate->version;
    if (version != m_lastUpdate) {
        m_lastUpdate = version;
        Q_EMIT updateFound(version);
    }
}

} // namespace tavrin
