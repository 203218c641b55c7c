#include "server/StateStore.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

bool writeAll(int fd, const QByteArray& bytes) {
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        left -= n;
    }
    return true;
}

} // namespace

std::expected<StateStore, QString> StateStore::open(const QString& directory) {
    const QString absolute = QDir(directory).absolutePath();
    if (!QDir().mkpath(absolute))
        return std::unexpected(QStringLiteral("cannot create the state directory %1").arg(absolute));
    const QByteArray native = QFile::encodeName(absolute);
    if (::chmod(native.constData(), 0700) != 0)
        return std::unexpected(QStringLiteral("cannot set the mode of %1: %2").arg(absolute, errnoText()));
    // A write killed between its temporary file and the rename leaves the temporary behind. It
    // is never read; clear the ones old enough that no live writer can still own them.
    const QDir dir(absolute);
    const QDateTime stale = QDateTime::currentDateTimeUtc().addSecs(-60);
    for (const QFileInfo& leftover : dir.entryInfoList({QStringLiteral(".*.??????")}, QDir::Files | QDir::Hidden))
        if (leftover.lastModified() < stale)
            QFile::remove(leftover.filePath());
    return StateStore(absolute);
}

QString StateStore::pathOf(const QString& name) const { return m_directory + QLatin1Char('/') + name; }

std::expected<std::optional<QByteArray>, QString> StateStore::read(const QString& name) const {
    QFile file(pathOf(name));
    if (!file.exists())
        return std::optional<QByteArray>{};
    if (!file.open(QIODevice::ReadOnly))
        return std::unexpected(QStringLiteral("cannot read %1: %2").arg(file.fileName(), file.errorString()));
    return std::optional<QByteArray>{file.readAll()};
}

std::expected<void, QString> StateStore::write(const QString& name, const QByteArray& bytes) const {
    const QString target = pathOf(name);
    // The temporary name starts with a dot and never matches a state file's name, so a
    // leftover from a killed write is never read back; the next write of that file replaces it.
    QByteArray temp = QFile::encodeName(m_directory + QStringLiteral("/.") + name + QStringLiteral(".XXXXXX"));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(target, errnoText()));
    const auto fail = [&](const QString& what) {
        const QString reason = errnoText();
        ::close(fd);
        ::unlink(temp.constData());
        return std::unexpected(QStringLiteral("cannot %1 %2: %3").arg(what, target, reason));
    };
    if (::fchmod(fd, 0600) != 0)
        return fail(QStringLiteral("protect"));
    if (!writeAll(fd, bytes))
        return fail(QStringLiteral("write"));
    if (::fsync(fd) != 0)
        return fail(QStringLiteral("flush"));
    ::close(fd);
    if (::rename(temp.constData(), QFile::encodeName(target).constData()) != 0) {
        const QString reason = errnoText();
        ::unlink(temp.constData());
        return std::unexpected(QStringLiteral("cannot replace %1: %2").arg(target, reason));
    }
    // The rename itself is only durable once the directory entry is.
    const int dir = ::open(QFile::encodeName(m_directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return {};
}

} // namespace tavrin
