#include "server/inference/AnswerSink.h"

#include "server/support/IsoTime.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cmath>
#include <utility>

namespace tavrin {

namespace {

CompletionUsage usageOf(EngineUsage usage) {
    return CompletionUsage{usage.promptTokens, usage.completionTokens, usage.promptTokens + usage.completionTokens};
}

HttpResponse errorAnswer(const HttpFields& base, int status, const char* type, const QString& message) {
    HttpResponse res;
    res.headers = base;
    replyApiError(res, status, type, message);
    return res;
}

} // namespace

void replyApiError(HttpResponse& res, int status, const char* type, const QString& message) {
    replyJson(res, status, ApiError{{message, QString::fromLatin1(type)}});
}

QString auditRefusal(const QString& why) {
    return QStringLiteral("Audit logging is on and the audit log cannot be written (%1), so this request was not served.").arg(why);
}

std::expected<void, QString> Settlement::settle(int status, EngineUsage usage, const QString& completion) const {
    AuditRecord record;
    record.time = isoUtcNow();
    record.keyId = keyId;
    record.endpoint = endpoint;
    record.status = status;
    record.responseTimeMs =
        std::round(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - received).count() * 1000) / 1000;
    record.promptTokens = usage.promptTokens;
    record.completionTokens = usage.completionTokens;
    // A record not kept has been told to the server's log by the audit log, once per fault.
    auto logged = context.audit->record(logging, std::move(record), promptText, completion);
    const bool refused = !logged && logging.mode == ClientAuditMode::audit;
    context.keys->recordUse(keyId, remote, usage.promptTokens, refused ? 0 : usage.completionTokens);
    if (refused)
        return std::unexpected(logged.error());
    return {};
}

HttpResponse AnswerShape::streamHead(const HttpFields& base) const {
    HttpResponse head;
    head.headers = base;
    if (kind == Kind::chatCompletions) {
        head.setHeader("Cache-Control", "no-cache");
        head.contentType = "text/event-stream";
    } else {
        head.contentType = "application/x-ndjson";
    }
    return head;
}

ChatCompletion AnswerShape::chunk(std::optional<OutMessage> delta, std::optional<QString> finish) const {
    return ChatCompletion{id, QStringLiteral("chat.completion.chunk"), created, model,
                          {{0, std::nullopt, std::move(delta), std::move(finish)}}, std::nullopt};
}

NativeAnswer AnswerShape::native(const QString& text, bool done, EngineUsage usage) const {
    NativeAnswer a{model, isoUtcNow(), std::nullopt, std::nullopt, done, std::nullopt, std::nullopt, std::nullopt};
    if (kind == Kind::nativeChat)
        a.message = OutMessage{QStringLiteral("assistant"), text};
    else
        a.response = text;
    if (done) {
        a.done_reason = QStringLiteral("stop");
        a.prompt_eval_count = usage.promptTokens;
        a.eval_count = usage.completionTokens;
    }
    return a;
}

namespace {
constexpr std::string_view pieceOpen = R"(data: {"choices":[{"delta":{"content":)";
constexpr std::string_view choiceClose = R"(},"index":0}],)";
constexpr std::string_view eventClose = "}\n\n";
} // namespace

// After the choices come the members in the order the JSON writer puts them (by name): created,
// id, model, object.
const std::string& AnswerShape::pieceEnd() const {
    if (eventTail.empty()) {
        eventTail += choiceClose;
        eventTail += "\"created\":";
        appendJsonNumber(eventTail, created);
        eventTail += ",\"id\":";
        appendJsonString(eventTail, id);
        eventTail += ",\"model\":";
        appendJsonString(eventTail, model);
        eventTail += ",\"object\":\"chat.completion.chunk\"";
        eventTail += eventClose;
    }
    return eventTail;
}

std::string_view AnswerShape::tail() const {
    return std::string_view(pieceEnd()).substr(choiceClose.size(), eventTail.size() - choiceClose.size() - eventClose.size());
}

