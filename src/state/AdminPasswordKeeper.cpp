#include "state/AdminPasswordKeeper.h"

#include "base/AdminSecretFile.h"
#include "base/Graphemes.h"
#include "control/AdminPassword.h"
#include "control/DaemonProcessController.h"
#include "control/KeychainStore.h"
#include "protocol/DaemonClient.h"

#include <QCoreApplication>
#include <QCoroFuture>
#include <QFutureWatcher>
#include <QPointer>

namespace tavrin {

AdminPasswordKeeper::AdminPasswordKeeper(DaemonClient* client, DaemonProcessController* process,
                                         KeychainStore keychain)
    : m_client(client), m_process(process), m_keychain(std::make_unique<KeychainStore>(std::move(keychain))) {
    // The file is what the server reads, so it wins; the keychain copy is the panel's own.
    if (const std::optional<QString> secret = m_process->adminSecretFile().read()) {
        m_client->setAdminSecret(*secret);
        return;
    }
    m_discovery = m_keychain->load(KeychainAccount::adminSecret);
    auto* watcher = new QFutureWatcher<std::optional<QString>>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher] {
        takeDiscovered();
        watcher->deleteLater();
    });
    watcher->setFuture(*m_discovery);
}

AdminPasswordKeeper::~AdminPasswordKeeper() = default;

void AdminPasswordKeeper::takeDiscovered() {
    if (!m_discovery || !m_discovery->isFinished())
        return;
    const std::optional<QString> found = m_discovery->result();
    m_discovery.reset();
    if (found && !m_client->adminSecret())
        m_client->setAdminSecret(*found);
}

QCoro::Task<void> AdminPasswordKeeper::found() {
    if (!m_discovery)
        co_return;
    QPointer self(this);
    const QFuture<std::optional<QString>> discovery = *m_discovery;
    co_await discovery;
    if (self)
        takeDiscovered();
}

QFuture<std::optional<QString>> AdminPasswordKeeper::stored() const {
    return m_keychain->load(KeychainAccount::adminSecret);
}

QCoro::Task<ActionResult> AdminPasswordKeeper::save(QString secret) {
    // The server trims the password it reads; one of only spaces would leave it with none, and every
    // admin call refused after a "Saved.".
    if (trimmedAdminSecret(secret).isEmpty())
        co_return std::unexpected(ActionError{
            QCoreApplication::translate("AdminPasswordKeeper", "A password of only spaces can't be used: the "
                                                               "server ignores spaces at either end.")});
    // Setup's rule, here so that the Diagnostics tab and tavrinctl cannot save a short one either: the
    // admin API is on every local user's doorstep, and a short password falls to guessing.
    if (const int length = graphemeCount(trimmedAdminSecret(secret)); length < minimumAdminPasswordLength)
        co_return std::unexpected(ActionError{
            QCoreApplication::translate("AdminPasswordKeeper",
                                        "An admin password needs %1 characters or more; this one has %2.")
                .arg(minimumAdminPasswordLength)
                .arg(length)});
    QPointer self(this);
    m_discovery.reset(); // what the user sets now wins over what the keychain held
    const auto saving = m_keychain->save(secret, KeychainAccount::adminSecret);
    const auto saved = co_await saving;
    if (!self)
        co_return std::unexpected(
            ActionError{QCoreApplication::translate("AdminPasswordKeeper", "The panel is closing.")});
    if (!saved)
        co_return std::unexpected(ActionError{saved.error().message()});
    m_client->setAdminSecret(secret);
    if (auto written = m_process->writeAdminSecret(secret); !written) {
        const auto* failed = written.error().as<DaemonProcessControllerError::SecretWriteFailed>();
        co_return std::unexpected(ActionError{failed ? failed->text : written.error().message()});
    }
    co_return ActionResult{};
}

QCoro::Task<void> AdminPasswordKeeper::forget() {
    QPointer self(this);
    m_discovery.reset();
    const auto removing = m_keychain->remove(KeychainAccount::adminSecret);
    co_await removing;
    if (!self)
        co_return;
    m_client->setAdminSecret(std::nullopt);
    m_process->adminSecretFile().remove();
}

} // namespace tavrin
