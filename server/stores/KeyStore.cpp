#include "server/stores/KeyStore.h"

#include "server/support/IsoTime.h"

#include <sodium.h>

#include <algorithm>

namespace tavrin {

namespace {

constexpr qsizetype prefixLength = 11; // "tk-" and eight characters: enough to tell keys apart
constexpr qsizetype maxLabelLength = 200;

QString randomHex(std::size_t bytes) {
    QByteArray raw(qsizetype(bytes), '\0');
    randombytes_buf(raw.data(), bytes);
    return QString::fromLatin1(raw.toHex());
}

Refusal notFound(const QString& id) {
    return Refusal{404, QStringLiteral("no API key with id \"%1\"").arg(id)};
}

auto findKey(std::vector<StoredAPIKey>& keys, const QString& id) {
    return std::find_if(keys.begin(), keys.end(), [&](const StoredAPIKey& k) { return k.record.id == id; });
}

// A request's key is judged at its head and again once its body has come (it may have been
// revoked meanwhile), and a client sends the same key request after request: the hash of the last
// key judged on this thread is kept rather than made again. Only the hash is kept, never what it
// granted, and keys are told apart in constant time, as their hashes are.
QByteArray hashOfPresented(const QString& presented) {
    thread_local QByteArray lastKey;
    thread_local QByteArray lastHash;
    const QByteArray key = presented.toUtf8();
    if (key.size() != lastKey.size() || sodium_memcmp(key.constData(), lastKey.constData(), std::size_t(key.size())) != 0) {
        lastHash = sha256Hex(key).toLatin1();
        lastKey = key;
    }
    return lastHash;
}

} // namespace

QString newKeySecret() {
    QByteArray raw(32, '\0');
    randombytes_buf(raw.data(), std::size_t(raw.size()));
    return QLatin1StringView(KeyStore::secretPrefix) +
           QString::fromLatin1(raw.toBase64(QByteArray::Base64UrlEncoding | QByteArray::OmitTrailingEquals));
}

QString sha256Hex(const QByteArray& bytes) {
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(bytes.constData()),
                       static_cast<unsigned long long>(bytes.size()));
    return QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(digest), sizeof digest).toHex());
}

std::expected<std::unique_ptr<KeyStore>, QString> KeyStore::open(const StateStore& store, Writer writer) {
    auto loaded = store.load<std::vector<StoredAPIKey>>(QLatin1StringView(fileName));
    if (!loaded)
        return std::unexpected(loaded.error());
    if (!writer)
        writer = [store](const QByteArray& json) { return store.write(QLatin1StringView(fileName), json); };
    return std::unique_ptr<KeyStore>(new KeyStore(std::move(writer), loaded->value_or(std::vector<StoredAPIKey>{})));
}

std::vector<ClientAPIKeyPublic> KeyStore::list() const {
    std::lock_guard lock(m_mutex);
    std::vector<ClientAPIKeyPublic> out;
    out.reserve(m_keys.size());
    for (const auto& k : m_keys)
        out.push_back(k.record);
    return out;
}

template <class F>
auto KeyStore::commit(F&& change) -> decltype(change(std::declval<std::vector<StoredAPIKey>&>())) {
    // Holding m_writeMutex throughout keeps the keys' other fields as copied: only usage
    // counters can change in the meantime.
    std::lock_guard writing(m_writeMutex);
    std::vector<StoredAPIKey> next;
    quint64 copied = 0;
    {
        std::lock_guard lock(m_mutex);
        next = m_keys;
        copied = m_generation;
    }
    auto result = change(next);
    if (!result)
        return result;
    if (auto saved = m_write(encodeJson(next)); !saved)
        return std::unexpected(
            Refusal{500, QStringLiteral("could not save the API keys: %1").arg(saved.error())});
    std::lock_guard lock(m_mutex);
    // Requests counted while the file was written are kept, and reach the file at the next flush.
    for (auto& key : next)
        if (auto current = findKey(m_keys, key.record.id); current != m_keys.end()) {
            key.record.totalRequests = current->record.totalRequests;
            key.record.promptTokens = current->record.promptTokens;
            key.record.completionTokens = current->record.completionTokens;
            key.record.lastUsedAt = current->record.lastUsedAt;
            key.record.lastClientIP = current->record.lastClientIP;
        }
    m_keys = std::move(next);
    const bool countedMeanwhile = m_generation != copied;
    ++m_generation;
    if (!countedMeanwhile)
        m_writtenGeneration = m_generation;
    return result;
}

