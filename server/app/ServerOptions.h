#pragma once

#include "base/ServerAddress.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <expected>
#include <optional>

namespace tavrin {

// The command line of tavrin-server, with the environment variables that tests and
// administrators may use instead of flags.
struct ServerOptions {
    enum class Action { serve, help, version, makeSampleBundle };

    Action action = Action::serve;
    QString stateDirectory;
    std::optional<QString> host;
    std::optional<int> port;
    int adminPort = ServerAddress::defaultPort; // always on the default host, whatever the saved bind
    std::optional<qint64> maxConcurrency;
    std::optional<qint64> maxQueueDepth;
    std::chrono::milliseconds generationDelay{0};
    std::optional<qint64> auditMaxBytes; // below the audit log's own cap of 2 GiB
    std::optional<QString> modelSource; // replaces the companion folders
    QString updateFeed;                 // empty: none
    std::optional<QString> updatePublicKey; // hex; only where the build accepts one
    // make-sample-bundle DIR [--version V] [--pipeline N]
    QString sampleFolder;
    QString sampleVersion = QStringLiteral("1.0.0");
    qint64 samplePipeline = 1;

    // Flags win over environment variables; `environment` is in the "NAME=value" form.
    // `acceptsUpdateKey`: only test builds take --update-public-key; a release build keeps the
    // key pinned at configure time and refuses the flag like any unknown one.
    static std::expected<ServerOptions, QString> parse(const QStringList& arguments, const QStringList& environment,
                                                       bool acceptsUpdateKey = false);
    static QString helpText();
    static QString defaultStateDirectory(const QStringList& environment);
};

} // namespace tavrin
