#include "server/updates/Updater.h"

#include "server/support/Files.h"
#include "server/support/IsoTime.h"
#include "server/support/ServerLog.h"
#include "server/updates/DebPackage.h"

#include <httplib.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QUrl>
#include <QVersionNumber>

#include <sodium.h>

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

const QString noFeed = QStringLiteral(
    "no update feed is configured: start the server with --update-feed URL or set TAVRIN_UPDATE_FEED");

std::optional<QByteArray> decodeSignature(const QString& text) {
    const QByteArray raw = text.trimmed().toLatin1();
    QByteArray bytes;
    if (raw.size() == 2 * crypto_sign_BYTES && raw.toLower() == QByteArray::fromHex(raw).toHex())
        bytes = QByteArray::fromHex(raw);
    else if (auto decoded = QByteArray::fromBase64Encoding(raw, QByteArray::AbortOnBase64DecodingErrors))
        bytes = *decoded;
    if (bytes.size() != crypto_sign_BYTES)
        return std::nullopt;
    return bytes;
}

bool isSha256Hex(const QString& text) {
    if (text.size() != 64)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit() || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F'); });
}

// Releases are the Debian package of Tavrin Keldmarch; the staged file keeps a Debian package's
// name, so that opening it hands it to the desktop's package installer.
QString safeFileName(const QString& version) {
    QString name = QStringLiteral("tavrin-keldmarch_");
    for (QChar c : version)
        name += (c.isLetterOrNumber() && c.unicode() < 128) || c == u'.' || c == u'-' ? c : u'_';
    return name + QStringLiteral(".deb");
}

// The package as a whole, mapped rather than read, so that its signature can be checked in
// one call without a copy of it on the heap.
class MappedFile {
public:
    explicit MappedFile(const QString& path) {
        m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (m_fd < 0 || ::fstat(m_fd, &st) != 0)
            return;
        m_size = std::size_t(st.st_size);
        if (m_size == 0) {
            m_ok = true;
            return;
        }
        void* p = ::mmap(nullptr, m_size, PROT_READ, MAP_PRIVATE, m_fd, 0);
        if (p != MAP_FAILED) {
            m_data = static_cast<const unsigned char*>(p);
            m_ok = true;
        }
    }
    ~MappedFile() {
        if (m_data)
            ::munmap(const_cast<unsigned char*>(m_data), m_size);
        if (m_fd >= 0)
            ::close(m_fd);
    }
    MappedFile(const MappedFile&) = delete;
    MappedFile& operator=(const MappedFile&) = delete;

    bool ok() const { return m_ok; }
    const unsigned char* data() const { return m_data ? m_data : reinterpret_cast<const unsigned char*>(""); }
    std::size_t size() const { return m_size; }

private:
    int m_fd = -1;
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
    bool m_ok = false;
};

// Size, SHA-256, the ed25519 signature of the pinned key, and then what the package says it is,
// in that order; the digest when all hold.
std::expected<QString, Refusal> verifyPackage(const QString& path, const ClientAppcastRelease& release,
                                              const QByteArray& publicKey, const QString& current) {
    const auto signature = decodeSignature(release.signature);
    if (!signature)
        return std::unexpected(
            Refusal{422, QStringLiteral("release %1 carries a malformed signature; it must be 64 bytes of "
                                        "ed25519 signature in base64 or hex")
                             .arg(release.version)});
    const MappedFile package(path);
    if (!package.ok())
        return std::unexpected(Refusal{500, QStringLiteral("cannot read %1: %2").arg(path, errnoText())});
    if (release.pkgSize && qint64(package.size()) != *release.pkgSize)
        return std::unexpected(
            Refusal{422, QStringLiteral("download of %1 is %2 bytes, the feed says %3: deleted")
                             .arg(release.version)
                             .arg(package.size())
                             .arg(*release.pkgSize)});
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, package.data(), package.size());
    const QString sha = QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), sizeof digest).toHex());
    if (sha != release.pkgSha256.toLower())
        return std::unexpected(
            Refusal{422, QStringLiteral("download of %1 has SHA-256 %2, the feed says %3: deleted")
                             .arg(release.version, sha, release.pkgSha256)});
    if (publicKey.size() != crypto_sign_PUBLICKEYBYTES ||
        crypto_sign_verify_detached(reinterpret_cast<const unsigned char*>(signature->constData()), package.data(), package.size(),
                                    reinterpret_cast<const unsigned char*>(publicKey.constData())) != 0)
        return std::unexpected(Refusal{
            422, QStringLiteral(
                     "download of %1 does not carry a valid signature of the pinned update key: deleted")
                     .arg(release.version)});
    const auto identity = DebPackage::read(path);
    if (!identity)
        return std::unexpected(Refusal{
            422,
            QStringLiteral("download of %1 is refused: %2: deleted").arg(release.version, identity.error())});
    if (identity->name != QLatin1StringView(Updater::packageName) || identity->version != release.version)
        return std::unexpected(Refusal{
            422, QStringLiteral("download of %1 is the package %2 %3, not %4 %1 as the feed says: deleted")
                     .arg(release.version, identity->name, identity->version,
                          QLatin1StringView(Updater::packageName))});
    if (Updater::compareVersions(identity->version, current) <= 0)
        return std::unexpected(
            Refusal{422, QStringLiteral("download of %1 is not newer than the running version %2: deleted")
                             .arg(identity->version, current)});
    return sha;
}

} // namespace

