#pragma once

#include "server/runtime/InferenceEngine.h"

#include <expected>
#include <memory>
#include <optional>
#include <string>

namespace boost::asio {
class io_context;
}

namespace tavrin {

// Any server that speaks the OpenAI API, as the engine behind this one: each generation is one
// streamed POST {url}/chat/completions on the server's I/O loop (no thread per generation),
// its pieces passed on as they arrive. While it is the engine in use (until it goes or is retired)
// it checks {url}/models every few seconds on a timer of its own; health() reads the last check,
// never the network.
//
// The upstream's key goes only into the Authorization header of requests to the upstream,
// never into a message, a log line or a health reading; a client's own Authorization header
// never reaches the upstream.
//
// Generations keep their connections to the engine for the next one, at most `idleConnections`
// of them at a time (as many as may run at once is plenty); retire() lets them all go.
class OpenAIEngine final : public InferenceEngine {
public:
    static std::expected<std::shared_ptr<OpenAIEngine>, QString> make(boost::asio::io_context& io,
                                                                      const ClientEngineSettings& settings,
                                                                      std::optional<std::string> apiKey,
                                                                      std::size_t idleConnections = 16);
    ~OpenAIEngine() override;

    QString modelId() const override;
    ClientEngineHealth health() const override;
    std::unique_ptr<GenerationHandle> generate(GenerationRequest request, std::shared_ptr<GenerationSink> sink) override;
    void retire() override;

    // What a generation POSTs: the model, the turns, the sampling choices and a stream that ends
    // with its usage, as compactJson would write that document.
    static std::string requestBody(const QString& model, const GenerationRequest& request);

    // Bounds on what an engine may send.
    static constexpr std::size_t lineLimit = 1024 * 1024;         // one line of its event stream
    static constexpr std::size_t answerLimit = 16 * 1024 * 1024;  // a whole answer

    struct Parts;

private:
    explicit OpenAIEngine(std::shared_ptr<Parts> parts);
    std::shared_ptr<Parts> m_parts;
    std::shared_ptr<void> m_checks; // the loop of health checks, stopped when the engine goes
};

} // namespace tavrin
