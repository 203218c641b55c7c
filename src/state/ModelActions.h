#pragma once

#include "protocol/Task.h"

#include "state/ActionOutcome.h"

namespace tavrin {

class ServerStateModel;

// The two ways production changes: the staged model is promoted, or the previous one comes back.
enum class ProductionChange { promote, rollBack };

// What the Models tab asks of the server's model store. A change that the server took (any 2xx,
// whatever its body) ends with a poll cycle, which brings the new model state into the model's
// status; a refusal changes nothing and says why in the client's own words.
class ModelActions {
public:
    explicit ModelActions(ServerStateModel* model) : m_model(model) {}

    QCoro::Task<ActionResult> change(ProductionChange change);

private:
    ServerStateModel* m_model;
};

} // namespace tavrin
