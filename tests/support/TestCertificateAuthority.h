#pragma once

// Certificates made for one test run, never committed and never trusted by the machine: a
// certificate authority of its own, the certificates it issues to the loopback servers a test
// starts, and self-signed ones that nobody vouches for. A server under test learns to trust the
// authority only when the test hands it the authority's certificate (SSL_CERT_FILE in its
// environment); keys stay in memory.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <expected>
#include <memory>

namespace tavrin::test {

// What a TLS listener presents: its certificate (PEM) and the private key that goes with it (PEM).
struct TlsIdentity {
    QByteArray certificatePem;
    QByteArray privateKeyPem;
};

// The names a certificate is for: host names and IP addresses, as its subject alternative names.
struct CertificateNames {
    QStringList hosts;
    QStringList addresses;

    static CertificateNames loopback() { return {{QStringLiteral("localhost")}, {QStringLiteral("127.0.0.1")}}; }
};

class TestCertificateAuthority {
public:
    static std::expected<TestCertificateAuthority, QString> make(const QString& name);

    QByteArray certificatePem() const;
    std::expected<TlsIdentity, QString> issue(const CertificateNames& names) const;

    // A certificate that vouches for itself alone, for the same names.
    static std::expected<TlsIdentity, QString> selfSigned(const CertificateNames& names);

    struct Key;

private:
    TestCertificateAuthority(std::shared_ptr<Key> key, QByteArray certificatePem);

    std::shared_ptr<Key> m_key;
    QByteArray m_certificatePem;
};

} // namespace tavrin::test
