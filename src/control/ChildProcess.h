#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <chrono>
#include <expected>

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

// One started server process, watched through a pidfd so that signals can never reach a recycled
// process id and so that its exit is noticed on the GUI thread's event loop without a SIGCHLD
// handler. It reaps its own process the moment it exits (no zombie), emits exited(), and then
// deletes itself; it owns itself, so a process whose controller is gone is still reaped.
class ChildProcess : public QObject {
    Q_OBJECT

public:
    // The error is the system's reason, e.g. "Permission denied".
    static std::expected<ChildProcess*, QString> launch(const ChildLaunch& launch);

    ~ChildProcess() override;

    pid_t pid() const { return m_pid; }
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
    ChildProcess(pid_t pid, int pidfd);
    bool reapIfExited();

    pid_t m_pid;
    int m_pidfd;
    bool m_running = true;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace tavrin
