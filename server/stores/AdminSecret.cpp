#include "server/stores/AdminSecret.h"

#include "server/support/ServerLog.h"

#include <QFile>
#include <QStringDecoder>

#include <sodium.h>
#include <sys/stat.h>
#include <unistd.h>

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

bool AdminSecret::filePrivate() const {
    struct stat st {};
    if (::stat(QFile::encodeName(m_file.path()).constData(), &st) != 0)
        return true; // no file: read() finds no password
    if ((st.st_mode & 077) == 0 && st.st_uid == ::geteuid()) {
        m_reported = 0; // a file made private again and then loosened is reported anew
        return true;
    }
    const quint64 state = (quint64(st.st_uid) << 32) | quint64(st.st_mode & 07777) | (quint64(1) << 31);
    if (m_reported.exchange(state) != state)
        logLine(QStringLiteral("%1 is refused: it has mode %2 and owner uid %3, but it must be readable and writable by this "
                               "user (uid %4) alone. Set the admin password again in the panel, or run chmod 600 on it.")
                    .arg(m_file.path(), QString::number(st.st_mode & 07777, 8).rightJustified(4, u'0'))
                    .arg(st.st_uid)
                    .arg(::geteuid()));
    return false;
}

bool AdminSecret::accepts(const std::string& authorization) const {
    static constexpr std::string_view scheme = "Bearer ";
    if (authorization.size() <= scheme.size() || authorization.compare(0, scheme.size(), scheme) != 0)
        return false;
    if (!filePrivate())
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
