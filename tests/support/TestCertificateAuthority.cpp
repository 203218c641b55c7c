#include "support/TestCertificateAuthority.h"

#include <openssl/bn.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509v3.h>

namespace tavrin::test {

namespace {

using KeyPtr = std::unique_ptr<EVP_PKEY, decltype(&EVP_PKEY_free)>;
using CertificatePtr = std::unique_ptr<X509, decltype(&X509_free)>;

QString openSslError(const char* what) {
    char text[256] = "no reason given";
    if (const unsigned long code = ERR_get_error(); code != 0)
        ERR_error_string_n(code, text, sizeof text);
    ERR_clear_error();
    return QStringLiteral("%1 failed: %2").arg(QLatin1StringView(what), QLatin1StringView(text));
}

// P-256: as good as RSA for a handshake, and made in a moment.
KeyPtr newKey() { return KeyPtr(EVP_EC_gen("P-256"), &EVP_PKEY_free); }

bool addExtension(X509* certificate, X509V3_CTX* context, int nid, const QByteArray& value) {
    X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, context, nid, value.constData());
    if (!extension)
        return false;
    const bool added = X509_add_ext(certificate, extension, -1) == 1;
    X509_EXTENSION_free(extension);
    return added;
}

// A certificate for `subjectKey`, valid from an hour ago for a day, signed by the issuer (itself
// when `issuer` is null): an authority's when `authority`, else a server's for `names`.
std::expected<CertificatePtr, QString> makeCertificate(const QString& commonName, EVP_PKEY* subjectKey, X509* issuer,
                                                       EVP_PKEY* issuerKey, bool authority, const CertificateNames& names) {
    CertificatePtr certificate(X509_new(), &X509_free);
    if (!certificate || X509_set_version(certificate.get(), 2) != 1)
        return std::unexpected(openSslError("X509_new"));
    // Serial numbers differ between the certificates of one run, as verifiers expect of one issuer.
    std::unique_ptr<BIGNUM, decltype(&BN_free)> serial(BN_new(), &BN_free);
    if (!serial || BN_rand(serial.get(), 63, BN_RAND_TOP_ANY, BN_RAND_BOTTOM_ANY) != 1 ||
        !BN_to_ASN1_INTEGER(serial.get(), X509_get_serialNumber(certificate.get())))
        return std::unexpected(openSslError("serial number"));
    X509_gmtime_adj(X509_getm_notBefore(certificate.get()), -3600);
    X509_gmtime_adj(X509_getm_notAfter(certificate.get()), 24 * 3600);
    X509_NAME* subject = X509_get_subject_name(certificate.get());
    const QByteArray cn = commonName.toUtf8();
    X509_NAME_add_entry_by_txt(subject, "CN", MBSTRING_UTF8, reinterpret_cast<const unsigned char*>(cn.constData()), -1, -1, 0);
    X509_set_issuer_name(certificate.get(), issuer ? X509_get_subject_name(issuer) : subject);
    if (X509_set_pubkey(certificate.get(), subjectKey) != 1)
        return std::unexpected(openSslError("X509_set_pubkey"));

    X509V3_CTX context;
    X509V3_set_ctx(&context, issuer ? issuer : certificate.get(), certificate.get(), nullptr, nullptr, 0);
    bool ok = addExtension(certificate.get(), &context, NID_subject_key_identifier, "hash") &&
              addExtension(certificate.get(), &context, NID_authority_key_identifier, "keyid:always");
    if (authority) {
        ok = ok && addExtension(certificate.get(), &context, NID_basic_constraints, "critical,CA:TRUE") &&
             addExtension(certificate.get(), &context, NID_key_usage, "critical,keyCertSign,cRLSign");
    } else {
        QStringList alternatives;
        for (const auto& host : names.hosts)
            alternatives << QStringLiteral("DNS:") + host;
        for (const auto& address : names.addresses)
            alternatives << QStringLiteral("IP:") + address;
        ok = ok && addExtension(certificate.get(), &context, NID_basic_constraints, "critical,CA:FALSE") &&
             addExtension(certificate.get(), &context, NID_key_usage, "critical,digitalSignature") &&
             addExtension(certificate.get(), &context, NID_ext_key_usage, "serverAuth") &&
             (alternatives.isEmpty() ||
              addExtension(certificate.get(), &context, NID_subject_alt_name, alternatives.join(QLatin1Char(',')).toUtf8()));
    }
    if (!ok)
        return std::unexpected(openSslError("X509 extensions"));
    if (X509_sign(certificate.get(), issuerKey, EVP_sha256()) <= 0)
        return std::unexpected(openSslError("X509_sign"));
    return certificate;
}

template <class Write>
QByteArray pem(Write write) {
    std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), &BIO_free);
    if (!bio || write(bio.get()) != 1)
        return {};
    char* data = nullptr;
    const long size = BIO_get_mem_data(bio.get(), &data);
    return QByteArray(data, qsizetype(size));
}

QByteArray certificatePemOf(X509* certificate) {
    return pem([&](BIO* bio) { return PEM_write_bio_X509(bio, certificate); });
}

QByteArray keyPemOf(EVP_PKEY* key) {
    return pem([&](BIO* bio) { return PEM_write_bio_PrivateKey(bio, key, nullptr, nullptr, 0, nullptr, nullptr); });
}

// A server's certificate for `names` and its new key, signed by the issuer (itself when `issuer` is null).
std::expected<TlsIdentity, QString> serverIdentity(const QString& commonName, X509* issuer, EVP_PKEY* issuerKey,
                                                   const CertificateNames& names) {
    const KeyPtr key = newKey();
    if (!key)
        return std::unexpected(openSslError("EVP_EC_gen"));
    const auto certificate = makeCertificate(commonName, key.get(), issuer, issuer ? issuerKey : key.get(), false, names);
    if (!certificate)
        return std::unexpected(certificate.error());
    return TlsIdentity{certificatePemOf(certificate->get()), keyPemOf(key.get())};
}

} // namespace

struct TestCertificateAuthority::Key {
    KeyPtr key{nullptr, &EVP_PKEY_free};
    CertificatePtr certificate{nullptr, &X509_free};
};

TestCertificateAuthority::TestCertificateAuthority(std::shared_ptr<Key> key, QByteArray certificatePem)
    : m_key(std::move(key)), m_certificatePem(std::move(certificatePem)) {}

std::expected<TestCertificateAuthority, QString> TestCertificateAuthority::make(const QString& name) {
    auto key = std::make_shared<Key>();
    key->key = newKey();
    if (!key->key)
        return std::unexpected(openSslError("EVP_EC_gen"));
    auto certificate = makeCertificate(name, key->key.get(), nullptr, key->key.get(), true, {});
    if (!certificate)
        return std::unexpected(certificate.error());
    key->certificate = std::move(*certificate);
    QByteArray certificatePem = certificatePemOf(key->certificate.get());
    return TestCertificateAuthority(std::move(key), std::move(certificatePem));
}

QByteArray TestCertificateAuthority::certificatePem() const { return m_certificatePem; }

std::expected<TlsIdentity, QString> TestCertificateAuthority::issue(const CertificateNames& names) const {
    return serverIdentity(QStringLiteral("test server"), m_key->certificate.get(), m_key->key.get(), names);
}

std::expected<TlsIdentity, QString> TestCertificateAuthority::selfSigned(const CertificateNames& names) {
    return serverIdentity(QStringLiteral("self-signed test server"), nullptr, nullptr, names);
}

} // namespace tavrin::test
