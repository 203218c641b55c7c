#pragma once

// The JSON records of the inference surface, declared with the same field tables as the admin
// records so that one generic mapping serves both.

#include "protocol/JsonCodec.h"

#include <QString>

#include <optional>
#include <vector>

namespace tavrin {

// A message's content: plain text, or a list of parts of which the text parts are read.
struct MessageContent {
    QString text;
    bool operator==(const MessageContent&) const = default;
};

// One part of a message's content.
struct ContentPart {
    QString type;
    std::optional<QString> text;

    static constexpr auto fields() {
        using R = ContentPart;
        return std::tuple{required("type", &R::type), optional("text", &R::text)};
    }
};

namespace json {
// Read by the strict reader like every other value, so that the prompt counted and logged is the
// text that was sent (a lone surrogate escape becomes U+FFFD, as everywhere else).
template <>
struct Codec<MessageContent> {
    static bool read(Reader& r, const Path& p, MessageContent& out);
    static QJsonValue encode(const MessageContent& c) { return c.text; }
};
} // namespace json

// "stop": one string or a list of them.
struct StopWords {
    std::vector<QString> words;
    bool operator==(const StopWords&) const = default;
};

namespace json {
template <>
struct Codec<StopWords> {
    static bool read(Reader& r, const Path& p, StopWords& out);
    static QJsonValue encode(const StopWords& s);
};
} // namespace json

// The sampling fields a client's request may carry that the server passes on to the engine.
// The OpenAI endpoint takes them at the top level; the JSON-lines endpoints in "options", with
// "num_predict" for the answer's length. These, and no others, are passed on: temperature, top_p,
// max_tokens (max_completion_tokens, its newer name, when both come the smaller), seed,
// presence_penalty, frequency_penalty and stop. Every other field a client sends is dropped, as
// every unknown field always was (n, logprobs, tools, response_format, …): the answer is one
// choice of plain text, whatever the engine behind.
struct SamplingFields {
    std::optional<double> temperature;
    std::optional<double> top_p;
    std::optional<qint64> max_tokens;
    std::optional<qint64> max_completion_tokens;
    std::optional<qint64> num_predict;
    std::optional<qint64> seed;
    std::optional<double> presence_penalty;
    std::optional<double> frequency_penalty;
    std::optional<StopWords> stop;

    static constexpr auto fields() {
        using R = SamplingFields;
        return std::tuple{optional("temperature", &R::temperature),
                          optional("top_p", &R::top_p),
                          optional("max_tokens", &R::max_tokens),
                          optional("max_completion_tokens", &R::max_completion_tokens),
                          optional("num_predict", &R::num_predict),
                          optional("seed", &R::seed),
                          optional("presence_penalty", &R::presence_penalty),
                          optional("frequency_penalty", &R::frequency_penalty),
                          optional("stop", &R::stop)};
    }
};

struct ChatMessage {
    QString role;
    MessageContent content;

    static constexpr auto fields() {
        using R = ChatMessage;
        return std::tuple{required("role", &R::role), required("content", &R::content)};
    }
};

// A streamed chat completion's options: with include_usage, a last chunk before [DONE] carries
// the usage, as OpenAI's own clients ask for it.
struct StreamOptions {
    std::optional<bool> include_usage;

    static constexpr auto fields() {
        using R = StreamOptions;
        return std::tuple{optional("include_usage", &R::include_usage)};
    }
};

// POST /v1/chat/completions and POST /api/chat.
struct ChatRequest {
    std::optional<QString> model;
    std::vector<ChatMessage> messages;
    std::optional<bool> stream;
    std::optional<StreamOptions> stream_options;
    // The OpenAI endpoint's sampling fields, at the top level.
    std::optional<double> temperature;
    std::optional<double> top_p;
    std::optional<qint64> max_tokens;
    std::optional<qint64> max_completion_tokens;
    std::optional<qint64> seed;
    std::optional<double> presence_penalty;
    std::optional<double> frequency_penalty;
    std::optional<StopWords> stop;
    // /api/chat's, in "options".
    std::optional<SamplingFields> options;

