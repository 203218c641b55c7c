#pragma once

#include "protocol/Task.h"

#include "protocol/ClientRecords.h"
#include "state/ActionOutcome.h"

#include <QString>

#include <optional>
#include <vector>

namespace tavrin {

class ServerStateModel;

// What a key's row offers.
enum class KeyChange { revoke, rotate, remove };

// Who holds a new key's secret, which the server shows only once.
enum class IssuedSecret {
    // The model, as its lastIssuedKey, for the API Keys tab's banner.
    keptInModel,
    // Only the caller: setup's first key, shown on its own page and held nowhere else.
    handedBack,
};

// What the panel asks of the server's API keys, for the Keys tab and setup alike. Each action calls the
// admin client, keeps what the model must show, and ends a change that succeeded with a poll cycle, so
// the key list shows it; a failure changes nothing and says why in the client's own words. Every action
// runs to its end even when the screen that asked has gone.
class KeyActions {
public:
    explicit KeyActions(ServerStateModel* model) : m_model(model) {}

    // The label goes as typed, spaces and all; no scopes leaves them to the server.
    QCoro::Task<ActionOutcome<ClientCreatedAPIKey>> create(QString label,
                                                           std::optional<std::vector<ClientAPIKeyScope>> scopes,
                                                           IssuedSecret secret = IssuedSecret::keptInModel);
    // The keys as the server lists them now; a poll keeps the last list it could read, and says nothing
    // of why a read failed.
    QCoro::Task<ActionOutcome<ClientAPIKeyList>> list();
    // A rotated key's new secret becomes the model's lastIssuedKey.
    QCoro::Task<ActionResult> change(KeyChange change, QString id);

private:
    ServerStateModel* m_model;
};

} // namespace tavrin
