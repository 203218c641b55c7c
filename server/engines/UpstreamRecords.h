#pragma once

// What the server reads from an OpenAI-compatible engine, with the same field tables as every
// other record, read by the same strict reader. Only what is used is declared; the rest of each
// document is checked for well-formedness and skipped.

#include "protocol/JsonCodec.h"

#include <QString>

#include <expected>
#include <optional>
#include <string_view>
#include <vector>

namespace tavrin {

struct UpstreamDelta {
    std::optional<QString> content;
    // The content where the short path found it, in place of `content`: printable ASCII needing no
    // escape, as most pieces are, handed on without a round through UTF-16. It lies in the event
    // read, and lives as long as that.
    std::optional<std::string_view> plainContent;

    static constexpr auto fields() { return std::tuple{optional("content", &UpstreamDelta::content)}; }
};

struct UpstreamChoice {
    std::optional<UpstreamDelta> delta;
    std::optional<QString> finish_reason;

    static constexpr auto fields() {
        using R = UpstreamChoice;
        return std::tuple{optional("delta", &R::delta), optional("finish_reason", &R::finish_reason)};
    }
};

struct UpstreamUsage {
    qint64 prompt_tokens = 0;
    qint64 completion_tokens = 0;

    static constexpr auto fields() {
        using R = UpstreamUsage;
        return std::tuple{required("prompt_tokens", &R::prompt_tokens), required("completion_tokens", &R::completion_tokens)};
    }
};

struct UpstreamErrorDetail {
    std::optional<QString> message;

    static constexpr auto fields() { return std::tuple{optional("message", &UpstreamErrorDetail::message)}; }
};

// One event of a streamed chat completion; an engine that fails mid-stream may send an error instead.
struct UpstreamChunk {
    std::optional<std::vector<UpstreamChoice>> choices;
    std::optional<UpstreamUsage> usage;
    std::optional<UpstreamErrorDetail> error;

    static constexpr auto fields() {
        using R = UpstreamChunk;
        return std::tuple{optional("choices", &R::choices), optional("usage", &R::usage), optional("error", &R::error)};
    }
};

// One event's chunk, read into `into` as decodeJson<UpstreamChunk> reads it (but for the plain
// content the short path leaves in the event); `into` holds the last event's, whose room is used
// again. Every piece of an answer comes as one, so the usual shape (plain text in its strings,
// whole numbers) is read by a short path of its own; anything else goes to the strict reader, which
// decides and words any fault.
std::expected<void, DecodeError> decodeUpstreamChunk(std::string_view event, UpstreamChunk& into);
// The short path alone: false where it leaves the event to the strict reader (`into` then holds
// nothing to go by).
bool readPlainChunk(std::string_view event, UpstreamChunk& into);

// A refusal's body: {"error": {"message": …}} as OpenAI's, or {"error": "…"} or {"message": "…"} as others'.
struct UpstreamRefusal {
    std::optional<UpstreamErrorDetail> error;
    std::optional<QString> message;

    static constexpr auto fields() {
        using R = UpstreamRefusal;
        return std::tuple{optional("error", &R::error), optional("message", &R::message)};
    }
};
struct UpstreamRefusalText {
    std::optional<QString> error;

    static constexpr auto fields() { return std::tuple{optional("error", &UpstreamRefusalText::error)}; }
};

struct UpstreamModel {
    QString id;

    static constexpr auto fields() { return std::tuple{required("id", &UpstreamModel::id)}; }
};

struct UpstreamModelList {
    std::vector<UpstreamModel> data;

    static constexpr auto fields() { return std::tuple{required("data", &UpstreamModelList::data)}; }
};

// The words a person reads of an engine's refusal: its own message when it gives one in a shape
// known here, else its body as text, without control characters and at most 2,000 characters.
QString upstreamRefusal(const QString& address, int status, const std::string& body);

// Text from an engine, made safe to show: control characters (escape sequences among them) go,
// runs of white space become one space, and it is cut at `limit` characters.
QString cleanUpstreamText(const QString& text, qsizetype limit = 2000);

} // namespace tavrin