std::expected<ClientCreatedAPIKey, Refusal>
KeyStore::create(const QString& label, std::optional<std::vector<ClientAPIKeyScope>> scopes) {
    if (label.trimmed().isEmpty())
        return std::unexpected(Refusal{400, QStringLiteral("label must not be empty")});
    if (label.size() > maxLabelLength)
        return std::unexpected(
            Refusal{400, QStringLiteral("label is longer than %1 characters").arg(maxLabelLength)});
    return commit([&](std::vector<StoredAPIKey>& keys) -> std::expected<ClientCreatedAPIKey, Refusal> {
        const QString secret = newKeySecret();
        StoredAPIKey key;
        key.record.id = QStringLiteral("key_") + randomHex(8);
        key.record.label = label;
        key.record.prefix = secret.left(prefixLength);
        key.record.createdAt = isoUtcNow();
        key.record.status = QStringLiteral("active");
        key.record.scopes = std::move(scopes);
        key.secretSha256 = sha256Hex(secret.toLatin1());
        keys.push_back(key);
        return ClientCreatedAPIKey{secret, key.record};
    });
}

std::expected<ClientAPIKeyPublic, Refusal> KeyStore::revoke(const QString& id) {
    return commit([&](std::vector<StoredAPIKey>& keys) -> std::expected<ClientAPIKeyPublic, Refusal> {
        auto it = findKey(keys, id);
        if (it == keys.end())
            return std::unexpected(notFound(id));
        // Revoking twice keeps the first revocation time.
        if (it->record.isActive()) {
            it->record.status = QStringLiteral("revoked");
            it->record.revokedAt = isoUtcNow();
        }
        return it->record;
    });
}

std::expected<ClientCreatedAPIKey, Refusal> KeyStore::rotate(const QString& id) {
    return commit([&](std::vector<StoredAPIKey>& keys) -> std::expected<ClientCreatedAPIKey, Refusal> {
        auto it = findKey(keys, id);
        if (it == keys.end())
            return std::unexpected(notFound(id));
        // A new secret for a revoked key would be one that never works: say so instead.
        if (!it->record.isActive())
            return std::unexpected(Refusal{
                409,
                QStringLiteral("key \"%1\" is revoked; create a new key instead").arg(it->record.label)});
        const QString secret = newKeySecret();
        it->record.prefix = secret.left(prefixLength);
        it->record.lastRotatedAt = isoUtcNow();
        it->secretSha256 = sha256Hex(secret.toLatin1());
        return ClientCreatedAPIKey{secret, it->record};
    });
}

std::expected<void, Refusal> KeyStore::remove(const QString& id) {
    return commit([&](std::vector<StoredAPIKey>& keys) -> std::expected<void, Refusal> {
        auto it = findKey(keys, id);
        if (it == keys.end())
            return std::unexpected(notFound(id));
        keys.erase(it);
        return {};
    });
}

std::optional<KeyGrant> KeyStore::authenticate(const QString& presented) const {
    if (!presented.startsWith(QLatin1StringView(secretPrefix)))
        return std::nullopt;
    const QByteArray hash = hashOfPresented(presented);
    std::lock_guard lock(m_mutex);
    for (const auto& k : m_keys) {
        // Compared as bytes without a copy per key: every request goes through every key.
        char stored[2 * crypto_hash_sha256_BYTES];
        if (k.secretSha256.size() != qsizetype(sizeof stored) || hash.size() != qsizetype(sizeof stored))
            continue;
        for (std::size_t i = 0; i < sizeof stored; ++i)
            stored[i] = char(k.secretSha256[qsizetype(i)].unicode());
        if (sodium_memcmp(stored, hash.constData(), sizeof stored) != 0)
            continue;
        if (!k.record.isActive())
            return std::nullopt;
        const auto& scopes = k.record.scopes;
        // No scope list, or an empty one (the panel shows both alike), is an ordinary key.
        const bool mayGenerate = !scopes || scopes->empty() ||
                                 std::ranges::find(*scopes, ClientAPIKeyScope::inference) != scopes->end();
        return KeyGrant{k.record.id, mayGenerate};
    }
    return std::nullopt;
}

void KeyStore::recordUse(const QString& id, const QString& clientIP, qint64 promptTokens, qint64 completionTokens) {
    std::lock_guard lock(m_mutex);
    auto it = findKey(m_keys, id);
    if (it == m_keys.end())
        return; // deleted while the request ran
    it->record.totalRequests += 1;
    it->record.promptTokens += promptTokens;
    it->record.completionTokens += completionTokens;
    it->record.lastUsedAt = isoUtcNow();
    it->record.lastClientIP = clientIP;
    ++m_generation;
}

std::expected<void, QString> KeyStore::flush() {
    std::lock_guard writing(m_writeMutex);
    std::vector<StoredAPIKey> snapshot;
    quint64 generation = 0;
    {
        std::lock_guard lock(m_mutex);
        if (m_generation == m_writtenGeneration)
            return {};
        snapshot = m_keys;
        generation = m_generation;
    }
    if (auto saved = m_write(encodeJson(snapshot)); !saved)
        return saved;
    std::lock_guard lock(m_mutex);
    m_writtenGeneration = generation;
    return {};
}

} // namespace tavrin
