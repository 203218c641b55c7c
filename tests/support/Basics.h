#pragma once

// What the tests of every layer share, QtCore and QtTest alone: a value a test cannot go on without,
// a file's bytes and permission bits, whether a process is gone, a program's run, and a standard
// reader in python3.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <expected>

#include <sys/stat.h>

// Fails the calling test (and returns from it) with the failure's own words unless `expected` holds a
// value. Any error with a message() will do, or a QString.
#define TAVRIN_REQUIRE(expected)                                                                                  \
    do {                                                                                                         \
        const auto& tavrinRequired = (expected);                                                                 \
        if (!tavrinRequired)                                                                                     \
            QFAIL(qPrintable(::tavrin::test::describe(tavrinRequired.error())));                                 \
    } while (false)

namespace tavrin::test {

inline QString describe(const QString& text) { return text; }
template <class Error> QString describe(const Error& error) { return error.message(); }

// Empty when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The number a line of /proc/PID/status gives for `field` ("Threads", or "VmRSS" in KiB); -1 when
// the process or the field is not there.
inline qint64 processStatusNumber(qint64 pid, QByteArrayView field) {
    for (const QByteArray& line : fileBytes(QStringLiteral("/proc/%1/status").arg(pid)).split('\n'))
        if (line.startsWith(field) && line.mid(field.size()).startsWith(':'))
            return line.mid(field.size() + 1).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Replaces the file, or makes it and its folders.
inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// Of the path itself, a link not followed; 0 when nothing is there.
inline mode_t modeOf(const QString& path) {
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

// Ended and reaped: not even a zombie is left.
inline bool processGone(qint64 pid) { return !QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)); }

// How a program ended and what it said: its exit code, or -1 when it crashed or did not end in time.
struct Ran {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

// Runs `program` with `input` on its standard input, in `environment` (empty: this process's).
inline Ran runProgram(const QString& program, const QStringList& arguments, const QByteArray& input = {},
                      const QProcessEnvironment& environment = {}) {
    QProcess process;
    if (!environment.isEmpty())
        process.setProcessEnvironment(environment);
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    const bool ended = process.waitForFinished(60'000) && process.exitStatus() == QProcess::NormalExit;
    return {ended ? process.exitCode() : -1, process.readAllStandardOutput(), process.readAllStandardError()};
}

// A python3 snippet run on `arguments` with `input` on its standard input: what it printed, or what it
// said when it failed.
inline std::expected<QByteArray, QByteArray> python(const char* script, const QStringList& arguments, const QByteArray& input = {}) {
    Ran ran = runProgram(QStandardPaths::findExecutable(QStringLiteral("python3")), QStringList{"-c", script} + arguments, input);
    if (ran.status != 0)
        return std::unexpected(ran.err);
    return ran.out;
}

} // namespace tavrin::test
