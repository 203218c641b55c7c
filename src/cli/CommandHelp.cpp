#include "cli/CommandHelp.h"

#include <QCoreApplication>
#include <QRegularExpression>

namespace tavrin::cli {

namespace {

constexpr int lineWidth = 80;
constexpr int helpColumn = 28;
constexpr int commandColumn = 22;
constexpr int statusColumn = 6;

// The texts that --help translates and the man page keeps in English.
const char* const lead = QT_TRANSLATE_NOOP(
    "CommandHelp", "Every admin action of Tavrin Keldmarch from a terminal: the server, its login service, "
                   "API keys, models, audit logging, network, org preamble, updates and support "
                   "bundles, over the same admin API and with the same rules and messages as the panel.");

const char* const passwordNote = QT_TRANSLATE_NOOP(
    "CommandHelp",
    "The admin password is found where the panel keeps it: the admin.secret file of the server's state "
    "folder, then the keyring. It goes only to a server of this user's own, and is never taken from "
    "the command line.");

struct Example {
    QString command;
    QString what;
};
const Example examples[] = {
    {QStringLiteral("tavrinctl start && tavrinctl status"), QStringLiteral("Start the server and see how it runs.")},
    {QStringLiteral("KEY=$(tavrinctl keys create ci --scope inference)"),
     QStringLiteral("Make a key for a CI job and keep its secret.")},
    {QStringLiteral("tavrinctl keys revoke ci"), QStringLiteral("Revoke it by its label.")},
    {QStringLiteral("tavrinctl logging set --mode audit --retention 30"), QStringLiteral("Keep prompts for 30 days.")},
    {QStringLiteral("tavrinctl export jsonl -o audit.jsonl"), QStringLiteral("Save the audit log.")},
    {QStringLiteral("tavrinctl network set --lan on --port 8080 && tavrinctl restart"),
     QStringLiteral("Serve the local network on port 8080.")},
    {QStringLiteral("tavrinctl keys list --json | jq -r '.[].label'"), QStringLiteral("The keys' labels, for a script.")},
};

// A text of the command table in the reader's language.
QString translated(const QString& text) {
    return QCoreApplication::translate("CommandCatalogue", text.toUtf8().constData());
}

QString translated(const char* text) {
    return QCoreApplication::translate("CommandHelp", text);
}

// `text` in lines of at most `width` characters, each after `indent` spaces.
QString wrapped(const QString& text, int indent, int width = lineWidth) {
    QStringList lines;
    QString line;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && indent + line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    lines << line;
    const QString margin(indent, QLatin1Char(' '));
    return margin + lines.join(QLatin1Char('\n') + margin) + QLatin1Char('\n');
}

// "  name      what it is", the text wrapped beside the name, or under a name too long for its column.
QString entry(const QString& name, const QString& text, int column = helpColumn) {
    const QString head = QStringLiteral("  ") + name;
    if (head.size() + 2 > column)
        return head + QLatin1Char('\n') + wrapped(text, column);
    return head.leftJustified(column) + wrapped(text, column).mid(column);
}

QString optionsSection(const CommandSpec* spec) {
    QString text = QCoreApplication::translate("CommandHelp", "Options:") + QLatin1Char('\n');
    if (spec)
        for (const OptionSpec& option : spec->options)
            text += entry(optionSynopsis(option), translated(option.help));
    for (const OptionSpec& option : commonOptions())
        text += entry(optionSynopsis(option), translated(option.help));
    if (!spec)
        text += entry(QStringLiteral("--version"),
                      QCoreApplication::translate("CommandHelp", "Show the version."));
    return text;
}

// ---- roff ---------------------------------------------------------------------------------------

// Plain text for roff: backslashes and dashes escaped, no line taken for a request.
QString roff(QString text) {
    text.replace(QLatin1Char('\\'), QLatin1String("\\e"));
    text.replace(QLatin1Char('-'), QLatin1String("\\-"));
    if (text.startsWith(QLatin1Char('.')) || text.startsWith(QLatin1Char('\'')))
        text.prepend(QLatin1String("\\&"));
    return text;
}

// A synopsis with the command in bold and its metavariables (upper-case words) in italics.
QString roffSynopsis(const QString& synopsis) {
    static const QRegularExpression metavariable(QStringLiteral("\\b([A-Z][A-Z.,]*)\\b"));
    QString text = roff(synopsis);
    text.replace(metavariable, QStringLiteral("\\fI\\1\\fB")); // replace() reads only a backslash before a digit
    return QStringLiteral("\\fB") + text + QStringLiteral("\\fR");
}

QString roffOptions(const std::vector<OptionSpec>& options) {
    QString text;
    for (const OptionSpec& option : options)
        text += QStringLiteral(".TP\n") + roffSynopsis(optionSynopsis(option)) + QLatin1Char('\n') + roff(option.help) +
                QLatin1Char('\n');
    return text;
}

QString roffList(const std::vector<Explained>& items) {
    QString text;
    for (const Explained& item : items)
        text += QStringLiteral(".TP\n.B ") + roff(item.name) + QLatin1Char('\n') + roff(item.meaning) + QLatin1Char('\n');
    return text;
}

// ---- bash ---------------------------------------------------------------------------------------

QString bashWords(const QStringList& words) { return QLatin1Char('\'') + words.join(QLatin1Char(' ')) + QLatin1Char('\''); }

} // namespace

QString overallHelp() {
    const QChar newline = QLatin1Char('\n');
    //: COMMAND and OPTIONS are placeholders the reader replaces; kept in capitals.
    QString text = QCoreApplication::translate("CommandHelp", "Usage: tavrinctl COMMAND [OPTIONS]") +
                   newline + newline + wrapped(translated(lead), 0) + newline +
                   QCoreApplication::translate("CommandHelp", "Commands:") + newline;
    for (const CommandSpec& spec : commandCatalogue())
        text += entry(spec.words.join(QLatin1Char(' ')), translated(spec.summary), commandColumn);
    text += newline + optionsSection(nullptr) + newline +
            QCoreApplication::translate("CommandHelp", "Exit status:") + newline;
    for (const Explained& status : exitStatuses())
        text += entry(status.name, translated(status.meaning), statusColumn);
    text += newline + QCoreApplication::translate("CommandHelp", "Environment:") + newline;
    for (const Explained& variable : environmentVariables())
        text += entry(variable.name, translated(variable.meaning), commandColumn);
    // The closing line too is wrapped: in a longer language it is a sentence past the terminal's edge.
    text += newline + wrapped(translated(passwordNote), 0) + newline +
            wrapped(QCoreApplication::translate(
                        "CommandHelp", "Run 'tavrinctl COMMAND --help' for what a command does and takes."),
                    0);
    return text;
}

QString groupHelp(const QString& group) {
    const QChar newline = QLatin1Char('\n');
    //: %1 is a group of commands ("keys"); COMMAND and OPTIONS stay in capitals.
    QString text =
        QCoreApplication::translate("CommandHelp", "Usage: tavrinctl %1 COMMAND [OPTIONS]").arg(group) +
        newline + newline + QCoreApplication::translate("CommandHelp", "Commands:") + newline;
    for (const CommandSpec* spec : commandsIn(group))
        text += entry(spec->words.join(QLatin1Char(' ')), translated(spec->summary), commandColumn);
    return text + newline +
           wrapped(QCoreApplication::translate(
                       "CommandHelp", "Run 'tavrinctl %1 COMMAND --help' for what a command does and takes.")
                       .arg(group),
                   0);
}

QString commandHelp(const CommandSpec& spec) {
    //: %1 is the command's synopsis ("tavrinctl keys create LABEL [--scope inference|readonly]").
    return QCoreApplication::translate("CommandHelp", "Usage: %1").arg(synopsis(spec)) +
           QStringLiteral("\n\n") + wrapped(translated(spec.description), 0) + QLatin1Char('\n') +
           optionsSection(&spec);
}

QString manPage(const QString& version) {
    QString text = QStringLiteral(".TH TAVRINCTL 1 \"\" \"tavrinctl %1\" \"User Commands\"\n").arg(version);
    text += QStringLiteral(".SH NAME\ntavrinctl \\- every admin action of Tavrin Keldmarch from a terminal\n");
    text += QStringLiteral(".SH SYNOPSIS\n.B tavrinctl\n.I command\n.RI [ options ]\n");
    text += QStringLiteral(".SH DESCRIPTION\n") + roff(QString::fromUtf8(lead)) + QStringLiteral("\n.PP\n") +
            roff(QString::fromUtf8(passwordNote)) +
            QStringLiteral("\n.PP\nEvery command takes \\fB\\-\\-help\\fR. ") +
            roff(QStringLiteral(
                "A failure is told on standard error in the panel's own words, and the exit status "
                "says what kind it was.")) +
            QLatin1Char('\n');
    text += QStringLiteral(".SH COMMANDS\n");
    for (const CommandSpec& spec : commandCatalogue()) {
        text += QStringLiteral(".TP\n") + roffSynopsis(synopsis(spec)) + QLatin1Char('\n') + roff(spec.description) +
                QLatin1Char('\n');
        if (!spec.options.empty())
            text += QStringLiteral(".RS\n") + roffOptions(spec.options) + QStringLiteral(".RE\n");
    }
    std::vector<OptionSpec> common = commonOptions();
    common.push_back({QStringLiteral("version"), {}, OptionSpec::Kind::flag, {}, {}, false, QStringLiteral("Show the version.")});
    text += QStringLiteral(".SH OPTIONS\nEvery command also takes these.\n") + roffOptions(common);
    text += QStringLiteral(".SH EXIT STATUS\n") + roffList(exitStatuses());
    text += QStringLiteral(".SH ENVIRONMENT\n") + roffList(environmentVariables());
    text += QStringLiteral(".SH EXAMPLES\n");
    for (const Example& example : examples)
        text += QStringLiteral(".PP\n") + roff(example.what) + QStringLiteral("\n.PP\n.RS\n.nf\n") + roff(example.command) +
                QStringLiteral("\n.fi\n.RE\n");
    return text;
}

QString bashCompletion() {
    // Each command's path ("tavrinctl keys") names the words that may follow it, and each command its
    // options and the values an option or argument may take.
    QString children, options, values;
    QStringList top;
    for (const CommandSpec& spec : commandCatalogue())
        if (!top.contains(spec.words.first()))
            top << spec.words.first();
    top << QStringLiteral("help");
    children += QStringLiteral("    ['tavrinctl']=%1\n").arg(bashWords(top));
    for (const QString& group : commandGroups()) {
        QStringList members;
        for (const CommandSpec* spec : commandsIn(group))
            members << spec->words.last();
        children += QStringLiteral("    ['tavrinctl %1']=%2\n").arg(group, bashWords(members));
    }
    QStringList common;
    for (const OptionSpec& option : commonOptions())
        common << QStringLiteral("--") + option.name;
    for (const CommandSpec& spec : commandCatalogue()) {
        const QString path = QStringLiteral("tavrinctl ") + spec.words.join(QLatin1Char(' '));
        QStringList names = common;
        for (const OptionSpec& option : spec.options) {
            names << QStringLiteral("--") + option.name;
            QStringList taken;
            if (option.kind == OptionSpec::Kind::file)
                taken << QStringLiteral("@file");
            else if (option.kind == OptionSpec::Kind::choice)
                taken = option.choices;
            else if (option.kind != OptionSpec::Kind::flag)
                taken << QStringLiteral("@any");
            if (taken.isEmpty())
                continue;
            values += QStringLiteral("    ['%1 --%2']=%3\n").arg(path, option.name, bashWords(taken));
            if (!option.shortName.isNull())
                values += QStringLiteral("    ['%1 -%2']=%3\n").arg(path, QString(option.shortName), bashWords(taken));
        }
        options += QStringLiteral("    ['%1']=%2\n").arg(path, bashWords(names));
        if (!spec.arguments.empty() && !spec.arguments.front().choices.isEmpty())
            values += QStringLiteral("    ['%1']=%2\n").arg(path, bashWords(spec.arguments.front().choices));
    }
    return QStringLiteral("# bash completion for tavrinctl, written from its own command table   -*- shell-script -*-\n\n"
                          "declare -gA _tavrinctl_children=(\n") +
           children + QStringLiteral(")\ndeclare -gA _tavrinctl_options=(\n") + options +
           QStringLiteral(")\ndeclare -gA _tavrinctl_values=(\n") + values + QStringLiteral(R"()

_tavrinctl() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
    local path=tavrinctl word i
    for ((i = 1; i < COMP_CWORD; i++)); do
        word=${COMP_WORDS[i]}
        [[ $word == -* ]] && continue
        case " ${_tavrinctl_children[$path]-} " in
            *" $word "*) path="$path $word" ;;
        esac
    done
    local taken=${_tavrinctl_values["$path $prev"]-}
    if [[ $prev == -* && -n $taken ]]; then
        case $taken in
            @file) COMPREPLY=($(compgen -f -- "$cur")) ;;
            @any) COMPREPLY=() ;;
            *) COMPREPLY=($(compgen -W "$taken" -- "$cur")) ;;
        esac
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "${_tavrinctl_options[$path]-}" -- "$cur"))
    elif [[ -n ${_tavrinctl_children[$path]-} ]]; then
        COMPREPLY=($(compgen -W "${_tavrinctl_children[$path]}" -- "$cur"))
    else
        COMPREPLY=($(compgen -W "${_tavrinctl_values[$path]-}" -- "$cur"))
    fi
}
complete -F _tavrinctl tavrinctl
)");
}

} // namespace tavrin::cli
