#include "server/support/Files.h"

#include <QDir>
#include <QFile>

#include <sodium.h>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace tavrin {

namespace {

constexpr std::size_t blockSize = 1 << 20;

class Fd {
public:
    explicit Fd(int fd) : m_fd(fd) {}
    ~Fd() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

std::expected<QString, QString> sha256OfFile(const QString& path) {
    const Fd fd(::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0)
        return std::unexpected(QStringLiteral("cannot read %1: %2").arg(path, errnoText()));
    crypto_hash_sha256_state state;
    crypto_hash_sha256_init(&state);
    std::vector<unsigned char> block(blockSize);
    for (;;) {
        const ssize_t n = ::read(fd.get(), block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::unexpected(QStringLiteral("cannot read %1: %2").arg(path, errnoText()));
        if (n == 0)
            break;
        crypto_hash_sha256_update(&state, block.data(), static_cast<unsigned long long>(n));
    }
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256_final(&state, digest);
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), sizeof digest).toHex());
}

std::expected<void, QString> copyFileSynced(const QString& from, const QString& to) {
    const Fd in(::open(QFile::encodeName(from).constData(), O_RDONLY | O_CLOEXEC));
    if (in.get() < 0)
        return std::unexpected(QStringLiteral("cannot read %1: %2").arg(from, errnoText()));
    const Fd out(::open(QFile::encodeName(to).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (out.get() < 0)
        return std::unexpected(QStringLiteral("cannot create %1: %2").arg(to, errnoText()));
    std::vector<char> block(blockSize);
    for (;;) {
        ssize_t n = ::read(in.get(), block.data(), block.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::unexpected(QStringLiteral("cannot read %1: %2").arg(from, errnoText()));
        if (n == 0)
            break;
        for (const char* p = block.data(); n > 0;) {
            const ssize_t w = ::write(out.get(), p, std::size_t(n));
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0)
                return std::unexpected(QStringLiteral("cannot write %1: %2").arg(to, errnoText()));
            p += w;
            n -= w;
        }
    }
    if (::fsync(out.get()) != 0)
        return std::unexpected(QStringLiteral("cannot flush %1: %2").arg(to, errnoText()));
    return {};
}

void removeTree(const QString& directory) { QDir(directory).removeRecursively(); }

} // namespace tavrin