    static constexpr auto fields() {
        using R = ChatRequest;
        return std::tuple{optional("model", &R::model),
                          required("messages", &R::messages),
                          optional("stream", &R::stream),
                          optional("stream_options", &R::stream_options),
                          optional("temperature", &R::temperature),
                          optional("top_p", &R::top_p),
                          optional("max_tokens", &R::max_tokens),
                          optional("max_completion_tokens", &R::max_completion_tokens),
                          optional("seed", &R::seed),
                          optional("presence_penalty", &R::presence_penalty),
                          optional("frequency_penalty", &R::frequency_penalty),
                          optional("stop", &R::stop),
                          optional("options", &R::options)};
    }
};

// POST /api/generate.
struct GenerateRequest {
    std::optional<QString> model;
    QString prompt;
    std::optional<QString> system;
    std::optional<bool> stream;
    std::optional<SamplingFields> options;

    static constexpr auto fields() {
        using R = GenerateRequest;
        return std::tuple{optional("model", &R::model), required("prompt", &R::prompt),
                          optional("system", &R::system), optional("stream", &R::stream),
                          optional("options", &R::options)};
    }
};

struct OutMessage {
    std::optional<QString> role;
    std::optional<QString> content;

    static constexpr auto fields() {
        using R = OutMessage;
        return std::tuple{optional("role", &R::role), optional("content", &R::content)};
    }
};

struct CompletionChoice {
    qint64 index = 0;
    std::optional<OutMessage> message; // whole answers
    std::optional<OutMessage> delta;   // stream chunks
    std::optional<QString> finish_reason;

    static constexpr auto fields() {
        using R = CompletionChoice;
        return std::tuple{required("index", &R::index), optional("message", &R::message),
                          optional("delta", &R::delta), optional("finish_reason", &R::finish_reason)};
    }
};

struct CompletionUsage {
    qint64 prompt_tokens = 0;
    qint64 completion_tokens = 0;
    qint64 total_tokens = 0;

    static constexpr auto fields() {
        using R = CompletionUsage;
        return std::tuple{required("prompt_tokens", &R::prompt_tokens),
                          required("completion_tokens", &R::completion_tokens),
                          required("total_tokens", &R::total_tokens)};
    }
};

// A whole answer ("chat.completion") or one stream chunk ("chat.completion.chunk").
struct ChatCompletion {
    QString id;
    QString object;
    qint64 created = 0;
    QString model;
    std::vector<CompletionChoice> choices;
    std::optional<CompletionUsage> usage;

    static constexpr auto fields() {
        using R = ChatCompletion;
        return std::tuple{required("id", &R::id),           required("object", &R::object),
                          required("created", &R::created), required("model", &R::model),
                          required("choices", &R::choices), optional("usage", &R::usage)};
    }
};

struct ModelEntry {
    QString id;
    QString object;
    qint64 created = 0;
    QString owned_by;
    QString description;

    static constexpr auto fields() {
        using R = ModelEntry;
        return std::tuple{required("id", &R::id), required("object", &R::object), required("created", &R::created),
                          required("owned_by", &R::owned_by), required("description", &R::description)};
    }
};

struct ModelList {
    QString object;
    std::vector<ModelEntry> data;

    static constexpr auto fields() {
        using R = ModelList;
        return std::tuple{required("object", &R::object), required("data", &R::data)};
    }
};

// One answer, or one line of a newline-delimited stream, of /api/chat and /api/generate.
struct NativeAnswer {
    QString model;
    QString created_at;
    std::optional<OutMessage> message; // /api/chat
    std::optional<QString> response;   // /api/generate
    bool done = false;
    std::optional<QString> done_reason;
    std::optional<qint64> prompt_eval_count;
    std::optional<qint64> eval_count;

    static constexpr auto fields() {
        using R = NativeAnswer;
        return std::tuple{required("model", &R::model),
                          required("created_at", &R::created_at),
                          optional("message", &R::message),
                          optional("response", &R::response),
                          required("done", &R::done),
                          optional("done_reason", &R::done_reason),
                          optional("prompt_eval_count", &R::prompt_eval_count),
                          optional("eval_count", &R::eval_count)};
    }
};

struct ApiErrorDetail {
    QString message;
    QString type;

    static constexpr auto fields() {
        using R = ApiErrorDetail;
        return std::tuple{required("message", &R::message), required("type", &R::type)};
    }
};

struct ApiError {
    ApiErrorDetail error;

    static constexpr auto fields() { return std::tuple{required("error", &ApiError::error)}; }
};

} // namespace tavrin
