#include "server/stores/AuditLog.h"

#include "server/stores/KeyStore.h"
#include "server/support/IsoTime.h"
#include "server/support/ServerLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <limits>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace tavrin {

namespace {

QString dayFile(const QDate& day) { return day.toString(Qt::ISODate) + QStringLiteral(".jsonl"); }

} // namespace

AuditLog::~AuditLog() { closeFile(); }

void AuditLog::closeFile() {
    if (m_fd >= 0) {
        ::fdatasync(m_fd);
        ::close(m_fd);
        m_fd = -1;
    }
}

std::expected<void, QString> AuditLog::record(const ClientAuditLoggingSettings& settings, AuditRecord record,
                                              const QString& prompt, const QString& completion) {
    record.mode = settings.mode;
    switch (settings.mode) {
    case ClientAuditMode::none: return {};
    case ClientAuditMode::privacy: break;
    case ClientAuditMode::hash:
        record.promptSha256 = sha256Hex(prompt.toUtf8());
        record.completionSha256 = sha256Hex(completion.toUtf8());
        break;
    case ClientAuditMode::audit:
        record.prompt = prompt;
        record.completion = completion;
        break;
    }
    std::string line = encodeLine(record);
    line += '\n';

    std::lock_guard lock(m_mutex);
    if (!hasRoomFor(qint64(line.size()))) {
        ++m_dropped;
        return std::unexpected(*m_full);
    }
    if (auto opened = openToday(); !opened)
        return std::unexpected(failed(opened.error()));
    if (const ssize_t written = ::write(m_fd, line.data(), line.size()); written != ssize_t(line.size())) {
        const QString error = written < 0 ? QString::fromLocal8Bit(std::strerror(errno))
                                          : QStringLiteral("only part of the record was written");
        closeFile(); // admits() opens it afresh to see whether the fault has gone
        return std::unexpected(failed(QStringLiteral("cannot append to it: %1").arg(error)));
    }
    *m_bytes += qint64(line.size());
    if (*m_diskFree != std::numeric_limits<qint64>::max())
        *m_diskFree -= qint64(line.size());
    if (m_writeError) {
        logLine(QStringLiteral("the audit log is written again"));
        m_writeError.reset();
    }
    return {};
}

std::string AuditLog::encodeLine(const AuditRecord& r) {
    std::string out;
    out.reserve(256 + std::size_t(r.prompt ? r.prompt->size() : 0) + std::size_t(r.completion ? r.completion->size() : 0));
    JsonObjectWriter line(out);
    line.string("completion", r.completion);
    line.string("completionSha256", r.completionSha256);
    line.number("completionTokens", r.completionTokens);
    line.string("endpoint", r.endpoint);
    line.string("keyId", r.keyId);
    line.string("mode", r.mode ? std::optional(rawValue(*r.mode)) : std::nullopt);
    line.string("prompt", r.prompt);
    line.string("promptSha256", r.promptSha256);
    line.number("promptTokens", r.promptTokens);
    line.number("responseTimeMs", r.responseTimeMs);
    line.number("status", r.status);
    line.string("time", r.time);
    line.end();
    return out;
}

