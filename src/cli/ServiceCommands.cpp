// The commands of the server and its login service, through the state layer's ServerActions, as the
// Status tab runs them.

#include "base/StateFolder.h"
#include "cli/CommandCatalogue.h"
#include "cli/CommandContext.h"
#include "cli/RecordText.h"
#include "cli/Terminal.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>
#include <QSysInfo>

namespace tavrin::cli {

namespace {

// How the phase reads when the status could not be read, as the model would derive it.
QString phaseWord(ActionError::Cause cause) {
    switch (cause) {
    case ActionError::Cause::notReachable:
        return QCoreApplication::translate("ServiceCommands", "stopped");
    case ActionError::Cause::unauthenticated:
        return QCoreApplication::translate("ServiceCommands", "unauthenticated");
    case ActionError::Cause::failed:
        break;
    }
    return QCoreApplication::translate("ServiceCommands", "error");
}

QCoro::Task<int> status(CommandContext& command) {
    const ActionOutcome<ClientServerStatus> read = co_await command.state.actions().readStatus();
    if (read && command.printedAsJson(*read))
        co_return done;
    const bool startAtLogin = co_await command.state.actions().readLoginService();
    if (!read) {
        if (!command.asked.json)
            Terminal::out(fieldLines(
                {{QCoreApplication::translate("ServiceCommands", "Phase"), phaseWord(read.error().cause)},
                 {QCoreApplication::translate("ServiceCommands", "Start at login"), onOff(startAtLogin)}}));
        co_return command.fail(read.error());
    }
    Terminal::out(statusText(*read, QSysInfo::machineHostName(), startAtLogin));
    co_return done;
}

QCoro::Task<int> start(CommandContext& command) {
    const ActionResult started = co_await command.state.actions().start();
    if (!started)
        co_return command.fail(started.error());
    // The action waits a few seconds for the server's first answer, and ends with a poll cycle: a phase
    // still not known is a server that has not answered.
    const Phase::Kind phase = command.state.phase().kind;
    if (phase == Phase::Kind::probing || phase == Phase::Kind::unknown || phase == Phase::Kind::stopped) {
        Terminal::err(QCoreApplication::translate(
                          "ServiceCommands",
                          "The server was started but has not answered yet; its errors go to %1 (or, "
                          "at login, to the user journal).")
                          .arg(SessionLogs::standardError()));
        co_return notReachable;
    }
    co_return done;
}

QCoro::Task<int> stop(CommandContext& command) {
    co_return command.ended(co_await command.state.actions().stop());
}

QCoro::Task<int> restart(CommandContext& command) {
    if (const int stopped = co_await stop(command); stopped != done)
        co_return stopped;
    co_return co_await start(command);
}

template <bool enabled> QCoro::Task<int> setStartAtLogin(CommandContext& command) {
    const bool on = enabled;
    co_return command.ended(co_await command.state.actions().setStartAtLogin(on));
}

QCoro::Task<int> removeFromLogin(CommandContext& command) {
    co_return command.ended(co_await command.state.actions().removeFromLogin());
}

} // namespace

std::vector<CommandSpec> serviceCommands() {
    return {
        {.words = {"status"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Show whether the server runs, and how"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Shows the server's phase, version, uptime, endpoints, model and load, and whether "
             "it starts at login. Exits with 3 when no server answers and 4 when the admin "
             "password is missing or refused."),
         .run = status},
        {.words = {"start"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Start the server"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Starts the server as the Status tab does: the login service is restarted when "
             "start at login is on; otherwise the server starts for this session and keeps "
             "running after tavrinctl ends, and the next tavrinctl stop, or the panel, stops it. "
             "Waits a few seconds for it to answer."),
         .run = start},
        {.words = {"stop"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Stop the server"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue", "Stops the server, whichever way it runs. Start at login stays as it is."),
         .run = stop},
        {.words = {"restart"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Stop the server, then start it again"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Stops the server and starts it again, as stop and start do; network changes take "
             "effect then."),
         .run = restart},
        {.words = {"login", "on"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Start the server at every login"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Installs and enables the login service (a systemd user service), which starts the "
             "server now and at every login. Only an installation in /opt/tavrin-keldmarch can "
             "do this."),
         .run = setStartAtLogin<true>},
        {.words = {"login", "off"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Stop starting the server at login"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue", "Turns start at login off; the login service's server stops with it."),
         .run = setStartAtLogin<false>},
        {.words = {"login", "remove"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Stop the server and remove the login service"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue", "Stops the server and removes the login service from this user's systemd."),
         .run = removeFromLogin},
    };
}

} // namespace tavrin::cli
