#include "cli/CommandRunner.h"

#include "base/PrivateFile.h"
#include "base/StateFolder.h"
#include "cli/RecordText.h"
#include "cli/Terminal.h"
#include "state/ActionWords.h"
#include "state/ServerStateModel.h"

#include <QFile>
#include <QSysInfo>

#include <algorithm>

// The coroutines name every argument of a call they await (see "Writing a coroutine" in
// docs/ARCHITECTURE.md).

namespace tavrin::cli {

namespace {

QString quoted(const QString& text) { return QStringLiteral("“%1”").arg(text); }

// How the phase reads when the status could not be read, as the model would derive it.
QString phaseWord(ActionError::Cause cause) {
    switch (cause) {
    case ActionError::Cause::notReachable:
        return QStringLiteral("stopped");
    case ActionError::Cause::unauthenticated:
        return QStringLiteral("unauthenticated");
    case ActionError::Cause::failed:
        break;
    }
    return QStringLiteral("error");
}

} // namespace

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

std::expected<ClientAPIKeyPublic, QString> findKey(const ClientAPIKeyList& keys, const QString& idOrLabel) {
    if (const auto byId = std::ranges::find(keys, idOrLabel, &ClientAPIKeyPublic::id); byId != keys.end())
        return *byId;
    QStringList ids;
    for (const ClientAPIKeyPublic& key : keys)
        if (key.label == idOrLabel)
            ids << key.id;
    if (ids.isEmpty())
        return std::unexpected(QStringLiteral("No key has the id or label %1.").arg(quoted(idOrLabel)));
    if (ids.size() > 1)
        return std::unexpected(QStringLiteral("%1 keys have the label %2; name one by its id: %3.")
                                   .arg(ids.size())
                                   .arg(quoted(idOrLabel), ids.join(QLatin1String(", "))));
    return *std::ranges::find(keys, ids.first(), &ClientAPIKeyPublic::id);
}

CommandRunner::CommandRunner(ServerStateModel& state, Invocation invocation)
    : m_state(state), m_invocation(std::move(invocation)) {}

int CommandRunner::fail(const ActionError& error) {
    Terminal::err(error.message());
    return exitStatusOf(error);
}

int CommandRunner::usageError(const QString& message) const {
    Terminal::err(QStringLiteral("tavrinctl: ") + message);
    Terminal::err(QStringLiteral("Try '%1 --help'.").arg(QStringList(QStringList{QStringLiteral("tavrinctl")} + m_invocation.spec->words).join(QLatin1Char(' '))));
    return usage;
}

// The encoder escapes C0 controls but writes DEL and C1 as they are; escaped here too, the document
// means the same and the line passes the terminal's filter unchanged.
void CommandRunner::printJson(const QByteArray& json) {
    QString text;
    for (const QChar c : QString::fromUtf8(json)) {
        if (c.unicode() >= 0x7f && c.unicode() <= 0x9f)
            text += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
        else
            text += c;
    }
    Terminal::out(text);
}

QCoro::Task<int> CommandRunner::run() {
    // Without this, an action asked for before the keyring has answered would go without the password.
    co_await m_state.adminSecretFound();
    switch (command()) {
    case Command::status:
        co_return co_await status();
    case Command::start:
    case Command::stop:
    case Command::restart:
        co_return co_await service();
    case Command::loginOn:
    case Command::loginOff:
    case Command::loginRemove:
        co_return co_await login();
    case Command::keysList:
    case Command::keysCreate:
        co_return co_await keys();
    case Command::keysRevoke:
    case Command::keysRotate:
    case Command::keysDelete:
        co_return co_await changeKey();
    case Command::loggingShow:
    case Command::loggingSet:
        co_return co_await logging();
    case Command::exportLog:
        co_return co_await exportLog();
    case Command::networkShow:
    case Command::networkSet:
        co_return co_await network();
    case Command::preambleShow:
    case Command::preambleSet:
    case Command::preambleClear:
        co_return co_await preamble();
    case Command::modelsShow:
    case Command::modelsPromote:
    case Command::modelsRollback:
        co_return co_await models();
    case Command::updatesShow:
    case Command::updatesCheck:
    case Command::updatesDownload:
    case Command::updatesClear:
        co_return co_await updates();
    case Command::bundle:
        co_return co_await bundle();
    case Command::passwordSet:
    case Command::passwordClear:
        co_return co_await password();
    }
    co_return usage;
}

QCoro::Task<int> CommandRunner::status() {
    const ActionOutcome<ClientServerStatus> read = co_await m_state.actions().readStatus();
    if (read && printedAsJson(*read))
        co_return done;
    const bool startAtLogin = co_await m_state.actions().readLoginService();
    if (!read) {
        if (!m_invocation.json)
            Terminal::out(fieldLines({{QStringLiteral("Phase"), phaseWord(read.error().cause)},
                                      {QStringLiteral("Start at login"), onOff(startAtLogin)}}));
        co_return fail(read.error());
    }
    Terminal::out(statusText(*read, QSysInfo::machineHostName(), startAtLogin));
    co_return done;
}

QCoro::Task<int> CommandRunner::service() {
    ServerActions& actions = m_state.actions();
    if (command() != Command::start) {
        const ActionResult stopped = co_await actions.stop();
        if (!stopped)
            co_return fail(stopped.error());
        if (command() == Command::stop)
            co_return done;
    }
    const ActionResult started = co_await actions.start();
    if (!started)
        co_return fail(started.error());
    // The action waits a few seconds for the server's first answer, and ends with a poll cycle: a phase
    // still not known is a server that has not answered.
    const Phase::Kind phase = m_state.phase().kind;
    if (phase == Phase::Kind::probing || phase == Phase::Kind::unknown || phase == Phase::Kind::stopped) {
        Terminal::err(QStringLiteral("The server was started but has not answered yet; its errors go to %1 (or, "
                                     "at login, to the user journal).")
                          .arg(SessionLogs::standardError()));
        co_return notReachable;
    }
    co_return done;
}

QCoro::Task<int> CommandRunner::login() {
    ServerActions& actions = m_state.actions();
    ActionResult changed;
    if (command() == Command::loginRemove) {
        changed = co_await actions.removeFromLogin();
    } else {
        const bool enabled = command() == Command::loginOn;
        changed = co_await actions.setStartAtLogin(enabled);
    }
    co_return changed ? int(done) : fail(changed.error());
}

QCoro::Task<int> CommandRunner::keys() {
    KeyActions& keys = m_state.keyActions();
    if (command() == Command::keysList) {
        const ActionOutcome<ClientAPIKeyList> listed = co_await keys.list();
        if (!listed)
            co_return fail(listed.error());
        if (!printedAsJson(*listed))
            Terminal::out(keyTable(*listed));
        co_return done;
    }
    const QString label = m_invocation.arguments.value(0);
    std::optional<std::vector<ClientAPIKeyScope>> scopes;
    if (m_invocation.has(QStringLiteral("scope"))) {
        scopes.emplace();
        for (const QString& name : m_invocation.values(QStringLiteral("scope")))
            if (const auto scope = enumFromRawValue<ClientAPIKeyScope>(name); scope && std::ranges::find(*scopes, *scope) == scopes->end())
                scopes->push_back(*scope);
    }
    const ActionOutcome<ClientCreatedAPIKey> created = co_await keys.create(label, scopes);
    if (!created)
        co_return fail(created.error());
    if (!printedAsJson(*created))
        Terminal::out(created->key);
    Terminal::err(QStringLiteral("Key %1 made (id %2). The server shows its secret only this once.")
                      .arg(quoted(created->record.label), created->record.id));
    co_return done;
}

QCoro::Task<int> CommandRunner::changeKey() {
    KeyActions& keys = m_state.keyActions();
    const ActionOutcome<ClientAPIKeyList> listed = co_await keys.list();
    if (!listed)
        co_return fail(listed.error());
    const auto key = findKey(*listed, m_invocation.arguments.value(0));
    if (!key)
        co_return fail(ActionError{key.error()});
    const KeyChange change = command() == Command::keysRotate   ? KeyChange::rotate
                             : command() == Command::keysRevoke ? KeyChange::revoke
                                                                : KeyChange::remove;
    const QString id = key->id;
    const ActionOutcome<KeyChanged> changed = co_await keys.change(change, id);
    if (!changed)
        co_return fail(changed.error());
    const QString named = QStringLiteral("%1 (id %2)").arg(quoted(key->label), id);
    if (const std::optional<ClientCreatedAPIKey>& issued = changed->issued) {
        if (!printedAsJson(*issued))
            Terminal::out(issued->key);
        Terminal::err(QStringLiteral("Key %1 has a new secret; the old one no longer works. The server shows it only "
                                     "this once.")
                          .arg(named));
    } else if (const std::optional<ClientAPIKeyPublic>& revoked = changed->revoked) {
        if (!printedAsJson(*revoked))
            Terminal::out(QStringLiteral("Key %1 revoked.").arg(named));
    } else if (!m_invocation.json) {
        Terminal::out(QStringLiteral("Key %1 deleted.").arg(named));
    }
    co_return done;
}

QCoro::Task<int> CommandRunner::models() {
    if (command() == Command::modelsShow) {
        const ActionOutcome<ClientServerStatus> read = co_await m_state.actions().readStatus();
        if (!read)
            co_return fail(read.error());
        if (!printedAsJson(read->model))
            Terminal::out(modelsText(read->model));
        co_return done;
    }
    const ProductionChange change =
        command() == Command::modelsPromote ? ProductionChange::promote : ProductionChange::rollBack;
    const ActionResult changed = co_await m_state.modelActions().change(change);
    if (!changed)
        co_return fail(changed.error());
    if (!m_invocation.json)
        Terminal::out(change == ProductionChange::promote ? promotedMessage() : rolledBackMessage());
    co_return done;
}

QCoro::Task<int> CommandRunner::updates() {
    UpdateActions& updates = m_state.updateActions();
    if (command() == Command::updatesCheck) {
        const ActionOutcome<ClientUpdateCheckResponse> checked = co_await updates.check();
        if (!checked)
            co_return fail(checked.error());
        const bool json = printedAsJson(*checked);
        if (checked->error) // the check reached the server, which could not read its feed
            co_return fail(ActionError{*checked->error});
        if (!json)
            Terminal::out(updateCheckedMessage(checked->status.availableUpdate.has_value()));
        co_return done;
    }
    if (command() == Command::updatesDownload) {
        const ActionOutcome<UpdateDownloaded> downloaded = co_await updates.download();
        if (!downloaded)
            co_return fail(downloaded.error());
        if (!downloaded->after) // the download stands; only the state after it could not be read
            Terminal::err(downloaded->after.error().message());
        else if (printedAsJson(*downloaded->after))
            co_return done;
        Terminal::out(downloaded->message);
        co_return done;
    }
    ActionOutcome<ClientUpdaterStatus> updater;
    if (command() == Command::updatesClear)
        updater = co_await updates.deleteDownload();
    else
        updater = co_await updates.updater();
    if (!updater)
        co_return fail(updater.error());
    if (!printedAsJson(*updater) && command() == Command::updatesShow)
        Terminal::out(updaterText(*updater));
    co_return done;
}

QCoro::Task<int> CommandRunner::bundle() {
    const bool includeContents = m_invocation.has(QStringLiteral("include-contents"));
    const ActionOutcome<ClientDiagnosticsResponse> made = co_await m_state.diagnosticsActions().supportBundle(includeContents);
    if (!made)
        co_return fail(made.error());
    const QString copy = m_invocation.value(QStringLiteral("output"));
    if (!copy.isEmpty()) {
        // The server's own file, this user's, checked again as it is opened: read here, and kept
        // private where it goes too.
        const ActionOutcome<std::unique_ptr<QFile>> bundle = m_state.diagnosticsActions().openBundle(made->bundlePath);
        if (!bundle)
            co_return fail(bundle.error());
        const QByteArray bytes = (*bundle)->readAll();
        if ((*bundle)->error() != QFileDevice::NoError)
            co_return fail(ActionError{made->bundlePath + QStringLiteral(": ") + (*bundle)->errorString()});
        if (copy == QLatin1String("-")) {
            QString reason;
            if (!Terminal::write(bytes, &reason) || !Terminal::flush())
                co_return fail(ActionError{QStringLiteral("standard output: ") + reason});
            co_return done;
        }
        if (const auto written = writeFilePrivately(copy, bytes); !written)
            co_return fail(ActionError{written.error().message()});
    }
    if (!printedAsJson(*made))
        Terminal::out(made->message + QLatin1Char('\n') + (copy.isEmpty() ? made->bundlePath : copy));
    co_return done;
}

QCoro::Task<int> CommandRunner::password() {
    DiagnosticsActions& diagnostics = m_state.diagnosticsActions();
    if (command() == Command::passwordClear) {
        co_await diagnostics.clearPassword();
        co_return done;
    }
    const std::optional<QString> typed = Terminal::readSecretLine(QStringLiteral("New admin password: "));
    if (!typed || typed->isEmpty()) // the panel's Save stays disabled for an empty field
        co_return usageError(QStringLiteral("no password on standard input"));
    const QString password = *typed;
    const ActionResult saved = co_await diagnostics.savePassword(password);
    if (!saved)
        co_return fail(saved.error());
    Terminal::out(settingsSavedMessage());
    co_return done;
}

} // namespace tavrin::cli
