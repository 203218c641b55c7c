#include "server/AdminSecret.h"

#include <QStringDecoder>

#include <sodium.h>

namespace tavrin {

namespace {

// Comparing digests of equal length keeps the comparison's time independent of both the
// password's length and where a guess first differs.
bool sameSecret(const QByteArray& a, const QByteArray& b) {
    unsigned char da[crypto_hash_sha256_BYTES];
    unsigned char db[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(da, reinterpret_cast<const unsigned char*>(a.constData()), static_cast<unsigned long long>(a.size()));
    crypto_hash_sha256(db, reinterpret_cast<const unsigned char*>(b.constData()), static_cast<unsigned long long>(b.size()));
    return sodium_memcmp(da, db, sizeof da) == 0;
}

} // namespace

bool AdminSecret::accepts(const std::string& authorization) const {
    static constexpr std::string_view scheme = "Bearer ";
    if (authorization.size() <= scheme.size() || authorization.compare(0, scheme.size(), scheme) != 0)
        return false;
    const std::optional<QString> password = m_file.read();
    if (!password)
        return false;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString presented = decoder.decode(QByteArrayView(authorization).sliced(qsizetype(scheme.size())));
    if (decoder.hasError())
        return false;
    return sameSecret(trimmedAdminSecret(presented).toUtf8(), password->toUtf8());
}

} // namespace tavrin
