#include "server/ServerOptions.h"

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
    QString base = envValue(environment, QLatin1StringView("XDG_DATA_HOME")).value_or(QString());
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = envValue(environment, QLatin1StringView("HOME")).value_or(QDir::homePath()) + QStringLiteral("/.local/share");
    return base + QStringLiteral("/Tavrin Server");
}

QString ServerOptions::helpText() {
    return QStringLiteral(R"(Usage: tavrin-server serve [options]
       tavrin-server --help | --version

Runs the Tavrin reference server: the admin API the Tavrin Keldmarch panel drives (loopback
only, authorised by the password in <state dir>/admin.secret) and an OpenAI-compatible
inference surface for API keys, answered by a deterministic echo engine without model weights.

Options:
  --state-dir DIR            state directory (default: $XDG_DATA_HOME/Tavrin Server)
  --host ADDR                listen on ADDR for this run instead of the stored bind host
  --port N                   listen on port N for this run (0: any free port)
  --max-concurrency N        generations running at once (default: the hardware recommendation)
  --max-queue-depth N        generations waiting before 503 (default: the hardware recommendation)
  --generation-delay-ms N    make every generation take N ms more (for load tests)
  --help                     show this text
  --version                  show the server version

Environment (a flag wins over its variable):
  TAVRIN_SERVER_MAX_CONCURRENCY, TAVRIN_SERVER_MAX_QUEUE_DEPTH, TAVRIN_SERVER_GENERATION_DELAY_MS

Once listening, the server prints one line "listening on HOST:PORT" on standard output.
SIGTERM stops it: in-flight requests get a few seconds to finish, then state is flushed.
)");
}

std::expected<ServerOptions, QString> ServerOptions::parse(const QStringList& arguments, const QStringList& environment) {
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
        } else {
            const bool port = flag == QLatin1StringView("--port");
            const bool delay = flag.endsWith(QLatin1StringView("delay-ms"));
            auto n = number(flag, value, port || delay ? 0 : 1, port ? 65535 : 1'000'000);
            if (!n)
                return std::unexpected(n.error());
            if (port)
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
                                       QStringLiteral("--max-concurrency"), QStringLiteral("--max-queue-depth"),
                                       QStringLiteral("--generation-delay-ms")};
    const std::pair<const char*, const char*> fromEnvironment[] = {
        {"TAVRIN_SERVER_MAX_CONCURRENCY", "--max-concurrency"},
        {"TAVRIN_SERVER_MAX_QUEUE_DEPTH", "--max-queue-depth"},
        {"TAVRIN_SERVER_GENERATION_DELAY_MS", "--generation-delay-ms"},
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
        if (arg == QLatin1StringView("--version")) {
            options.action = Action::version;
            return options;
        }
        if (withValue.contains(arg)) {
            if (!hasValue) {
                if (++i >= arguments.size())
                    return std::unexpected(QStringLiteral("%1 needs a value").arg(arg));
                value = arguments[i];
            }
            if (auto applied = apply(arg, value); !applied)
                return std::unexpected(applied.error());
        } else if (arg == QLatin1StringView("serve") && !sawCommand) {
            sawCommand = true;
        } else {
            return std::unexpected(QStringLiteral("unknown argument \"%1\"").arg(arguments[i]));
        }
    }
    if (!sawCommand)
        return std::unexpected(QStringLiteral("no command given; run \"tavrin-server serve\""));
    return options;
}

} // namespace tavrin
