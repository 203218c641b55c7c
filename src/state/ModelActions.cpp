#include "state/ModelActions.h"

#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QPointer>

namespace tavrin {

QCoro::Task<ActionResult> ModelActions::change(ProductionChange change) {
    QPointer<ServerStateModel> model = m_model;
    DaemonClient* client = m_model->client();
    // What the server answers besides success is not read: the poll cycle reads the state afresh.
    ActionResult changed;
    if (change == ProductionChange::promote)
        changed = resultOf(co_await client->promoteModel());
    else
        changed = resultOf(co_await client->rollbackModel());
    if (changed && model)
        co_await model->followChange();
    co_return changed;
}

} // namespace tavrin
