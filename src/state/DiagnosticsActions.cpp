#include "state/DiagnosticsActions.h"

#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QPointer>

namespace tavrin {

QCoro::Task<ActionOutcome<ClientDiagnosticsResponse>> DiagnosticsActions::supportBundle(bool includePromptContents) {
    QPointer<ServerStateModel> model = m_model;
    ClientResult<ClientDiagnosticsResponse> made = co_await m_model->client()->createDiagnostics(includePromptContents);
    if (made && model)
        co_await model->refresh();
    co_return outcomeOf(std::move(made));
}

QCoro::Task<ActionResult> DiagnosticsActions::savePassword(QString password) {
    co_return resultOf(co_await m_model->setAdminSecret(password));
}

QCoro::Task<void> DiagnosticsActions::clearPassword() { co_await m_model->clearAdminSecret(); }

} // namespace tavrin
