#include "base/PrivateFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <unistd.h>

namespace tavrin {

FileError FileError::fromErrno(QString path, int error) {
    return FileError{std::move(path), QString::fromLocal8Bit(std::strerror(error)), error};
}

std::expected<void, FileError> makeDirectories(const QString& path) {
    std::error_code ec;
    std::filesystem::create_directories(QFile::encodeName(path).toStdString(), ec);
    if (ec)
        return std::unexpected(FileError::fromErrno(path, ec.value()));
    return {};
}

std::expected<void, FileError> writeFilePrivately(const QString& path, const QByteArray& content) {
    const QFileInfo target(path);
    // Hidden, so that a temporary left by a writer killed before its rename is never taken for the
    // file itself.
    QByteArray temp = QFile::encodeName(target.path() + QStringLiteral("/.") + target.fileName()) + ".XXXXXX";
    // mkostemp creates the file 0600 whatever the umask says.
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(FileError::fromErrno(path, errno));
    auto fail = [&](int error, bool open) {
        if (open)
            ::close(fd);
        ::unlink(temp.constData());
        return std::unexpected(FileError::fromErrno(path, error));
    };
    qsizetype written = 0;
    while (written < content.size()) {
        const ssize_t n = ::write(fd, content.constData() + written, size_t(content.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return fail(errno, true);
        written += n;
    }
    if (::fsync(fd) != 0)
        return fail(errno, true);
    if (::close(fd) != 0)
        return fail(errno, false);
    if (::rename(temp.constData(), QFile::encodeName(path).constData()) != 0)
        return fail(errno, false);
    syncDirectory(target.path());
    return {};
}

void syncDirectory(const QString& directory) {
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace tavrin
