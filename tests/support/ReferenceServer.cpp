#include "support/ReferenceServer.h"

#include "base/PrivateFile.h"
#include "protocol/DaemonClient.h"
#include "support/HttpProbe.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcessEnvironment>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <sys/prctl.h>

namespace tavrin::test {

namespace {

QString inBuildTree(const char* relative) {
    const QString build = qEnvironmentVariable("TAVRIN_BUILD_DIR");
    return (build.isEmpty() ? QDir::currentPath() : build) + QLatin1String(relative);
}

} // namespace

ReferenceServer::ReferenceServer(std::optional<QString> adminSecret) : m_adminSecret(std::move(adminSecret)) {
    QDir().mkpath(stateDirectory());
    QFile::setPermissions(stateDirectory(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    writeAdminSecret(m_adminSecret);
}

ReferenceServer::~ReferenceServer() {
    if (isRunning())
        (void)stop(std::chrono::seconds(5));
}

QString ReferenceServer::executablePath() { return inBuildTree("/libexec/tavrin-server"); }

QString ReferenceServer::testKeysExecutablePath() { return inBuildTree("/tests/bin/tavrin-server-testkeys"); }

QString ReferenceServer::stateDirectory() const { return m_root.path() + QStringLiteral("/Tavrin Server"); }

QUrl ReferenceServer::baseUrl() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_adminPort)); }

bool ReferenceServer::isRunning() const { return m_process && m_process->state() != QProcess::NotRunning; }

qint64 ReferenceServer::pid() const { return m_process ? m_process->processId() : 0; }

void ReferenceServer::writeAdminSecret(const std::optional<QString>& secret) {
    m_adminSecret = secret;
    const QString path = stateDirectory() + QStringLiteral("/admin.secret");
    if (secret) // renamed over, as the panel writes it, so the server never reads half a file
        (void)writeFilePrivately(path, secret->toUtf8());
    else
        QFile::remove(path);
}

QByteArray ReferenceServer::standardError() {
    if (m_process) {
        // What the server has written so far, even where no event loop ran since (a test that waits
        // on blocking sockets): QProcess only takes from the pipe when asked to wait for it.
        m_process->setReadChannel(QProcess::StandardError);
        while (m_process->waitForReadyRead(0)) {
        }
        m_process->setReadChannel(QProcess::StandardOutput);
        m_stderr += m_process->readAllStandardError();
    }
    return m_stderr;
}

std::expected<void, QString> ReferenceServer::start(ReferenceServerOptions options) {
    if (isRunning())
        return std::unexpected(QStringLiteral("the reference server is already running"));
    m_options = std::move(options);
    const QString executable = m_options.executable.isEmpty() ? executablePath() : m_options.executable;
    if (!QFile::exists(executable))
        return std::unexpected(QStringLiteral("no server at %1 (is TAVRIN_BUILD_DIR set?)").arg(executable));
    m_stderr.clear();
    m_port = 0;
    m_process = std::make_unique<QProcess>();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const auto& entry : m_options.environment)
        environment.insert(entry.section(QLatin1Char('='), 0, 0), entry.section(QLatin1Char('='), 1));
    m_process->setProcessEnvironment(environment);
    // Should the test process die without tearing down, the server goes with it.
    m_process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    QStringList arguments{QStringLiteral("serve"), QStringLiteral("--state-dir"), stateDirectory()};
    if (m_options.port)
        arguments << QStringLiteral("--port") << QString::number(*m_options.port);
    // Like the panel's, the admin port stays the same across restarts of one fixture.
    arguments << QStringLiteral("--admin-port") << QString::number(m_options.adminPort ? m_options.adminPort : m_adminPort);
    // Tests never pick up a companion bundle installed on the machine that runs them: unless a
    // test names its own, the server looks in an empty folder of the fixture.
    const bool namesModelSource =
        m_options.arguments.contains(QStringLiteral("--model-source")) ||
        std::any_of(m_options.environment.begin(), m_options.environment.end(),
                    [](const QString& e) { return e.startsWith(QLatin1StringView("TAVRIN_MODEL_SOURCE=")); });
    if (!namesModelSource)
        arguments << QStringLiteral("--model-source") << m_root.path() + QStringLiteral("/no-companion");
    arguments << m_options.arguments;
    m_process->start(executable, arguments);
    if (!m_process->waitForStarted(5000))
        return std::unexpected(QStringLiteral("cannot start %1: %2").arg(executable, m_process->errorString()));
    return waitUntilListening(std::chrono::seconds(15));
}

std::expected<void, QString> ReferenceServer::waitUntilListening(std::chrono::milliseconds patience) {
    const QDeadlineTimer deadline(patience);
    QByteArray out;
    while (out.count('\n') < 2) {
        if (m_process->state() == QProcess::NotRunning || deadline.hasExpired()) {
            m_process->waitForFinished(1000);
            return std::unexpected(QStringLiteral("the server did not start (exit code %1): %2")
                                       .arg(m_process->exitCode())
                                       .arg(QString::fromUtf8(standardError()).trimmed()));
        }
        m_process->waitForReadyRead(100);
        out += m_process->readAllStandardOutput();
    }
    const QList<QByteArray> lines = out.split('\n');
    const auto portOf = [](const QByteArray& line) { return quint16(line.mid(line.lastIndexOf(':') + 1).trimmed().toUInt()); };
    if (!lines[0].startsWith("listening on ") || !lines[1].startsWith("admin API on 127.0.0.1:"))
        return std::unexpected(QStringLiteral("unexpected first lines: %1").arg(QString::fromUtf8(out.trimmed())));
    m_port = portOf(lines[0]);
    m_adminPort = portOf(lines[1]);
    while (!healthy()) {
        if (deadline.hasExpired())
            return std::unexpected(QStringLiteral("the server never answered /healthz on port %1").arg(m_adminPort));
        QThread::msleep(20);
    }
    return {};
}

bool ReferenceServer::healthy() const {
    HttpCall call{"GET", "/healthz"};
    call.patienceMs = 2000;
    const auto answer = exchange(m_adminPort, call);
    return answer && answer->status == 200;
}

std::expected<int, QString> ReferenceServer::stop(std::chrono::milliseconds patience) {
    if (!m_process)
        return std::unexpected(QStringLiteral("the reference server was never started"));
    if (m_process->state() != QProcess::NotRunning) {
        m_process->terminate();
        if (!m_process->waitForFinished(int(patience.count()))) {
            m_process->kill();
            m_process->waitForFinished(5000);
            return std::unexpected(QStringLiteral("the server ignored SIGTERM for %1 ms").arg(patience.count()));
        }
    }
    standardError();
    if (m_process->exitStatus() != QProcess::NormalExit)
        return std::unexpected(QStringLiteral("the server crashed: %1").arg(QString::fromUtf8(m_stderr)));
    return m_process->exitCode();
}

void ReferenceServer::kill() {
    if (!isRunning())
        return;
    m_process->kill();
    m_process->waitForFinished(5000);
    standardError();
}

std::expected<void, QString> ReferenceServer::restart() {
    if (const auto stopped = isRunning() ? stop() : std::expected<int, QString>(0); !stopped)
        return std::unexpected(stopped.error());
    return start(m_options);
}

std::unique_ptr<DaemonClient> ReferenceServer::client() const {
    DaemonClientConfiguration patient;
    patient.requestTimeout = patient.idleTimeout = patient.resourceTimeout = std::chrono::seconds(10);
    patient.healthTimeout = std::chrono::seconds(3);
    return std::make_unique<DaemonClient>(baseUrl(), m_adminSecret, patient);
}

} // namespace tavrin::test
