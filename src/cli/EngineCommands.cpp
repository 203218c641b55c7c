// The commands of the engine the server's answers come from, through the state layer's EngineActions,
// as the Status tab runs them: what it is and whether it answers, a new one, the built-in one back,
// and one tiny request through it.

#include "base/ShownFigures.h"
#include "cli/CommandCatalogue.h"
#include "cli/CommandContext.h"
#include "cli/RecordText.h"
#include "cli/Terminal.h"
#include "state/ActionWords.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>
#include <QDir>

namespace tavrin::cli {

namespace {

QString none() {
    return QCoreApplication::translate("RecordText", "none");
}

QString engineText(const EngineOverview& engine) {
    const bool builtin = !engine.url;
    std::vector<std::pair<QString, QString>> fields{
        {QCoreApplication::translate("EngineCommands", "Engine"),
         builtin
             ? QCoreApplication::translate("EngineCommands", "built-in echo engine")
             : QCoreApplication::translate("EngineCommands", "OpenAI-compatible at %1").arg(*engine.url)}};
    if (!builtin) {
        fields.push_back(
            {QCoreApplication::translate("EngineCommands", "Model"), engine.model.value_or(none())});
        fields.push_back(
            {QCoreApplication::translate("EngineCommands", "Key file"), engine.keyFile.value_or(none())});
        fields.push_back({QCoreApplication::translate("EngineCommands", "Timeouts"),
                          QCoreApplication::translate("EngineCommands", "%1 s a request, %2 s to connect")
                              .arg(engine.timeoutSeconds.value_or(300))
                              .arg(engine.connectTimeoutSeconds.value_or(10))});
    }
    fields.push_back({QCoreApplication::translate("EngineCommands", "Served as"),
                      engine.servedName.value_or(engine.model.value_or(none()))});
    fields.push_back({QCoreApplication::translate("EngineCommands", "Answers"),
                      engine.reachable ? QCoreApplication::translate("EngineCommands", "yes")
                                       : QCoreApplication::translate("EngineCommands", "no")});
    if (engine.modelListed)
        fields.push_back({QCoreApplication::translate("EngineCommands", "Model listed"),
                          *engine.modelListed ? QCoreApplication::translate("EngineCommands", "yes")
                                              : QCoreApplication::translate("EngineCommands", "no")});
    if (engine.lastError)
        fields.push_back({QCoreApplication::translate("EngineCommands", "Last error"), *engine.lastError});
    if (engine.checkedAt)
        fields.push_back({QCoreApplication::translate("EngineCommands", "Checked"), shownMoment(*engine.checkedAt)});
    return fieldLines(fields);
}

QCoro::Task<int> showEngine(CommandContext& command) {
    const ActionOutcome<EngineOverview> engine = co_await command.state.engineActions().show();
    if (!engine)
        co_return command.fail(engine.error());
    if (!command.printedAsJson(*engine))
        Terminal::out(engineText(*engine));
    co_return done;
}

// The options given change the engine saved, the others stay as the server holds them; an empty value
// removes what it names. --builtin puts the built-in engine back, alone.
QCoro::Task<int> setEngine(CommandContext& command) {
    const Invocation& asked = command.asked;
    EngineActions& engines = command.state.engineActions();
    if (asked.has(QStringLiteral("builtin"))) {
        for (const char* other : {"url", "model", "served-name", "key-file", "timeout"})
            if (asked.has(QLatin1String(other)))
                co_return command.usageError(
                    QCoreApplication::translate("EngineCommands", "--builtin and --%1 contradict each other")
                        .arg(QLatin1String(other)));
        const ActionOutcome<ClientEngineSettings> saved = co_await engines.setBuiltin();
        if (!saved)
            co_return command.fail(saved.error());
        if (!command.printedAsJson(*saved))
            Terminal::out(engineSavedMessage(*saved));
        co_return done;
    }
    const ActionOutcome<ClientEngineSettings> current = co_await engines.settings();
    if (!current)
        co_return command.fail(current.error());
    ClientEngineSettings settings;
    if (current->url) // an OpenAI-compatible engine already: what is not named stays
        settings = *current;
    const auto given = [&](const char* name, std::optional<QString>& field) {
        if (!asked.has(QLatin1String(name)))
            return;
        const QString value = asked.value(QLatin1String(name));
        field = value.isEmpty() ? std::nullopt : std::optional(value);
    };
    given("url", settings.url);
    given("model", settings.model);
    given("served-name", settings.servedName);
    given("key-file", settings.keyFile);
    if (asked.has(QStringLiteral("timeout"))) // whole, as the catalogue checked; the server judges the range
        settings.timeoutSeconds = asked.value(QStringLiteral("timeout")).toLongLong();
    // The server reads the key file from where it runs: a path typed here is this folder's.
    if (settings.keyFile && QDir::isRelativePath(*settings.keyFile))
        settings.keyFile = QDir::current().absoluteFilePath(*settings.keyFile);
    const ActionOutcome<ClientEngineSettings> saved = co_await engines.set(settings);
    if (!saved)
        co_return command.fail(saved.error());
    if (!command.printedAsJson(*saved))
        Terminal::out(engineSavedMessage(*saved));
    co_return done;
}

QCoro::Task<int> testEngine(CommandContext& command) {
    const ActionOutcome<ClientEngineTestResult> tested = co_await command.state.engineActions().test();
    if (!tested)
        co_return command.fail(tested.error());
    if (!command.printedAsJson(*tested))
        Terminal::out(
            fieldLines(
                {{QCoreApplication::translate("EngineCommands", "First token"),
                  QCoreApplication::translate("EngineCommands", "%1 ms").arg(tested->firstPieceMilliseconds)},
                 {QCoreApplication::translate("EngineCommands", "Whole answer"),
                  QCoreApplication::translate("EngineCommands", "%1 ms").arg(tested->totalMilliseconds)}}) +
            tested->answer);
    co_return done;
}

} // namespace

std::vector<CommandSpec> engineCommands() {
    using Kind = OptionSpec::Kind;
    return {
        {.words = {"engine", "show"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Show the engine and whether it answers"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Shows which engine the server's answers come from (the built-in echo engine or an "
             "OpenAI-compatible server), the name clients see, and whether it answered when last "
             "checked, with its last error."),
         .run = showEngine},
        {.words = {"engine", "set"},
         .options = {{QStringLiteral("url"),
                      {},
                      Kind::text,
                      QStringLiteral("URL"),
                      {},
                      false,
                      QT_TRANSLATE_NOOP(
                          "CommandCatalogue",
                          "The OpenAI-compatible server's base address, e.g. http://127.0.0.1:8080/v1.")},
                     {QStringLiteral("model"),
                      {},
                      Kind::text,
                      QStringLiteral("NAME"),
                      {},
                      false,
                      QT_TRANSLATE_NOOP("CommandCatalogue", "The model to ask that server for.")},
                     {QStringLiteral("served-name"),
                      {},
                      Kind::text,
                      QStringLiteral("NAME"),
                      {},
                      false,
                      QT_TRANSLATE_NOOP("CommandCatalogue",
                                        "The model name clients see; the model's own by default.")},
                     {QStringLiteral("key-file"),
                      {},
                      Kind::file,
                      QStringLiteral("PATH"),
                      {},
                      false,
                      QT_TRANSLATE_NOOP(
                          "CommandCatalogue",
                          "A file of yours, mode 0600, holding that server's API key; \"\" for none.")},
                     {QStringLiteral("timeout"),
                      {},
                      Kind::number,
                      QStringLiteral("SECONDS"),
                      {},
                      false,
                      QT_TRANSLATE_NOOP("CommandCatalogue", "How long one request may take.")},
                     {QStringLiteral("builtin"),
                      {},
                      Kind::flag,
                      {},
                      {},
                      false,
                      QT_TRANSLATE_NOOP("CommandCatalogue", "Answer with the built-in echo engine again.")}},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Change the engine"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Puts an OpenAI-compatible server behind this one, or with --builtin the built-in echo "
             "engine back. Changes what is given and keeps the rest as the server holds it; the "
             "server makes the new engine before it saves, and a refusal leaves the engine in use "
             "serving. The key itself never leaves its file."),
         .needsOption = true,
         .run = setEngine},
        {.words = {"engine", "test"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Send one tiny request through the engine"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Asks the engine in use to say hello and prints how long its first token and its whole "
             "answer took, then the answer."),
         .run = testEngine},
    };
}

} // namespace tavrin::cli
