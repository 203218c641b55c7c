#include "state/DiagnosticsActions.h"

#include "base/AdminSecretFile.h"
#include "base/SupportBundleFile.h"
#include "control/DaemonProcessController.h"
#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>
#include <QPointer>

namespace tavrin {

QCoro::Task<ActionOutcome<ClientDiagnosticsResponse>> DiagnosticsActions::supportBundle(bool includePromptContents) {
    if (const std::optional<QString>& secret = m_model->client()->adminSecret();
        !secret || trimmedAdminSecret(*secret).isEmpty())
        co_return std::unexpected(ActionError{
            QCoreApplication::translate(
                "DiagnosticsActions",
                "A support bundle needs the admin password: without it, the program answering on the admin "
                "port can't be told from another user's. Set it in Settings."),
            ActionError::Cause::unauthenticated});
    const SupportBundleFile bundles = bundleFiles();
    QPointer<ServerStateModel> model = m_model;
    ClientResult<ClientDiagnosticsResponse> made = co_await m_model->client()->createDiagnostics(includePromptContents);
    if (made && model)
        co_await model->followChange();
    if (!made)
        co_return outcomeOf(std::move(made));
    if (auto bundle = bundles.open(made->bundlePath); !bundle)
        co_return std::unexpected(ActionError{bundle.error()});
    co_return std::move(*made);
}

// The panel's own state folder, where it starts its server: never the one a server reports.
SupportBundleFile DiagnosticsActions::bundleFiles() const {
    return SupportBundleFile(m_model->process()->adminSecretFile().folder());
}

ActionOutcome<std::unique_ptr<QFile>> DiagnosticsActions::openBundle(const QString& path) const {
    auto opened = bundleFiles().open(path);
    if (!opened)
        return std::unexpected(ActionError{opened.error()});
    return std::move(*opened);
}

QCoro::Task<ActionResult> DiagnosticsActions::savePassword(QString password) {
    co_return resultOf(co_await m_model->setAdminSecret(password));
}

QCoro::Task<void> DiagnosticsActions::clearPassword() { co_await m_model->clearAdminSecret(); }

} // namespace tavrin
