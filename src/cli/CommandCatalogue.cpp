#include "cli/CommandCatalogue.h"

namespace tavrin::cli {

namespace {

using Kind = OptionSpec::Kind;

OptionSpec choice(const QString& name, const QStringList& choices, const QString& help) {
    return {name, {}, Kind::choice, choices.join(QLatin1Char('|')), choices, false, help};
}

const QStringList onOff{QStringLiteral("on"), QStringLiteral("off")};

const OptionSpec includeContents{QStringLiteral("include-contents"), {}, Kind::flag, {}, {}, false,
                                 QStringLiteral("Ask for prompt contents too; the server adds them only while "
                                                "audit logging keeps them.")};

OptionSpec output(const QString& what) {
    return {QStringLiteral("output"), QLatin1Char('o'), Kind::file, QStringLiteral("FILE"), {}, false, what};
}

const ArgumentSpec key{QStringLiteral("KEY"), {}, true};

std::vector<CommandSpec> makeCatalogue() {
    std::vector<CommandSpec> c;
    c.push_back({Command::status, {"status"}, {}, {},
                 "Show whether the server runs, and how",
                 "Shows the server's phase, version, uptime, endpoints, model and load, and whether it starts at "
                 "login. Exits with 3 when no server answers and 4 when the admin password is missing or refused."});
    c.push_back({Command::start, {"start"}, {}, {},
                 "Start the server",
                 "Starts the server as the Status tab does: the login service is restarted when start at login is "
                 "on; otherwise the server starts for this session and keeps running after tavrinctl ends, and "
                 "the next tavrinctl stop, or the panel, stops it. Waits a few seconds for it to answer."});
    c.push_back({Command::stop, {"stop"}, {}, {},
                 "Stop the server",
                 "Stops the server, whichever way it runs. Start at login stays as it is."});
    c.push_back({Command::restart, {"restart"}, {}, {},
                 "Stop the server, then start it again",
                 "Stops the server and starts it again, as stop and start do; network changes take effect then."});
    c.push_back({Command::loginOn, {"login", "on"}, {}, {},
                 "Start the server at every login",
                 "Installs and enables the login service (a systemd user service), which starts the server now and "
                 "at every login. Only an installation in /opt/tavrin-keldmarch can do this."});
    c.push_back({Command::loginOff, {"login", "off"}, {}, {},
                 "Stop starting the server at login",
                 "Turns start at login off; the login service's server stops with it."});
    c.push_back({Command::loginRemove, {"login", "remove"}, {}, {},
                 "Stop the server and remove the login service",
                 "Stops the server and removes the login service from this user's systemd."});
    c.push_back({Command::keysList, {"keys", "list"}, {}, {},
                 "List the API keys",
                 "Lists every API key: id, label, scopes, status, requests made and last use."});
    c.push_back({Command::keysCreate, {"keys", "create"}, {{"LABEL", {}, true}},
                 {{QStringLiteral("scope"), {}, Kind::choice, QStringLiteral("inference|readonly"),
                   {QStringLiteral("inference"), QStringLiteral("readonly")}, true,
                   QStringLiteral("What the key may do: inference (chat and generation) or readonly (list "
                                  "models). Repeat it for both; without it the server chooses.")}},
                 "Make an API key",
                 "Makes an API key labelled LABEL and prints its secret alone on standard output, so that "
                 "KEY=$(tavrinctl keys create ci) keeps it; a line about the key goes to standard error. The "
                 "server shows a secret only once."});
    c.push_back({Command::keysRevoke, {"keys", "revoke"}, {key}, {},
                 "Revoke an API key",
                 "Revokes the key whose id or exact label is KEY: it stops working at once and stays listed."});
    c.push_back({Command::keysRotate, {"keys", "rotate"}, {key}, {},
                 "Give an API key a new secret",
                 "Gives the key whose id or exact label is KEY a new secret, printed alone on standard output; the "
                 "old secret stops working."});
    c.push_back({Command::keysDelete, {"keys", "delete"}, {key}, {},
                 "Delete an API key",
                 "Deletes the key whose id or exact label is KEY, for good."});
    c.push_back({Command::loggingShow, {"logging", "show"}, {}, {},
                 "Show the audit logging settings",
                 "Shows the audit logging mode, how many days records are kept, and whether support bundles may "
                 "carry prompt contents."});
    c.push_back({Command::loggingSet, {"logging", "set"}, {},
                 {choice(QStringLiteral("mode"),
                         {QStringLiteral("none"), QStringLiteral("privacy"), QStringLiteral("hash"), QStringLiteral("audit")},
                         QStringLiteral("none keeps nothing; privacy keeps metadata only; hash adds digests of "
                                        "prompts; audit keeps prompts and replies.")),
                  {QStringLiteral("retention"), {}, Kind::number, QStringLiteral("DAYS"), {}, false,
                   QStringLiteral("How many days audit records are kept.")},
                  choice(QStringLiteral("include-contents"), onOff,
                         QStringLiteral("Whether support bundles may carry prompt contents."))},
                 "Change the audit logging settings",
                 "Changes the settings given and keeps the others as the server holds them.", true});
    c.push_back({Command::exportLog, {"export"}, {{"csv|jsonl", {"csv", "jsonl"}, false}},
                 {output(QStringLiteral("Write the export to FILE, replacing it once complete; \"-\", or no "
                                        "--output, writes standard output.")),
                  includeContents},
                 "Export the audit log",
                 "Streams the usage records as CSV, or the audit log as JSON lines, as the server writes them. "
                 "Prompt contents go into the JSON lines only. Shows its progress on a terminal when writing a "
                 "file."});
    c.push_back({Command::networkShow, {"network", "show"}, {}, {},
                 "Show the network settings",
                 "Shows whether the server listens on the local network, its host and port, its mDNS name, the CORS "
                 "origins and the IP allowlist."});
    c.push_back({Command::networkSet, {"network", "set"}, {},
                 {choice(QStringLiteral("lan"), onOff,
                         QStringLiteral("on listens on every interface (0.0.0.0), off on this machine only "
                                        "(127.0.0.1).")),
                  {QStringLiteral("host"), {}, Kind::text, QStringLiteral("H"), {}, false,
                   QStringLiteral("The address to listen on.")},
                  {QStringLiteral("port"), {}, Kind::number, QStringLiteral("P"), {}, false,
                   QStringLiteral("The port of the inference API.")},
                  {QStringLiteral("mdns"), {}, Kind::text, QStringLiteral("NAME"), {}, false,
                   QStringLiteral("The name announced over mDNS.")},
                  {QStringLiteral("no-mdns"), {}, Kind::flag, {}, {}, false, QStringLiteral("Announce no name.")},
                  {QStringLiteral("cors"), {}, Kind::text, QStringLiteral("ORIGIN,..."), {}, true,
                   QStringLiteral("The browser origins allowed to call the server (replaces the list; \"\" empties "
                                  "it).")},
                  {QStringLiteral("allow"), {}, Kind::text, QStringLiteral("ADDR,..."), {}, true,
                   QStringLiteral("The client addresses allowed in (replaces the list; \"\" allows every one).")}},
                 "Change the network settings",
                 "Changes the settings given and keeps the others as the server holds them; the server applies "
                 "them when it restarts.",
                 true});
    c.push_back({Command::preambleShow, {"preamble", "show"}, {}, {},
                 "Print the org preamble",
                 "Prints the instruction the server puts before every request, alone; nothing when there is none."});
    c.push_back({Command::preambleSet, {"preamble", "set"}, {{"TEXT|-", {"-"}, true}}, {},
                 "Set the org preamble",
                 "Sets the org preamble to TEXT, or to what standard input holds when TEXT is \"-\". White space at "
                 "either end is dropped; the server's limit counts characters as typed."});
    c.push_back({Command::preambleClear, {"preamble", "clear"}, {}, {},
                 "Remove the org preamble", "Removes the org preamble."});
    c.push_back({Command::modelsShow, {"models", "show"}, {}, {},
                 "Show the running, staged and previous models",
                 "Shows the model in production, a staged version ready to promote, and the earlier versions a "
                 "rollback can return to."});
    c.push_back({Command::modelsPromote, {"models", "promote"}, {}, {},
                 "Promote the staged model",
                 "Makes the staged model the production one; the server loads it when it restarts."});
    c.push_back({Command::modelsRollback, {"models", "rollback"}, {}, {},
                 "Return to the previous model",
                 "Brings the previous production model back; the server loads it when it restarts."});
    c.push_back({Command::updatesShow, {"updates", "show"}, {}, {},
                 "Show the updater's state",
                 "Shows the running version, the channel, the last check, an available update and a downloaded one."});
    c.push_back({Command::updatesCheck, {"updates", "check"}, {}, {},
                 "Check for a server update", "Asks the server to read its update feed now."});
    c.push_back({Command::updatesDownload, {"updates", "download"}, {}, {},
                 "Download and verify the update",
                 "Has the server download the available update and verify its signature. Installing it is "
                 "left to you."});
    c.push_back({Command::updatesClear, {"updates", "clear"}, {}, {},
                 "Delete the downloaded update", "Deletes the update the server downloaded."});
    c.push_back({Command::bundle, {"bundle"}, {},
                 {output(QStringLiteral("Copy the bundle to FILE as well; \"-\" writes it to standard output instead.")),
                  includeContents},
                 "Make a support bundle",
                 "Has the server zip its hardware summary, audit metadata and recent log output, and prints where "
                 "the bundle is."});
    c.push_back({Command::passwordSet, {"password", "set"}, {}, {},
                 "Set the admin password",
                 "Reads the new admin password from standard input (without echo on a terminal) and keeps it where "
                 "the panel does: the keyring and the server's admin.secret file. It is never taken from the "
                 "command line."});
    c.push_back({Command::passwordClear, {"password", "clear"}, {}, {},
                 "Forget the admin password",
                 "Removes the admin password from the keyring and the admin.secret file."});
    return c;
}

} // namespace

const std::vector<CommandSpec>& commandCatalogue() {
    static const std::vector<CommandSpec> catalogue = makeCatalogue();
    return catalogue;
}

const std::vector<OptionSpec>& commonOptions() {
    static const std::vector<OptionSpec> options{
        {QStringLiteral("json"), {}, Kind::flag, {}, {}, false,
         QStringLiteral("Print the server's records as JSON, one document a line.")},
        {QStringLiteral("help"), QLatin1Char('h'), Kind::flag, {}, {}, false, QStringLiteral("Show this help.")},
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
        if (group.isEmpty() || (spec.words.size() > 1 && spec.words.first() == group))
            found.push_back(&spec);
    return found;
}

const std::vector<Explained>& exitStatuses() {
    static const std::vector<Explained> statuses{
        {QStringLiteral("0"), QStringLiteral("Done.")},
        {QStringLiteral("1"), QStringLiteral("The server refused, or the action failed; standard error says why, in "
                                             "the panel's words.")},
        {QStringLiteral("2"), QStringLiteral("The command line was not understood.")},
        {QStringLiteral("3"), QStringLiteral("No server answers.")},
        {QStringLiteral("4"), QStringLiteral("No admin password is set, or the server refused it "
                                             "(tavrinctl password set).")},
    };
    return statuses;
}

const std::vector<Explained>& environmentVariables() {
    static const std::vector<Explained> variables{
        {QStringLiteral("TAVRIN_STATE_DIR"),
         QStringLiteral("The server's state folder, which holds the admin.secret file; as for the panel and the "
                        "server, it defaults to $XDG_DATA_HOME/Tavrin Server.")},
        {QStringLiteral("TAVRIN_ADMIN_PORT"),
         QStringLiteral("The port of the admin API on 127.0.0.1, as for the server; 11434 when unset.")},
    };
    return variables;
}

} // namespace tavrin::cli
