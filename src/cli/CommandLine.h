#pragma once

#include "cli/CommandCatalogue.h"

#include <QHash>
#include <QString>
#include <QStringList>

#include <variant>

namespace tavrin::cli {

// One command as it was asked for: which, with what.
struct Invocation {
    const CommandSpec* spec = nullptr;
    QStringList arguments;
    QHash<QString, QStringList> options; // by long name; a flag holds one empty value
    bool json = false;

    bool has(const QString& name) const { return options.contains(name); }
    QString value(const QString& name) const { return options.value(name).value(0); }
    // Every value of a repeatable option, its commas as separators, each trimmed, blanks dropped:
    // --cors "" is an empty list.
    QStringList values(const QString& name) const;
};

struct HelpRequest {
    QString text; // for standard output
};
struct VersionRequest {};
struct UsageError {
    QString message;
    QString helpCommand; // "tavrinctl keys create --help": where to read more
};

using ParsedCommandLine = std::variant<Invocation, HelpRequest, VersionRequest, UsageError>;

// The arguments after the program's name. Options may come anywhere after the command's words (and
// --json, --help before them); "--" ends them; "-" is an argument. "help WORDS" is "WORDS --help".
// Values are checked against the catalogue (a number, one of the choices); what the catalogue cannot
// say is left to the command.
ParsedCommandLine parseCommandLine(const QStringList& arguments);

} // namespace tavrin::cli
