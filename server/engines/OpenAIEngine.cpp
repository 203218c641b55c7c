#include "server/engines/OpenAIEngine.h"

#include "server/engines/UpstreamExchange.h"
#include "server/engines/UpstreamRecords.h"
#include "server/support/IsoTime.h"

#include <boost/asio/post.hpp>


#include <algorithm>
#include <atomic>
#include <mutex>

namespace tavrin {

namespace net = boost::asio;
namespace http = boost::beast::http;

namespace {

constexpr auto healthInterval = std::chrono::seconds(5);
// A check answers quickly or not at all: it never waits as long as a generation may.
constexpr auto healthPatience = std::chrono::seconds(10);
constexpr std::size_t modelListLimit = 1024 * 1024;

// The latest reading, shared by the engine, its checks and its generations (a failed generation
// is a reading too). Read from any thread.
class HealthBoard {
public:
    explicit HealthBoard(ClientEngineHealth initial) : m_health(std::move(initial)) {}

    ClientEngineHealth read() const {
        std::lock_guard lock(m_mutex);
        return m_health;
    }
    void checked(bool reachable, std::optional<bool> listed, std::optional<QString> error) {
        std::lock_guard lock(m_mutex);
        m_health.reachable = reachable;
        m_health.modelListed = listed;
        m_health.lastError = std::move(error);
        m_health.checkedAt = isoUtcNow();
    }
    void generationFailed(const QString& error) {
        std::lock_guard lock(m_mutex);
        m_health.lastError = error;
    }

private:
    mutable std::mutex m_mutex;
    ClientEngineHealth m_health;
};

} // namespace

struct OpenAIEngine::Parts {
    net::io_context& io;
    std::shared_ptr<net::ssl::context> tls;
    UpstreamTarget target;
    UpstreamTimeouts timeouts;
    QString model;
    QString servedName;
    std::optional<std::string> apiKey;
    std::shared_ptr<HealthBoard> health;
    std::shared_ptr<UpstreamPool> pool;

    UpstreamExchange::Request request(http::verb verb, const std::string& path) const {
        UpstreamExchange::Request req{verb, target.basePath + path, 11};
        if (apiKey && !apiKey->empty())
            req.set(http::field::authorization, "Bearer " + *apiKey);
        return req;
    }
};

// The preamble comes first among the turns, as a system turn; the sampling choices are those the
// client made that InferenceApi passes on. Written straight, its members in the order the JSON
// writer puts them (by name): a JSON document built for every generation cost the I/O thread more
// than the rest of starting it.
std::string OpenAIEngine::requestBody(const QString& model, const GenerationRequest& request) {
    const SamplingChoices& s = request.sampling;
    std::string out;
    out.reserve(256);
    JsonObjectWriter body(out);
    body.number("frequency_penalty", s.frequencyPenalty);
    body.number("max_tokens", s.maxTokens);
    body.member("messages") += '[';
    for (const auto& turn : request.turns) {
        if (out.back() != '[')
            out += ',';
        JsonObjectWriter message(out);
        message.string("content", turn.content);
        message.string("role", turn.role);
        message.end();
    }
    out += ']';
    body.string("model", model);
    body.number("presence_penalty", s.presencePenalty);
    body.number("seed", s.seed);
    if (!s.stop.empty()) {
        body.member("stop") += '[';
        for (const auto& word : s.stop) {
            if (out.back() != '[')
                out += ',';
            appendJsonString(out, word);
        }
        out += ']';
    }
    body.member("stream") += "true";
    body.member("stream_options") += R"({"include_usage":true})";
    body.number("temperature", s.temperature);
    body.number("top_p", s.topP);
    body.end();
    return out;
}

namespace {

// One generation: the event stream read line by line, each line bounded; pieces go to the sink
// as they come; usage from the engine's last chunk.
class ChatExchange final : public UpstreamExchange {
public:
    ChatExchange(const OpenAIEngine::Parts& parts, std::shared_ptr<GenerationSink> sink)
        : UpstreamExchange(parts.io, parts.tls, parts.target, parts.timeouts, OpenAIEngine::answerLimit, parts.pool),
          m_sink(std::move(sink)), m_health(parts.health) {}

protected:
    bool consume(std::string_view bytes) override {
        if (m_over)
            return true; // what follows [DONE] is read only to keep the connection
        for (;;) {
            const std::size_t newline = bytes.find('\n');
            if (newline == std::string_view::npos) {
                m_line.append(bytes);
                if (m_line.size() > OpenAIEngine::lineLimit)
                    return malformed(QStringLiteral("an event stream line larger than %1 MiB")
                                         .arg(OpenAIEngine::lineLimit / (1024 * 1024)));
                // This read's pieces leave together; a client found gone cancels the exchange,
                // which its caller sees.
                if (const auto sink = m_sink)
                    sink->flush();
                return true;
            }
            // A line that came whole in this read is taken where it lies; only one split between
            // reads is gathered.
            std::string_view line = bytes.substr(0, newline);
            if (!m_line.empty()) {
                m_line.append(line);
                line = m_line;
            }
            bytes.remove_prefix(newline + 1);
            if (line.size() > OpenAIEngine::lineLimit)
                return malformed(QStringLiteral("an event stream line larger than %1 MiB")
                                     .arg(OpenAIEngine::lineLimit / (1024 * 1024)));
            if (line.ends_with('\r'))
                line.remove_suffix(1);
            const bool more = takeLine(line) && !cancelled();
            m_line.clear();
            if (!more)
                return m_over && !cancelled();
        }
    }

