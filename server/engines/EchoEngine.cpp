#include "server/engines/EchoEngine.h"

#include <boost/asio/io_context.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>

#include <QRegularExpression>

namespace tavrin {

namespace net = boost::asio;

namespace {

// Long prompts are quoted by their beginning only: the answer is a summary, not a copy.
QString quoted(const QString& text) {
    constexpr qsizetype limit = 160;
    const QString flat = text.simplified();
    return QLatin1Char('"') + (flat.size() > limit ? flat.left(limit) + QStringLiteral("…") : flat) +
           QLatin1Char('"');
}

// One generation: the delay, then every piece, each from a handler of its own on the loop, so
// that a cancel between two pieces is heard.
class EchoGeneration final : public GenerationHandle, public std::enable_shared_from_this<EchoGeneration> {
public:
    EchoGeneration(net::io_context& io, QStringList pieces, EngineUsage usage, std::shared_ptr<GenerationSink> sink)
        : m_io(io), m_timer(io), m_pieces(std::move(pieces)), m_usage(usage), m_sink(std::move(sink)) {}

    void start(std::chrono::milliseconds delay) {
        m_timer.expires_after(delay);
        m_timer.async_wait([self = shared_from_this()](boost::system::error_code ec) {
            if (!ec)
                self->next();
        });
    }

    void cancel() override {
        // On the loop, at once, so that no sink call follows; from elsewhere, through the loop,
        // where the sink and the timer are used.
        const auto stop = [self = shared_from_this()] {
            self->m_sink.reset();
            self->m_timer.cancel();
        };
        if (m_io.get_executor().running_in_this_thread())
            stop();
        else
            net::post(m_io, stop);
    }

private:
    void next() {
        if (!m_sink)
            return;
        if (m_sent == m_pieces.size()) {
            auto sink = std::move(m_sink);
            return sink->finished(m_usage);
        }
        const auto sink = m_sink; // a client found gone cancels this generation, which lets go of m_sink
        sink->piece(m_pieces.at(m_sent++));
        sink->flush();
        net::post(m_io, [self = shared_from_this()] { self->next(); });
    }

    net::io_context& m_io;
    net::steady_timer m_timer;
    QStringList m_pieces;
    qsizetype m_sent = 0;
    EngineUsage m_usage;
    std::shared_ptr<GenerationSink> m_sink;
};

// What the caller holds: its drop cancels.
class EchoHandle final : public GenerationHandle {
public:
    explicit EchoHandle(std::shared_ptr<EchoGeneration> generation) : m_generation(std::move(generation)) {}
    ~EchoHandle() override { m_generation->cancel(); }
    void cancel() override { m_generation->cancel(); }

private:
    std::shared_ptr<EchoGeneration> m_generation;
};

} // namespace

EchoEngine::EchoEngine(net::io_context& io, std::chrono::milliseconds delay, QString servedName)
    : m_io(io), m_delay(delay), m_servedName(servedName.isEmpty() ? QString::fromLatin1(id) : std::move(servedName)) {}

QString EchoEngine::modelId() const { return m_servedName; }

ClientEngineHealth EchoEngine::health() const {
    ClientEngineHealth health;
    health.kind = QStringLiteral("builtin");
    health.servedName = m_servedName;
    health.reachable = true;
    return health;
}

QStringList EchoEngine::answer(const GenerationRequest& request) {
    QStringList systems;
    const ChatTurn* lastUser = nullptr;
    for (const auto& turn : request.turns) {
        if (turn.role == QLatin1StringView("system"))
            systems << turn.content;
        else if (turn.role == QLatin1StringView("user"))
            lastUser = &turn;
    }
    QString answer = QStringLiteral("Echo engine (no model loaded). Received %1 message(s), %2 prompt token(s).")
                         .arg(request.turns.size())
                         .arg(countPromptTokens(request));
    if (!systems.isEmpty())
        answer += QStringLiteral(" System instruction: %1.").arg(quoted(systems.join(QLatin1Char('\n'))));
    answer += lastUser ? QStringLiteral(" Last user message: %1.").arg(quoted(lastUser->content))
                       : QStringLiteral(" No user message.");

    // Stream word by word, each piece carrying the space that follows it.
    static const QRegularExpression word(QStringLiteral("\\S+\\s*"));
    QStringList pieces;
    for (auto it = word.globalMatch(answer); it.hasNext();)
        pieces << it.next().captured();
    return pieces;
}

std::unique_ptr<GenerationHandle> EchoEngine::generate(GenerationRequest request, std::shared_ptr<GenerationSink> sink) {
    QStringList pieces = answer(request);
    const EngineUsage usage{countPromptTokens(request), qint64(pieces.size())};
    auto generation = std::make_shared<EchoGeneration>(m_io, std::move(pieces), usage, std::move(sink));
    // Started on the loop: its timer is the loop's, and this may run on a worker.
    net::post(m_io, [generation, delay = m_delay] { generation->start(delay); });
    return std::make_unique<EchoHandle>(std::move(generation));
}

} // namespace tavrin
