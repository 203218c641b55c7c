#include "state/KeyActions.h"

#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QPointer>

namespace tavrin {

// The model may go while a call waits (at exit, in tests): after each wait it is asked for again.

QCoro::Task<ActionOutcome<ClientCreatedAPIKey>>
KeyActions::create(QString label, std::optional<std::vector<ClientAPIKeyScope>> scopes, IssuedSecret secret) {
    QPointer<ServerStateModel> model = m_model;
    ClientResult<ClientCreatedAPIKey> created = co_await m_model->client()->createKey(label, scopes);
    if (created && model) {
        if (secret == IssuedSecret::keptInModel) {
            model->setLastIssuedKey(*created);
            co_await model->refresh();
        } else {
            model->refresh(); // setup shows its key at once; the list catches up meanwhile
        }
    }
    co_return outcomeOf(std::move(created));
}

QCoro::Task<ActionOutcome<ClientAPIKeyList>> KeyActions::list() {
    co_return outcomeOf(co_await m_model->client()->listKeys());
}

QCoro::Task<ActionResult> KeyActions::change(KeyChange change, QString id) {
    QPointer<ServerStateModel> model = m_model;
    DaemonClient* client = m_model->client();
    ActionResult changed;
    if (change == KeyChange::rotate) {
        ClientResult<ClientCreatedAPIKey> rotated = co_await client->rotateKey(id);
        if (rotated && model)
            model->setLastIssuedKey(*rotated);
        changed = resultOf(rotated);
    } else if (change == KeyChange::revoke) {
        changed = resultOf(co_await client->revokeKey(id));
    } else {
        changed = resultOf(co_await client->deleteKey(id));
    }
    if (changed && model)
        co_await model->refresh();
    co_return changed;
}

} // namespace tavrin
