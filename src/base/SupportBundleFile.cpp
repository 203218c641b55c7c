#include "base/SupportBundleFile.h"

#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

QString realPath(const QByteArray& path) {
    char resolved[PATH_MAX];
    return ::realpath(path.constData(), resolved) ? QFile::decodeName(resolved) : QString();
}

} // namespace

SupportBundleFile::SupportBundleFile(QString stateFolder) : m_stateFolder(std::move(stateFolder)) {}

QString SupportBundleFile::folder() const { return m_stateFolder + QLatin1Char('/') + QLatin1String(folderName); }

std::expected<std::unique_ptr<QFile>, QString> SupportBundleFile::open(const QString& path) const {
    const QString refused = QStringLiteral("The server named %1 as its support bundle, which is not a file of yours in "
                                           "%2. It was not opened.")
                                .arg(path, folder());
    // O_NONBLOCK: opening a FIFO named by the server must not hang the caller; a regular file
    // ignores it.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(errno == ELOOP ? refused
                                              : path + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(errno)));
    auto file = std::make_unique<QFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return std::unexpected(path + QStringLiteral(": ") + file->errorString());
    }
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::getuid())
        return std::unexpected(refused);
    // Where the file opened really is, every link on the way resolved, against where the folder
    // really is.
    const QString opened = realPath("/proc/self/fd/" + QByteArray::number(fd));
    const QString bundles = realPath(QFile::encodeName(folder()));
    if (opened.isEmpty() || bundles.isEmpty() || QFileInfo(opened).path() != bundles)
        return std::unexpected(refused);
    return file;
}

} // namespace tavrin
