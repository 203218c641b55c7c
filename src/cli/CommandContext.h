#pragma once

#include "protocol/Task.h"

#include "cli/CommandLine.h"
#include "protocol/ClientRecords.h"
#include "state/ActionOutcome.h"

namespace tavrin {
class ServerStateModel;
}

namespace tavrin::cli {

// What tavrinctl's exit status says.
enum ExitStatus : int {
    done = 0,
    failed = 1,          // the server refused, or the action failed
    usage = 2,           // the command line was not understood
    notReachable = 3,    // no server answered
    unauthenticated = 4, // no admin password, or the server refused it
};

// What a command's run function is handed: the model whose actions it awaits, as the panel's screens
// do (the same actions, rules and messages), what was asked, and the ways a command answers. Failures
// are told on standard error in the actions' own words; what a command gives goes to standard output,
// as text for a person or, with --json, as the server's records. Run functions name every argument of
// a call they await (see "Writing a coroutine" in docs/ARCHITECTURE.md).
class CommandContext {
public:
    CommandContext(ServerStateModel& state, Invocation asked);

    ServerStateModel& state;
    const Invocation asked;

    // The failure's message on standard error; its exit status.
    int fail(const ActionError& error) const;
    // done when the change went through, else as fail().
    int ended(const ActionResult& result) const;
    // A mistake in the command line that the catalogue could not catch.
    int usageError(const QString& message) const;
    // The record as one line of JSON on standard output, when --json asked for it.
    template <class Record> bool printedAsJson(const Record& record) const {
        if (asked.json)
            printJson(encodeJson(record));
        return asked.json;
    }

private:
    static void printJson(const QByteArray& json);
};

// Runs the command asked for: awaits the keyring's answer, then the entry's run function. The context
// lives in this coroutine's frame, so it outlives every task the command awaits.
QCoro::Task<int> runCommand(ServerStateModel& state, Invocation asked);

} // namespace tavrin::cli
