#pragma once

#include "server/runtime/InferenceEngine.h"

#include <chrono>
#include <memory>

namespace boost::asio {
class io_context;
}

namespace tavrin {

// A deterministic engine without model weights: it answers with a summary of the prompt it
// received, so that keys, scopes, counters, the preamble and admission control can be
// exercised end to end. `delay` stands in for the time a real model takes before its first
// piece: a timer on the I/O loop, so a waiting generation holds no thread.
class EchoEngine final : public InferenceEngine {
public:
    EchoEngine(boost::asio::io_context& io, std::chrono::milliseconds delay = {}, QString servedName = {});

    static constexpr const char* id = "tavrin-echo";

    QString modelId() const override;
    ClientEngineHealth health() const override;
    std::unique_ptr<GenerationHandle> generate(GenerationRequest request, std::shared_ptr<GenerationSink> sink) override;

    // The whole answer, in the pieces it streams in.
    static QStringList answer(const GenerationRequest& request);

private:
    boost::asio::io_context& m_io;
    std::chrono::milliseconds m_delay;
    QString m_servedName;
};

} // namespace tavrin
