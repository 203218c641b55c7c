// tavrin-update-sign: the publisher's side of signed updates. It makes an ed25519 key pair
// (the secret half in a 0600 file, never on a command line), and signs a package into a feed
// that tavrin-server's updater reads.

#include "server/Files.h"
#include "server/IsoTime.h"
#include "server/Updater.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include <sodium.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavrin;

namespace {

int usage() {
    std::fputs("Usage: tavrin-update-sign keygen SECRET-KEY-FILE\n"
               "       tavrin-update-sign feed --key SECRET-KEY-FILE --version V --url URL\n"
               "                               [--notes TEXT] [--minimum-server-version V] PACKAGE\n"
               "keygen writes the secret key (mode 0600) and prints the public key for\n"
               "-DTAVRIN_UPDATE_PUBLIC_KEY=...; feed prints a one-release feed for PACKAGE.\n",
               stderr);
    return 64;
}

int fail(const QString& message) {
    std::fprintf(stderr, "tavrin-update-sign: %s\n", qPrintable(message));
    return 1;
}

int keygen(const QString& path) {
    unsigned char pk[crypto_sign_PUBLICKEYBYTES];
    unsigned char sk[crypto_sign_SECRETKEYBYTES];
    crypto_sign_keypair(pk, sk);
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0)
        return fail(QStringLiteral("cannot create %1: %2").arg(path, errnoText()));
    const QByteArray hex = QByteArray(reinterpret_cast<const char*>(sk), sizeof sk).toHex() + '\n';
    const bool written = ::write(fd, hex.constData(), std::size_t(hex.size())) == hex.size() && ::fsync(fd) == 0;
    ::close(fd);
    sodium_memzero(sk, sizeof sk);
    if (!written)
        return fail(QStringLiteral("cannot write %1").arg(path));
    std::printf("%s\n", QByteArray(reinterpret_cast<const char*>(pk), sizeof pk).toHex().constData());
    return 0;
}

int feed(const QStringList& args) {
    QString keyPath, version, url, notes, minimum, package;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString* target = a == QLatin1StringView("--key")                        ? &keyPath
                          : a == QLatin1StringView("--version")                  ? &version
                          : a == QLatin1StringView("--url")                      ? &url
                          : a == QLatin1StringView("--notes")                    ? &notes
                          : a == QLatin1StringView("--minimum-server-version")   ? &minimum
                                                                                 : nullptr;
        if (target) {
            if (++i >= args.size())
                return usage();
            *target = args[i];
        } else if (package.isEmpty() && !a.startsWith(QLatin1StringView("--"))) {
            package = a;
        } else {
            return usage();
        }
    }
    if (keyPath.isEmpty() || version.isEmpty() || url.isEmpty() || package.isEmpty())
        return usage();
    QFile keyFile(keyPath);
    if (!keyFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(keyPath, keyFile.errorString()));
    QByteArray secret = QByteArray::fromHex(keyFile.readAll().trimmed());
    if (secret.size() != crypto_sign_SECRETKEYBYTES)
        return fail(QStringLiteral("%1 does not hold an ed25519 secret key").arg(keyPath));

    QFile pkg(package);
    if (!pkg.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(package, pkg.errorString()));
    const QByteArray bytes = pkg.readAll();
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, reinterpret_cast<const unsigned char*>(bytes.constData()),
                         static_cast<unsigned long long>(bytes.size()), reinterpret_cast<const unsigned char*>(secret.constData()));
    sodium_memzero(secret.data(), std::size_t(secret.size()));

    ClientAppcastRelease release;
    release.version = version;
    release.publishedAt = isoUtcNow();
    if (!minimum.isEmpty())
        release.minimumServerVersion = minimum;
    release.pkgURL = url;
    auto sha = sha256OfFile(package);
    if (!sha)
        return fail(sha.error());
    release.pkgSha256 = *sha;
    release.pkgSize = bytes.size();
    if (!notes.isEmpty())
        release.releaseNotes = notes;
    release.signature = QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(signature), sizeof signature).toBase64());
    std::printf("%s\n", encodeJson(UpdateFeed{QStringLiteral("stable"), {release}}).constData());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (sodium_init() < 0)
        return fail(QStringLiteral("cannot initialise libsodium"));
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (args.size() == 2 && args[0] == QLatin1StringView("keygen"))
        return keygen(args[1]);
    if (!args.isEmpty() && args[0] == QLatin1StringView("feed"))
        return feed(args.mid(1));
    return usage();
}
