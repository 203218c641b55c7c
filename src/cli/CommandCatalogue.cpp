#include "cli/CommandCatalogue.h"

namespace tavrin::cli {

namespace {

using Kind = OptionSpec::Kind;

std::vector<CommandSpec> makeCatalogue() {
    std::vector<CommandSpec> all;
    for (const auto group : {serviceCommands, keyCommands, settingsCommands, modelCommands, engineCommands, updateCommands,
                             diagnosticsCommands})
        for (CommandSpec& spec : group()) // one by one: an entry holds a reference, so it is not assignable
            all.push_back(std::move(spec));
    return all;
}

} // namespace

const std::vector<CommandSpec>& commandCatalogue() {
    static const std::vector<CommandSpec> catalogue = makeCatalogue();
    return catalogue;
}

OptionSpec outputOption(const QString& help) {
    return {QStringLiteral("output"), QLatin1Char('o'), Kind::file, QStringLiteral("FILE"), {}, false, help};
}

const OptionSpec& includeContentsOption() {
    static const OptionSpec option{
        QStringLiteral("include-contents"),
        {},
        Kind::flag,
        {},
        {},
        false,
        QT_TRANSLATE_NOOP("CommandCatalogue", "Ask for prompt contents too; the server adds them only while "
                                              "audit logging keeps them.")};
    return option;
}

const std::vector<OptionSpec>& commonOptions() {
    static const std::vector<OptionSpec> options{
        {QStringLiteral("json"),
         {},
         Kind::flag,
         {},
         {},
         false,
         QT_TRANSLATE_NOOP("CommandCatalogue", "Print the server's records as JSON, one document a line.")},
        {QStringLiteral("help"),
         QLatin1Char('h'),
         Kind::flag,
         {},
         {},
         false,
         QT_TRANSLATE_NOOP("CommandCatalogue", "Show this help.")},
    };
    return options;
}

QString optionSynopsis(const OptionSpec& option) {
    QString text = option.shortName.isNull() ? QString() : QStringLiteral("-%1, ").arg(option.shortName);
    text += QStringLiteral("--") + option.name;
    if (option.kind != Kind::flag)
        text += QLatin1Char(' ') + option.valueName;
    return text;
}

QString synopsis(const CommandSpec& spec) {
    QStringList parts{QStringLiteral("tavrinctl")};
    parts << spec.words;
    for (const ArgumentSpec& argument : spec.arguments)
        parts << argument.name;
    for (const OptionSpec& option : spec.options) {
        QString shown = QStringLiteral("--") + option.name;
        if (option.kind != Kind::flag)
            shown += QLatin1Char(' ') + option.valueName;
        parts << QStringLiteral("[%1]").arg(shown);
    }
    return parts.join(QLatin1Char(' '));
}

QStringList commandGroups() {
    QStringList groups;
    for (const CommandSpec& spec : commandCatalogue())
        if (spec.words.size() > 1 && !groups.contains(spec.words.first()))
            groups << spec.words.first();
    return groups;
}

std::vector<const CommandSpec*> commandsIn(const QString& group) {
    std::vector<const CommandSpec*> found;
    for (const CommandSpec& spec : commandCatalogue())
        if (spec.words.size() > 1 && spec.words.first() == group)
            found.push_back(&spec);
    return found;
}

const std::vector<Explained>& exitStatuses() {
    static const std::vector<Explained> statuses{
        {QStringLiteral("0"), QT_TRANSLATE_NOOP("CommandCatalogue", "Done.")},
        {QStringLiteral("1"),
         QT_TRANSLATE_NOOP("CommandCatalogue",
                           "The server refused, or the action failed; standard error says why, in "
                           "the panel's words.")},
        {QStringLiteral("2"), QT_TRANSLATE_NOOP("CommandCatalogue", "The command line was not understood.")},
        {QStringLiteral("3"), QT_TRANSLATE_NOOP("CommandCatalogue", "No server answers.")},
        {QStringLiteral("4"),
         QT_TRANSLATE_NOOP("CommandCatalogue", "No admin password is set, or the server refused it "
                                               "(tavrinctl password set).")},
    };
    return statuses;
}

const std::vector<Explained>& environmentVariables() {
    static const std::vector<Explained> variables{
        {QStringLiteral("TAVRIN_STATE_DIR"),
         QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "The server's state folder, which holds the admin.secret file; as for the panel and the "
             "server, it defaults to $XDG_DATA_HOME/Tavrin Server.")},
        {QStringLiteral("TAVRIN_ADMIN_PORT"),
         QT_TRANSLATE_NOOP("CommandCatalogue",
                           "The port of the admin API on 127.0.0.1, as for the server; 11434 when unset.")},
    };
    return variables;
}

} // namespace tavrin::cli
