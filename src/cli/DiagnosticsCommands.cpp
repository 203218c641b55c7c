// The commands of support bundles and the admin password, through the state layer's
// DiagnosticsActions, as the Diagnostics tab runs them.

#include "base/PrivateFile.h"
#include "cli/CommandCatalogue.h"
#include "cli/CommandContext.h"
#include "cli/Terminal.h"
#include "state/ActionWords.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>
#include <QFile>

namespace tavrin::cli {

namespace {

QCoro::Task<int> makeBundle(CommandContext& command) {
    DiagnosticsActions& diagnostics = command.state.diagnosticsActions();
    const bool includeContents = command.asked.has(QStringLiteral("include-contents"));
    const ActionOutcome<ClientDiagnosticsResponse> made = co_await diagnostics.supportBundle(includeContents);
    if (!made)
        co_return command.fail(made.error());
    const QString copy = command.asked.value(QStringLiteral("output"));
    if (!copy.isEmpty()) {
        // The server's own file, this user's, checked again as it is opened: read here, and kept
        // private where it goes too.
        const ActionOutcome<std::unique_ptr<QFile>> bundle = diagnostics.openBundle(made->bundlePath);
        if (!bundle)
            co_return command.fail(bundle.error());
        const QByteArray bytes = (*bundle)->readAll();
        if ((*bundle)->error() != QFileDevice::NoError)
            co_return command.fail(ActionError{made->bundlePath + QStringLiteral(": ") + (*bundle)->errorString()});
        if (copy == QLatin1String("-")) {
            QString reason;
            if (!Terminal::write(bytes, &reason) || !Terminal::flush())
                co_return command.fail(ActionError{
                    QCoreApplication::translate("SettingsCommands", "standard output: %1").arg(reason)});
            co_return done;
        }
        if (const auto written = writeFilePrivately(copy, bytes); !written)
            co_return command.fail(ActionError{written.error().message()});
    }
    if (!command.printedAsJson(*made))
        Terminal::out(made->message + QLatin1Char('\n') + (copy.isEmpty() ? made->bundlePath : copy));
    co_return done;
}

QCoro::Task<int> setPassword(CommandContext& command) {
    const std::optional<QString> typed =
        Terminal::readSecretLine(QCoreApplication::translate("DiagnosticsCommands", "New admin password: "));
    if (!typed || typed->isEmpty()) // the panel's Save stays disabled for an empty field
        co_return command.usageError(
            QCoreApplication::translate("DiagnosticsCommands", "no password on standard input"));
    const QString password = *typed;
    const ActionResult saved = co_await command.state.diagnosticsActions().savePassword(password);
    if (!saved)
        co_return command.fail(saved.error());
    Terminal::out(settingsSavedMessage());
    co_return done;
}

QCoro::Task<int> clearPassword(CommandContext& command) {
    co_await command.state.diagnosticsActions().clearPassword();
    co_return done;
}

} // namespace

std::vector<CommandSpec> diagnosticsCommands() {
    return {
        {.words = {"bundle"},
         .options = {outputOption(QT_TRANSLATE_NOOP(
                         "CommandCatalogue", "Copy the bundle to FILE as well; \"-\" writes it to standard "
                                             "output instead.")),
                     includeContentsOption()},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Make a support bundle"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Has the server zip its hardware summary, audit metadata and recent log output, and "
             "prints where the bundle is."),
         .run = makeBundle},
        {.words = {"password", "set"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Set the admin password"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Reads the new admin password from standard input (without echo on a terminal) and "
             "keeps it where the panel does: the keyring and the server's admin.secret file. It "
             "is never taken from the command line."),
         .run = setPassword},
        {.words = {"password", "clear"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Forget the admin password"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue", "Removes the admin password from the keyring and the admin.secret file."),
         .run = clearPassword},
    };
}

} // namespace tavrin::cli
