#include "state/SettingsActions.h"

#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QPointer>

namespace tavrin {

namespace {

// The model may go while the save waits (at exit, in tests).
template <class Record>
QCoro::Task<ActionOutcome<Record>> saveThenRefresh(QPointer<ServerStateModel> model,
                                                   QCoro::Task<ClientResult<Record>> saving) {
    ClientResult<Record> saved = co_await std::move(saving);
    if (saved && model)
        co_await model->refresh();
    co_return outcomeOf(std::move(saved));
}

} // namespace

QCoro::Task<ActionOutcome<ClientAuditLoggingSettings>> SettingsActions::loggingSettings() {
    co_return outcomeOf(co_await m_model->client()->loggingSettings());
}

QCoro::Task<ActionOutcome<ClientAuditLoggingSettings>>
SettingsActions::saveLoggingSettings(ClientAuditLoggingSettings settings) {
    return saveThenRefresh(QPointer<ServerStateModel>(m_model), m_model->client()->updateLoggingSettings(std::move(settings)));
}

QCoro::Task<ActionOutcome<ClientNetworkPreferences>> SettingsActions::networkPreferences() {
    co_return outcomeOf(co_await m_model->client()->networkPreferences());
}

QCoro::Task<ActionOutcome<ClientNetworkPreferences>>
SettingsActions::saveNetworkPreferences(ClientNetworkPreferences preferences) {
    return saveThenRefresh(QPointer<ServerStateModel>(m_model), m_model->client()->updateNetworkPreferences(std::move(preferences)));
}

QCoro::Task<ActionOutcome<ClientOrgPreambleResponse>> SettingsActions::orgPreamble() {
    co_return outcomeOf(co_await m_model->client()->orgPreamble());
}

QCoro::Task<ActionOutcome<ClientOrgPreambleResponse>> SettingsActions::saveOrgPreamble(std::optional<QString> preamble) {
    return saveThenRefresh(QPointer<ServerStateModel>(m_model), m_model->client()->setOrgPreamble(std::move(preamble)));
}

std::shared_ptr<ExportDownload> SettingsActions::startAuditExport(AuditExportRequest request, const QString& folder,
                                                                  const QString& name) {
    return ExportDownload::start(m_model->client(), request, folder, name);
}

} // namespace tavrin