std::expected<void, QString> checkUpdateUrl(const QString& url) {
    const QUrl parsed(url, QUrl::StrictMode);
    if (!parsed.isValid())
        return std::unexpected(QStringLiteral("%1 is not a valid URL").arg(url));
    const QString scheme = parsed.scheme().toLower();
    if (scheme == QLatin1StringView("https") && !parsed.host().isEmpty())
        return {};
    const QHostAddress host(parsed.host());
    const bool loopback = host.isLoopback() || parsed.host().compare(QLatin1StringView("localhost"), Qt::CaseInsensitive) == 0;
    if (scheme == QLatin1StringView("http") && loopback)
        return {};
    return std::unexpected(QStringLiteral("%1 is not an https URL (plain http only from this machine's loopback address): "
                                          "nothing was fetched").arg(url));
}

std::expected<void, QString> fetchUrl(const QString& url, qint64 limit, const std::function<bool(const char*, std::size_t)>& sink) {
    if (auto allowed = checkUpdateUrl(url); !allowed)
        return allowed;
    qint64 received = 0;
    bool tooLarge = false;
    const auto take = [&](const char* data, std::size_t length) {
        received += qint64(length);
        if (received > limit) {
            tooLarge = true;
            return false;
        }
        return sink(data, length);
    };
    constexpr int mostRedirects = 5;
    QUrl current(url, QUrl::StrictMode);
    for (int redirects = 0;; ++redirects) {
        const bool tls = current.scheme().toLower() == QLatin1StringView("https");
        // https verifies the server's certificate against the system's trusted authorities.
        httplib::Client client(QStringLiteral("%1://%2:%3")
                                   .arg(current.scheme().toLower(), current.host(QUrl::FullyEncoded))
                                   .arg(current.port(tls ? 443 : 80))
                                   .toStdString());
        if (!client.is_valid())
            return std::unexpected(QStringLiteral("cannot fetch %1: this build cannot open such a connection").arg(url));
        client.set_connection_timeout(std::chrono::seconds(5));
        client.set_read_timeout(std::chrono::seconds(30));
        // Redirects are judged here, each by the rule the first URL passed.
        client.set_follow_location(false);
        const std::string target = current.path(QUrl::FullyEncoded).isEmpty()
                                       ? std::string("/")
                                       : current.toString(QUrl::RemoveScheme | QUrl::RemoveAuthority | QUrl::FullyEncoded).toStdString();
        int status = 0;
        std::string location;
        const auto result = client.Get(
            target, httplib::Headers{},
            [&](const httplib::Response& response) {
                status = response.status;
                location = response.get_header_value("Location");
                return status >= 200 && status < 300;
            },
            take);
        if (status >= 300 && status < 400 && !location.empty()) {
            const QUrl next = current.resolved(QUrl(QString::fromStdString(location), QUrl::StrictMode));
            if (!next.isValid() || next.scheme().toLower() != QLatin1StringView("https") || next.host().isEmpty())
                return std::unexpected(QStringLiteral("%1 redirects to %2, which is not an https URL: not followed")
                                           .arg(current.toString(), QString::fromStdString(location)));
            if (redirects == mostRedirects)
                return std::unexpected(QStringLiteral("%1 redirects more than %2 times: not followed").arg(url).arg(mostRedirects));
            current = next;
            continue;
        }
        if (status != 0 && (status < 200 || status >= 300))
            return std::unexpected(QStringLiteral("%1 answered HTTP %2").arg(current.toString()).arg(status));
        if (tooLarge)
            return std::unexpected(QStringLiteral("%1 is larger than %2 bytes").arg(url).arg(limit));
        if (!result)
            return std::unexpected(QStringLiteral("cannot fetch %1: %2").arg(url, QString::fromStdString(httplib::to_string(result.error()))));
        return {};
    }
}

std::optional<QByteArray> Updater::parsePublicKey(const QString& hex) {
    const QByteArray raw = hex.trimmed().toLatin1();
    const QByteArray key = QByteArray::fromHex(raw);
    if (raw.size() != 2 * crypto_sign_PUBLICKEYBYTES || key.toHex() != raw.toLower())
        return std::nullopt;
    return key;
}

