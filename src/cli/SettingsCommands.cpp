// The commands of the records the Logs, Network and Org Preamble tabs edit, and of the audit log's
// exports, through the state layer's SettingsActions: each reads the whole record, changes what the
// command line names, and saves the whole record, as the tabs do.

#include "cli/CommandCatalogue.h"
#include "cli/CommandContext.h"
#include "cli/RecordText.h"
#include "cli/Terminal.h"
#include "state/ActionWords.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>

namespace tavrin::cli {

namespace {

std::vector<QString> entries(const QStringList& list) { return {list.begin(), list.end()}; }

QCoro::Task<int> showLogging(CommandContext& command) {
    SettingsActions& settings = command.state.settingsActions();
    const ActionOutcome<ClientAuditLoggingSettings> current = co_await settings.loggingSettings();
    if (!current)
        co_return command.fail(current.error());
    if (!command.printedAsJson(*current))
        Terminal::out(loggingText(*current));
    co_return done;
}

QCoro::Task<int> setLogging(CommandContext& command) {
    SettingsActions& settings = command.state.settingsActions();
    ActionOutcome<ClientAuditLoggingSettings> current = co_await settings.loggingSettings();
    if (!current)
        co_return command.fail(current.error());
    const Invocation& asked = command.asked;
    if (asked.has(QStringLiteral("mode")))
        current->mode = *enumFromRawValue<ClientAuditMode>(asked.value(QStringLiteral("mode")));
    if (asked.has(QStringLiteral("retention")))
        current->retentionDays = asked.value(QStringLiteral("retention")).toLongLong();
    if (asked.has(QStringLiteral("include-contents")))
        current->includePromptContentsInDiagnostics = asked.value(QStringLiteral("include-contents")) == QLatin1String("on");
    const ClientAuditLoggingSettings wanted = *current;
    const ActionOutcome<ClientAuditLoggingSettings> saved = co_await settings.saveLoggingSettings(wanted);
    if (!saved)
        co_return command.fail(saved.error());
    if (!command.printedAsJson(*saved))
        Terminal::out(settingsSavedMessage());
    co_return done;
}

QCoro::Task<int> exportLog(CommandContext& command) {
    const bool csv = command.asked.arguments.value(0) == QLatin1String("csv");
    const bool includeContents = command.asked.has(QStringLiteral("include-contents"));
    if (csv && includeContents)
        co_return command.usageError(
            QCoreApplication::translate("SettingsCommands", "prompt contents go into the jsonl export only"));
    const AuditExportRequest request{csv ? AuditExportRequest::Format::csv : AuditExportRequest::Format::jsonl,
                                     includeContents};
    const QString output = command.asked.value(QStringLiteral("output"));
    SettingsActions& settings = command.state.settingsActions();

    if (!output.isEmpty() && output != QLatin1String("-")) {
        // Streamed into a hidden file beside the destination, which is replaced only by the whole export.
        const QFileInfo destination(output);
        const auto download = settings.startAuditExport(request, destination.absolutePath(), destination.fileName());
        Terminal::removeOnInterrupt(download->temporaryPath());
        QObject::connect(download.get(), &ExportDownload::progress, [](qint64 bytes) {
            Terminal::progress(exportProgressText(bytes));
        });
        const QString path = destination.absoluteFilePath();
        const ActionResult saved = co_await download->saveAs(path);
        Terminal::removeOnInterrupt({});
        Terminal::endProgress();
        if (!saved)
            co_return command.fail(saved.error());
        if (!command.asked.json)
            Terminal::out(
                QCoreApplication::translate("SettingsCommands", "Saved %1").arg(destination.fileName()));
        co_return done;
    }

    // To standard output, as it arrives: read from the download's own file while it grows, then dropped
    // with it. A reader that goes away (a pipe into head) stops the copy, not the download, which ends
    // as it would and takes its file with it.
    const auto download = settings.startAuditExport(request, QDir::tempPath(), exportFileName(request.format));
    Terminal::removeOnInterrupt(download->temporaryPath());
    QFile growing(download->temporaryPath());
    growing.open(QIODevice::ReadOnly | QIODevice::Unbuffered); // reads what was written since, every time
    QString broken;
    const auto pass = [&] {
        while (broken.isEmpty() && growing.isOpen()) {
            const QByteArray chunk = growing.read(256 * 1024);
            if (chunk.isEmpty() || !Terminal::write(chunk, &broken))
                break;
        }
    };
    QObject::connect(download.get(), &ExportDownload::progress, download.get(), pass);
    const ActionResult completed = co_await download->completed();
    if (completed)
        pass();
    download->cancel();
    Terminal::removeOnInterrupt({});
    if (!completed)
        co_return command.fail(completed.error());
    if (broken.isEmpty() && !Terminal::flush())
        broken = QCoreApplication::translate("SettingsCommands", "the output could not be written");
    if (!broken.isEmpty()) {
        Terminal::err(QCoreApplication::translate("SettingsCommands", "standard output: %1").arg(broken));
        co_return failed;
    }
    co_return done;
}

QCoro::Task<int> showNetwork(CommandContext& command) {
    SettingsActions& settings = command.state.settingsActions();
    const ActionOutcome<ClientNetworkPreferences> current = co_await settings.networkPreferences();
    if (!current)
        co_return command.fail(current.error());
    if (!command.printedAsJson(*current))
        Terminal::out(networkText(*current));
    co_return done;
}

QCoro::Task<int> setNetwork(CommandContext& command) {
    SettingsActions& settings = command.state.settingsActions();
    ActionOutcome<ClientNetworkPreferences> current = co_await settings.networkPreferences();
    if (!current)
        co_return command.fail(current.error());
    const Invocation& asked = command.asked;
    if (asked.has(QStringLiteral("mdns")) && asked.has(QStringLiteral("no-mdns")))
        co_return command.usageError(
            QCoreApplication::translate("SettingsCommands", "--mdns and --no-mdns contradict each other"));
    ClientNetworkPreferences& prefs = *current;
    if (asked.has(QStringLiteral("lan"))) { // as the panel's switch: every interface, or this machine only
        const bool on = asked.value(QStringLiteral("lan")) == QLatin1String("on");
        prefs = SettingsActions::withLanEnabled(prefs, on);
    }
    if (asked.has(QStringLiteral("host")))
        prefs.bindHost = asked.value(QStringLiteral("host"));
    if (asked.has(QStringLiteral("port"))) // whole, as the catalogue checked; the server judges the range
        prefs.bindPort = asked.value(QStringLiteral("port")).toLongLong();
    if (asked.has(QStringLiteral("mdns"))) { // an empty name is no name, as an empty field is
        const QString name = asked.value(QStringLiteral("mdns"));
        prefs.mdnsName = name.isEmpty() ? std::nullopt : std::optional(name);
    }
    if (asked.has(QStringLiteral("no-mdns")))
        prefs.mdnsName.reset();
    if (asked.has(QStringLiteral("cors")))
        prefs.corsAllowedOrigins = entries(asked.values(QStringLiteral("cors")));
    if (asked.has(QStringLiteral("allow")))
        prefs.ipAllowlist = entries(asked.values(QStringLiteral("allow")));
    const ClientNetworkPreferences wanted = prefs;
    const ActionOutcome<ClientNetworkPreferences> saved = co_await settings.saveNetworkPreferences(wanted);
    if (!saved)
        co_return command.fail(saved.error());
    if (!command.printedAsJson(*saved))
        Terminal::out(networkSavedMessage());
    co_return done;
}

QCoro::Task<int> showPreamble(CommandContext& command) {
    SettingsActions& settings = command.state.settingsActions();
    const ActionOutcome<ClientOrgPreambleResponse> current = co_await settings.orgPreamble();
    if (!current)
        co_return command.fail(current.error());
    if (!command.printedAsJson(*current) && current->preamble)
        Terminal::out(*current->preamble);
    co_return done;
}

// Set and clear both: clear takes no TEXT, so it saves the empty text, as emptying the tab's field does.
QCoro::Task<int> savePreamble(CommandContext& command) {
    SettingsActions& settings = command.state.settingsActions();
    const ActionOutcome<ClientOrgPreambleResponse> current = co_await settings.orgPreamble();
    if (!current)
        co_return command.fail(current.error());
    QString typed = command.asked.arguments.value(0);
    if (typed == QLatin1String("-")) {
        typed = QString::fromUtf8(Terminal::readInput());
        if (typed.endsWith(QLatin1Char('\n'))) // the input's last line break ends it; nobody typed it
            typed.chop(typed.endsWith(QLatin1String("\r\n")) ? 2 : 1);
    }
    const qint64 limit = current->maxLength;
    const ActionOutcome<ClientOrgPreambleResponse> saved = co_await settings.saveOrgPreamble(typed, limit);
    if (!saved)
        co_return command.fail(saved.error());
    if (!command.printedAsJson(*saved))
        Terminal::out(preambleSavedMessage(*saved));
    co_return done;
}

const QStringList onOffChoices{QStringLiteral("on"), QStringLiteral("off")};

OptionSpec choice(const QString& name, const QStringList& choices, const QString& help) {
    return {name, {}, OptionSpec::Kind::choice, choices.join(QLatin1Char('|')), choices, false, help};
}

} // namespace

std::vector<CommandSpec> settingsCommands() {
    using Kind = OptionSpec::Kind;
    return {
        {.words = {"logging", "show"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Show the audit logging settings"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Shows the audit logging mode, how many days records are kept, and whether support "
             "bundles may carry prompt contents."),
         .run = showLogging},
        {.words = {"logging", "set"},
         .options = {choice(QStringLiteral("mode"),
                            {QStringLiteral("none"), QStringLiteral("privacy"), QStringLiteral("hash"),
                             QStringLiteral("audit")},
                            QT_TRANSLATE_NOOP(
                                "CommandCatalogue",
                                "none keeps nothing; privacy keeps metadata only; hash adds digests of "
                                "prompts; audit keeps prompts and replies.")),
                     {QStringLiteral("retention"),
                      {},
                      Kind::number,
                      QStringLiteral("DAYS"),
                      {},
                      false,
                      QT_TRANSLATE_NOOP("CommandCatalogue", "How many days audit records are kept.")},
                     choice(QStringLiteral("include-contents"), onOffChoices,
                            QT_TRANSLATE_NOOP("CommandCatalogue",
                                              "Whether support bundles may carry prompt contents."))},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Change the audit logging settings"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue", "Changes the settings given and keeps the others as the server holds them."),
         .needsOption = true,
         .run = setLogging},
        {.words = {"export"},
         .arguments = {{"csv|jsonl", {"csv", "jsonl"}, false}},
         .options = {outputOption(QT_TRANSLATE_NOOP(
                         "CommandCatalogue",
                         "Write the export to FILE, replacing it once complete; \"-\", or no "
                         "--output, writes standard output.")),
                     includeContentsOption()},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Export the audit log"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Streams the usage records as CSV, or the audit log as JSON lines, as the server "
             "writes them. Prompt contents go into the JSON lines only. Shows its progress on a "
             "terminal when writing a file."),
         .run = exportLog},
        {.words = {"network", "show"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Show the network settings"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Shows whether the server listens on the local network, its host and port, its mDNS "
             "name, the CORS origins and the IP allowlist."),
         .run = showNetwork},
        {.words = {"network", "set"},
         .options = {choice(QStringLiteral("lan"), onOffChoices,
                            QT_TRANSLATE_NOOP(
                                "CommandCatalogue",
                                "on listens on every interface (0.0.0.0), off on this machine only "
                                "(127.0.0.1).")),
                     {QStringLiteral("host"),
                      {},
                      Kind::text,
                      QStringLiteral("H"),
                      {},
                      false,
                      QT_TRANSLATE_NOOP("CommandCatalogue", "The address to listen on.")},
                     {QStringLiteral("port"),
                      {},
                      Kind::number,
                      QStringLiteral("P"),
                      {},
                      false,
                      QT_TRANSLATE_NOOP("CommandCatalogue", "The port of the inference API.")},
                     {QStringLiteral("mdns"),
                      {},
                      Kind::text,
                      QStringLiteral("NAME"),
                      {},
                      false,
                      QT_TRANSLATE_NOOP("CommandCatalogue", "The name announced over mDNS.")},
                     {QStringLiteral("no-mdns"),
                      {},
                      Kind::flag,
                      {},
                      {},
                      false,
                      QT_TRANSLATE_NOOP("CommandCatalogue", "Announce no name.")},
                     {QStringLiteral("cors"),
                      {},
                      Kind::text,
                      QStringLiteral("ORIGIN,..."),
                      {},
                      true,
                      QT_TRANSLATE_NOOP(
                          "CommandCatalogue",
                          "The browser origins allowed to call the server (replaces the list; \"\" empties "
                          "it).")},
                     {QStringLiteral("allow"),
                      {},
                      Kind::text,
                      QStringLiteral("ADDR,..."),
                      {},
                      true,
                      QT_TRANSLATE_NOOP(
                          "CommandCatalogue",
                          "The client addresses allowed in (replaces the list; \"\" allows every one).")}},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Change the network settings"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Changes the settings given and keeps the others as the server holds them; the "
             "server applies them when it restarts."),
         .needsOption = true,
         .run = setNetwork},
        {.words = {"preamble", "show"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Print the org preamble"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Prints the instruction the server puts before every request, alone; nothing when "
             "there is none."),
         .run = showPreamble},
        {.words = {"preamble", "set"},
         .arguments = {{"TEXT|-", {"-"}, true}},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Set the org preamble"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Sets the org preamble to TEXT, or to what standard input holds when TEXT is \"-\". "
             "White space at either end is dropped; the server's limit counts characters as "
             "typed."),
         .run = savePreamble},
        {.words = {"preamble", "clear"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Remove the org preamble"),
         .description = QT_TRANSLATE_NOOP("CommandCatalogue", "Removes the org preamble."),
         .run = savePreamble},
    };
}

} // namespace tavrin::cli
