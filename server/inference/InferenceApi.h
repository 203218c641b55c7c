#pragma once

#include "server/inference/InferenceRecords.h"
#include "server/runtime/ServerContext.h"

#include "server/support/HttpMessage.h"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tavrin {

// The surface the API keys are for: GET /v1/models, POST /v1/chat/completions (whole or as
// server-sent events), POST /api/chat and POST /api/generate (whole or as JSON lines).
// Every request passes, in order: CORS, the IP allowlist, the key, the key's scope, the
// body, admission control; the org preamble is prepended to every generation.
class InferenceApi {
public:
    // Runs `work` on the server's I/O loop once `delay` has passed, unless the handle it returns
    // has been dropped by then. The HTTP side keeps the time; this surface keeps none of its own.
    using Alarm = std::function<std::shared_ptr<void>(std::chrono::milliseconds delay, std::function<void()> work)>;

    // `unreadAnswerBytes`: how much of a streamed answer may wait for a slow client (AnswerFeed).
    InferenceApi(ServerContext& context, std::size_t unreadAnswerBytes, Alarm alarm)
        : m_context(context), m_unreadAnswerBytes(unreadAnswerBytes), m_alarm(std::move(alarm)) {}

    // How long a generation may wait in line for a slot before it is answered 503.
    static constexpr std::chrono::seconds queuePatience{120};

    void handle(const HttpRequest& req, HttpResponse& res);
    // Whether a request is answered beyond a refusal, judged on its head alone (the allowlist, the
    // endpoint and its method, the key), so that a body is only ever taken in from a key holder.
    // Nothing, with the refusal in `res`, or the id of the key the request comes with. A browser's
    // preflight is always let through, with no key ("").
    std::optional<std::string> admits(const HttpRequest& head, HttpResponse& res);

private:
    enum class Endpoint { models, chatCompletions, nativeChat, nativeGenerate };
    struct Admission {
        Endpoint endpoint;
        KeyGrant grant;
    };
    // The checks of admits(), in the order the answer to a refused request depends on.
    std::optional<Admission> admission(const HttpRequest& req, HttpResponse& res);

    bool applyCors(const HttpRequest& req, HttpResponse& res);
    void generate(Endpoint endpoint, const HttpRequest& req, HttpResponse& res, const KeyGrant& grant);
    GenerationRequest withPreamble(std::vector<ChatTurn> turns) const;

    ServerContext& m_context;
    std::size_t m_unreadAnswerBytes;
    Alarm m_alarm;
};

} // namespace tavrin