    void ended() override {
        if (m_over)
            return;
        if (!m_line.empty()) {
            std::string line = std::move(m_line);
            m_line.clear();
            if (!takeLine(line) || cancelled())
                return;
        }
        // A body that ended whole after its finish reason is an answer, even without [DONE].
        if (m_finishReason) {
            settle();
            return done();
        }
        fail({502, "upstream_malformed",
               QStringLiteral("The engine at %1 ended its answer before it was complete.").arg(target().address)});
    }

    void dropped() override { m_sink.reset(); }

    void fault(EngineFailure failure) override {
        if (!m_sink)
            return;
        m_health->generationFailed(failure.message);
        std::exchange(m_sink, nullptr)->failed(std::move(failure));
    }

private:
    // False when the stream is over, finished or failed.
    bool takeLine(std::string_view line) {
        static constexpr std::string_view data = "data:";
        if (!line.starts_with(data))
            return true; // a blank line between events, a comment, or a field not used here
        line.remove_prefix(data.size());
        if (line.starts_with(' '))
            line.remove_prefix(1);
        if (line == "[DONE]") {
            // Settled first: told it is done, the caller lets go of the generation, which must then
            // leave the connection to be read to its end.
            m_over = true;
            settle();
            done();
            return false;
        }
        if (const auto read = decodeUpstreamChunk(line, m_chunk); !read)
            return malformed(QStringLiteral("an event that is not valid JSON (%1)").arg(cleanUpstreamText(read.error().message(), 200)));
        const UpstreamChunk& chunk = m_chunk;
        if (chunk.error) {
            fail({502, "upstream_error",
                  QStringLiteral("The engine at %1 failed while answering: %2")
                      .arg(target().address, cleanUpstreamText(chunk.error->message.value_or(QStringLiteral("no reason given"))))});
            return false;
        }
        if (chunk.usage)
            m_usage = EngineUsage{chunk.usage->prompt_tokens, chunk.usage->completion_tokens};
        if (!chunk.choices)
            return true;
        for (const auto& choice : *chunk.choices) {
            if (choice.finish_reason)
                m_finishReason = choice.finish_reason;
            if (!choice.delta || !m_sink)
                continue;
            if (const auto& plain = choice.delta->plainContent; plain && !plain->empty())
                m_sink->plainPiece(*plain);
            else if (const auto& text = choice.delta->content; text && !text->isEmpty())
                m_sink->piece(*text);
        }
        return true;
    }

