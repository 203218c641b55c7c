#pragma once

// The project's own tavrin-server, started for real as a child process: `libexec/tavrin-server
// serve --state-dir <temp> --port 0 --admin-port 0` from the build tree ($TAVRIN_BUILD_DIR), with
// an empty companion folder unless the test names one (--model-source or TAVRIN_MODEL_SOURCE). It
// finds both ports from the server's first two lines, waits for /healthz on the admin port, and
// stops the server with SIGTERM when it goes away; the child also dies with the test process, so
// nothing is left running. port() is the client surface, which also answers the admin API to
// loopback clients; client() calls the admin port, as the panel does.
//
// The state directory outlives restarts of one fixture, so a test can stop, kill or restart
// the server and look at what it kept.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <chrono>
#include <expected>
#include <memory>
#include <optional>

namespace tavrin {
class DaemonClient;
}

namespace tavrin::test {

struct ReferenceServerOptions {
    ReferenceServerOptions(QStringList arguments = {}, QStringList environment = {}, std::optional<int> port = 0)
        : arguments(std::move(arguments)), environment(std::move(environment)), port(port) {}

    QStringList arguments; // appended after "serve --state-dir DIR", e.g. {"--max-concurrency", "1"}
    QStringList environment; // "NAME=value" entries added to the child's environment
    std::optional<int> port; // 0: any free port; nullopt: the stored network preferences
    int adminPort = 0;       // the panel's fixed 127.0.0.1 port; 0: a free one, kept across restarts
    QString executable;      // empty: the bundle's libexec/tavrin-server
};

class ReferenceServer {
public:
    // Writes `adminSecret` to admin.secret before the first start (nullopt: no file).
    explicit ReferenceServer(std::optional<QString> adminSecret = defaultAdminSecret());
    ~ReferenceServer();

    static QString defaultAdminSecret() { return QStringLiteral("reference-server-test-password"); }
    static QString executablePath();
    // The server built for tests, which also takes --update-public-key (tests/bin of the build).
    static QString testKeysExecutablePath();

    // Starts the server and waits until /healthz answers; the error carries its stderr.
    std::expected<void, QString> start(ReferenceServerOptions options = {});
    // SIGTERM, then the exit code (SIGKILL and an error after `patience`).
    std::expected<int, QString> stop(std::chrono::milliseconds patience = std::chrono::seconds(10));
    void kill(); // SIGKILL, as a crash or a power cut would end it
    std::expected<void, QString> restart();

    bool isRunning() const;
    qint64 pid() const;
    quint16 port() const { return m_port; }
    quint16 adminPort() const { return m_adminPort; }
    QUrl baseUrl() const;
    QString stateDirectory() const;
    QString adminSecret() const { return m_adminSecret.value_or(QString()); }
    // Rewrites (or, with nullopt, deletes) admin.secret as the panel does: no restart.
    void writeAdminSecret(const std::optional<QString>& secret);
    QByteArray standardError();

    // A client for this server holding the current admin secret, with short timeouts.
    std::unique_ptr<DaemonClient> client() const;

private:
    std::expected<void, QString> waitUntilListening(std::chrono::milliseconds patience);
    bool healthy() const;

    QTemporaryDir m_root;
    std::optional<QString> m_adminSecret;
    ReferenceServerOptions m_options;
    std::unique_ptr<QProcess> m_process;
    QByteArray m_stderr;
    quint16 m_port = 0;
    quint16 m_adminPort = 0;
};

} // namespace tavrin::test
