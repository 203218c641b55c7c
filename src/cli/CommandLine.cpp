#include "cli/CommandLine.h"

#include "cli/CommandHelp.h"

#include <QCoreApplication>

#include <algorithm>

namespace tavrin::cli {

namespace {

using Kind = OptionSpec::Kind;

bool isOption(const QString& argument) { return argument.size() > 1 && argument.startsWith(QLatin1Char('-')); }

bool startsSomeCommand(const QStringList& words) {
    return std::ranges::any_of(commandCatalogue(), [&](const CommandSpec& spec) { return spec.words.mid(0, words.size()) == words; });
}

const CommandSpec* commandNamed(const QStringList& words) {
    const auto& catalogue = commandCatalogue();
    const auto found = std::ranges::find(catalogue, words, &CommandSpec::words);
    return found == catalogue.end() ? nullptr : &*found;
}

QString helpCommandFor(const QStringList& words) {
    return (QStringList{QStringLiteral("tavrinctl")} + words + QStringList{QStringLiteral("--help")}).join(QLatin1Char(' '));
}

QStringList splitList(const QString& value) {
    QStringList entries;
    for (const QString& piece : value.split(QLatin1Char(',')))
        if (const QString entry = piece.trimmed(); !entry.isEmpty())
            entries << entry;
    return entries;
}

// "a, b or c"
QString alternatives(const QStringList& choices) {
    //: The last of several choices: "%1 or %2" as in "inference, readonly or none".
    return choices.size() < 2
               ? choices.value(0)
               : QCoreApplication::translate("CommandLine", "%1 or %2")
                     .arg(choices.mid(0, choices.size() - 1).join(QLatin1String(", ")), choices.last());
}

// The value is fine for the option, or why not.
QString valueProblem(const OptionSpec& option, const QString& value) {
    const QString named = QStringLiteral("--") + option.name;
    if (option.kind == Kind::number) {
        bool whole = false;
        value.toLongLong(&whole);
        if (!whole)
            return QCoreApplication::translate("CommandLine", "%1 takes a whole number, not \"%2\"")
                .arg(named, value);
    } else if (option.kind == Kind::choice) {
        const QStringList given = option.repeatable ? splitList(value) : QStringList{value};
        for (const QString& one : given)
            if (!option.choices.contains(one))
                return QCoreApplication::translate("CommandLine", "%1 takes %2, not \"%3\"")
                    .arg(named, alternatives(option.choices), one);
    }
    return {};
}

class Parser {
public:
    explicit Parser(const QStringList& arguments) : m_arguments(arguments) {}

    ParsedCommandLine parse() {
        readCommandWords();
        if (m_words.isEmpty()) {
            if (m_version)
                return VersionRequest{};
            if (m_help)
                return HelpRequest{overallHelp()};
            if (m_next < m_arguments.size() && !isOption(m_arguments[m_next]))
                return UsageError{
                    QCoreApplication::translate("CommandLine", "no command \"%1\"").arg(m_arguments[m_next]),
                    helpCommandFor({})};
            if (m_next < m_arguments.size())
                return UsageError{
                    QCoreApplication::translate("CommandLine", "unknown option %1").arg(m_arguments[m_next]),
                    helpCommandFor({})};
            return UsageError{QCoreApplication::translate("CommandLine", "which command?"),
                              helpCommandFor({})};
        }
        const CommandSpec* spec = commandNamed(m_words);
        if (!spec) { // a group's word alone: "keys"
            if (m_help)
                return HelpRequest{groupHelp(m_words.first())};
            QStringList choices;
            for (const CommandSpec* member : commandsIn(m_words.first()))
                choices << member->words.last();
            const QString which =
                m_next < m_arguments.size() && !isOption(m_arguments[m_next])
                    ? QCoreApplication::translate("CommandLine", "no command \"%1 %2\"")
                          .arg(m_words.first(), m_arguments[m_next])
                    : QCoreApplication::translate("CommandLine", "%1 what?").arg(m_words.first());
            return UsageError{which + QStringLiteral(" (%1)").arg(choices.join(QLatin1String(", "))),
                              helpCommandFor(m_words)};
        }
        m_invocation.spec = spec;
        if (auto problem = readRest(*spec); !problem.isEmpty())
            return m_help ? ParsedCommandLine{HelpRequest{commandHelp(*spec)}} : UsageError{problem, helpCommandFor(m_words)};
        if (m_help)
            return HelpRequest{commandHelp(*spec)};
        if (auto problem = checkArguments(*spec); !problem.isEmpty())
            return UsageError{problem, helpCommandFor(m_words)};
        m_invocation.json = m_json;
        return m_invocation;
    }

private:
    // The common options and the command's words, up to the first argument that is neither.
    void readCommandWords() {
        for (; m_next < m_arguments.size(); ++m_next) {
            const QString& argument = m_arguments[m_next];
            if (argument == QLatin1String("--help") || argument == QLatin1String("-h"))
                m_help = true;
            else if (argument == QLatin1String("--json"))
                m_json = true;
            else if (argument == QLatin1String("--version"))
                m_version = true;
            else if (isOption(argument))
                return;
            else if (m_words.isEmpty() && argument == QLatin1String("help") && !m_help)
                m_help = true;
            else if (startsSomeCommand(m_words + QStringList{argument}))
                m_words << argument;
            else
                return;
        }
    }

