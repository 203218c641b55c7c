#pragma once

#include "protocol/ClientRecords.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <vector>

namespace tavrin {

struct ChatTurn {
    QString role;
    QString content;
};

// A generation as the engine sees it: the conversation with the org preamble already prepended
// as the first system turn.
struct GenerationRequest {
    std::vector<ChatTurn> turns;
};

struct Generation {
    QStringList pieces; // the answer in the order it would stream; joined, it is the whole answer
    qint64 promptTokens = 0;
    qint64 completionTokens = 0;

    QString text() const { return pieces.join(QString()); }
};

// What the inference surface needs from an engine; a real one replaces the echo engine here.
class InferenceEngine {
public:
    virtual ~InferenceEngine() = default;

    virtual QString modelId() const = 0; // the served name
    // The latest reading of how the engine is faring; never a check of its own.
    virtual ClientEngineHealth health() const = 0;
    // Runs on a server worker thread; several generations may run at once.
    virtual Generation generate(const GenerationRequest& request) = 0;
};

// A deterministic engine without model weights: it answers with a summary of the prompt it
// received, so that keys, scopes, counters, the preamble and admission control can be
// exercised end to end. `delay` stands in for the time a real model takes.
class EchoEngine final : public InferenceEngine {
public:
    explicit EchoEngine(std::chrono::milliseconds delay = {}) : m_delay(delay) {}

    static constexpr const char* id = "tavrin-echo";

    QString modelId() const override;
    ClientEngineHealth health() const override;
    Generation generate(const GenerationRequest& request) override;

private:
    std::chrono::milliseconds m_delay;
};

// The echo engine's token: a word between Unicode white space, one for every four characters
// of it begun (a ten-letter word is three).
qint64 countTokens(const QString& text);

} // namespace tavrin
