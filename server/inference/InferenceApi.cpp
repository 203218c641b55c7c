#include "server/inference/InferenceApi.h"

#include "server/inference/AnswerSink.h"

#include "server/support/AnswerFeed.h"
#include "server/support/HttpMessage.h"
#include "server/support/IsoTime.h"

#include <QDateTime>

#include <sodium.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <expected>
#include <memory>
#include <mutex>
#include <optional>

namespace tavrin {

namespace {

// Audit mode's refusal of a request that could not be put on record; `why` follows "the audit log
// cannot be written".
void refuseUnrecorded(HttpResponse& res, const QString& why) {
    replyApiError(res, 503, "audit_log_unavailable", auditRefusal(why));
}

void refuseBusy(HttpResponse& res) {
    res.setHeader("Retry-After", "1");
    replyApiError(res, 503, "server_busy", QStringLiteral("the server is busy: every generation slot and queue place is taken"));
}

// A generation that has passed every check but admission, until it has a slot. While it waits in
// line its client's feed holds it, so that a client who leaves takes its place in line along.
struct PendingGeneration {
    std::shared_ptr<InferenceEngine> engine;
    GenerationRequest request;
    AnswerShape shape;
    HttpFields base;
    std::optional<Settlement> settlement; // holds a reference: set once, never assigned
    qint64 promptTokens = 0;
    std::weak_ptr<AnswerFeed> feed;
    // The turn may come on another thread before the handler that queued it has armed the alarm.
    std::mutex mutex;
    bool started = false;
    std::unique_ptr<AdmissionControl::Place> place;
    std::shared_ptr<void> patience; // the alarm that gives the place up