std::expected<void, QString> AuditLog::openToday() {
    const QDate today = QDateTime::currentDateTimeUtc().date();
    if (m_fd >= 0 && m_day == today)
        return {};
    closeFile();
    if (!QDir().mkpath(m_directory))
        return std::unexpected(QStringLiteral("cannot create its folder %1").arg(m_directory));
    QFile::setPermissions(m_directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArray path = QFile::encodeName(m_directory + QLatin1Char('/') + dayFile(today));
    m_fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (m_fd < 0)
        return std::unexpected(QStringLiteral("cannot open today's file: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    m_day = today;
    return {};
}

QString AuditLog::failed(QString error) {
    if (!m_writeError)
        logLine(QStringLiteral("the audit log cannot be written (%1): records are not kept until it can").arg(error));
    m_writeError = error;
    return error;
}

std::expected<void, QString> AuditLog::admits(qint64 bytes) {
    std::lock_guard lock(m_mutex);
    if (!hasRoomFor(bytes))
        return std::unexpected(*m_full);
    if (m_writeError) {
        // The fault may be mended (a folder given back, a file moved away): a fresh open says so
        // before a generation is spent; a disk that fails writes is only found out by the next one.
        closeFile();
        if (auto opened = openToday(); !opened)
            return std::unexpected(failed(opened.error()));
    }
    return {};
}

bool AuditLog::lastWriteFailed() {
    std::lock_guard lock(m_mutex);
    return m_writeError.has_value();
}

std::optional<QString> AuditLog::unavailable() {
    std::lock_guard lock(m_mutex);
    // Nothing opened yet: whether today's file opens is known now rather than at the first request.
    if (!m_writeError && m_fd < 0)
        if (auto opened = openToday(); !opened)
            failed(opened.error());
    if (m_writeError)
        return m_writeError;
    // A record is never empty: even before any request, a log with no room says so.
    if (hasRoomFor(m_full ? m_lastAsked : 1))
        return std::nullopt;
    return m_full;
}

bool AuditLog::hasRoomFor(qint64 bytes) {
    if (!m_bytes) {
        qint64 total = 0;
        for (const QString& path : dayFiles(m_directory))
            total += QFileInfo(path).size();
        m_bytes = total;
    }
    const auto now = std::chrono::steady_clock::now();
    if (!m_diskFree || m_full || now - m_diskRead >= std::chrono::seconds(1)) {
        // Asked of the file system on every record, this cost more than writing the record.
        struct statvfs disk {};
        const QByteArray folder = QFile::encodeName(QDir(m_directory).exists() ? m_directory : QFileInfo(m_directory).path());
        const bool diskKnown = ::statvfs(folder.constData(), &disk) == 0;
        m_diskFree = diskKnown ? qint64(disk.f_bavail) * qint64(disk.f_frsize) : std::numeric_limits<qint64>::max();
        m_diskRead = now;
    }
    const qint64 free = *m_diskFree;
    const bool underCap = *m_bytes + bytes <= m_limits.maxBytes;
    const bool room = underCap && free - bytes >= m_limits.freeDiskFloor;
    if (room) {
        m_full.reset();
        return true;
    }
    if (!m_full)
        logLine(QStringLiteral("the audit log is full (%1 bytes kept, at most %2; %3 bytes free on its disk, at least %4 kept "
                               "free): records are dropped until older ones leave it")
                    .arg(*m_bytes)
                    .arg(m_limits.maxBytes)
                    .arg(free)
                    .arg(m_limits.freeDiskFloor));
    m_full = underCap ? QStringLiteral("its disk is nearly full") : QStringLiteral("it is at its size limit");
    m_lastAsked = bytes;
    return false;
}

std::expected<void, QString> AuditLog::sync() {
    std::lock_guard lock(m_mutex);
    // Records that may not have reached the disk are records not kept: the log is at fault until
    // a write succeeds again.
    if (m_fd >= 0 && ::fdatasync(m_fd) != 0)
        return std::unexpected(failed(QStringLiteral("cannot sync it: %1").arg(QString::fromLocal8Bit(std::strerror(errno)))));
    return {};
}

QString AuditLog::cutoff(qint64 retentionDays, const QDateTime& now) {
    return isoUtc(now.toUTC().addDays(-retentionDays));
}

QStringList AuditLog::dayFiles(const QString& directory) {
    QStringList files;
    for (const QFileInfo& file : QDir(directory).entryInfoList({QStringLiteral("*.jsonl")}, QDir::Files, QDir::Name))
        if (QDate::fromString(file.completeBaseName(), Qt::ISODate).isValid())
            files << file.filePath();
    return files;
}

void AuditLog::prune(qint64 retentionDays, const QDateTime& now) {
    std::lock_guard lock(m_pruneMutex);
    // Whatever the pass removes is room again: the total is counted afresh when next needed.
    struct Recount {
        AuditLog& log;
        ~Recount() {
            std::lock_guard lock(log.m_mutex);
            log.m_bytes.reset();
            log.m_diskFree.reset();
        }
    } recount{*this};
    const QString oldestKept = cutoff(retentionDays, now);
    const QDate cutDay = QDateTime::fromString(oldestKept, Qt::ISODate).date();
    for (const QString& path : dayFiles(m_directory)) {
        const QDate day = QDate::fromString(QFileInfo(path).completeBaseName(), Qt::ISODate);
        if (day < cutDay) {
            QFile::remove(path);
            continue;
        }
        if (day > cutDay)
            break;
        // The cut-off's day keeps its younger lines. It is never today's file (retention is at
        // least a day), so no append races the rewrite; readers keep the inode they opened.
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            continue;
        QByteArray kept;
        bool dropped = false;
        while (!in.atEnd()) {
            const QByteArray line = in.readLine();
            auto record = decodeJson<AuditRecord>(QByteArrayView(line).trimmed());
            if (record && record->time >= oldestKept)
                kept += line;
            else
                dropped = true;
        }
        in.close();
        if (!dropped)
            continue;
        if (kept.isEmpty()) {
            QFile::remove(path);
            continue;
        }
        QFile out(path + QStringLiteral(".prune"));
        if (out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(kept) == kept.size() && out.flush()) {
            out.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            ::fsync(out.handle());
            out.close();
            ::rename(QFile::encodeName(out.fileName()).constData(), QFile::encodeName(path).constData());
        } else {
            out.remove();
        }
    }
}

std::vector<AuditRecord> AuditLog::readAll(const QString& directory) {
    std::vector<AuditRecord> records;
    for (const QString& path : dayFiles(directory)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (auto decoded = decodeJson<AuditRecord>(line))
                records.push_back(std::move(*decoded));
    }
    return records;
}

} // namespace tavrin
