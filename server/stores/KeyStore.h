#pragma once

#include "protocol/ClientRecords.h"
#include "server/stores/Refusal.h"
#include "server/stores/StateStore.h"

#include <QString>

#include <expected>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

namespace tavrin {

// One key as kept on disk: the public record and the SHA-256 of its secret. The secret itself
// is never stored; 256 random bits need no slow password hash.
struct StoredAPIKey {
    ClientAPIKeyPublic record;
    QString secretSha256;

    static constexpr auto fields() {
        using R = StoredAPIKey;
        return std::tuple{required("record", &R::record), required("secretSha256", &R::secretSha256)};
    }
};

// What a presented API key may do, as found by authenticate().
struct KeyGrant {
    QString id;
    bool mayGenerate = false;
};

// The API keys: issued, listed, revoked, rotated and deleted through the admin API, and
// checked and counted by the inference surface. Thread-safe.
//
// Admin changes are on disk before they are answered. Usage counters change on every
// inference request, so they are written at most once per flush() (the server flushes about
// once a second and at shutdown); a killed server loses at most that last second of counts.
// Writing and syncing the file never holds up authentication or counting: only writers wait
// for each other, so the file's versions follow one another in order.
class KeyStore {
public:
    // Replaces keys.json with the bytes given. The default writes the state directory's file;
    // tests stand in a writer that stalls, to hold a write open.
    using Writer = std::function<std::expected<void, QString>(const QByteArray& json)>;

    static std::expected<std::unique_ptr<KeyStore>, QString> open(const StateStore& store, Writer writer = {});

    std::vector<ClientAPIKeyPublic> list() const;
    std::expected<ClientCreatedAPIKey, Refusal> create(const QString& label,
                                                       std::optional<std::vector<ClientAPIKeyScope>> scopes);
    std::expected<ClientAPIKeyPublic, Refusal> revoke(const QString& id);
    std::expected<ClientCreatedAPIKey, Refusal> rotate(const QString& id);
    std::expected<void, Refusal> remove(const QString& id);

    // nullopt for an unknown, revoked or malformed key.
    std::optional<KeyGrant> authenticate(const QString& presented) const;
    void recordUse(const QString& id, const QString& clientIP, qint64 promptTokens, qint64 completionTokens);

    // Writes the usage counters when they changed since the last write.
    std::expected<void, QString> flush();

    static constexpr const char* fileName = "keys.json";
    static constexpr const char* secretPrefix = "tk-";

private:
    KeyStore(Writer writer, std::vector<StoredAPIKey> keys) : m_write(std::move(writer)), m_keys(std::move(keys)) {}

    // Applies `change` to a copy, writes the copy, and keeps it only when the write succeeded.
    template <class F>
    auto commit(F&& change) -> decltype(change(std::declval<std::vector<StoredAPIKey>&>()));

    Writer m_write;
    mutable std::mutex m_writeMutex; // one writer of keys.json at a time; held without m_mutex while writing
    mutable std::mutex m_mutex;
    std::vector<StoredAPIKey> m_keys;
    quint64 m_generation = 0;
    quint64 m_writtenGeneration = 0;
};

QString newKeySecret();
QString sha256Hex(const QByteArray& bytes);

} // namespace tavrin
