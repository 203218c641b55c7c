#include "state/SettingsActions.h"

#include "base/Graphemes.h"
#include "base/ServerAddress.h"
#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>
#include <QPointer>

namespace tavrin {

namespace {

// The model may go while the save waits (at exit, in tests).
template <class Record>
QCoro::Task<ActionOutcome<Record>> saveThenRefresh(QPointer<ServerStateModel> model,
                                                   QCoro::Task<ClientResult<Record>> saving) {
    ClientResult<Record> saved = co_await std::move(saving);
    if (saved && model)
        co_await model->followChange();
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

ClientNetworkPreferences SettingsActions::withLanEnabled(ClientNetworkPreferences preferences, bool on) {
    preferences.lanEnabled = on;
    preferences.bindHost = on ? QStringLiteral("0.0.0.0") : QString(ServerAddress::defaultHost);
    return preferences;
}

QCoro::Task<ActionOutcome<ClientOrgPreambleResponse>> SettingsActions::orgPreamble() {
    co_return outcomeOf(co_await m_model->client()->orgPreamble());
}

qint64 SettingsActions::preambleLength(const QString& typed) { return graphemeCount(typed); }

bool SettingsActions::preambleFits(const QString& typed, qint64 maxLength) {
    return preambleLength(typed) <= maxLength;
}

QCoro::Task<ActionOutcome<ClientOrgPreambleResponse>> SettingsActions::saveOrgPreamble(QString typed,
                                                                                      qint64 maxLength) {
    if (!preambleFits(typed, maxLength))
        co_return std::unexpected(ActionError{
            QCoreApplication::translate("SettingsActions", "%1 / %2 characters: the preamble is too long.")
                .arg(preambleLength(typed))
                .arg(maxLength)});
    const QString trimmed = typed.trimmed();
    std::optional<QString> preamble;
    if (!trimmed.isEmpty())
        preamble = trimmed;
    // Named first: no temporary goes to a coroutine inside a co_await (see "Writing a coroutine").
    QCoro::Task<ActionOutcome<ClientOrgPreambleResponse>> saving =
        saveThenRefresh(QPointer<ServerStateModel>(m_model), m_model->client()->setOrgPreamble(preamble));
    co_return co_await std::move(saving);
}

std::shared_ptr<ExportDownload> SettingsActions::startAuditExport(AuditExportRequest request, const QString& folder,
                                                                  const QString& name) {
    return ExportDownload::start(m_model->client(), request, folder, name);
}

} // namespace tavrin
