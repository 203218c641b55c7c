#include "server/inference/InferenceApi.h"

#include "server/support/HttpMessage.h"
#include "server/support/IsoTime.h"

#include <QDateTime>

#include <sodium.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>

namespace tavrin {

namespace {

void replyError(HttpResponse& res, int status, const char* type, const QString& message) {
    replyJson(res, status, ApiError{{message, QString::fromLatin1(type)}});
}

// Audit mode's refusal of a request that could not be put on record; `why` follows "the audit log
// cannot be written".
void refuseUnrecorded(HttpResponse& res, const QString& why) {
    replyError(res, 503, "audit_log_unavailable",
               QStringLiteral("Audit logging is on and the audit log cannot be written (%1), so this request was not served.")
                   .arg(why));
}

QString completionId() {
    unsigned char raw[12];
    randombytes_buf(raw, sizeof raw);
    return QStringLiteral("chatcmpl-") + QString::fromLatin1(QByteArray(reinterpret_cast<char*>(raw), sizeof raw).toHex());
}

std::string sseEvent(const ChatCompletion& chunk) {
    return "data: " + encodeJson(chunk).toStdString() + "\n\n";
}

// A streamed answer of one piece that holds `slot` until the last byte is out.
std::function<bool(std::string&)> onePiece(std::string text, std::shared_ptr<AdmissionControl::Slot> slot) {
    return [text = std::move(text), slot = std::move(slot), sent = false](std::string& out) mutable {
        if (sent) {
            slot.reset();
            return false;
        }
        out += text;
        sent = true;
        return true;
    };
}

template <class T>
std::optional<T> decodeBody(const HttpRequest& req, HttpResponse& res) {
    auto decoded = decodeJson<T>(QByteArray::fromStdString(req.body));
    if (!decoded) {
        replyError(res, 400, "invalid_request_error",
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
        replyError(res, 403, "permission_error",
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
        replyError(res, 404, "not_found_error", QStringLiteral("no endpoint at %1").arg(pathOf(req)));
        return std::nullopt;
    }
    if (req.method != method) {
        res.setHeader("Allow", method);
        replyError(res, 405, "invalid_request_error",
                   QStringLiteral("method %1 is not allowed on %2").arg(QString::fromStdString(req.method), pathOf(req)));
        return std::nullopt;
    }

    const auto presented = bearerOf(req);
    const auto grant = presented ? m_context.keys->authenticate(*presented) : std::nullopt;
    if (!grant) {
        replyError(res, 401, "authentication_error", QStringLiteral("API key missing, unknown or revoked"));
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
        ModelList list{QStringLiteral("list"),
                       {ModelEntry{m_context.engineSlot.current()->modelId(), QStringLiteral("model"), created,
                                   QStringLiteral("tavrin-server"),
                                   QStringLiteral("Deterministic echo engine: no model weights; it answers with a "
                                                  "summary of the prompt it received.")}}};
        replyJson(res, 200, list);
        return;
    }
    if (!grant.mayGenerate) {
        m_context.keys->recordUse(grant.id, remote, 0, 0);
        replyError(res, 403, "permission_error", QStringLiteral("this API key is read-only: it may not generate text"));
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

void InferenceApi::generate(Endpoint endpoint, const HttpRequest& req, HttpResponse& res,
                            const KeyGrant& grant) {
    const auto received = std::chrono::steady_clock::now();
    const QString remote = QString::fromStdString(req.remoteAddress);
    std::vector<ChatTurn> turns;
    std::optional<QString> model;
    bool stream = endpoint != Endpoint::chatCompletions; // the JSON-lines endpoints stream unless told not to
    if (endpoint == Endpoint::nativeGenerate) {
        auto body = decodeBody<GenerateRequest>(req, res);
        if (!body)
            return m_context.keys->recordUse(grant.id, remote, 0, 0);
        if (body->system)
            turns.push_back({QStringLiteral("system"), *body->system});
        turns.push_back({QStringLiteral("user"), body->prompt});
        model = body->model;
        stream = body->stream.value_or(stream);
    } else {
        auto body = decodeBody<ChatRequest>(req, res);
        if (!body)
            return m_context.keys->recordUse(grant.id, remote, 0, 0);
        for (auto& m : body->messages)
            turns.push_back({m.role, m.content.text});
        model = body->model;
        stream = body->stream.value_or(stream);
    }
    // The engine this request started with serves it to its end, whatever replaces it meanwhile.
    const std::shared_ptr<InferenceEngine> engine = m_context.engineSlot.current();
    const QString engineModel = engine->modelId();
    if (model && !model->isEmpty() && *model != engineModel) {
        m_context.keys->recordUse(grant.id, remote, 0, 0);
        replyError(res, 404, "not_found_error",
                   QStringLiteral("model \"%1\" is not served here; this server serves \"%2\"").arg(*model, engineModel));
        return;
    }

    QString promptText;
    for (const auto& turn : turns)
        promptText += turn.role + QStringLiteral(": ") + turn.content + QLatin1Char('\n');
    // One reading of the settings for the whole request: the mode it is refused under is the mode
    // it is recorded under.
    const ClientAuditLoggingSettings logging = m_context.settings->logging();
    const bool mustRecord = logging.mode == ClientAuditMode::audit;
    // The user who chose audit mode was promised that every answer is on record: an answer that
    // cannot be is not given. Asked before the generation, so that a full or broken log costs none.
    if (mustRecord)
        if (auto room = m_context.audit->admits(promptText.toUtf8().size()); !room) {
            m_context.keys->recordUse(grant.id, remote, 0, 0);
            refuseUnrecorded(res, room.error());
            return;
        }
    const auto audit = [&](int status, const Generation& generation) {
        AuditRecord record;
        record.time = isoUtcNow();
        record.keyId = grant.id;
        record.endpoint = pathOf(req);
        record.status = status;
        record.responseTimeMs =
            std::round(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - received).count() * 1000) / 1000;
        record.promptTokens = generation.promptTokens;
        record.completionTokens = generation.completionTokens;
        // A record not kept has been told to the server's log by the audit log, once per fault.
        return m_context.audit->record(logging, std::move(record), promptText, generation.text());
    };

    std::shared_ptr<AdmissionControl::Slot> slot = m_context.admission->admit();
    if (!slot) {
        m_context.keys->recordUse(grant.id, remote, 0, 0);
        (void)audit(503, Generation{}); // refused either way
        res.setHeader("Retry-After", "1");
        replyError(res, 503, "server_busy", QStringLiteral("the server is busy: every generation slot and queue place is taken"));
        return;
    }
    const Generation generation = engine->generate(withPreamble(std::move(turns)));
    // The record is written before the first byte of the answer leaves, streamed or whole: the
    // engine hands over the whole answer at once, so a stream can still be refused like a whole
    // answer. That order is kept on purpose. An engine that streams as it generates could only
    // write the record after its last piece, when nothing can be taken back; for it the check
    // before the generation is the gate, and a write failing after a stream makes admits() refuse
    // the requests that follow.
    if (auto logged = audit(200, generation); !logged && mustRecord) {
        m_context.keys->recordUse(grant.id, remote, 0, 0);
        refuseUnrecorded(res, logged.error());
        return;
    }
    m_context.keys->recordUse(grant.id, remote, generation.promptTokens, generation.completionTokens);

    const qint64 created = QDateTime::currentSecsSinceEpoch();
    if (endpoint == Endpoint::chatCompletions) {
        ChatCompletion answer{completionId(), QStringLiteral("chat.completion"), created, engineModel, {}, std::nullopt};
        if (!stream) {
            answer.choices.push_back({0, OutMessage{QStringLiteral("assistant"), generation.text()}, std::nullopt,
                                      QStringLiteral("stop")});
            answer.usage = CompletionUsage{generation.promptTokens, generation.completionTokens,
                                           generation.promptTokens + generation.completionTokens};
            replyJson(res, 200, answer);
            return;
        }
        answer.object = QStringLiteral("chat.completion.chunk");
        std::string events;
        ChatCompletion chunk = answer;
        chunk.choices = {{0, std::nullopt, OutMessage{QStringLiteral("assistant"), QString()}, std::nullopt}};
        events += sseEvent(chunk);
        for (const auto& piece : generation.pieces) {
            chunk.choices = {{0, std::nullopt, OutMessage{std::nullopt, piece}, std::nullopt}};
            events += sseEvent(chunk);
        }
        chunk.choices = {{0, std::nullopt, OutMessage{}, QStringLiteral("stop")}};
        events += sseEvent(chunk) + "data: [DONE]\n\n";
        // The slot is held until the last byte is out, as it would be for a real engine.
        res.setHeader("Cache-Control", "no-cache");
        res.setStream("text/event-stream", onePiece(std::move(events), std::move(slot)));
        return;
    }

    const bool chat = endpoint == Endpoint::nativeChat;
    const auto line = [&](const QString& text, bool done) {
        NativeAnswer a{engineModel, isoUtcNow(), std::nullopt, std::nullopt, done, std::nullopt, std::nullopt, std::nullopt};
        if (chat)
            a.message = OutMessage{QStringLiteral("assistant"), text};
        else
            a.response = text;
        if (done) {
            a.done_reason = QStringLiteral("stop");
            a.prompt_eval_count = generation.promptTokens;
            a.eval_count = generation.completionTokens;
        }
        return encodeJson(a).toStdString() + "\n";
    };
    if (!stream) {
        res.status = 200;
        res.setContent(line(generation.text(), true), "application/json");
        return;
    }
    std::string lines;
    for (const auto& piece : generation.pieces)
        lines += line(piece, false);
    lines += line(QString(), true);
    res.setStream("application/x-ndjson", onePiece(std::move(lines), std::move(slot)));
}

} // namespace tavrin