int Updater::compareVersions(const QString& a, const QString& b) {
    return QVersionNumber::compare(QVersionNumber::fromString(a), QVersionNumber::fromString(b));
}

std::expected<std::unique_ptr<Updater>, QString> Updater::open(const StateStore& store, QString feedUrl, QByteArray publicKey,
                                                                QString currentVersion) {
    std::unique_ptr<Updater> updater(new Updater(store, std::move(feedUrl), std::move(publicKey), std::move(currentVersion)));
    auto state = store.load<ClientUpdaterStatus>(QLatin1StringView(stateFile));
    if (!state)
        return std::unexpected(state.error());
    updater->m_state = state->value_or(ClientUpdaterStatus{});
    ClientUpdaterStatus& s = updater->m_state;
    // Once this version has caught up with the release, it is no longer an update.
    if (s.availableUpdate && compareVersions(s.availableUpdate->version, updater->m_current) <= 0)
        s.availableUpdate.reset();
    // A staged package is verified again: one changed on disk since, or whose release is no
    // longer the one on offer (installed, or forgotten by a later check), is not reported.
    if (s.stagedDownloadPath) {
        const bool stillGood = s.availableUpdate && QFileInfo(*s.stagedDownloadPath).isFile() &&
                               verifyPackage(*s.stagedDownloadPath, *s.availableUpdate, updater->m_publicKey, updater->m_current).has_value();
        if (!stillGood) {
            QFile::remove(*s.stagedDownloadPath);
            s.stagedDownloadPath.reset();
        }
    }
    // A download the server did not live to verify is never left behind.
    for (const QFileInfo& leftover :
         QDir(updater->updatesFolder()).entryInfoList({QStringLiteral(".download-*")}, QDir::Files | QDir::Hidden))
        QFile::remove(leftover.filePath());
    return updater;
}

QString Updater::updatesFolder() const { return m_store.pathOf(QStringLiteral("updates")); }

void Updater::remember(const ClientUpdaterStatus& state) {
    // Called with the lock held.
    m_state = state;
    if (auto saved = m_store.save(QLatin1StringView(stateFile), m_state); !saved)
        logLine(saved.error());
}

ClientUpdaterStatus Updater::status() const {
    std::lock_guard lock(m_mutex);
    ClientUpdaterStatus s = m_state;
    s.enabled = !m_feedUrl.isEmpty();
    s.channel = QLatin1StringView(channel);
    s.current = m_current;
    return s;
}

ClientUpdateCheckResponse Updater::check() {
    const auto failed = [&](const QString& error) {
        {
            std::lock_guard lock(m_mutex);
            ClientUpdaterStatus next = m_state;
            next.lastError = error;
            remember(next);
        }
        logLine(QStringLiteral("update check failed: %1").arg(error));
        return ClientUpdateCheckResponse{status(), error};
    };
    if (m_feedUrl.isEmpty())
        return failed(noFeed);

    QByteArray bytes;
    auto fetched = fetchUrl(m_feedUrl, maxFeedBytes, [&](const char* data, std::size_t n) {
        bytes.append(data, qsizetype(n));
        return true;
    });
    if (!fetched)
        return failed(QStringLiteral("update feed: %1").arg(fetched.error()));
    auto feed = decodeJson<UpdateFeed>(bytes);
    if (!feed)
        return failed(QStringLiteral("update feed %1 is not valid: %2").arg(m_feedUrl, feed.error().message()));
    if (feed->channel && *feed->channel != QLatin1StringView(channel))
        return failed(QStringLiteral("update feed %1 is for the \"%2\" channel, not \"%3\"").arg(m_feedUrl, *feed->channel, QLatin1StringView(channel)));

    std::optional<ClientAppcastRelease> newest;
    for (const auto& release : feed->releases) {
        if (compareVersions(release.version, m_current) <= 0 || QVersionNumber::fromString(release.version).isNull())
            continue;
        if (release.minimumServerVersion && compareVersions(m_current, *release.minimumServerVersion) < 0)
            continue; // this server is too old to go straight to it
        if (!newest || compareVersions(release.version, newest->version) > 0)
            newest = release;
    }
    std::lock_guard lock(m_mutex);
    ClientUpdaterStatus next = m_state;
    next.lastCheckedAt = isoUtcNow();
    next.lastError.reset();
    // A staged package belongs to the release it was verified for; when the feed offers
    // another (or none), it no longer stands for what the panel shows.
    const auto sameRelease = [](const std::optional<ClientAppcastRelease>& a, const std::optional<ClientAppcastRelease>& b) {
        return a && b && a->version == b->version && a->pkgSha256.toLower() == b->pkgSha256.toLower();
    };
    if (next.stagedDownloadPath && !sameRelease(next.availableUpdate, newest)) {
        QFile::remove(*next.stagedDownloadPath);
        next.stagedDownloadPath.reset();
    }
    next.availableUpdate = newest;
    remember(next);
    ClientUpdaterStatus answer = m_state;
    answer.enabled = true;
    answer.channel = QLatin1StringView(channel);
    answer.current = m_current;
    return ClientUpdateCheckResponse{answer, std::nullopt};
}

