#pragma once

#include "server/InferenceRecords.h"
#include "server/ServerContext.h"

#include "server/HttpMessage.h"

namespace tavrin {

// The surface the API keys are for: GET /v1/models, POST /v1/chat/completions (whole or as
// server-sent events), POST /api/chat and POST /api/generate (whole or as JSON lines).
// Every request passes, in order: CORS, the IP allowlist, the key, the key's scope, the
// body, admission control; the org preamble is prepended to every generation.
class InferenceApi {
public:
    explicit InferenceApi(ServerContext& context) : m_context(context) {}

    void handle(const HttpRequest& req, HttpResponse& res);

private:
    enum class Endpoint { models, chatCompletions, nativeChat, nativeGenerate };

    bool applyCors(const HttpRequest& req, HttpResponse& res);
    void generate(Endpoint endpoint, const HttpRequest& req, HttpResponse& res, const KeyGrant& grant);
    GenerationRequest withPreamble(std::vector<ChatTurn> turns) const;

    ServerContext& m_context;
};

} // namespace tavrin
