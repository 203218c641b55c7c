#include "control/ChildProcess.h"

#include "base/StateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cerrno>
#include <climits>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

// glibc 2.36 declares these without C linkage for C++.
extern "C" {
#include <sys/pidfd.h>
}

namespace tavrin {

namespace {

constexpr idtype_t waitOnPidfd = idtype_t(3); // P_PIDFD, not yet in glibc 2.36's headers

QString reason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Appends to a log only when it is a regular file of the user's: never through a planted symbolic
// link, never into someone else's file, and never blocking on a FIFO or a device put in its place
// (opening a FIFO for writing waits for a reader, for ever). -1 when it cannot be used.
int openLog(const QString& path) {
    if (path.isEmpty())
        return -1;
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::getuid()) {
        ::close(fd);
        return -1;
    }
    // The server's own writes to its log may block as writes to any file do.
    ::fcntl(fd, F_SETFL, O_APPEND);
    return fd;
}

// The whole of a small file of /proc (their size reads as 0); empty when it cannot be read.
QByteArray readProcFile(const QByteArray& path) {
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return {};
    QByteArray content;
    char chunk[1024];
    for (;;) {
        const ssize_t n = ::read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        content.append(chunk, n);
    }
    ::close(fd);
    return content;
}

QByteArray procPath(pid_t pid, const char* entry) {
    return "/proc/" + QByteArray::number(pid) + entry;
}

// Field 22 of /proc/<pid>/stat. The command name (field 2) may hold spaces and parentheses, so the
// fields are counted from the last ')'.
std::optional<quint64> startTimeOf(pid_t pid) {
    const QByteArray stat = readProcFile(procPath(pid, "/stat"));
    const qsizetype nameEnd = stat.lastIndexOf(')');
    if (nameEnd < 0)
        return std::nullopt;
    const QList<QByteArray> fields = stat.mid(nameEnd + 1).simplified().split(' ');
    bool ok = false;
    const quint64 ticks = fields.value(22 - 3).toULongLong(&ok);
    return ok ? std::optional<quint64>(ticks) : std::nullopt;
}

// Whether the process was started with `stateFolder` as its state folder, as every server the
// controller starts is. Another server of the user's, serving another folder, is not this panel's to
// stop.
bool servesStateFolder(pid_t pid, const QString& stateFolder) {
    const QByteArray prefix = QByteArray(StateFolder::variable) + '=';
    for (const QByteArray& entry : readProcFile(procPath(pid, "/environ")).split('\0'))
        if (entry.startsWith(prefix))
            return QDir::cleanPath(QFile::decodeName(entry.mid(prefix.size()))) == QDir::cleanPath(stateFolder);
    return false;
}

// A pidfd turns readable once its process has exited.
bool hasExited(int pidfd) {
    pollfd p{pidfd, POLLIN, 0};
    int rc;
    do
        rc = ::poll(&p, 1, 0);
    while (rc < 0 && errno == EINTR);
    return rc > 0;
}

bool writeAll(int fd, const void* data, size_t size) {
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t n = ::write(fd, p, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        size -= size_t(n);
    }
    return true;
}

} // namespace

std::optional<ProcessIdentity> ProcessIdentity::of(pid_t pid) {
    if (const std::optional<quint64> started = startTimeOf(pid))
        return ProcessIdentity{pid, *started};
    return std::nullopt;
}

QByteArray ProcessIdentity::text() const {
    return QByteArray::number(pid) + ' ' + QByteArray::number(startTime) + '\n';
}

std::optional<ProcessIdentity> ProcessIdentity::fromText(const QByteArray& text) {
    const QList<QByteArray> words = text.trimmed().split(' ');
    bool pidOk = false, timeOk = false;
    const int pid = words.value(0).toInt(&pidOk);
    const quint64 startTime = words.value(1).toULongLong(&timeOk);
    if (words.size() != 2 || !pidOk || !timeOk || pid <= 0)
        return std::nullopt;
    return ProcessIdentity{pid_t(pid), startTime};
}

std::expected<ChildProcess*, QString> ChildProcess::launch(const ChildLaunch& launch) {
    // Everything the child needs is prepared before fork: after it, only system calls.
    QByteArrayList argStorage{QFile::encodeName(launch.program)};
    for (const QString& a : launch.arguments)
        argStorage << a.toLocal8Bit();
    QByteArrayList envStorage;
    for (const QString& e : launch.environment)
        envStorage << e.toLocal8Bit();
    std::vector<char*> argv, envp;
    for (QByteArray& a : argStorage)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    for (QByteArray& e : envStorage)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    const int devNull = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int out = openLog(launch.standardOutputLog);
    const int err = openLog(launch.standardErrorLog);
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0) {
        const int error = errno;
        for (int fd : {devNull, out, err})
            if (fd >= 0)
                ::close(fd);
        return std::unexpected(reason(error));
    }

    const pid_t pid = ::fork();
    if (pid == 0) {
        // A session of its own: the panel's terminal, its hangup and its Ctrl-C are not the server's.
        ::setsid();
        sigset_t all;
        sigemptyset(&all);
        ::sigprocmask(SIG_SETMASK, &all, nullptr);
        for (int sig = 1; sig < NSIG; ++sig)
            if (sig != SIGKILL && sig != SIGSTOP)
                ::signal(sig, SIG_DFL);
        if (devNull >= 0)
            ::dup2(devNull, STDIN_FILENO);
        // A log that cannot be opened falls back to the panel's own standard error. Should that be a
        // pipe that ends with the panel, the server's writes fail quietly: it ignores SIGPIPE.
        ::dup2(out >= 0 ? out : STDERR_FILENO, STDOUT_FILENO);
        if (err >= 0)
            ::dup2(err, STDERR_FILENO);
        // The server gets none of the panel's other descriptors.
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        ::execve(argv[0], argv.data(), envp.data());
        const int error = errno;
        writeAll(report[1], &error, sizeof error);
        ::_exit(127);
    }
    const int forkError = errno;
    ::close(report[1]);
    for (int fd : {devNull, out, err})
        if (fd >= 0)
            ::close(fd);
    if (pid < 0) {
        ::close(report[0]);
        return std::unexpected(reason(forkError));
    }

    int execError = 0;
    ssize_t n;
    do
        n = ::read(report[0], &execError, sizeof execError);
    while (n < 0 && errno == EINTR);
    ::close(report[0]);
    if (n == sizeof execError) {
        ::waitpid(pid, nullptr, 0); // it has exited already
        return std::unexpected(reason(execError));
    }

    // Our unreaped child: its id cannot have been recycled yet, so this pidfd is the right process.
    const int pidfd = ::pidfd_open(pid, 0);
    if (pidfd < 0) {
        const int error = errno;
        ::kill(pid, SIGKILL);
        ::waitpid(pid, nullptr, 0);
        return std::unexpected(reason(error));
    }
    // Unreaped, so its /proc entry is there even if it has already exited.
    return new ChildProcess(ProcessIdentity::of(pid).value_or(ProcessIdentity{pid, 0}), pidfd);
}