    bool malformed(const QString& what) {
        fail({502, "upstream_malformed", QStringLiteral("The engine at %1 sent %2.").arg(target().address, what)});
        return false;
    }

    void fail(EngineFailure failure) {
        failure.message = withoutKey(std::move(failure.message));
        finish();
        fault(std::move(failure));
    }

    void done() {
        if (m_sink)
            std::exchange(m_sink, nullptr)->finished(m_usage.value_or(EngineUsage{}));
    }

    std::shared_ptr<GenerationSink> m_sink;
    std::shared_ptr<HealthBoard> m_health;
    std::string m_line;
    UpstreamChunk m_chunk; // the last event's, its room used for the next
    std::optional<EngineUsage> m_usage;
    std::optional<QString> m_finishReason;
    bool m_over = false; // [DONE] came
};

class ChatHandle final : public GenerationHandle {
public:
    explicit ChatHandle(std::shared_ptr<ChatExchange> exchange) : m_exchange(std::move(exchange)) {}
    ~ChatHandle() override { m_exchange->cancel(); }
    void cancel() override { m_exchange->cancel(); }

private:
    std::shared_ptr<ChatExchange> m_exchange;
};

// One check of GET {url}/models.
class ModelsExchange final : public UpstreamExchange {
public:
    ModelsExchange(const OpenAIEngine::Parts& parts)
        : UpstreamExchange(parts.io, parts.tls, parts.target, {parts.timeouts.connect, healthPatience}, modelListLimit),
          m_model(parts.model), m_health(parts.health) {}

protected:
    bool consume(std::string_view bytes) override {
        m_body.append(bytes);
        return true;
    }
    void ended() override {
        const auto list = decodeJson<UpstreamModelList>(QByteArrayView(m_body.data(), qsizetype(m_body.size())));
        if (!list)
            return m_health->checked(true, std::nullopt,
                                     QStringLiteral("The engine at %1 sent a model list that could not be read.").arg(target().address));
        const bool listed = std::any_of(list->data.begin(), list->data.end(), [&](const UpstreamModel& m) { return m.id == m_model; });
        m_health->checked(true, listed,
                          listed ? std::nullopt
                                 : std::optional(QStringLiteral("The engine at %1 does not list the model \"%2\".")
                                                     .arg(target().address, cleanUpstreamText(m_model, 200))));
    }
    void fault(EngineFailure failure) override {
        // An engine that answers, even with a refusal, is reachable; what it said is the last error.
        m_health->checked(failure.type == "upstream_error", std::nullopt, failure.message);
    }

private:
    QString m_model;
    std::shared_ptr<HealthBoard> m_health;
    std::string m_body;
};

// The checks' timer. It lives while its engine does: the engine's end stops it, on the loop.
class HealthLoop : public std::enable_shared_from_this<HealthLoop> {
public:
    explicit HealthLoop(std::shared_ptr<OpenAIEngine::Parts> parts) : m_parts(std::move(parts)), m_timer(m_parts->io) {}

    void tick() {
        if (m_stopped.load())
            return;
        if (m_check)
            m_check->cancel(); // one still running after a whole interval has failed to answer in time
        m_check = std::make_shared<ModelsExchange>(*m_parts);
        m_check->start(m_parts->request(http::verb::get, "/models"));
        m_timer.expires_after(healthInterval);
        m_timer.async_wait([self = shared_from_this()](boost::system::error_code ec) {
            if (!ec)
                self->tick();
        });
    }
    // From any thread: the check under way is cancelled and no other begins; the timer and the
    // check's connection, which live on the loop, are let go there.
    void stop() {
        m_stopped = true;
        net::post(m_parts->io, [self = shared_from_this()] { self->stopOnLoop(); });
    }

private:
    void stopOnLoop() {
        m_timer.cancel();
        if (m_check)
            m_check->cancel();
        m_check.reset();
    }

