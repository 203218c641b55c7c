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
        0,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
        nullptr,
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

// Without a session bus GDBus would try to autolaunch one (leaving a daemon and ~/.dbus behind):
// a session that has no bus has no Secret Service either.
bool sessionHasBus() {
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFile::exists(runtime + QStringLiteral("/bus"));
}

// Returns the GError code on failure, 0 on success.
int storeInSecretService(const QByteArray& account, const QByteArray& value) {
    if (!sessionHasBus())
        return -1;
    GError* error = nullptr;
    const gboolean ok = secret_password_store_sync(
        schema(), SECRET_COLLECTION_DEFAULT, "Tavrin Keldmarch admin password", value.constData(), nullptr,
        &error, "service", KeychainStore::service, "account", account.constData(), nullptr);
    if (ok)
        return 0;
    const int code = error ? error->code : -1;
    g_clear_error(&error);
    return code == 0 ? -1 : code;
}

void clearFromSecretService(const QByteArray& account) {
    if (!sessionHasBus())
        return;
    GError* error = nullptr;
    secret_password_clear_sync(schema(), nullptr, &error, "service", KeychainStore::service, "account",
                               account.constData(), nullptr);
    g_clear_error(&error);
}

std::optional<QString> lookUpInSecretService(const QByteArray& account) {
    if (!sessionHasBus())
        return std::nullopt;
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
    if (storeInSecretService(name, value.toUtf8()) == 0)
        return {};
    // No Secret Service that would take it: keep the value in a file only its owner can read. When
    // that fails too, its errno is the status shown.
    if (auto made = makeDirectories(m_fallbackDirectory); !made)
        return std::unexpected(KeychainError{made.error().code});
    ::chmod(QFile::encodeName(m_fallbackDirectory).constData(), 0700);
    if (auto written = writeFilePrivately(fallbackPath(account), value.toUtf8()); !written)
        return std::unexpected(KeychainError{written.error().code});
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
