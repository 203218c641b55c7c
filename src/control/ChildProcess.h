#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <expected>
#include <optional>

#include <sys/types.h>

class QSocketNotifier;

namespace tavrin {

struct ChildLaunch {
    QString program;
    QStringList arguments;   // after the program name
    QStringList environment; // "NAME=value", the whole environment
    QString standardOutputLog;
    QString standardErrorLog;
};

// What tells a process from any later one that gets its id: the id and the kernel's start time
// (clock ticks after boot, from /proc/<pid>/stat).
struct ProcessIdentity {
    pid_t pid = 0;
    quint64 startTime = 0;
    bool operator==(const ProcessIdentity&) const = default;

    // The process that has `pid` now; none when there is none.
    static std::optional<ProcessIdentity> of(pid_t pid);
    // "<pid> <start time>" and a line end, as a record keeps it.
    QByteArray text() const;
    static std::optional<ProcessIdentity> fromText(const QByteArray& text);
};

// One started server process, watched through a pidfd so that signals can never reach a recycled
// process id and so that its exit is noticed on the GUI thread's event loop without a SIGCHLD
// handler. It reaps its own process the moment it exits (no zombie), emits exited(), and then
// deletes itself; the application holds it, so a process whose controller is gone is still reaped.
//
// The process lives on its own: in a session of its own (a terminal's hangup or Ctrl-C that ends
// the panel does not reach it) and with no tie to the panel's life, so that clients mid-request are
// not cut off when the panel quits. A later panel takes it over through adopt().
class ChildProcess : public QObject {
    Q_OBJECT

public:
    // The error is the system's reason, e.g. "Permission denied".
    static std::expected<ChildProcess*, QString> launch(const ChildLaunch& launch);
    // The server an earlier panel started and left running, while `identity` still names it: a
    // process of this user, running `program` (links resolved; or its file since replaced), serving
    // `stateFolder`, started at the recorded time. Null otherwise. When this panel is not its parent
    // it is not reaped here, only watched.
    static ChildProcess* adopt(const ProcessIdentity& identity, const QString& program, const QString& stateFolder);

    ~ChildProcess() override;

    pid_t pid() const { return m_identity.pid; }
    const ProcessIdentity& identity() const { return m_identity; }
    // Notices an exit that the event loop has not reported yet.
    bool isRunning();

    void terminate(); // SIGTERM
    void kill();      // SIGKILL

    // Blocking, for a worker thread: waits until the process has exited or `timeout` passed.
    // Works on its own duplicate of the pidfd, so the GUI thread may reap meanwhile.
    struct Waiter {
        int pidfd = -1;
        bool waitForExit(std::chrono::milliseconds timeout) const;
        void kill() const;
        void close();
    };
    Waiter waiter() const;

Q_SIGNALS:
    void exited();

private:
    ChildProcess(ProcessIdentity identity, int pidfd);
    bool reapIfExited();

    ProcessIdentity m_identity;
    int m_pidfd;
    bool m_running = true;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tavrin
