#include "state/KeyActions.h"

#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>
#include <QPointer>

namespace tavrin {

// The model may go while a call waits (at exit, in tests): after each wait it is asked for again.

bool KeyActions::acceptableLabel(const QString& label) { return !label.trimmed().isEmpty(); }

QCoro::Task<ActionOutcome<ClientCreatedAPIKey>>
KeyActions::create(QString label, std::optional<std::vector<ClientAPIKeyScope>> scopes) {
    // A key nobody can tell from the others in the list.
    if (!acceptableLabel(label))
        co_return std::unexpected(
            ActionError{QCoreApplication::translate("KeyActions", "A key needs a label.")});
    QPointer<ServerStateModel> model = m_model;
    ClientResult<ClientCreatedAPIKey> created = co_await m_model->client()->createKey(label, scopes);
    if (created && model)
        co_await model->followChange();
    co_return outcomeOf(std::move(created));
}

QCoro::Task<ActionOutcome<ClientAPIKeyList>> KeyActions::list() {
    co_return outcomeOf(co_await m_model->client()->listKeys());
}

QCoro::Task<ActionOutcome<KeyChanged>> KeyActions::change(KeyChange change, QString id) {
    QPointer<ServerStateModel> model = m_model;
    DaemonClient* client = m_model->client();
    ActionOutcome<KeyChanged> changed{KeyChanged{}};
    if (change == KeyChange::rotate) {
        ClientResult<ClientCreatedAPIKey> rotated = co_await client->rotateKey(id);
        if (rotated)
            changed->issued = std::move(*rotated);
        else
            changed = std::unexpected(actionErrorOf(rotated.error()));
    } else if (change == KeyChange::revoke) {
        ClientResult<ClientAPIKeyPublic> revoked = co_await client->revokeKey(id);
        if (revoked)
            changed->revoked = std::move(*revoked);
        else
            changed = std::unexpected(actionErrorOf(revoked.error()));
    } else if (const ClientResult<void> removed = co_await client->deleteKey(id); !removed) {
        changed = std::unexpected(actionErrorOf(removed.error()));
    }
    if (changed && model)
        co_await model->followChange();
    co_return changed;
}

} // namespace tavrin
