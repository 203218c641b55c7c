// The commands of the production model, through the state layer's ModelActions, as the Models tab
// runs them.

#include "cli/CommandCatalogue.h"
#include "cli/CommandContext.h"
#include "cli/RecordText.h"
#include "cli/Terminal.h"
#include "state/ActionWords.h"
#include "state/ServerStateModel.h"

namespace tavrin::cli {

namespace {

QCoro::Task<int> showModels(CommandContext& command) {
    const ActionOutcome<ClientServerStatus> read = co_await command.state.actions().readStatus();
    if (!read)
        co_return command.fail(read.error());
    if (!command.printedAsJson(read->model))
        Terminal::out(modelsText(read->model));
    co_return done;
}

template <ProductionChange change> QCoro::Task<int> changeProduction(CommandContext& command) {
    const ProductionChange wanted = change;
    const ActionResult changed = co_await command.state.modelActions().change(wanted);
    if (!changed)
        co_return command.fail(changed.error());
    if (!command.asked.json)
        Terminal::out(change == ProductionChange::promote ? promotedMessage() : rolledBackMessage());
    co_return done;
}

} // namespace

std::vector<CommandSpec> modelCommands() {
    return {
        {.words = {"models", "show"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Show the running, staged and previous models"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Shows the model in production, a staged version ready to promote, and the earlier "
             "versions a rollback can return to."),
         .run = showModels},
        {.words = {"models", "promote"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Promote the staged model"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Makes the staged model the production one; the server loads it when it restarts."),
         .run = changeProduction<ProductionChange::promote>},
        {.words = {"models", "rollback"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Return to the previous model"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Brings the previous production model back; the server loads it when it restarts."),
         .run = changeProduction<ProductionChange::rollBack>},
    };
}

} // namespace tavrin::cli
