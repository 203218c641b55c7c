// The commands of the server's updater, through the state layer's UpdateActions, as the Updates tab
// runs them.

#include "cli/CommandCatalogue.h"
#include "cli/CommandContext.h"
#include "cli/RecordText.h"
#include "cli/Terminal.h"
#include "state/ActionWords.h"
#include "state/ServerStateModel.h"

namespace tavrin::cli {

namespace {

QCoro::Task<int> showUpdater(CommandContext& command) {
    const ActionOutcome<ClientUpdaterStatus> updater = co_await command.state.updateActions().updater();
    if (!updater)
        co_return command.fail(updater.error());
    if (!command.printedAsJson(*updater))
        Terminal::out(updaterText(*updater));
    co_return done;
}

QCoro::Task<int> checkForUpdate(CommandContext& command) {
    const ActionOutcome<ClientUpdateCheckResponse> checked = co_await command.state.updateActions().check();
    if (!checked)
        co_return command.fail(checked.error());
    const bool json = command.printedAsJson(*checked);
    if (checked->error) // the check reached the server, which could not read its feed
        co_return command.fail(ActionError{*checked->error});
    if (!json)
        Terminal::out(updateCheckedMessage(checked->status.availableUpdate.has_value()));
    co_return done;
}

QCoro::Task<int> downloadUpdate(CommandContext& command) {
    const ActionOutcome<UpdateDownloaded> downloaded = co_await command.state.updateActions().download();
    if (!downloaded)
        co_return command.fail(downloaded.error());
    if (!downloaded->after) // the download stands; only the state after it could not be read
        Terminal::err(downloaded->after.error().message());
    else if (command.printedAsJson(*downloaded->after))
        co_return done;
    Terminal::out(downloaded->message);
    co_return done;
}

QCoro::Task<int> deleteDownload(CommandContext& command) {
    UpdateActions& updates = command.state.updateActions();
    const ActionOutcome<ClientUpdaterStatus> updater = co_await updates.deleteDownload();
    if (!updater)
        co_return command.fail(updater.error());
    command.printedAsJson(*updater); // a person is told nothing: the update is gone, as asked
    co_return done;
}

} // namespace

std::vector<CommandSpec> updateCommands() {
    return {
        {.words = {"updates", "show"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Show the updater's state"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Shows the running version, the channel, the last check, an available update and a "
             "downloaded one."),
         .run = showUpdater},
        {.words = {"updates", "check"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Check for a server update"),
         .description = QT_TRANSLATE_NOOP("CommandCatalogue", "Asks the server to read its update feed now."),
         .run = checkForUpdate},
        {.words = {"updates", "download"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Download and verify the update"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Has the server download the available update and verify its signature. Installing "
             "it is left to you."),
         .run = downloadUpdate},
        {.words = {"updates", "clear"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Delete the downloaded update"),
         .description = QT_TRANSLATE_NOOP("CommandCatalogue", "Deletes the update the server downloaded."),
         .run = deleteDownload},
    };
}

} // namespace tavrin::cli
