#include "server/stores/StateStore.h"

#include "base/PrivateFile.h"

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
    // The temporary beside the file is hidden (".name.XXXXXX"), so open() can clear one left by a
    // killed write.
    if (auto written = writeFilePrivately(pathOf(name), bytes); !written)
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(written.error().path, written.error().reason));
    return {};
}

} // namespace tavrin
