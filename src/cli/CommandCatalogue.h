#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace tavrin::cli {

// Every command of tavrinctl, once: its words, arguments, options and the texts that explain it. The
// parser, --help, the man page and the bash completion are all read from this table, so that none of
// them can name an option the others lack.

enum class Command {
    status, start, stop, restart,
    loginOn, loginOff, loginRemove,
    keysList, keysCreate, keysRevoke, keysRotate, keysDelete,
    loggingShow, loggingSet, exportLog,
    networkShow, networkSet,
    preambleShow, preambleSet, preambleClear,
    modelsShow, modelsPromote, modelsRollback,
    updatesShow, updatesCheck, updatesDownload, updatesClear,
    bundle, passwordSet, passwordClear,
};

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

struct CommandSpec {
    Command command;
    QStringList words; // {"keys", "create"}
    std::vector<ArgumentSpec> arguments;
    std::vector<OptionSpec> options;
    QString summary;     // one line, for lists
    QString description; // what it does, for its --help and the man page
    bool needsOption = false; // a change that names nothing to change is a mistake
};

const std::vector<CommandSpec>& commandCatalogue();
// What every command also takes.
const std::vector<OptionSpec>& commonOptions();

// "tavrinctl keys create LABEL [--scope inference|readonly]"
QString synopsis(const CommandSpec& spec);
// "--scope inference|readonly", "-o, --output FILE"
QString optionSynopsis(const OptionSpec& option);

// The first words of commands with more than one ("keys", "logging", …), in catalogue order.
QStringList commandGroups();
// The commands under `group` ("keys": list, create, …); every command for an empty group.
std::vector<const CommandSpec*> commandsIn(const QString& group);

// What the exit statuses mean, and the environment read: for --help and the man page.
struct Explained {
    QString name;
    QString meaning;
};
const std::vector<Explained>& exitStatuses();
const std::vector<Explained>& environmentVariables();

} // namespace tavrin::cli
