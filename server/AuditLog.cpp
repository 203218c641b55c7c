#include "server/AuditLog.h"

#include "server/IsoTime.h"
#include "server/KeyStore.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavrin {

namespace {

QString dayFile(const QDate& day) { return day.toString(Qt::ISODate) + QStringLiteral(".jsonl"); }

} // namespace

AuditLog::~AuditLog() {
    if (m_fd >= 0) {
        ::fdatasync(m_fd);
        ::close(m_fd);
    }
}

std::expected<void, QString> AuditLog::record(const ClientAuditLoggingSettings& settings, AuditRecord record,
                                              const QString& prompt, const QString& completion) {
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
    const QByteArray line = encodeJson(record) + '\n';
    const QDate today = QDateTime::currentDateTimeUtc().date();

    std::lock_guard lock(m_mutex);
    if (m_fd < 0 || m_day != today) {
        if (m_fd >= 0) {
            ::fdatasync(m_fd);
            ::close(m_fd);
            m_fd = -1;
        }
        if (!QDir().mkpath(m_directory))
            return std::unexpected(QStringLiteral("cannot create %1").arg(m_directory));
        QFile::setPermissions(m_directory, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QByteArray path = QFile::encodeName(m_directory + QLatin1Char('/') + dayFile(today));
        m_fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
        if (m_fd < 0)
            return std::unexpected(QStringLiteral("cannot open the audit log: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
        m_day = today;
    }
    if (::write(m_fd, line.constData(), std::size_t(line.size())) != line.size())
        return std::unexpected(QStringLiteral("cannot append to the audit log: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    return {};
}

std::expected<void, QString> AuditLog::sync() {
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0 && ::fdatasync(m_fd) != 0)
        return std::unexpected(QStringLiteral("cannot sync the audit log: %1").arg(QString::fromLocal8Bit(std::strerror(errno))));
    return {};
}

void AuditLog::prune(qint64 retentionDays, QDate today) {
    // Whole days only, so that nothing younger than the retention period is ever removed.
    const QDate oldestKept = today.addDays(-retentionDays);
    for (const QFileInfo& file : QDir(m_directory).entryInfoList({QStringLiteral("*.jsonl")}, QDir::Files)) {
        const QDate day = QDate::fromString(file.completeBaseName(), Qt::ISODate);
        if (day.isValid() && day < oldestKept)
            QFile::remove(file.filePath());
    }
}

std::vector<AuditRecord> AuditLog::readAll(const QString& directory) {
    std::vector<AuditRecord> records;
    for (const QFileInfo& info : QDir(directory).entryInfoList({QStringLiteral("*.jsonl")}, QDir::Files, QDir::Name)) {
        QFile file(info.filePath());
        if (!file.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : file.readAll().split('\n'))
            if (auto decoded = decodeJson<AuditRecord>(line))
                records.push_back(std::move(*decoded));
    }
    return records;
}

} // namespace tavrin
