#include "control/SessionServer.h"

#include "base/PrivateFile.h"
#include "control/ChildProcess.h"
#include "control/OffThread.h"

#include <QFile>
#include <QProcessEnvironment>

#include <sys/stat.h>

namespace tavrin {

namespace {

// The product's stop deadline for a server that was asked to terminate.
constexpr std::chrono::milliseconds stopDeadline{5'000};
// After SIGKILL the kernel ends the process promptly; this only bounds a process stuck in the kernel.
constexpr std::chrono::milliseconds killGrace{2'000};

} // namespace

SessionServer::SessionServer(SessionServerPlaces places, QObject* parent)
    : QObject(parent), m_places(std::move(places)) {}

SessionServer::~SessionServer() = default;

QString SessionServer::recordPath() const {
    return m_places.stateDirectory + QStringLiteral("/session-server");
}

// The logs go to the state folder by default, and the record lives there: only the user may enter it.
bool SessionServer::makePrivateStateFolder() const {
    if (!makeDirectories(m_places.stateDirectory))
        return false;
    ::chmod(QFile::encodeName(m_places.stateDirectory).constData(), 0700);
    return true;
}

// Best effort: without its record the server runs all the same; only a later panel cannot take it over.
void SessionServer::record(const ChildProcess& child) const {
    if (makePrivateStateFolder())
        (void)writeFilePrivately(recordPath(), child.identity().text());
}

void SessionServer::forgetRecord(const ProcessIdentity& identity) const {
    QFile record(recordPath());
    if (record.open(QIODevice::ReadOnly) && ProcessIdentity::fromText(record.read(64)) == identity)
        record.remove();
}

void SessionServer::adoptRecorded() {
    QFile record(recordPath());
    if (!record.open(QIODevice::ReadOnly)) // no server left by an earlier panel: the common case
        return;
    const std::optional<ProcessIdentity> recorded = ProcessIdentity::fromText(record.read(64));
    ChildProcess* child =
        recorded ? ChildProcess::adopt(*recorded, m_places.program, m_places.stateDirectory) : nullptr;
    if (!child) { // it ended, or its id now belongs to another process
        record.remove();
        return;
    }
    track(child);
}

void SessionServer::track(ChildProcess* child) {
    // This object is held weakly (the connection dies with it); the process owns itself.
    connect(child, &ChildProcess::exited, this, [this, child] { childExited(child); });
    m_child = child;
}

void SessionServer::childExited(ChildProcess* child) {
    forgetRecord(child->identity());
    if (m_child != child) // a process no longer tracked changes nothing more
        return;
    m_child = nullptr;
    Q_EMIT exited();
}

bool SessionServer::running() {
    if (!m_child)
        adoptRecorded();
    return m_child && m_child->isRunning();
}

std::optional<qint32> SessionServer::pid() const {
    return m_child ? std::optional<qint32>(m_child->pid()) : std::nullopt;
}

std::optional<qint32> SessionServer::alreadyRunning() {
    if (!m_child)
        adoptRecorded();
    if (m_child && !m_child->isRunning()) {
        m_child = nullptr; // its exit report, still queued, is ignored once it is untracked
        Q_EMIT exited();
    }
    return pid();
}

std::expected<qint32, QString> SessionServer::launch(const EnvironmentEntries& environment) {
    makePrivateStateFolder();
    QProcessEnvironment whole = QProcessEnvironment::systemEnvironment();
    for (const auto& [name, value] : environment)
        whole.insert(name, value);
    const ChildLaunch launch{m_places.program, {QStringLiteral("serve")}, whole.toStringList(),
                             m_places.standardOutputLog, m_places.standardErrorLog};
    const auto started = ChildProcess::launch(launch);
    if (!started)
        return std::unexpected(started.error());
    ChildProcess* child = *started;
    track(child);
    record(*child);
    return child->pid();
}

QCoro::Task<void> SessionServer::stop() {
    QPointer self(this);
    QPointer<ChildProcess> child = m_child;
    const ProcessIdentity identity = child->identity();
    child->terminate();
    ChildProcess::Waiter waiter = child->waiter();
    co_await offThread([waiter]() mutable {
        if (!waiter.waitForExit(stopDeadline)) {
            waiter.kill();
            waiter.waitForExit(killGrace);
        }
        waiter.close();
        return true;
    });
    const bool gone = !child || !child->isRunning(); // reaps it now if the event loop has not yet
    if (!self)
        co_return;
    if (gone)
        forgetRecord(identity);
    if (m_child == child)
        m_child = nullptr;
}

} // namespace tavrin
