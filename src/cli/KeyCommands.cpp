// The commands of API keys, through the state layer's KeyActions, as the Keys tab runs them. A secret
// goes alone to standard output, so that KEY=$(tavrinctl keys create ci) keeps it.

#include "base/ShownFigures.h"
#include "cli/CommandCatalogue.h"
#include "cli/CommandContext.h"
#include "cli/RecordText.h"
#include "cli/Terminal.h"
#include "state/ServerStateModel.h"

#include <QCoreApplication>

#include <algorithm>
#include <expected>

namespace tavrin::cli {

namespace {

QString quoted(const QString& text) {
    //: A key's label in quotation marks, as the language writes them: “ci”, „ci“, « ci ».
    return QCoreApplication::translate("KeyCommands", "“%1”").arg(text);
}

// The key a command names by its id or its exact label: the id wins; a label that several keys share
// names none of them (the message says which ids to use instead).
std::expected<ClientAPIKeyPublic, QString> findKey(const ClientAPIKeyList& keys, const QString& idOrLabel) {
    if (const auto byId = std::ranges::find(keys, idOrLabel, &ClientAPIKeyPublic::id); byId != keys.end())
        return *byId;
    QStringList ids;
    for (const ClientAPIKeyPublic& key : keys)
        if (key.label == idOrLabel)
            ids << key.id;
    if (ids.isEmpty())
        return std::unexpected(QCoreApplication::translate("KeyCommands", "No key has the id or label %1.")
                                   .arg(quoted(idOrLabel)));
    if (ids.size() > 1)
        return std::unexpected(
            QCoreApplication::translate("KeyCommands", "%n keys have the label %1; name one by its id: %2.",
                                        nullptr, pluralCount(ids.size()))
                .arg(quoted(idOrLabel), ids.join(QLatin1String(", "))));
    return *std::ranges::find(keys, ids.first(), &ClientAPIKeyPublic::id);
}

QCoro::Task<int> listKeys(CommandContext& command) {
    KeyActions& keys = command.state.keyActions();
    const ActionOutcome<ClientAPIKeyList> listed = co_await keys.list();
    if (!listed)
        co_return command.fail(listed.error());
    if (!command.printedAsJson(*listed))
        Terminal::out(keyTable(*listed));
    co_return done;
}

QCoro::Task<int> createKey(CommandContext& command) {
    KeyActions& keys = command.state.keyActions();
    const QString label = command.asked.arguments.value(0);
    std::optional<std::vector<ClientAPIKeyScope>> scopes;
    if (command.asked.has(QStringLiteral("scope"))) {
        scopes.emplace();
        for (const QString& name : command.asked.values(QStringLiteral("scope")))
            if (const auto scope = enumFromRawValue<ClientAPIKeyScope>(name); scope && std::ranges::find(*scopes, *scope) == scopes->end())
                scopes->push_back(*scope);
    }
    const ActionOutcome<ClientCreatedAPIKey> created = co_await keys.create(label, scopes);
    if (!created)
        co_return command.fail(created.error());
    if (!command.printedAsJson(*created))
        Terminal::out(created->key);
    Terminal::err(QCoreApplication::translate(
                      "KeyCommands", "Key %1 made (id %2). The server shows its secret only this once.")
                      .arg(quoted(created->record.label), created->record.id));
    co_return done;
}

template <KeyChange change> QCoro::Task<int> changeKey(CommandContext& command) {
    KeyActions& keys = command.state.keyActions();
    const ActionOutcome<ClientAPIKeyList> listed = co_await keys.list();
    if (!listed)
        co_return command.fail(listed.error());
    const auto key = findKey(*listed, command.asked.arguments.value(0));
    if (!key)
        co_return command.fail(ActionError{key.error()});
    const KeyChange wanted = change;
    const QString id = key->id;
    const ActionOutcome<KeyChanged> changed = co_await keys.change(wanted, id);
    if (!changed)
        co_return command.fail(changed.error());
    const QString named =
        QCoreApplication::translate("KeyCommands", "%1 (id %2)").arg(quoted(key->label), id);
    if (const std::optional<ClientCreatedAPIKey>& issued = changed->issued) {
        if (!command.printedAsJson(*issued))
            Terminal::out(issued->key);
        Terminal::err(QCoreApplication::translate(
                          "KeyCommands",
                          "Key %1 has a new secret; the old one no longer works. The server shows it only "
                          "this once.")
                          .arg(named));
    } else if (const std::optional<ClientAPIKeyPublic>& revoked = changed->revoked) {
        if (!command.printedAsJson(*revoked))
            Terminal::out(QCoreApplication::translate("KeyCommands", "Key %1 revoked.").arg(named));
    } else if (!command.asked.json) {
        Terminal::out(QCoreApplication::translate("KeyCommands", "Key %1 deleted.").arg(named));
    }
    co_return done;
}

const ArgumentSpec keyArgument{QStringLiteral("KEY"), {}, true};

} // namespace

std::vector<CommandSpec> keyCommands() {
    return {
        {.words = {"keys", "list"},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "List the API keys"),
         .description =
             QT_TRANSLATE_NOOP("CommandCatalogue",
                               "Lists every API key: id, label, scopes, status, requests made and last use."),
         .run = listKeys},
        {.words = {"keys", "create"},
         .arguments = {{"LABEL", {}, true}},
         .options = {{QStringLiteral("scope"),
                      {},
                      OptionSpec::Kind::choice,
                      QStringLiteral("inference|readonly"),
                      {QStringLiteral("inference"), QStringLiteral("readonly")},
                      true,
                      QT_TRANSLATE_NOOP(
                          "CommandCatalogue",
                          "What the key may do: inference (chat and generation) or readonly (list "
                          "models). Repeat it for both; without it the server chooses.")}},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Make an API key"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Makes an API key labelled LABEL and prints its secret alone on standard output, so "
             "that KEY=$(tavrinctl keys create ci) keeps it; a line about the key goes to "
             "standard error. The server shows a secret only once."),
         .run = createKey},
        {.words = {"keys", "revoke"},
         .arguments = {keyArgument},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Revoke an API key"),
         .description = QT_TRANSLATE_NOOP(
             "CommandCatalogue",
             "Revokes the key whose id or exact label is KEY: it stops working at once and stays "
             "listed."),
         .run = changeKey<KeyChange::revoke>},
        {.words = {"keys", "rotate"},
         .arguments = {keyArgument},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Give an API key a new secret"),
         .description =
             QT_TRANSLATE_NOOP("CommandCatalogue",
                               "Gives the key whose id or exact label is KEY a new secret, printed alone on "
                               "standard output; the old secret stops working."),
         .run = changeKey<KeyChange::rotate>},
        {.words = {"keys", "delete"},
         .arguments = {keyArgument},
         .summary = QT_TRANSLATE_NOOP("CommandCatalogue", "Delete an API key"),
         .description = QT_TRANSLATE_NOOP("CommandCatalogue",
                                          "Deletes the key whose id or exact label is KEY, for good."),
         .run = changeKey<KeyChange::remove>},
    };
}

} // namespace tavrin::cli
