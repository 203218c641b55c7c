#pragma once

#include "protocol/Task.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace tavrin::cli {

// Every command of tavrinctl, once: its words, arguments, options, the texts that explain it and what
// runs it. The parser, --help, the man page, the bash completion and the run are all read from this
// table, so that none of them can name a command or an option the others lack.

class CommandContext;

struct OptionSpec {
    enum class Kind {
        flag,   // no value
        text,   // any value
        number, // a whole number
        choice, // one of `choices`
        file,   // a path ("-": standard output)
    };
    QString name;      // "scope", given as --scope
    QChar shortName;   // 'o' for -o; null for none
    Kind kind = Kind::flag;
    QString valueName; // "FILE"; for a choice, its choices joined by "|"
    QStringList choices;
    bool repeatable = false; // each use adds to the list (a comma also separates values)
    QString help;
};

struct ArgumentSpec {
    QString name;        // "LABEL"
    QStringList choices; // what completion offers; unless `open`, the only values taken
    bool open = false;   // any text besides the choices
};

// An entry names only what it has (.words, .options, …, .run): the rest defaults to empty.
struct CommandSpec {
    QStringList words = {}; // {"keys", "create"}
    std::vector<ArgumentSpec> arguments = {};
    std::vector<OptionSpec> options = {};
    QString summary = {};     // one line, for lists
    QString description = {}; // what it does, for its --help and the man page
    bool needsOption = false; // a change that names nothing to change is a mistake
    // What the command does, once the keyring has answered; its exit status. A reference, so that an
    // entry without it does not compile. The context outlives the task (see runCommand).
    QCoro::Task<int> (&run)(CommandContext& command);
};

// Every command, in the order --help and the man page list them: the groups below, in this order.
const std::vector<CommandSpec>& commandCatalogue();
// What every command also takes.
const std::vector<OptionSpec>& commonOptions();

// The commands by what they touch, each group beside its run functions in the file of its name
// (serviceCommands in ServiceCommands.cpp, …).
std::vector<CommandSpec> serviceCommands();     // the server and its login service
std::vector<CommandSpec> keyCommands();         // API keys
std::vector<CommandSpec> settingsCommands();    // logging, the audit export, network, the preamble
std::vector<CommandSpec> modelCommands();       // the production model
std::vector<CommandSpec> engineCommands();      // the engine the answers come from
std::vector<CommandSpec> updateCommands();      // the updater
std::vector<CommandSpec> diagnosticsCommands(); // support bundles and the admin password

// Options that commands of more than one group take.
OptionSpec outputOption(const QString& help); // -o, --output FILE
const OptionSpec& includeContentsOption();

// "tavrinctl keys create LABEL [--scope inference|readonly]"
QString synopsis(const CommandSpec& spec);
// "--scope inference|readonly", "-o, --output FILE"
QString optionSynopsis(const OptionSpec& option);

// The first words of commands with more than one ("keys", "logging", …), in catalogue order.
QStringList commandGroups();
// The commands under `group` ("keys": list, create, …).
std::vector<const CommandSpec*> commandsIn(const QString& group);

// What the exit statuses mean, and the environment read: for --help and the man page.
struct Explained {
    QString name;
    QString meaning;
};
const std::vector<Explained>& exitStatuses();
const std::vector<Explained>& environmentVariables();

} // namespace tavrin::cli
