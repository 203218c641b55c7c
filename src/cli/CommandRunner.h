#pragma once

#include "protocol/Task.h"

#include "cli/CommandLine.h"
#include "protocol/ClientRecords.h"
#include "state/ActionOutcome.h"

#include <expected>

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

// A failure's exit status. A listener of another user's keeps the password back (a plain failure, 1):
// the password itself is neither missing nor refused, and a script that answers 4 by setting it again
// would do the wrong thing.
int exitStatusOf(const ActionError& error);

// The key a command names by its id or its exact label: the id wins; a label that several keys share
// names none of them (the message says which ids to use instead).
std::expected<ClientAPIKeyPublic, QString> findKey(const ClientAPIKeyList& keys, const QString& idOrLabel);

// Runs one command through the state layer's actions, as the panel's screens do: the same actions,
// rules and messages. Failures are told on standard error in the actions' own words; what a command
// gives goes to standard output, as text for a person or, with --json, as the server's records.
class CommandRunner {
public:
    CommandRunner(ServerStateModel& state, Invocation invocation);

    QCoro::Task<int> run();

private:
    // The service and the server's own state (CommandRunner.cpp).
    QCoro::Task<int> status();
    QCoro::Task<int> service();
    QCoro::Task<int> login();
    QCoro::Task<int> keys();
    QCoro::Task<int> changeKey();
    QCoro::Task<int> models();
    QCoro::Task<int> updates();
    QCoro::Task<int> bundle();
    QCoro::Task<int> password();
    // The records the settings tabs edit, and the audit log's export (SettingsCommands.cpp).
    QCoro::Task<int> logging();
    QCoro::Task<int> exportLog();
    QCoro::Task<int> network();
    QCoro::Task<int> preamble();

    Command command() const { return m_invocation.spec->command; }
    // The failure's message on standard error; its exit status.
    static int fail(const ActionError& error);
    // A mistake in the command line that the catalogue could not catch.
    int usageError(const QString& message) const;
    // The record as one line of JSON on standard output, when --json asked for it.
    template <class Record> bool printedAsJson(const Record& record) const {
        if (m_invocation.json)
            printJson(encodeJson(record));
        return m_invocation.json;
    }
    static void printJson(const QByteArray& json);

    ServerStateModel& m_state;
    Invocation m_invocation;
};

} // namespace tavrin::cli