void AnswerShape::appendChunkEvent(std::string& out, std::string_view choice) const {
    out += "data: {\"choices\":[";
    out += choice;
    out += "],";
    out += tail();
    out += "}\n\n";
}

// A JSON-lines answer's line, with its members in the order the JSON writer puts them (by name),
// as encodeJson(native()) writes it.
void AnswerShape::appendNativeLine(std::string& out, const QString& text, bool done, EngineUsage usage) const {
    out += "{\"created_at\":";
    appendJsonString(out, isoUtcNow());
    out += done ? ",\"done\":true,\"done_reason\":\"stop\",\"eval_count\":" : ",\"done\":false";
    if (done)
        appendJsonNumber(out, usage.completionTokens);
    if (kind == Kind::nativeChat) {
        out += ",\"message\":{\"content\":";
        appendJsonString(out, text);
        out += ",\"role\":\"assistant\"}";
    }
    out += ",\"model\":";
    appendJsonString(out, model);
    if (done) {
        out += ",\"prompt_eval_count\":";
        appendJsonNumber(out, usage.promptTokens);
    }
    if (kind == Kind::nativeGenerate) {
        out += ",\"response\":";
        appendJsonString(out, text);
    }
    out += "}\n";
}

void AnswerShape::opening(std::string& out) const {
    if (kind == Kind::chatCompletions)
        appendChunkEvent(out, R"({"delta":{"content":"","role":"assistant"},"index":0})");
}

void AnswerShape::appendPieceEvent(std::string& out, const auto& writeText) const {
    out += pieceOpen;
    writeText();
    out += pieceEnd();
}

void AnswerShape::piece(std::string& out, const QString& text) const {
    if (kind != Kind::chatCompletions)
        return appendNativeLine(out, text, false);
    appendPieceEvent(out, [&] { appendJsonString(out, text); });
}

void AnswerShape::plainPiece(std::string& out, std::string_view text) const {
    if (kind != Kind::chatCompletions)
        return appendNativeLine(out, QString::fromLatin1(text.data(), qsizetype(text.size())), false);
    appendPieceEvent(out, [&] { out.append(1, '"').append(text).append(1, '"'); });
}

void AnswerShape::closing(std::string& out, EngineUsage usage) const {
    if (kind != Kind::chatCompletions)
        return appendNativeLine(out, QString(), true, usage);
    appendChunkEvent(out, R"({"delta":{},"finish_reason":"stop","index":0})");
    if (streamUsage) {
        const CompletionUsage counted = usageOf(usage);
        out += "data: {\"choices\":[],";
        out += tail();
        out += ",\"usage\":{\"completion_tokens\":";
        appendJsonNumber(out, counted.completion_tokens);
        out += ",\"prompt_tokens\":";
        appendJsonNumber(out, counted.prompt_tokens);
        out += ",\"total_tokens\":";
        appendJsonNumber(out, counted.total_tokens);
        out += "}}\n\n";
    }
    out += "data: [DONE]\n\n";
}

std::string AnswerShape::breaking(const char* type, const QString& message) const {
    if (kind == Kind::chatCompletions)
        return "data: " + encodeJson(ApiError{{message, QString::fromLatin1(type)}}).toStdString() + "\n\n";
    QJsonObject line{{QStringLiteral("error"), message}};
    return QJsonDocument(line).toJson(QJsonDocument::Compact).toStdString() + "\n";
}

HttpResponse AnswerShape::whole(const HttpFields& base, const QString& text, EngineUsage usage) const {
    HttpResponse res;
    res.headers = base;
    if (kind == Kind::chatCompletions) {
        ChatCompletion answer{id, QStringLiteral("chat.completion"), created, model, {}, std::nullopt};
        answer.choices.push_back({0, OutMessage{QStringLiteral("assistant"), text}, std::nullopt, QStringLiteral("stop")});
        answer.usage = usageOf(usage);
        replyJson(res, 200, answer);
    } else {
        std::string line;
        appendNativeLine(line, text, true, usage);
        res.status = 200;
        res.setContent(std::move(line), "application/json");
    }
    return res;
}

