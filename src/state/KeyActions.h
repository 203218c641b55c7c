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

// What a change to a key made, for the caller that shows it.
struct KeyChanged {
    // A rotated key with its new secret, which the server shows only once: the caller holds it while
    // it is shown, and nothing else keeps it.
    std::optional<ClientCreatedAPIKey> issued;
    // A revoked key as the server now holds it.
    std::optional<ClientAPIKeyPublic> revoked;
};

// What the panel asks of the server's API keys, for the Keys tab, setup and tavrinctl alike. Each action
// calls the admin client, hands back what the server made, and ends a change that succeeded with a poll
// cycle for the faces that follow the model, so the key list shows it; a failure changes nothing and
// says why in the client's own words. Every action runs to its end even when the screen that asked has
// gone.
class KeyActions {
public:
    explicit KeyActions(ServerStateModel* model) : m_model(model) {}

    // A label with something in it besides white space; what a face offers to send, and what create()
    // refuses otherwise.
    static bool acceptableLabel(const QString& label);

    // The new key with its one-time secret, held only by the caller. The label goes as typed, spaces and
    // all; no scopes leaves them to the server.
    QCoro::Task<ActionOutcome<ClientCreatedAPIKey>> create(
        QString label, std::optional<std::vector<ClientAPIKeyScope>> scopes);
    // The keys as the server lists them now; a poll keeps the last list it could read, and says nothing
    // of why a read failed.
    QCoro::Task<ActionOutcome<ClientAPIKeyList>> list();
    QCoro::Task<ActionOutcome<KeyChanged>> change(KeyChange change, QString id);

private:
    ServerStateModel* m_model;
};

} // namespace tavrin
