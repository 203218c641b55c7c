#include "server/runtime/InferenceEngine.h"

#include "server/support/IsoTime.h"

#include <QRegularExpression>

#include <thread>

namespace tavrin {

namespace {

// Long prompts are quoted by their beginning only: the answer is a summary, not a copy.
QString quoted(const QString& text) {
    constexpr qsizetype limit = 160;
    const QString flat = text.simplified();
    return QLatin1Char('"') + (flat.size() > limit ? flat.left(limit) + QStringLiteral("…") : flat) +
           QLatin1Char('"');
}

} // namespace

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

QString EchoEngine::modelId() const { return QString::fromLatin1(id); }

// Nothing to reach: it answers whenever it is asked.
ClientEngineHealth EchoEngine::health() const {
    ClientEngineHealth health;
    health.kind = QStringLiteral("builtin");
    health.servedName = modelId();
    health.reachable = true;
    health.checkedAt = isoUtcNow();
    return health;
}

Generation EchoEngine::generate(const GenerationRequest& request) {
    if (m_delay.count() > 0)
        std::this_thread::sleep_for(m_delay);

    Generation out;
    QStringList systems;
    const ChatTurn* lastUser = nullptr;
    for (const auto& turn : request.turns) {
        out.promptTokens += countTokens(turn.content);
        if (turn.role == QLatin1StringView("system"))
            systems << turn.content;
        else if (turn.role == QLatin1StringView("user"))
            lastUser = &turn;
    }

    QString answer = QStringLiteral("Echo engine (no model loaded). Received %1 message(s), %2 prompt token(s).")
                         .arg(request.turns.size())
                         .arg(out.promptTokens);
    if (!systems.isEmpty())
        answer += QStringLiteral(" System instruction: %1.").arg(quoted(systems.join(QLatin1Char('\n'))));
    answer += lastUser ? QStringLiteral(" Last user message: %1.").arg(quoted(lastUser->content))
                       : QStringLiteral(" No user message.");

    // Stream word by word, each piece carrying the space that follows it.
    static const QRegularExpression word(QStringLiteral("\\S+\\s*"));
    for (auto it = word.globalMatch(answer); it.hasNext();)
        out.pieces << it.next().captured();
    out.completionTokens = out.pieces.size();
    return out;
}

} // namespace tavrin