ChildProcess* ChildProcess::adopt(const ProcessIdentity& identity, const QString& program, const QString& stateFolder) {
    const QByteArray executable = QFile::encodeName(QFileInfo(program).canonicalFilePath());
    if (identity.pid <= 0 || executable.isEmpty())
        return nullptr;
    const int pidfd = ::pidfd_open(identity.pid, 0);
    if (pidfd < 0)
        return nullptr;
    struct stat owner {};
    char exe[PATH_MAX];
    const ssize_t exeLength = ::readlink(procPath(identity.pid, "/exe").constData(), exe, sizeof exe);
    // An upgrade replaces the program's file while the server runs on: the kernel then names the old
    // one with " (deleted)" after its path, and it is still the server this panel started.
    const QByteArray runs(exe, std::max<ssize_t>(exeLength, 0));
    const bool sameProgram = runs == executable || runs == executable + " (deleted)";
    const bool same = ::stat(procPath(identity.pid, "").constData(), &owner) == 0 &&
                      owner.st_uid == ::getuid() && sameProgram && servesStateFolder(identity.pid, stateFolder) &&
                      ProcessIdentity::of(identity.pid) == identity;
    // Alive after the checks, the process they read is the pidfd's: its id could not pass to another.
    if (!same || hasExited(pidfd)) {
        ::close(pidfd);
        return nullptr;
    }
    return new ChildProcess(identity, pidfd);
}

// Held by the application, not the controller: it outlives a controller to reap its process, and
// goes with the application when the process runs on after the program that started it has ended.
ChildProcess::ChildProcess(ProcessIdentity identity, int pidfd)
    : QObject(QCoreApplication::instance()), m_identity(identity), m_pidfd(pidfd) {
    m_notifier = new QSocketNotifier(m_pidfd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] { reapIfExited(); });
}

ChildProcess::~ChildProcess() {
    if (m_notifier)
        m_notifier->setEnabled(false);
    ::close(m_pidfd);
}

bool ChildProcess::reapIfExited() {
    if (!m_running)
        return true;
    siginfo_t info{};
    int rc;
    do
        rc = ::waitid(waitOnPidfd, id_t(m_pidfd), &info, WEXITED | WNOHANG);
    while (rc < 0 && errno == EINTR);
    if (rc == 0 && info.si_pid == 0)
        return false;
    // ECHILD: not this panel's child (an earlier panel started it), or reaped by someone else; the
    // pidfd says whether it is gone.
    if (rc < 0 && !hasExited(m_pidfd))
        return false;
    m_running = false;
    m_notifier->setEnabled(false);
    // Reported from the event loop, never from inside a caller's isRunning().
    QTimer::singleShot(0, this, [this] {
        Q_EMIT exited();
        deleteLater();
    });
    return true;
}

bool ChildProcess::isRunning() {
    return !reapIfExited();
}

void ChildProcess::terminate() {
    if (m_running)
        ::pidfd_send_signal(m_pidfd, SIGTERM, nullptr, 0);
}

void ChildProcess::kill() {
    if (m_running)
        ::pidfd_send_signal(m_pidfd, SIGKILL, nullptr, 0);
}

ChildProcess::Waiter ChildProcess::waiter() const {
    return Waiter{::fcntl(m_pidfd, F_DUPFD_CLOEXEC, 0)};
}

bool ChildProcess::Waiter::waitForExit(std::chrono::milliseconds timeout) const {
    if (pidfd < 0)
        return true;
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd p{pidfd, POLLIN, 0};
        const int rc = ::poll(&p, 1, int(std::max<std::chrono::milliseconds::rep>(left.count(), 0)));
        if (rc > 0)
            return true; // a pidfd turns readable when its process exits
        if (rc == 0 || errno != EINTR)
            return false;
    }
}

void ChildProcess::Waiter::kill() const {
    if (pidfd >= 0)
        ::pidfd_send_signal(pidfd, SIGKILL, nullptr, 0);
}

void ChildProcess::Waiter::close() {
    if (pidfd >= 0)
        ::close(pidfd);
    pidfd = -1;
}

} // namespace tavrin
