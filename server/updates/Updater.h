#pragma once

#include "protocol/ClientRecords.h"
#include "server/stores/Refusal.h"
#include "server/stores/StateStore.h"

#include <QByteArray>
#include <QString>

#include <atomic>
#include <expected>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tavrin {

// The update feed: a JSON document of releases. A feed may name its channel; one for another
// channel than this server's is refused rather than half-followed.
struct UpdateFeed {
    std::optional<QString> channel;
    std::vector<ClientAppcastRelease> releases;

    static constexpr auto fields() {
        using R = UpdateFeed;
        return std::tuple{optional("channel", &R::channel), required("releases", &R::releases)};
    }
};
template <> struct DocumentName<UpdateFeed> { static constexpr const char* value = "feed"; };

// The server's updater: checks the feed, downloads a release's package and stages it only once
// its size, SHA-256 and ed25519 signature (against the key pinned into this build) all verify, and
// the package's own control data names this product and the feed's version, newer than the one
// running. The signature covers the bytes alone, and the feed is unsigned: without that last
// check, whoever serves the feed could offer an old signed package as a new one.
// Its state lives in "updater.json"; a staged package in "updates/" (0600). Thread-safe; checks
// and downloads run on the worker that asked, without holding the lock while on the network.
class Updater {
public:
    static constexpr const char* stateFile = "updater.json";
    static constexpr const char* channel = "stable";
    static constexpr const char* packageName = "tavrin-keldmarch";
    static constexpr qint64 maxFeedBytes = 1024 * 1024;
    static constexpr qint64 maxPackageBytes = 2LL * 1024 * 1024 * 1024;

    // `feedUrl`: an https URL (see checkUpdateUrl), or empty for none. `publicKey`: 32 raw bytes, or empty
    // when the build pins none (nothing can then be verified, so nothing is ever staged).
    static std::expected<std::unique_ptr<Updater>, QString> open(const StateStore& store, QString feedUrl,
                                                                  QByteArray publicKey, QString currentVersion);

    ClientUpdaterStatus status() const;
    ClientUpdateCheckResponse check();
    std::expected<ClientUpdateDownloadResponse, Refusal> download();
    ClientUpdaterStatus clear();

    static std::optional<QByteArray> parsePublicKey(const QString& hex);
    // "1.10.0" is newer than "1.9.2"; texts that are not versions compare as nothing newer.
    static int compareVersions(const QString& a, const QString& b);

private:
    Updater(StateStore store, QString feedUrl, QByteArray publicKey, QString current)
        : m_store(std::move(store)), m_feedUrl(std::move(feedUrl)), m_publicKey(std::move(publicKey)),
          m_current(std::move(current)) {}

    std::expected<ClientAppcastRelease, QString> verifiedRelease() const;
    void remember(const ClientUpdaterStatus& state);
    QString updatesFolder() const;

    StateStore m_store;
    QString m_feedUrl;
    QByteArray m_publicKey;
    QString m_current;
    mutable std::mutex m_mutex;
    ClientUpdaterStatus m_state;
    std::atomic<bool> m_downloading = false;
};

// Feeds and packages come over https only; plain http only from this machine's loopback address,
// which is for tests. Nothing else (a file: URL above all, which would read this machine's files
// for whoever writes the feed) is fetched. The error says why, in one line.
std::expected<void, QString> checkUpdateUrl(const QString& url);

// Fetches `url` into `sink`, at most `limit` bytes; redirects are followed only to https URLs, at
// most five. The error says why not.
std::expected<void, QString> fetchUrl(const QString& url, qint64 limit, const std::function<bool(const char*, std::size_t)>& sink);

} // namespace tavrin
