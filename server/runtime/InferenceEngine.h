#pragma once

#include "protocol/ClientRecords.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavrin {

struct ChatTurn {
    QString role;
    QString content;
};

// The client's sampling choices that reach the engine. Which of a request's fields land here is
// decided where the request is read (InferenceApi); an engine passes on those it has and none else.
struct SamplingChoices {
    std::optional<double> temperature;
    std::optional<double> topP;
    std::optional<qint64> maxTokens;
    std::optional<qint64> seed;
    std::optional<double> presencePenalty;
    std::optional<double> frequencyPenalty;
    std::vector<QString> stop;
};

// A generation as the engine sees it: the conversation with the org preamble already prepended
// as the first system turn.
struct GenerationRequest {
    std::vector<ChatTurn> turns;
    SamplingChoices sampling;
};

struct EngineUsage {
    qint64 promptTokens = 0;
    qint64 completionTokens = 0;
};

// Why a generation did not finish, in the OpenAI error shape: the status a whole answer gets,
// its error type ("upstream_unreachable", "upstream_untrusted", "upstream_timeout", "upstream_error",
// "upstream_malformed") and words for a person, which never carry a key.
struct EngineFailure {
    int status = 502;
    std::string type;
    QString message;
};

// Receives one generation's events, in order: pieces, then exactly one of finished or failed.
// Called on the server's I/O thread.
class GenerationSink {
public:
    virtual ~GenerationSink() = default;
    virtual void piece(QString text) = 0;
    // A piece of printable ASCII with no quote or backslash in it, as most of an engine's text
    // comes: the same as piece(), for a sink that can take its bytes as they are.
    virtual void plainPiece(std::string_view text) { piece(QString::fromLatin1(text.data(), qsizetype(text.size()))); }
    // The pieces given since the last flush go to the client now. An engine flushes once it has
    // given every piece it has in hand (all that one read of an upstream brought), so that they
    // leave together rather than one write each; finished and failed send what is left.
    virtual void flush() {}
    virtual void finished(EngineUsage usage) = 0;
    virtual void failed(EngineFailure failure) = 0;
};

// Cancels the generation when dropped or cancel()ed; no sink call follows. It may be dropped from
// inside one of its sink's calls.
class GenerationHandle {
public:
    virtual ~GenerationHandle() = default;
    virtual void cancel() = 0;
};

// What the inference surface needs from an engine: the echo engine, or an upstream server.
class InferenceEngine {
public:
    virtual ~InferenceEngine() = default;

    virtual QString modelId() const = 0; // the name clients see
    // The latest reading; a remote engine refreshes it on its own every few seconds, never per request.
    virtual ClientEngineHealth health() const = 0;
    // Returns at once, from any thread; the events come on the I/O thread.
    virtual std::unique_ptr<GenerationHandle> generate(GenerationRequest request, std::shared_ptr<GenerationSink> sink) = 0;
    // Replaced: no new request comes to it. Whatever it does on its own (a remote engine's checks)
    // stops now, not when its last generation ends; generations already begun go on to their end.
    // From any thread.
    virtual void retire() {}
};

// The echo engine's token, and every engine's when it reports no usage of its own: a word
// between Unicode white space, one for every four characters of it begun (a ten-letter word is three).
qint64 countTokens(const QString& text);

// The prompt's tokens by that count, over every turn.
qint64 countPromptTokens(const GenerationRequest& request);

} // namespace tavrin