std::expected<ClientUpdateDownloadResponse, Refusal> Updater::download() {
    std::optional<ClientAppcastRelease> release;
    {
        std::lock_guard lock(m_mutex);
        release = m_state.availableUpdate;
    }
    if (!release)
        return std::unexpected(
            Refusal{409, QStringLiteral("there is no update to download; check for updates first")});
    if (m_downloading.exchange(true))
        return std::unexpected(Refusal{409, QStringLiteral("a download is already running")});
    struct Done {
        std::atomic<bool>& flag;
        ~Done() { flag = false; }
    } done{m_downloading};

    QString tempPath;
    const auto failed = [&](int status, const QString& error) {
        if (!tempPath.isEmpty())
            QFile::remove(tempPath);
        {
            std::lock_guard lock(m_mutex);
            ClientUpdaterStatus next = m_state;
            next.lastError = error;
            remember(next);
        }
        logLine(QStringLiteral("update download failed: %1").arg(error));
        return std::unexpected(Refusal{status, error});
    };
    if (m_publicKey.size() != crypto_sign_PUBLICKEYBYTES)
        return failed(500, QStringLiteral("this build of tavrin-server has no pinned update key, so it cannot verify any update"));
    const auto signature = decodeSignature(release->signature);
    if (!signature)
        return failed(422, QStringLiteral("release %1 carries a malformed signature; it must be 64 bytes of ed25519 signature in base64 or hex").arg(release->version));
    if (!isSha256Hex(release->pkgSha256))
        return failed(422, QStringLiteral("release %1 carries a malformed SHA-256 \"%2\"").arg(release->version, release->pkgSha256));
    if (release->pkgSize && (*release->pkgSize < 0 || *release->pkgSize > maxPackageBytes))
        return failed(422, QStringLiteral("release %1 declares an impossible size of %2 bytes").arg(release->version).arg(*release->pkgSize));

    const QString folder = updatesFolder();
    if (!QDir().mkpath(folder))
        return failed(500, QStringLiteral("cannot create %1").arg(folder));
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QByteArray temp = QFile::encodeName(folder + QStringLiteral("/.download-XXXXXX"));
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0)
        return failed(500, QStringLiteral("cannot create a file in %1: %2").arg(folder, errnoText()));
    tempPath = QFile::decodeName(temp);
    ::fchmod(fd, 0600);
    bool writeFailed = false;
    auto fetched = fetchUrl(release->pkgURL, release->pkgSize.value_or(maxPackageBytes), [&](const char* data, std::size_t n) {
        while (n > 0) {
            const ssize_t w = ::write(fd, data, n);
            if (w < 0 && errno == EINTR)
                continue;
            if (w < 0) {
                writeFailed = true;
                return false;
            }
            data += w;
            n -= std::size_t(w);
        }
        return true;
    });
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    if (writeFailed || !synced)
        return failed(500, QStringLiteral("cannot store the download in %1: %2").arg(folder, errnoText()));
    if (!fetched)
        return failed(502, QStringLiteral("download of %1 failed: %2").arg(release->version, fetched.error()));

    auto verified = verifyPackage(tempPath, *release, m_publicKey, m_current);
    if (!verified)
        return failed(verified.error().status, verified.error().text);
    const QString sha = *verified;

    const QString target = folder + QLatin1Char('/') + safeFileName(release->version);
    if (::rename(temp.constData(), QFile::encodeName(target).constData()) != 0)
        return failed(500, QStringLiteral("cannot move the verified download to %1: %2").arg(target, errnoText()));
    tempPath.clear();
    syncDirectory(folder);
    {
        std::lock_guard lock(m_mutex);
        ClientUpdaterStatus next = m_state;
        if (next.stagedDownloadPath && *next.stagedDownloadPath != target)
            QFile::remove(*next.stagedDownloadPath);
        next.stagedDownloadPath = target;
        next.lastError.reset();
        remember(next);
    }
    return ClientUpdateDownloadResponse{
        target, release->version, sha, true,
        QStringLiteral("Downloaded %1 and verified its size, SHA-256 and ed25519 signature. Open it to install.").arg(release->version)};
}

ClientUpdaterStatus Updater::clear() {
    {
        std::lock_guard lock(m_mutex);
        ClientUpdaterStatus next = m_state;
        if (next.stagedDownloadPath)
            QFile::remove(*next.stagedDownloadPath);
        next.stagedDownloadPath.reset();
        remember(next);
    }
    return status();
}

} // namespace tavrin
