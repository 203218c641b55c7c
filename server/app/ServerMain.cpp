// tavrin-server: the reference server the Tavrin Keldmarch panel administers.

#include "base/ServerAddress.h"
#include "protocol/HardwareProbe.h"
#include "server/app/ServerOptions.h"
#include "server/engines/EchoEngine.h"
#include "server/engines/OpenAIEngine.h"
#include "server/http/HttpServer.h"
#include "server/runtime/ServerContext.h"
#include "server/support/IsoTime.h"
#include "server/support/ServerLog.h"

#include <QProcessEnvironment>

#include <boost/asio/io_context.hpp>

#include <sodium.h>

#include <atomic>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <malloc.h>
#include <mutex>
#include <pthread.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using namespace tavrin;

// The update key is pinned when the build is configured (TAVRIN_UPDATE_PUBLIC_KEY). Only the
// test build of the server lets its command line name another, so that tests can sign with a
// key pair made for the run; nothing a running server receives can change the key.
#ifndef TAVRIN_UPDATE_PUBLIC_KEY
#define TAVRIN_UPDATE_PUBLIC_KEY ""
#endif
#ifndef TAVRIN_ACCEPTS_TEST_UPDATE_KEY
#define TAVRIN_ACCEPTS_TEST_UPDATE_KEY 0
#endif

namespace {

// In-flight requests get this long after SIGTERM before the process ends regardless.
constexpr auto shutdownGrace = std::chrono::seconds(4);
constexpr auto usageFlushInterval = std::chrono::seconds(1);

int fail(const QString& message, int code = 1) {
    std::fprintf(stderr, "tavrin-server: %s\n", qPrintable(message));
    return code;
}

// Set once the server has stopped serving; wakes the flusher and the shutdown watchdog.
struct Stopped {
    std::mutex mutex;
    std::condition_variable changed;
    bool value = false;

    void set() {
        {
            std::lock_guard lock(mutex);
            value = true;
        }
        changed.notify_all();
    }
    // True when stopped within `timeout`.
    bool waitFor(std::chrono::milliseconds timeout) {
        std::unique_lock lock(mutex);
        return changed.wait_for(lock, timeout, [&] { return value; });
    }
};

void report(const std::expected<void, QString>& outcome) {
    if (!outcome)
        logLine(outcome.error());
}

// Usage counters and audit lines change with every request; they reach the disk here.
void flush(ServerContext& context) {
    report(context.keys->flush());
    // The audit log tells of a failed sync itself, once as the fault begins rather than every second.
    (void)context.audit->sync();
}

// Every open connection holds a descriptor, and a desktop session's soft limit (1024) is far
// below what idle and slow clients may hold open at once. Answers the descriptors to plan for.
std::size_t raiseDescriptorLimit() {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0)
        return 1024;
    if (limit.rlim_cur < limit.rlim_max) {
        rlimit raised = limit;
        raised.rlim_cur = limit.rlim_max;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0)
            limit = raised;
    }
    return limit.rlim_cur == RLIM_INFINITY ? std::size_t(1) << 20 : std::size_t(limit.rlim_cur);
}

// The built-in engine standing in for a saved engine that could not be made: it serves as itself,
// and its readings say why the saved one does not, so that the panel and tavrinctl show it.
class StandInEngine final : public InferenceEngine {
public:
    StandInEngine(std::shared_ptr<InferenceEngine> engine, QString why) : m_engine(std::move(engine)), m_why(std::move(why)) {}

    QString modelId() const override { return m_engine->modelId(); }
    ClientEngineHealth health() const override {
        ClientEngineHealth health = m_engine->health();
        health.lastError = m_why;
        return health;
    }
    std::unique_ptr<GenerationHandle> generate(GenerationRequest request, std::shared_ptr<GenerationSink> sink) override {
        return m_engine->generate(std::move(request), std::move(sink));
    }
    void retire() override { m_engine->retire(); }

private:
    std::shared_ptr<InferenceEngine> m_engine;
    QString m_why;
};

