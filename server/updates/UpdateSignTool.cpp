// tavrin-update-sign: the publisher's side of signed updates. It makes an ed25519 key pair
// (the secret half in a 0600 file, never on a command line), and signs a release, the Debian
// package scripts/package.sh builds, into a feed that tavrin-server's updater reads.

#include "server/support/Files.h"
#include "server/support/IsoTime.h"
#include "server/updates/DebPackage.h"
#include "server/updates/Updater.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>

#include <sodium.h>

#include <algorithm>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace tavrin;

namespace {

int usage() {
    std::fputs("Usage: tavrin-update-sign keygen SECRET-KEY-FILE\n"
               "       tavrin-update-sign feed --key SECRET-KEY-FILE --url URL [--version V] [--notes TEXT]\n"
               "                               [--minimum-server-version V] [--into FEED-FILE] PACKAGE.deb\n"
               "keygen writes the secret key (mode 0600) and prints the public key for\n"
               "-DTAVRIN_UPDATE_PUBLIC_KEY=...; feed signs PACKAGE.deb, the tavrin-keldmarch Debian\n"
               "package, whose version it reads (--version must agree), and prints a one-release feed,\n"
               "or adds the release to FEED-FILE, replacing one of the same version.\n",
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

// Adds `release` to the feed in `path` (a new feed when there is none), replacing a release of the
// same version; newest first. Written whole or not at all.
std::expected<void, QString> addToFeed(const QString& path, const ClientAppcastRelease& release) {
    UpdateFeed feed{QString::fromLatin1(Updater::channel), {}};
    if (QFileInfo::exists(path)) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::unexpected(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
        auto existing = decodeJson<UpdateFeed>(file.readAll());
        if (!existing)
            return std::unexpected(QStringLiteral("%1 is not an update feed: %2").arg(path, existing.error().message()));
        feed = std::move(*existing);
    }
    std::erase_if(feed.releases, [&](const ClientAppcastRelease& r) { return Updater::compareVersions(r.version, release.version) == 0; });
    feed.releases.push_back(release);
    std::stable_sort(feed.releases.begin(), feed.releases.end(), [](const ClientAppcastRelease& a, const ClientAppcastRelease& b) {
        return Updater::compareVersions(a.version, b.version) > 0;
    });
    QSaveFile out(path);
    if (!out.open(QIODevice::WriteOnly))
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
    out.write(encodeJson(feed) + '\n');
    if (!out.commit())
        return std::unexpected(QStringLiteral("cannot write %1: %2").arg(path, out.errorString()));
    return {};
}

int feed(const QStringList& args) {
    QString keyPath, version, url, notes, minimum, into, package;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        QString* target = a == QLatin1StringView("--key")                        ? &keyPath
                          : a == QLatin1StringView("--version")                  ? &version
                          : a == QLatin1StringView("--url")                      ? &url
                          : a == QLatin1StringView("--notes")                    ? &notes
                          : a == QLatin1StringView("--minimum-server-version")   ? &minimum
                          : a == QLatin1StringView("--into")                     ? &into
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
    if (keyPath.isEmpty() || url.isEmpty() || package.isEmpty())
        return usage();
    // The servers fetch only such URLs; a feed naming another would fail in every one of them.
    if (auto fetchable = checkUpdateUrl(url); !fetchable)
        return fail(fetchable.error());
    // The package's own word counts: a release whose feed version differed from it would be
    // refused by every server, or offered again after each install.
    const auto identity = DebPackage::read(package);
    if (!identity)
        return fail(identity.error());
    if (identity->name != QLatin1StringView(Updater::packageName))
        return fail(QStringLiteral("%1 is the package of %2, not of %3").arg(package, identity->name, QLatin1StringView(Updater::packageName)));
    if (!version.isEmpty() && version != identity->version)
        return fail(QStringLiteral("%1 holds version %2, not %3").arg(package, identity->version, version));
    version = identity->version;

    QFile keyFile(keyPath);
    if (!keyFile.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(keyPath, keyFile.errorString()));
    QByteArray secret = QByteArray::fromHex(keyFile.readAll().trimmed());
    if (secret.size() != crypto_sign_SECRETKEYBYTES)
        return fail(QStringLiteral("%1 does not hold an ed25519 secret key").arg(keyPath));

    QFile pkg(package);
    if (!pkg.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("cannot read %1: %2").arg(package, pkg.errorString()));
    // The signature, digest and size all describe these very bytes, read once.
    const QByteArray bytes = pkg.readAll();
    if (pkg.error() != QFileDevice::NoError)
        return fail(QStringLiteral("cannot read %1: %2").arg(package, pkg.errorString()));
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.constData());
    unsigned char signature[crypto_sign_BYTES];
    crypto_sign_detached(signature, nullptr, data, static_cast<unsigned long long>(bytes.size()),
                         reinterpret_cast<const unsigned char*>(secret.constData()));
    sodium_memzero(secret.data(), std::size_t(secret.size()));
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, data, static_cast<unsigned long long>(bytes.size()));

    ClientAppcastRelease release;
    release.version = version;
    release.publishedAt = isoUtcNow();
    if (!minimum.isEmpty())
        release.minimumServerVersion = minimum;
    release.pkgURL = url;
    release.pkgSha256 = QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), sizeof digest).toHex());
    release.pkgSize = bytes.size();
    if (!notes.isEmpty())
        release.releaseNotes = notes;
    release.signature = QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(signature), sizeof signature).toBase64());
    if (!into.isEmpty()) {
        if (auto added = addToFeed(into, release); !added)
            return fail(added.error());
        return 0;
    }
    std::printf("%s\n", encodeJson(UpdateFeed{QString::fromLatin1(Updater::channel), {release}}).constData());
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
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
