#include "server/AdminSecret.h"

#include <QFile>

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
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray password = file.read(64 * 1024).trimmed();
    if (password.isEmpty())
        return false;
    const QByteArray presented = QByteArray::fromStdString(authorization.substr(scheme.size())).trimmed();
    return sameSecret(presented, password);
}

} // namespace tavrin
