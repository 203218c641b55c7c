#include "server/app/ServerOptions.h"

#include "base/StateFolder.h"
#include "server/stores/AuditLog.h"

#include <QDir>

namespace tavrin {

namespace {

std::optional<QString> envValue(const QStringList& environment, QLatin1StringView name) {
    const QString prefix = name + QLatin1Char('=');
    for (const auto& entry : environment)
        if (entry.startsWith(prefix))
            return entry.mid(prefix.size());
    return std::nullopt;
}

std::expected<qint64, QString> number(const QString& what, const QString& text, qint64 min, qint64 max) {
    bool ok = false;
    const qint64 n = text.toLongLong(&ok);
    if (!ok || n < min || n > max)
        return std::unexpected(QStringLiteral("%1 must be a whole number from %2 to %3, not \"%4\"").arg(what).arg(min).arg(max).arg(text));
    return n;
}

} // namespace

QString ServerOptions::defaultStateDirectory(const QStringList& environment) {
    return StateFolder::pathIn(environment);
}

QString ServerOptions::helpText() {
    return QStringLiteral(R"(Usage: tavrin-server serve [options]
       tavrin-server make-sample-bundle DIR [--version V] [--pipeline N]
       tavrin-server --help | --version

Runs the Tavrin reference server: the admin API the Tavrin Keldmarch panel drives (loopback
only, authorised by the password in <state dir>/admin.secret) and an OpenAI-compatible
inference surface for API keys, answered by a deterministic echo engine without model weights.

Options:
  --state-dir DIR            state directory (default: $TAVRIN_STATE_DIR, else
                             $XDG_DATA_HOME/Tavrin Server)
  --host ADDR                listen on ADDR for this run instead of the stored bind host
  --port N                   listen on port N for this run (0: any free port)
  --admin-port N             answer /healthz and the admin API on %1:N (default %2; 0: any
                             free port), whatever the bind host and port; on a bind that covers
                             %1:N one socket serves both
  --max-concurrency N        generations running at once (default: the hardware recommendation)
  --max-queue-depth N        generations waiting before 503 (default: the hardware recommendation)
  --generation-delay-ms N    make every generation take N ms more (for load tests)
  --audit-max-bytes N        keep the audit log under N bytes (default and most: 2 GiB); in audit
                             mode, requests that would not fit are refused
  --model-source DIR         look for the model bundle (model.safetensors, directly or under
                             ModelResources/) in DIR instead of /opt/tavrin-ai/resources and
                             $XDG_DATA_HOME/tavrin-ai/resources
  --update-feed URL          the update feed (an https URL); without one, no checks
  --help                     show this text
  --version                  show the server version

Environment (a flag wins over its variable):
  TAVRIN_SERVER_MAX_CONCURRENCY, TAVRIN_SERVER_MAX_QUEUE_DEPTH, TAVRIN_SERVER_GENERATION_DELAY_MS,
  TAVRIN_MODEL_SOURCE, TAVRIN_UPDATE_FEED, TAVRIN_ADMIN_PORT, TAVRIN_AUDIT_MAX_BYTES

make-sample-bundle writes a small valid model bundle (model.safetensors with its metadata) to
DIR, for trying the model store: a different --version gives a bundle with another digest.

Once listening, the server prints "listening on HOST:PORT" (the client surface), then
"admin API on %1:PORT", each on a line of its own, on standard output.
SIGTERM stops it: idle connections close at once, in-flight requests get a few seconds to
finish, then state is flushed.
)")
        .arg(ServerAddress::defaultHost)
        .arg(ServerAddress::defaultPort);
}

std::expected<ServerOptions, QString> ServerOptions::parse(const QStringList& arguments, const QStringList& environment,
                                                          bool acceptsUpdateKey) {
    ServerOptions options;
    options.stateDirectory = defaultStateDirectory(environment);
    bool sawCommand = false;

    const auto apply = [&](const QString& flag, const QString& value) -> std::expected<void, QString> {
        if (flag == QLatin1StringView("--state-dir")) {
            if (value.isEmpty())
                return std::unexpected(QStringLiteral("--state-dir needs a directory"));
            options.stateDirectory = value;
        } else if (flag == QLatin1StringView("--host")) {
            options.host = value;
        } else if (flag == QLatin1StringView("--model-source")) {
            if (value.isEmpty())
                return std::unexpected(QStringLiteral("--model-source needs a directory"));
            options.modelSource = value;
        } else if (flag == QLatin1StringView("--update-feed")) {
            options.updateFeed = value;
        } else if (flag == QLatin1StringView("--audit-max-bytes")) {
            auto n = number(flag, value, 0, AuditLogLimits{}.maxBytes);
            if (!n)
                return std::unexpected(n.error());
            options.auditMaxBytes = *n;
        } else if (flag == QLatin1StringView("--update-public-key")) {
            options.updatePublicKey = value;
        } else if (flag == QLatin1StringView("--version") || flag == QLatin1StringView("--pipeline")) {
            if (options.action != Action::makeSampleBundle)
                return std::unexpected(QStringLiteral("%1 belongs to make-sample-bundle").arg(flag));
            if (flag == QLatin1StringView("--version")) {
                if (value.isEmpty())
                    return std::unexpected(QStringLiteral("--version needs a version"));
                options.sampleVersion = value;
            } else {
                auto n = number(flag, value, 0, 1'000'000);
                if (!n)
                    return std::unexpected(n.error());
                options.samplePipeline = *n;
            }
        } else {
            const bool port = flag == QLatin1StringView("--port") || flag == QLatin1StringView("--admin-port");
            const bool delay = flag.endsWith(QLatin1StringView("delay-ms"));
            auto n = number(flag, value, port || delay ? 0 : 1, port ? 65535 : 1'000'000);
            if (!n)
                return std::unexpected(n.error());
            if (flag == QLatin1StringView("--admin-port"))
                options.adminPort = int(*n);
            else if (port)
                options.port = int(*n);
            else if (delay)
                options.generationDelay = std::chrono::milliseconds(*n);
            else if (flag.contains(QLatin1StringView("concurrency")))
                options.maxConcurrency = *n;
            else
                options.maxQueueDepth = *n;
        }
        return {};
    };

    static const QStringList withValue{QStringLiteral("--state-dir"), QStringLiteral("--host"), QStringLiteral("--port"),
                                       QStringLiteral("--admin-port"), QStringLiteral("--max-concurrency"), QStringLiteral("--max-queue-depth"),
                                       QStringLiteral("--generation-delay-ms"), QStringLiteral("--model-source"),
                                       QStringLiteral("--update-feed"), QStringLiteral("--audit-max-bytes")};
    const std::pair<const char*, const char*> fromEnvironment[] = {
        {"TAVRIN_SERVER_MAX_CONCURRENCY", "--max-concurrency"},
        {"TAVRIN_SERVER_MAX_QUEUE_DEPTH", "--max-queue-depth"},
        {"TAVRIN_SERVER_GENERATION_DELAY_MS", "--generation-delay-ms"},
        {modelSourceVariable, "--model-source"},
        {"TAVRIN_UPDATE_FEED", "--update-feed"},
        {"TAVRIN_ADMIN_PORT", "--admin-port"},
        {"TAVRIN_AUDIT_MAX_BYTES", "--audit-max-bytes"},
    };
    for (const auto& [variable, flag] : fromEnvironment)
        if (auto value = envValue(environment, QLatin1StringView(variable)); value && !value->isEmpty())
            if (auto applied = apply(QString::fromLatin1(flag), *value); !applied)
                return std::unexpected(QStringLiteral("%1: %2").arg(QLatin1StringView(variable), applied.error()));

    for (qsizetype i = 0; i < arguments.size(); ++i) {
        QString arg = arguments[i];
        QString value;
        bool hasValue = false;
        if (const qsizetype eq = arg.indexOf(QLatin1Char('=')); arg.startsWith(QLatin1StringView("--")) && eq > 0) {
            value = arg.mid(eq + 1);
            arg = arg.left(eq);
            hasValue = true;
        }
        if (arg == QLatin1StringView("--help") || arg == QLatin1StringView("-h")) {
            options.action = Action::help;
            return options;
        }
        if (arg == QLatin1StringView("--version") && options.action != Action::makeSampleBundle) {
            options.action = Action::version;
            return options;
        }
        const bool sampleFlag = options.action == Action::makeSampleBundle &&
                                (arg == QLatin1StringView("--version") || arg == QLatin1StringView("--pipeline"));
        const bool keyFlag = acceptsUpdateKey && arg == QLatin1StringView("--update-public-key");
        if (withValue.contains(arg) || sampleFlag || keyFlag) {
            if (!hasValue) {
                if (++i >= arguments.size())
                    return std::unexpected(QStringLiteral("%1 needs a value").arg(arg));
                value = arguments[i];
            }
            if (auto applied = apply(arg, value); !applied)
                return std::unexpected(applied.error());
        } else if (arg == QLatin1StringView("serve") && !sawCommand) {
            sawCommand = true;
        } else if (arg == QLatin1StringView("make-sample-bundle") && !sawCommand) {
            sawCommand = true;
            options.action = Action::makeSampleBundle;
        } else if (options.action == Action::makeSampleBundle && options.sampleFolder.isEmpty() &&
                   !arg.startsWith(QLatin1StringView("--"))) {
            options.sampleFolder = arg;
        } else {
            return std::unexpected(QStringLiteral("unknown argument \"%1\"").arg(arguments[i]));
        }
    }
    if (!sawCommand)
        return std::unexpected(QStringLiteral("no command given; run \"tavrin-server serve\""));
    if (options.action == Action::makeSampleBundle && options.sampleFolder.isEmpty())
        return std::unexpected(QStringLiteral("make-sample-bundle needs the folder to write the bundle to"));
    return options;
}

} // namespace tavrin
