#include "protocol/Task.h"

#include "base/ServerAddress.h"
#include "base/Translations.h"
#include "cli/CommandContext.h"
#include "cli/Terminal.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>

#include <csignal>
#include <optional>

using namespace tavrin;
using namespace tavrin::cli;

namespace {

// The admin API, where the panel calls it, on the port TAVRIN_ADMIN_PORT names (as the server reads it).
std::optional<QUrl> adminBaseUrl() {
    QUrl url = ServerAddress::defaultBaseUrl();
    const QString port = qEnvironmentVariable("TAVRIN_ADMIN_PORT");
    if (port.isEmpty())
        return url;
    bool whole = false;
    const int number = port.toInt(&whole);
    if (!whole || number < 1 || number > 65535)
        return std::nullopt;
    url.setPort(number);
    return url;
}

int usageError(const QString& message, const QString& helpCommand) {
    Terminal::err(QStringLiteral("tavrinctl: ") + message);
    Terminal::err(QCoreApplication::translate("tavrinctl", "Try '%1'.").arg(helpCommand));
    return usage;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // The panel's names, so that what the state layer keeps in the user's settings is the panel's.
    QCoreApplication::setOrganizationName(QStringLiteral("Tavrin"));
    QCoreApplication::setApplicationName(QStringLiteral("Tavrin Keldmarch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TAVRIN_VERSION));
    installTranslations(app);
    // A reader that goes away (a pipe into head) is a failed write, not the end of tavrinctl: an
    // export's own file must still go.
    std::signal(SIGPIPE, SIG_IGN);

    ParsedCommandLine parsed = parseCommandLine(QCoreApplication::arguments().mid(1));
    if (const auto* help = std::get_if<HelpRequest>(&parsed)) {
        Terminal::out(help->text);
        return done;
    }
    if (std::holds_alternative<VersionRequest>(parsed)) {
        Terminal::out(QStringLiteral("tavrinctl " TAVRIN_VERSION));
        return done;
    }
    if (const auto* error = std::get_if<UsageError>(&parsed))
        return usageError(error->message, error->helpCommand);
    const std::optional<QUrl> admin = adminBaseUrl();
    if (!admin)
        return usageError(QCoreApplication::translate("tavrinctl", "TAVRIN_ADMIN_PORT is no port: \"%1\"")
                              .arg(qEnvironmentVariable("TAVRIN_ADMIN_PORT")),
                          QStringLiteral("tavrinctl --help"));

    // A command reads what its action hands back, never the model's fields afterwards: no poll follows.
    const std::unique_ptr<ServerStateModel> state =
        ServerStateModel::make({.baseURL = *admin, .followChanges = false});
    const Invocation asked = std::get<Invocation>(std::move(parsed));
    return QCoro::waitFor(runCommand(*state, asked));
}
