#include "server/stores/EngineKeyFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

QString notPrivate() {
    return QStringLiteral("The key file must be a regular file of yours that only you can read (mode 0600).");
}

// Closes the descriptor on every way out.
struct Descriptor {
    int fd = -1;
    ~Descriptor() {
        if (fd >= 0)
            ::close(fd);
    }
};

} // namespace

std::expected<std::string, QString> EngineKeyFile::read(const QString& path) {
    const Descriptor file{::open(QFile::encodeName(path).constData(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (file.fd < 0) {
        if (errno == ELOOP) // the name is a link
            return std::unexpected(notPrivate());
        if (errno == ENOENT)
            return std::unexpected(QStringLiteral("There is no key file at %1.").arg(path));
        return std::unexpected(
            QStringLiteral("The key file %1 cannot be opened: %2.").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
    }
    struct stat status {};
    if (::fstat(file.fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::geteuid() ||
        (status.st_mode & 077) != 0)
        return std::unexpected(notPrivate());
    if (status.st_size > maxBytes)
        return std::unexpected(QStringLiteral("The key file is larger than 4 KiB; it should hold the key alone."));

    // One byte past the limit tells a file that grew since fstat from one that fits.
    std::string bytes(std::size_t(maxBytes) + 1, '\0');
    std::size_t taken = 0;
    while (taken < bytes.size()) {
        const ssize_t got = ::read(file.fd, bytes.data() + taken, bytes.size() - taken);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return std::unexpected(
                QStringLiteral("The key file %1 cannot be read: %2.").arg(path, QString::fromLocal8Bit(std::strerror(errno))));
        if (got == 0)
            break;
        taken += std::size_t(got);
    }
    if (taken > std::size_t(maxBytes))
        return std::unexpected(QStringLiteral("The key file is larger than 4 KiB; it should hold the key alone."));
    bytes.resize(taken);
    const auto isSpace = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; };
    const auto first = std::find_if_not(bytes.begin(), bytes.end(), isSpace);
    const auto last = std::find_if_not(bytes.rbegin(), std::make_reverse_iterator(first), isSpace).base();
    std::string key(first, last);
    // The copy with the white space is wiped; the key itself lives on in the engine that uses it.
    std::fill(bytes.begin(), bytes.end(), '\0');
    if (key.empty())
        return std::unexpected(QStringLiteral("The key file %1 is empty.").arg(path));
    if (std::ranges::any_of(key, [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }))
        return std::unexpected(QStringLiteral("The key file must hold the key alone, on one line."));
    return key;
}

} // namespace tavrin