    std::shared_ptr<OpenAIEngine::Parts> m_parts;
    net::steady_timer m_timer;
    std::shared_ptr<ModelsExchange> m_check;
    std::atomic<bool> m_stopped = false;
};

} // namespace

std::expected<std::shared_ptr<OpenAIEngine>, QString> OpenAIEngine::make(net::io_context& io, const ClientEngineSettings& settings,
                                                                         std::optional<std::string> apiKey,
                                                                         std::size_t idleConnections) {
    auto target = UpstreamTarget::parse(settings.url.value_or(QString()));
    if (!target)
        return std::unexpected(target.error());
    if (!settings.model || settings.model->isEmpty())
        return std::unexpected(QStringLiteral("The engine's model name is missing."));
    std::shared_ptr<net::ssl::context> tls;
    if (target->tls) {
        tls = std::make_shared<net::ssl::context>(net::ssl::context::tls_client);
        boost::system::error_code ec;
        tls->set_default_verify_paths(ec);
        if (ec)
            return std::unexpected(QStringLiteral("The system's trusted certificates could not be loaded (%1).")
                                       .arg(QString::fromStdString(ec.message())));
        tls->set_verify_mode(net::ssl::verify_peer);
    }
    ClientEngineHealth initial;
    initial.kind = QStringLiteral("openai");
    initial.url = target->address + QString::fromStdString(target->basePath);
    initial.model = settings.model;
    initial.servedName = settings.servedName.value_or(*settings.model);
    auto parts = std::make_shared<Parts>(Parts{
        io, std::move(tls), *target,
        UpstreamTimeouts{std::chrono::seconds(settings.connectTimeoutSeconds.value_or(10)),
                         std::chrono::seconds(settings.timeoutSeconds.value_or(300))},
        *settings.model, *initial.servedName, std::move(apiKey), std::make_shared<HealthBoard>(initial),
        std::make_shared<UpstreamPool>(io, std::max<std::size_t>(1, idleConnections))});
    return std::shared_ptr<OpenAIEngine>(new OpenAIEngine(std::move(parts)));
}

namespace {
std::shared_ptr<HealthLoop> startHealth(const std::shared_ptr<OpenAIEngine::Parts>& parts) {
    auto loop = std::make_shared<HealthLoop>(parts);
    net::post(parts->io, [loop] { loop->tick(); });
    return loop;
}
} // namespace

OpenAIEngine::OpenAIEngine(std::shared_ptr<Parts> parts) : m_parts(std::move(parts)) {
    m_checks = startHealth(m_parts);
}

// The last holder may be a worker (settings replaced) or the loop (a generation's end).
OpenAIEngine::~OpenAIEngine() { retire(); }

void OpenAIEngine::retire() {
    std::static_pointer_cast<HealthLoop>(m_checks)->stop();
    m_parts->pool->retire();
}

QString OpenAIEngine::modelId() const { return m_parts->servedName; }

ClientEngineHealth OpenAIEngine::health() const { return m_parts->health->read(); }

std::unique_ptr<GenerationHandle> OpenAIEngine::generate(GenerationRequest request, std::shared_ptr<GenerationSink> sink) {
    auto exchange = std::make_shared<ChatExchange>(*m_parts, std::move(sink));
    auto req = m_parts->request(http::verb::post, "/chat/completions");
    req.set(http::field::content_type, "application/json");
    req.set(http::field::accept, "text/event-stream");
    req.body() = requestBody(m_parts->model, request);
    // Started on the loop, where its sockets live; this runs on a worker.
    net::post(m_parts->io, [exchange, req = std::move(req)]() mutable { exchange->start(std::move(req)); });
    return std::make_unique<ChatHandle>(std::move(exchange));
}

} // namespace tavrin
