#include "server/runtime/InferenceEngine.h"

namespace tavrin {


qint64 countTokens(const QString& text) {
    // Usage is what keys are billed and limited by, so no text may count for less than a model
    // would make of it: every Unicode space separates (no-break, ideographic, line and paragraph
    // separators and NEL among them), and a run without any counts at least one token per
    // `charactersPerToken` characters, as a tokenizer splits a long word or a wall of letters.
    // One pass and no allocation: this runs over every prompt.
    constexpr qint64 charactersPerToken = 4;
    qint64 tokens = 0;
    qint64 run = 0; // characters of the word being read, a surrogate pair as one
    const auto endWord = [&] {
        tokens += (run + charactersPerToken - 1) / charactersPerToken;
        run = 0;
    };
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = text.at(i);
        if (c.isSpace()) {
            endWord();
            continue;
        }
        // No white space lies outside the Basic Multilingual Plane: a pair is one character of a word.
        if (c.isHighSurrogate() && i + 1 < size && text.at(i + 1).isLowSurrogate())
            ++i;
        ++run;
    }
    endWord();
    return tokens;
}

qint64 countPromptTokens(const GenerationRequest& request) {
    qint64 tokens = 0;
    for (const auto& turn : request.turns)
        tokens += countTokens(turn.content);
    return tokens;
}

} // namespace tavrin
