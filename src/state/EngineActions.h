#pragma once

#include "protocol/Task.h"

#include "protocol/ClientRecords.h"
#include "state/ActionOutcome.h"

#include <QString>

#include <optional>

namespace tavrin {

class ServerStateModel;

// The engine as a person asks after it: the settings saved, and how the engine in use is faring.
// Its JSON is what `tavrinctl engine show --json` prints.
struct EngineOverview {
    QString kind;
    std::optional<QString> url;
    std::optional<QString> model;
    std::optional<QString> servedName; // the name clients see, as the engine in use gives it
    std::optional<QString> keyFile;
    std::optional<qint64> timeoutSeconds;
    std::optional<qint64> connectTimeoutSeconds;
    bool reachable = false;
    std::optional<bool> modelListed;
    std::optional<QString> lastError;
    std::optional<QString> checkedAt;

    static constexpr auto fields() {
        using R = EngineOverview;
        return std::tuple{
            required("kind", &R::kind),
            optional("url", &R::url),
            optional("model", &R::model),
            optional("servedName", &R::servedName),
            optional("keyFile", &R::keyFile),
            optional("timeoutSeconds", &R::timeoutSeconds),
            optional("connectTimeoutSeconds", &R::connectTimeoutSeconds),
            required("reachable", &R::reachable),
            optional("modelListed", &R::modelListed),
            optional("lastError", &R::lastError),
            optional("checkedAt", &R::checkedAt),
        };
    }
};

// Which engine the server's answers come from (the Status tab and tavrinctl): shown, set, put back to
// the built-in one and tried. The server judges the settings; its refusal comes back in its own words
// and the engine in use keeps serving. A change the server took ends with a poll cycle.
class EngineActions {
public:
    explicit EngineActions(ServerStateModel* model) : m_model(model) {}

    QCoro::Task<ActionOutcome<EngineOverview>> show();
    // The settings alone, as saved: what an edit starts from.
    QCoro::Task<ActionOutcome<ClientEngineSettings>> settings();
    // An OpenAI-compatible engine at `settings.url` (the kind is set here); answers the settings as saved.
    QCoro::Task<ActionOutcome<ClientEngineSettings>> set(ClientEngineSettings settings);
    QCoro::Task<ActionOutcome<ClientEngineSettings>> setBuiltin();
    QCoro::Task<ActionOutcome<ClientEngineTestResult>> test();

    static constexpr const char* builtinKind = "builtin";
    static constexpr const char* openaiKind = "openai";

private:
    QCoro::Task<ActionOutcome<ClientEngineSettings>> save(ClientEngineSettings settings);

    ServerStateModel* m_model;
};

} // namespace tavrin