    // The command's options and arguments; an empty text when they read well.
    QString readRest(const CommandSpec& spec) {
        bool optionsEnded = false;
        for (; m_next < m_arguments.size(); ++m_next) {
            const QString argument = m_arguments[m_next];
            if (optionsEnded || !isOption(argument)) {
                m_invocation.arguments << argument;
                continue;
            }
            if (argument == QLatin1String("--")) {
                optionsEnded = true;
                continue;
            }
            QString name;
            std::optional<QString> value;
            if (argument.startsWith(QLatin1String("--"))) {
                name = argument.mid(2);
                if (const qsizetype equals = name.indexOf(QLatin1Char('=')); equals >= 0) {
                    value = name.mid(equals + 1);
                    name.truncate(equals);
                }
            } else {
                name = argument.mid(1, 1);
                if (argument.size() > 2)
                    value = argument.mid(2);
            }
            const OptionSpec* option = find(spec, name);
            if (!option)
                return QCoreApplication::translate("CommandLine", "unknown option %1").arg(argument);
            if (option->name == QLatin1String("help")) {
                m_help = true;
                continue;
            }
            if (option->name == QLatin1String("json")) {
                m_json = true;
                continue;
            }
            if (option->kind == Kind::flag && value)
                return QCoreApplication::translate("CommandLine", "--%1 takes no value").arg(option->name);
            if (option->kind != Kind::flag && !value) {
                if (m_next + 1 >= m_arguments.size())
                    return QCoreApplication::translate("CommandLine", "--%1 needs a value (%2)")
                        .arg(option->name, option->valueName);
                value = m_arguments[++m_next];
            }
            if (const QString problem = valueProblem(*option, value.value_or(QString())); !problem.isEmpty())
                return problem;
            if (m_invocation.has(option->name) && !option->repeatable)
                return QCoreApplication::translate("CommandLine", "--%1 is given twice").arg(option->name);
            m_invocation.options[option->name] << value.value_or(QString());
        }
        return {};
    }

    QString checkArguments(const CommandSpec& spec) const {
        const QStringList& given = m_invocation.arguments;
        if (given.size() < qsizetype(spec.arguments.size()))
            return QCoreApplication::translate("CommandLine", "%1 is missing")
                .arg(spec.arguments[given.size()].name);
        if (given.size() > qsizetype(spec.arguments.size()))
            return QCoreApplication::translate("CommandLine", "unexpected argument \"%1\"")
                .arg(given[spec.arguments.size()]);
        for (std::size_t i = 0; i < spec.arguments.size(); ++i) {
            const ArgumentSpec& argument = spec.arguments[i];
            if (!argument.open && !argument.choices.contains(given[qsizetype(i)]))
                return QCoreApplication::translate("CommandLine", "%1 is %2, not \"%3\"")
                    .arg(spec.words.join(QLatin1Char(' ')), alternatives(argument.choices),
                         given[qsizetype(i)]);
        }
        if (spec.needsOption && m_invocation.options.isEmpty())
            return QCoreApplication::translate("CommandLine", "nothing to change: name at least one setting");
        return {};
    }

    static const OptionSpec* find(const CommandSpec& spec, const QString& name) {
        const auto matches = [&](const OptionSpec& option) {
            return name.size() == 1 ? !option.shortName.isNull() && option.shortName == name[0] : option.name == name;
        };
        for (const auto* options : {&spec.options, &commonOptions()})
            if (const auto found = std::ranges::find_if(*options, matches); found != options->end())
                return &*found;
        return nullptr;
    }

    const QStringList& m_arguments;
    qsizetype m_next = 0;
    QStringList m_words;
    bool m_help = false;
    bool m_json = false;
    bool m_version = false;
    Invocation m_invocation;
};

} // namespace

QStringList Invocation::values(const QString& name) const {
    QStringList all;
    for (const QString& value : options.value(name))
        all << splitList(value);
    return all;
}

ParsedCommandLine parseCommandLine(const QStringList& arguments) { return Parser(arguments).parse(); }

} // namespace tavrin::cli