AnswerSink::~AnswerSink() {
    if (!m_settled)
        (void)m_settlement.settle(499, usageSoFar(), answerText());
}

const QString& AnswerSink::answerText() {
    if (!m_plainText.empty()) {
        m_text += QLatin1StringView(m_plainText.data(), qsizetype(m_plainText.size()));
        m_plainText.clear();
    }
    return m_text;
}

bool AnswerSink::writesNow(const QString& held) {
    if (!m_shape.stream)
        return false;
    if (m_shape.holdBack) {
        m_held << held;
        return false;
    }
    // Room for what one read of an engine usually brings, taken once for all its pieces.
    if (m_out.empty())
        m_out.reserve(16 * 1024);
    if (!m_begun) {
        m_shape.opening(m_out);
        m_begun = true;
    }
    return true;
}

void AnswerSink::piece(QString text) {
    if (m_settled || text.isEmpty())
        return;
    (void)answerText(); // the plain pieces before this one come first
    m_text += text;
    if (writesNow(text))
        m_shape.piece(m_out, text);
}

void AnswerSink::plainPiece(std::string_view text) {
    if (m_settled || text.empty())
        return;
    m_plainText += text;
    if (writesNow(m_shape.holdBack ? QString::fromLatin1(text.data(), qsizetype(text.size())) : QString()))
        m_shape.plainPiece(m_out, text);
}

std::shared_ptr<AnswerFeed> AnswerSink::opened() {
    auto feed = m_feed.lock();
    if (feed && !m_headGiven) {
        feed->begin(m_shape.streamHead(m_base));
        m_headGiven = true;
    }
    return feed;
}

void AnswerSink::flush() {
    if (m_settled || m_out.empty())
        return;
    const auto feed = opened();
    if (!feed)
        return;
    if (feed->push(std::exchange(m_out, {})))
        return;
    // The client has gone, or reads slower than the engine writes: the answer ends here, and
    // with the feed's end the generation's handle goes, which cancels it.
    (void)m_settlement.settle(499, usageSoFar(), answerText());
    m_settled = true;
    feed->end(m_shape.breaking("client_too_slow",
                               QStringLiteral("The answer was stopped: the client did not read it as fast as it was generated.")),
              true);
}

void AnswerSink::finished(EngineUsage usage) {
    if (m_settled)
        return;
    m_settled = true;
    if (usage.promptTokens <= 0 && usage.completionTokens <= 0)
        usage = usageSoFar();
    const auto logged = m_settlement.settle(200, usage, answerText());
    if (!m_shape.stream || m_shape.holdBack) {
        const auto feed = m_feed.lock();
        if (!feed)
            return;
        // A whole answer, or one held back, is still refused when it cannot be put on record.
        if (!logged)
            return feed->answer(errorAnswer(m_base, 503, "audit_log_unavailable", auditRefusal(logged.error())));
        if (!m_shape.stream)
            return feed->answer(m_shape.whole(m_base, answerText(), usage));
    }
    const auto feed = opened();
    if (!feed)
        return;
    std::string bytes = std::exchange(m_out, {});
    if (!m_begun)
        m_shape.opening(bytes);
    for (const QString& held : std::exchange(m_held, {}))
        m_shape.piece(bytes, held);
    if (!logged)
        return feed->end(bytes + m_shape.breaking("audit_log_unavailable", auditRefusal(logged.error())), true);
    m_shape.closing(bytes, usage);
    feed->end(std::move(bytes));
}

void AnswerSink::failed(EngineFailure failure) {
    if (m_settled)
        return;
    m_settled = true;
    (void)m_settlement.settle(failure.status, usageSoFar(), answerText());
    if (!m_begun) {
        if (const auto feed = m_feed.lock())
            feed->answer(errorAnswer(m_base, failure.status, failure.type.c_str(), failure.message));
        return;
    }
    // What came before the failure goes out ahead of the words that break the stream off.
    if (const auto feed = opened())
        feed->end(std::exchange(m_out, {}) + m_shape.breaking(failure.type.c_str(), failure.message), true);
}

} // namespace tavrin
