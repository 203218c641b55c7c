#pragma once

#include "server/inference/InferenceRecords.h"
#include "server/runtime/ServerContext.h"
#include "server/support/AnswerFeed.h"
#include "server/support/HttpMessage.h"

#include <QStringList>

#include <chrono>
#include <expected>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace tavrin {

// A refusal in the OpenAI error shape: {"error": {"message", "type"}}.
void replyApiError(HttpResponse& res, int status, const char* type, const QString& message);
// Audit mode's words for a request that could not be put on record; `why` follows "the audit log
// cannot be written".
QString auditRefusal(const QString& why);

// What the server's log and the audit log take from one request, settled once at its end.
struct Settlement {
    ServerContext& context;
    ClientAuditLoggingSettings logging; // the mode it was admitted under is the mode it is recorded under
    QString keyId;
    QString remote;
    QString endpoint;
    QString promptText;
    std::chrono::steady_clock::time_point received;

    // Counts the key's use and writes the audit record; the record's failure, in audit mode.
    std::expected<void, QString> settle(int status, EngineUsage usage, const QString& completion) const;
};

// How one endpoint writes a generation: the OpenAI surface as server-sent events ending with
// "data: [DONE]", or a whole chat.completion; the JSON-lines surfaces as one line per piece and a
// last line with the counts, or one line whole.
struct AnswerShape {
    enum class Kind { chatCompletions, nativeChat, nativeGenerate } kind;
    bool stream = false;
    QString model;
    QString id;
    qint64 created = 0;
    // Audit mode with a log whose last write failed: the stream goes out only once its record is
    // written, all at once, as a whole answer does.
    bool holdBack = false;
    // The OpenAI surface's stream, asked for its usage: a chunk with no choice, and the usage, ends it.
    bool streamUsage = false;

    HttpResponse streamHead(const HttpFields& base) const;
    ChatCompletion chunk(std::optional<OutMessage> delta, std::optional<QString> finish) const;
    NativeAnswer native(const QString& text, bool done, EngineUsage usage = {}) const;
    // What opens a stream, before its first piece; a piece; the stream's end. Each is appended to
    // `out`, so that the events of one engine read go out as one run of bytes.
    void opening(std::string& out) const;
    void piece(std::string& out, const QString& text) const;
    // A piece known to need no escape (GenerationSink::plainPiece): its bytes go as they are.
    void plainPiece(std::string& out, std::string_view text) const;
    void closing(std::string& out, EngineUsage usage) const;
    // A stream that breaks off says why in its own form; the OpenAI one sends no [DONE] after it.
    std::string breaking(const char* type, const QString& message) const;
    HttpResponse whole(const HttpFields& base, const QString& text, EngineUsage usage) const;

    // How an OpenAI stream event carrying a piece ends, as encodeJson(chunk()) writes it: its
    // choice closed, the members every event of this answer ends with, and the event's end. Made
    // once per answer, since its events differ in their choices alone. The events are written
    // straight from it rather than through a JSON document per piece, which cost more than
    // everything else the gateway does with a piece.
    mutable std::string eventTail;

private:
    void appendChunkEvent(std::string& out, std::string_view choice) const;
    void appendPieceEvent(std::string& out, const auto& writeText) const;
    // A JSON-lines surface's line, written straight as the events are, to stand for encodeJson(native()).
    void appendNativeLine(std::string& out, const QString& text, bool done, EngineUsage usage = {}) const;
    const std::string& pieceEnd() const;
    std::string_view tail() const; // the members every event ends with, within pieceEnd()
};

// One generation's events, turned into its client's answer. Lives as long as the engine holds it;
// the feed it writes to is the HTTP side's, which lets go when the client does. Every event comes
// on the I/O thread.
class AnswerSink final : public GenerationSink {
public:
    AnswerSink(std::shared_ptr<AnswerFeed> feed, AnswerShape shape, HttpFields base, Settlement settlement, qint64 promptTokens)
        : m_feed(feed), m_shape(std::move(shape)), m_base(std::move(base)), m_settlement(std::move(settlement)),
          m_promptTokens(promptTokens) {}

    // A generation cancelled (its client gone, or too slow) hears nothing more from its engine;
    // what it cost is settled here, as the client closed the request.
    ~AnswerSink() override;

    void piece(QString text) override;
    void plainPiece(std::string_view text) override;
    void flush() override;
    void finished(EngineUsage usage) override;
    void failed(EngineFailure failure) override;

private:
    EngineUsage usageSoFar() { return {m_promptTokens, countTokens(answerText())}; }
    // The answer's text so far: plain pieces are gathered as bytes and widened once, when asked.
    const QString& answerText();
    // The client's feed, its stream's head given the first time; null once the client has gone.
    std::shared_ptr<AnswerFeed> opened();
    // Whether a piece is to be written to the stream now (its opening written first); a piece held
    // back is kept here instead.
    bool writesNow(const QString& held);

    std::weak_ptr<AnswerFeed> m_feed;
    AnswerShape m_shape;
    HttpFields m_base;
    Settlement m_settlement;
    qint64 m_promptTokens;
    QString m_text;
    std::string m_plainText; // plain pieces that follow m_text, not widened yet
    QStringList m_held;
    std::string m_out; // the pieces' bytes not flushed yet
    bool m_begun = false;    // the stream's opening is written: from here a failure breaks it off
    bool m_headGiven = false;
    bool m_settled = false;
};

} // namespace tavrin
