#include "control/AdminSecretFile.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

FileError FileError::fromErrno(QString path, int error) {
    return FileError{std::move(path), QString::fromLocal8Bit(std::strerror(error)), error};
}

QString StateDirectory::path() {
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    if (base.isEmpty())
        base = QDir::homePath();
    return base + QStringLiteral("/Tavrin Server");
}

std::expected<void, FileError> makeDirectories(const QString& path) {
    std::error_code ec;
    std::filesystem::create_directories(QFile::encodeName(path).toStdString(), ec);
    if (ec)
        return std::unexpected(FileError::fromErrno(path, ec.value()));
    return {};
}

std::expected<void, FileError> writeFilePrivately(const QString& path, const QByteArray& content) {
    QByteArray temp = QFile::encodeName(path) + ".XXXXXX";
    // mkostemp creates the file 0600 whatever the umask says.
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return std::unexpected(FileError::fromErrno(path, errno));
    auto fail = [&](int error) {
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
            return fail(errno);
        written += n;
    }
    if (::fsync(fd) != 0)
        return fail(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return std::unexpected(FileError::fromErrno(path, error));
    }
    if (::rename(temp.constData(), QFile::encodeName(path).constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        return std::unexpected(FileError::fromErrno(path, error));
    }
    return {};
}

AdminSecretFile::AdminSecretFile(QString stateDirectory) : m_stateDirectory(std::move(stateDirectory)) {}

QString AdminSecretFile::path() const {
    return m_stateDirectory + QStringLiteral("/admin.secret");
}

std::optional<QString> AdminSecretFile::read() const {
    QFile file(path());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    return trimmed;
}

std::expected<void, FileError> AdminSecretFile::write(const QString& secret, DirectoryMode mode) const {
    if (auto made = makeDirectories(m_stateDirectory); !made)
        return made;
    if (mode == DirectoryMode::OwnerOnly)
        ::chmod(QFile::encodeName(m_stateDirectory).constData(), 0700); // best effort
    return writeFilePrivately(path(), secret.toUtf8());
}

void AdminSecretFile::remove() const {
    ::unlink(QFile::encodeName(path()).constData());
}

} // namespace tavrin
