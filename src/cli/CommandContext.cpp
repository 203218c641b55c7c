#include "cli/CommandContext.h"

#include "cli/Terminal.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>

namespace tavrin::cli {

namespace {

// A failure's exit status. A listener of another user's keeps the password back (a plain failure, 1):
// the password itself is neither missing nor refused, and a script that answers 4 by setting it again
// would do the wrong thing.
int exitStatusOf(const ActionError& error) {
    switch (error.cause) {
    case ActionError::Cause::notReachable:
        return notReachable;
    case ActionError::Cause::unauthenticated:
        return unauthenticated;
    case ActionError::Cause::failed:
        break;
    }
    return failed;
}

} // namespace

CommandContext::CommandContext(ServerStateModel& state, Invocation asked) : state(state), asked(std::move(asked)) {}

int CommandContext::fail(const ActionError& error) const {
    Terminal::err(error.message());
    return exitStatusOf(error);
}

int CommandContext::ended(const ActionResult& result) const { return result ? int(done) : fail(result.error()); }

int CommandContext::usageError(const QString& message) const {
    Terminal::err(QStringLiteral("tavrinctl: ") + message);
    Terminal::err(QCoreApplication::translate("tavrinctl", "Try '%1'.")
                      .arg(QStringList(QStringList{QStringLiteral("tavrinctl")} + asked.spec->words +
                                       QStringList{QStringLiteral("--help")})
                               .join(QLatin1Char(' '))));
    return usage;
}

// The encoder escapes C0 controls but writes DEL and C1 as they are; escaped here too, the document
// means the same and the line passes the terminal's filter unchanged.
void CommandContext::printJson(const QByteArray& json) {
    QString text;
    for (const QChar c : QString::fromUtf8(json)) {
        if (c.unicode() >= 0x7f && c.unicode() <= 0x9f)
            text += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            text += c;
    }
    Terminal::out(text);
}

QCoro::Task<int> runCommand(ServerStateModel& state, Invocation asked) {
    CommandContext command(state, std::move(asked));
    // Without this, an action asked for before the keyring has answered would go without the password.
    co_await state.adminSecretFound();
    co_return co_await command.asked.spec->run(command);
}

} // namespace tavrin::cli