    // The feed holds the generation (its drop cancels it), its slot and its engine until the
    // answer is over or its client has gone, whichever comes first.
    void start(std::unique_ptr<AdmissionControl::Slot> slot) {
        const auto client = feed.lock();
        if (!client)
            return;
        auto sink = std::make_shared<AnswerSink>(client, shape, base, *settlement, promptTokens);
        std::shared_ptr<GenerationHandle> handle = engine->generate(std::move(request), std::move(sink));
        client->hold(std::move(handle));
        client->hold(std::shared_ptr<AdmissionControl::Slot>(std::move(slot)));
        client->hold(engine);
    }
};

QString completionId() {
    unsigned char raw[12];
    randombytes_buf(raw, sizeof raw);
    return QStringLiteral("chatcmpl-") + QString::fromLatin1(QByteArray(reinterpret_cast<char*>(raw), sizeof raw).toHex());
}

template <class T>
std::optional<T> decodeBody(const HttpRequest& req, HttpResponse& res) {
    auto decoded = decodeJson<T>(QByteArray::fromStdString(req.body));
    if (!decoded) {
        replyApiError(res, 400, "invalid_request_error",
                   QStringLiteral("invalid request body: %1").arg(decoded.error().message()));
        return std::nullopt;
    }
    return std::move(*decoded);
}

std::optional<QString> bearerOf(const HttpRequest& req) {
    const std::string header = req.header("Authorization");
    static constexpr std::string_view scheme = "Bearer ";
    if (header.size() <= scheme.size() || header.compare(0, scheme.size(), scheme) != 0)
        return std::nullopt;
    return QString::fromStdString(header.substr(scheme.size())).trimmed();
}

} // namespace

bool InferenceApi::applyCors(const HttpRequest& req, HttpResponse& res) {
    if (!req.hasHeader("Origin")) {
        if (req.method != "OPTIONS")
            return true; // not a browser's cross-origin call
        replyText(res, 400, QStringLiteral("a preflight request needs an Origin header"));
        return false;
    }
    const std::string origin = req.header("Origin");
    const bool allowed = m_context.policy.allowsOrigin(QString::fromStdString(origin));
    if (allowed) {
        res.setHeader("Access-Control-Allow-Origin", origin);
        res.setHeader("Vary", "Origin");
    }
    if (req.method != "OPTIONS")
        return true; // a browser enforces the missing header; other clients need none
    if (!allowed) {
        replyText(res, 403, QStringLiteral("origin %1 is not allowed").arg(QString::fromStdString(origin)));
        return false;
    }
    res.setHeader("Access-Control-Allow-Methods", "GET, POST, OPTIONS");
    res.setHeader("Access-Control-Allow-Headers", "Authorization, Content-Type");
    res.setHeader("Access-Control-Max-Age", "600");
    res.status = 204;
    return false;
}

std::optional<std::string> InferenceApi::admits(const HttpRequest& head, HttpResponse& res) {
    if (head.method == "OPTIONS")
        return std::string();
    applyCors(head, res); // so that a browser lets its page read the refusal
    const auto admitted = admission(head, res);
    if (!admitted)
        return std::nullopt;
    return admitted->grant.id.toStdString();
}

std::optional<InferenceApi::Admission> InferenceApi::admission(const HttpRequest& req, HttpResponse& res) {
    const QString remote = QString::fromStdString(req.remoteAddress);
    if (!m_context.policy.allows(remote)) {
        replyApiError(res, 403, "permission_error",
                   QStringLiteral("client address %1 is not in this server's IP allowlist").arg(remote));
        return std::nullopt;
    }

    const std::string& path = req.path;
    Endpoint endpoint;
    const char* method = "POST";
    if (path == "/v1/models") {
        endpoint = Endpoint::models;
        method = "GET";
    } else if (path == "/v1/chat/completions") {
        endpoint = Endpoint::chatCompletions;
    } else if (path == "/api/chat") {
        endpoint = Endpoint::nativeChat;
    } else if (path == "/api/generate") {
        endpoint = Endpoint::nativeGenerate;
    } else {
        replyApiError(res, 404, "not_found_error", QStringLiteral("no endpoint at %1").arg(pathOf(req)));
        return std::nullopt;
    }
    if (req.method != method) {
        res.setHeader("Allow", method);
        replyApiError(res, 405, "invalid_request_error",
                   QStringLiteral("method %1 is not allowed on %2").arg(QString::fromStdString(req.method), pathOf(req)));
        return std::nullopt;
    }

    const auto presented = bearerOf(req);
    const auto grant = presented ? m_context.keys->authenticate(*presented) : std::nullopt;
    if (!grant) {
        replyApiError(res, 401, "authentication_error", QStringLiteral("API key missing, unknown or revoked"));
        return std::nullopt;
    }
    return Admission{endpoint, *grant};
}

void InferenceApi::handle(const HttpRequest& req, HttpResponse& res) {
    if (!applyCors(req, res))
        return;
    const auto admitted = admission(req, res);
    if (!admitted)
        return;
    const QString remote = QString::fromStdString(req.remoteAddress);
    const KeyGrant& grant = admitted->grant;
    if (admitted->endpoint == Endpoint::models) {
        m_context.keys->recordUse(grant.id, remote, 0, 0);
        const qint64 created = QDateTime::fromString(m_context.startedAt, Qt::ISODate).toSecsSinceEpoch();
        const auto engine = m_context.engineSlot.current();
        const ClientEngineHealth health = engine->health();
        const QString description =
            health.kind == QLatin1StringView("builtin")
                ? QStringLiteral("Deterministic echo engine: no model weights; it answers with a summary of the prompt it received.")
                : QStringLiteral("Served by an OpenAI-compatible engine behind this server.");
        ModelList list{QStringLiteral("list"),
                       {ModelEntry{engine->modelId(), QStringLiteral("model"), created, QStringLiteral("tavrin-server"),
                                   description}}};
        replyJson(res, 200, list);
        return;
    }
    if (!grant.mayGenerate) {
        m_context.keys->recordUse(grant.id, remote, 0, 0);
        replyApiError(res, 403, "permission_error", QStringLiteral("this API key is read-only: it may not generate text"));
        return;
    }
    generate(admitted->endpoint, req, res, grant);
}

GenerationRequest InferenceApi::withPreamble(std::vector<ChatTurn> turns) const {
    GenerationRequest request;
    if (auto preamble = m_context.settings->preamble())
        request.turns.push_back({QStringLiteral("system"), *preamble});
    for (auto& turn : turns)
        request.turns.push_back(std::move(turn));
    return request;
}

namespace {

SamplingChoices samplingOf(const SamplingFields& f) {
    SamplingChoices c;
    c.temperature = f.temperature;
    c.topP = f.top_p;
    c.maxTokens = f.num_predict ? f.num_predict : f.max_tokens;
    c.seed = f.seed;
    c.presencePenalty = f.presence_penalty;
    c.frequencyPenalty = f.frequency_penalty;
    if (f.stop)
        c.stop = f.stop->words;
    return c;
}

SamplingChoices samplingOf(const ChatRequest& body) {
    if (body.options) // /api/chat
        return samplingOf(*body.options);
    SamplingFields f{body.temperature, body.top_p, body.max_tokens, std::nullopt, std::nullopt,
                     body.seed,        body.presence_penalty, body.frequency_penalty, body.stop};
    if (body.max_completion_tokens)
        f.max_tokens = f.max_tokens ? std::min(*f.max_tokens, *body.max_completion_tokens) : *body.max_completion_tokens;
    return samplingOf(f);
}

} // namespace

void InferenceApi::generate(Endpoint endpoint, const HttpRequest& req, HttpResponse& res, const KeyGrant& grant) {
    const auto received = std::chrono::steady_clock::now();
    const QString remote = QString::fromStdString(req.remoteAddress);
    std::vector<ChatTurn> turns;
    std::optional<QString> model;
    SamplingChoices sampling;
    bool stream = endpoint != Endpoint::chatCompletions; // the JSON-lines endpoints stream unless told not to
    bool streamUsage = false;
    if (endpoint == Endpoint::nativeGenerate) {
        auto body = decodeBody<GenerateRequest>(req, res);
        if (!body)
            return m_context.keys->recordUse(grant.id, remote, 0, 0);
        if (body->system)
            turns.push_back({QStringLiteral("system"), *body->system});
        turns.push_back({QStringLiteral("user"), body->prompt});
        model = body->model;
        stream = body->stream.value_or(stream);
        if (body->options)
            sampling = samplingOf(*body->options);
    } else {
        auto body = decodeBody<ChatRequest>(req, res);
        if (!body)
            return m_context.keys->recordUse(grant.id, remote, 0, 0);
        for (auto& m : body->messages)
            turns.push_back({m.role, m.content.text});
        model = body->model;
        stream = body->stream.value_or(stream);
        streamUsage = body->stream_options && body->stream_options->include_usage.value_or(false);
        sampling = samplingOf(*body);
    }
    // Taken once: a new engine set meanwhile serves the next request, never half of this one.
    const std::shared_ptr<InferenceEngine> engine = m_context.engineSlot.current();
    const QString engineModel = engine->modelId();
    if (model && !model->isEmpty() && *model != engineModel) {
        m_context.keys->recordUse(grant.id, remote, 0, 0);
        replyApiError(res, 404, "not_found_error",
                   QStringLiteral("model \"%1\" is not served here; this server serves \"%2\"").arg(*model, engineModel));
        return;
    }

    QString promptText;
    for (const auto& turn : turns)
        promptText += turn.role + QStringLiteral(": ") + turn.content + QLatin1Char('\n');
    const Settlement settlement{m_context, m_context.settings->logging(), grant.id, remote, pathOf(req), promptText, received};
    // The user who chose audit mode was promised that every answer is on record. The log is asked
    // before the generation, so that a full or broken log costs none; the record itself is written
    // when the generation ends. A whole answer is given only once its record is written. A streamed
    // one reaches its client piece by piece before that: when its record then cannot be written it
    // ends with an error event instead of its proper end (and no [DONE]), and from then on, until a
    // write succeeds, streamed answers are held back until their record is written, like whole ones
    // (AnswerShape::holdBack), so that a disk that fails writes lets no second answer out unrecorded.
    if (settlement.logging.mode == ClientAuditMode::audit)
        if (auto room = m_context.audit->admits(promptText.toUtf8().size()); !room) {
            m_context.keys->recordUse(grant.id, remote, 0, 0);
            refuseUnrecorded(res, room.error());
            return;
        }

    GenerationRequest request = withPreamble(std::move(turns));
    request.sampling = std::move(sampling);
    const qint64 promptTokens = countPromptTokens(request);
    const AnswerShape shape{endpoint == Endpoint::chatCompletions ? AnswerShape::Kind::chatCompletions
                            : endpoint == Endpoint::nativeChat    ? AnswerShape::Kind::nativeChat
                                                                  : AnswerShape::Kind::nativeGenerate,
                            stream, engineModel, completionId(), QDateTime::currentSecsSinceEpoch(),
                            stream && settlement.logging.mode == ClientAuditMode::audit && m_context.audit->lastWriteFailed(),
                            streamUsage, {}};
    auto feed = std::make_shared<AnswerFeed>(m_unreadAnswerBytes);
    auto pending = std::make_shared<PendingGeneration>();
    pending->engine = engine;
    pending->request = std::move(request);
    pending->shape = shape;
    pending->base = res.headers;
    pending->settlement.emplace(settlement);
    pending->promptTokens = promptTokens;
    pending->feed = feed;
    // A generation that has to wait does so in line, not on this thread: its turn starts it on
    // whichever thread frees a slot, and a client that hangs up meanwhile gives its place up.
    auto admitted = m_context.admission->admit([weak = std::weak_ptr(pending)](std::unique_ptr<AdmissionControl::Slot> slot) {
        const auto waiting = weak.lock();
        if (!waiting)
            return;
        std::shared_ptr<void> alarm;
        {
            std::lock_guard lock(waiting->mutex);
            waiting->started = true;
            alarm = std::move(waiting->patience);
        }
        alarm.reset();
        waiting->start(std::move(slot));
    });
    if (admitted.slot) {
        pending->start(std::move(admitted.slot));
        res.feed = std::move(feed);
        return;
    }
    if (!admitted.place) {
        (void)settlement.settle(503, {}, QString()); // refused either way
        refuseBusy(res);
        return;
    }
    {
        std::lock_guard lock(pending->mutex);
        pending->place = std::move(admitted.place);
        if (!pending->started)
            pending->patience = m_alarm(queuePatience, [weak = std::weak_ptr(pending)] {
                const auto waiting = weak.lock();
                if (!waiting)
                    return;
                {
                    std::lock_guard lock(waiting->mutex);
                    if (waiting->started || !waiting->place->refuse())
                        return; // its turn came meanwhile
                }
                (void)waiting->settlement->settle(503, {}, QString());
                if (const auto client = waiting->feed.lock()) {
                    HttpResponse busy;
                    busy.headers = waiting->base;
                    refuseBusy(busy);
                    client->answer(std::move(busy));
                }
            });
    }
    feed->hold(std::move(pending));
    res.feed = std::move(feed);
}

} // namespace tavrin