// The engine saved last. One that can no longer be made (its key file changed hands, say) does not
// keep the server from starting: the built-in engine serves, under its own name, so that clients
// asking for the saved engine's model are told it is not served rather than answered by another.
void startEngine(ServerContext& context) {
    auto engine = makeEngineFor(context, context.settings->engine());
    if (!engine) {
        const QString why = QStringLiteral("The saved engine cannot be used, so the built-in echo engine serves until "
                                           "the engine is set again: %1")
                                .arg(engine.error());
        logLine(why);
        auto builtin = context.makeEngine(ServerSettings::defaultEngine(), std::nullopt);
        engine = std::make_shared<StandInEngine>(std::move(*builtin), why);
    }
    context.engineSlot.replace(std::move(*engine));
}

void pruneAudit(ServerContext& context) {
    context.audit->prune(context.settings->logging().retentionDays, QDateTime::currentDateTimeUtc());
}

} // namespace

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const QStringList environment = QProcessEnvironment::systemEnvironment().toStringList();
    const auto options = ServerOptions::parse(arguments, environment, TAVRIN_ACCEPTS_TEST_UPDATE_KEY);
    if (!options)
        return fail(options.error() + QStringLiteral("\nTry \"tavrin-server --help\"."), 64);
    if (options->action == ServerOptions::Action::help) {
        std::fputs(qPrintable(ServerOptions::helpText()), stdout);
        return 0;
    }
    if (options->action == ServerOptions::Action::version) {
        std::printf("tavrin-server %s\n", qPrintable(serverVersion()));
        return 0;
    }
    if (options->action == ServerOptions::Action::makeSampleBundle) {
        if (auto written = writeSampleBundle(options->sampleFolder, options->sampleVersion, options->samplePipeline); !written)
            return fail(written.error());
        std::printf("wrote %s/model.safetensors (version %s, pipeline %lld)\n", qPrintable(options->sampleFolder),
                    qPrintable(options->sampleVersion), static_cast<long long>(options->samplePipeline));
        return 0;
    }
    QByteArray updateKey;
    if (const QString hex = options->updatePublicKey.value_or(QStringLiteral(TAVRIN_UPDATE_PUBLIC_KEY)); !hex.isEmpty()) {
        const auto key = Updater::parsePublicKey(hex);
        if (!key)
            return fail(QStringLiteral("the update public key must be 64 hexadecimal digits"), 64);
        updateKey = *key;
    }

    // Signals are taken by one thread with sigwait, so they are blocked before any thread exists.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGTERM);
    sigaddset(&stopSignals, SIGINT);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN); // a client that hangs up mid-answer must not end the server
    ::umask(077);
    // Request bodies of up to a megabyte come and go. glibc raises its threshold for mapping a
    // block of its own to the size of the largest block freed, after which such bodies come from
    // the heap, and a burst of them leaves it grown for good. A fixed threshold keeps them mapped,
    // so that their memory goes back to the system as each one is freed.
    ::mallopt(M_MMAP_THRESHOLD, 128 * 1024);
    if (sodium_init() < 0)
        return fail(QStringLiteral("cannot initialise libsodium"));

    auto store = StateStore::open(options->stateDirectory);
    if (!store)
        return fail(store.error());
    auto keys = KeyStore::open(*store);
    if (!keys)
        return fail(keys.error());
    auto settings = ServerSettings::open(*store);
    if (!settings)
        return fail(settings.error());
    const QStringList modelFolders =
        options->modelSource ? QStringList{*options->modelSource} : companionResourceFolders(environment);
    auto models = ModelStore::open(*store, modelFolders);
    if (!models)
        return fail(models.error());
    if (const auto problem = (*models)->sourceProblem())
        logLine(*problem);
    auto updater = Updater::open(*store, options->updateFeed, updateKey, serverVersion());
    if (!updater)
        return fail(updater.error());

    ClientNetworkPreferences network = (*settings)->network();
    if (options->host)
        network.bindHost = *options->host;
    if (auto valid = NetworkPolicy::validate(network); !valid)
        return fail(QStringLiteral("network preferences: %1").arg(valid.error()));
    if (options->port)
        network.bindPort = *options->port;

    const ClientHardwareReport hardware = probeLocalHardware();
    const qint64 maxConcurrency = options->maxConcurrency.value_or(hardware.recommendedConcurrency);
    const qint64 maxQueueDepth = options->maxQueueDepth.value_or(hardware.recommendedMaxQueueDepth);

    AuditLogLimits auditLimits;
    if (options->auditMaxBytes)
        auditLimits.maxBytes = *options->auditMaxBytes;

    // Declared before the context, so that the engines it holds go before the loop they run on.
    boost::asio::io_context io{1};
    ServerContext context{
        .store = *store,
        .keys = std::move(*keys),
        .settings = std::move(*settings),
        .adminSecret = AdminSecret(store->directory()),
        .network = network,
        .policy = NetworkPolicy(network),
        .hardware = hardware,
        .admission = std::make_unique<AdmissionControl>(maxConcurrency, maxQueueDepth),
        .engineSlot = {},
        .makeEngine = {},
        .audit = std::make_unique<AuditLog>(store->pathOf(QStringLiteral("audit")), auditLimits),
        .models = std::move(*models),
        .updater = std::move(*updater),
        .startedAt = isoUtcNow(),
        .startedClock = std::chrono::steady_clock::now(),
        .pid = qint64(::getpid()),
    };

    // The one loop of the server's I/O: every connection, and every engine's requests upstream.
    context.makeEngine = [&io, delay = options->generationDelay, maxConcurrency](const ClientEngineSettings& settings,
                                                                 std::optional<std::string> apiKey)
        -> std::expected<std::shared_ptr<InferenceEngine>, QString> {
        if (settings.kind == QLatin1StringView("builtin"))
            return std::make_shared<EchoEngine>(io, delay, settings.servedName.value_or(QString()));
        if (settings.kind == QLatin1StringView("openai"))
            return OpenAIEngine::make(io, settings, std::move(apiKey), std::size_t(maxConcurrency));
        return std::unexpected(QStringLiteral("unknown engine kind \"%1\"").arg(settings.kind));
    };
    startEngine(context);

    HttpServer::Limits limits;
    // Half the descriptors for each class of peer, less a reserve for state files and logs.
    const std::size_t descriptors = raiseDescriptorLimit();
    limits.connectionsPerPeerClass = descriptors > 384 ? (descriptors - 256) / 2 : 64;
    HttpServer http(context, limits, io);
    if (auto bound = http.bind(network.bindHost, int(network.bindPort), options->adminPort); !bound)
        return fail(bound.error());
    context.network.bindPort = http.port();
    std::printf("listening on %s:%d\nadmin API on %s:%d\n", qPrintable(network.bindHost), http.port(),
                ServerAddress::defaultHost.data(), http.adminPort());
    std::fflush(stdout);

    Stopped stopped;
    std::atomic<bool> signalled = false;
    pruneAudit(context);
    std::thread flusher([&] {
        for (int tick = 1; !stopped.waitFor(usageFlushInterval); ++tick) {
            flush(context);
            if (tick % 3600 == 0)
                pruneAudit(context);
        }
    });
    std::thread watcher([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        if (stopped.waitFor(std::chrono::milliseconds(0)))
            return; // woken by main after the server ended on its own
        signalled = true;
        http.stop();
        if (!stopped.waitFor(shutdownGrace)) {
            // A request is still running: keep what has been counted and leave without it.
            flush(context);
            std::fflush(nullptr);
            ::_exit(0);
        }
    });

    const bool served = http.serve();
    stopped.set();
    if (!signalled)
        pthread_kill(watcher.native_handle(), SIGTERM);
    watcher.join();
    flusher.join();
    flush(context);
    if (!served && !signalled)
        return fail(QStringLiteral("the server stopped unexpectedly"));
    return 0;
}
