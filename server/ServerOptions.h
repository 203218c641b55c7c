#pragma once

#include <QString>
#include <QStringList>

#include <chrono>
#include <expected>
#include <optional>

namespace tavrin {

// The command line of tavrin-server, with the environment variables that tests and
// administrators may use instead of flags.
struct ServerOptions {
    enum class Action { serve, help, version };

    Action action = Action::serve;
    QString stateDirectory;
    std::optional<QString> host;
    std::optional<int> port;
    std::optional<qint64> maxConcurrency;
    std::optional<qint64> maxQueueDepth;
    std::chrono::milliseconds generationDelay{0};

    // Flags win over environment variables; `environment` is in the "NAME=value" form.
    static std::expected<ServerOptions, QString> parse(const QStringList& arguments, const QStringList& environment);
    static QString helpText();
    static QString defaultStateDirectory(const QStringList& environment);
};

} // namespace tavrin
