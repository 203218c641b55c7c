#include "control/KeychainStore.h"

// glib names a struct member `signals`, which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

#include "control/AdminSecretFile.h"

#include <QFile>
#include <QStandardPaths>
#include <QStringDecoder>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace tavrin {

namespace {

// The schema name is not matched: an item is found by its two attributes alone.
const SecretSchema* schema() {
    static const SecretSchema s = {
        "com.tavrinai.server.gui",
        SECRET_SCHEMA_DONT_MATCH_NAME,
        {
            {"service", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {"account", SECRET_SCHEMA_ATTRIBUTE_STRING},
            {nullptr, SECRET_SCHEMA_ATTRIBUTE_STRING},
        },
        0, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
    };
    return &s;
}

std::optional<QString> decodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

// Returns the GError code on failure, 0 on success.
int storeInSecretService(const QByteArray& account, const QByteArray& value) {
    GError* error = nullptr;
    const gboolean ok = secret_password_store_sync(schema(), SECRET_COLLECTION_DEFAULT,
                                                   "Tavrin Keldmarch admin password", value.constData(),
                                                   nullptr, &error, "service", KeychainStore::service,
                                                   "account", account.constData(), nullptr);
    if (ok)
        return 0;
    const int code = error ? error->code : -1;
    g_clear_error(&error);
    return code == 0 ? -1 : code;
}

void clearFromSecretService(const QByteArray& account) {
    GError* error = nullptr;
    secret_password_clear_sync(schema(), nullptr, &error, "service", KeychainStore::service, "account",
                               account.constData(), nullptr);
    g_clear_error(&error);
}

std::optional<QString> lookUpInSecretService(const QByteArray& account) {
    GError* error = nullptr;
    gchar* secret = secret_password_lookup_sync(schema(), nullptr, &error, "service", KeychainStore::service,
                                                "account", account.constData(), nullptr);
    g_clear_error(&error);
    if (!secret)
        return std::nullopt;
    auto text = decodeUtf8(QByteArray(secret));
    secret_password_free(secret);
    return text;
}

} // namespace

QString accountName(KeychainAccount account) {
    switch (account) {
    case KeychainAccount::adminSecret:
        return QStringLiteral("admin-secret");
    }
    return {};
}

QString KeychainError::message() const {
    return QStringLiteral("Keychain write failed (") + QString::number(status) + QStringLiteral(")");
}

KeychainStore::KeychainStore(QString fallbackDirectory) : m_fallbackDirectory(std::move(fallbackDirectory)) {
    if (m_fallbackDirectory.isEmpty())
        m_fallbackDirectory = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                              QStringLiteral("/tavrin-keldmarch/keychain");
}

QString KeychainStore::fallbackPath(KeychainAccount account) const {
    return m_fallbackDirectory + QLatin1Char('/') + QLatin1String(service) + QLatin1Char('.') +
           accountName(account);
}

std::expected<void, KeychainError> KeychainStore::save(const QString& value, KeychainAccount account) const {
    remove(account);
    const QByteArray name = accountName(account).toUtf8();
    const int status = storeInSecretService(name, value.toUtf8());
    if (status == 0)
        return {};
    // No Secret Service that would take it: keep the value in a file only its owner can read.
    if (auto made = makeDirectories(m_fallbackDirectory); !made)
        return std::unexpected(KeychainError{status});
    ::chmod(QFile::encodeName(m_fallbackDirectory).constData(), 0700);
    if (auto written = writeFilePrivately(fallbackPath(account), value.toUtf8()); !written)
        return std::unexpected(KeychainError{status});
    return {};
}

std::optional<QString> KeychainStore::load(KeychainAccount account) const {
    if (auto found = lookUpInSecretService(accountName(account).toUtf8()))
        return found;
    QFile file(fallbackPath(account));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return decodeUtf8(bytes);
}

void KeychainStore::remove(KeychainAccount account) const {
    clearFromSecretService(accountName(account).toUtf8());
    ::unlink(QFile::encodeName(fallbackPath(account)).constData());
}

} // namespace tavrin
