#include "control/KeychainStore.h"

// glib names a struct member `signals`, which Qt defines as a keyword.
#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

#include "base/PrivateFile.h"
#include "control/OffThread.h"

#include <QCoreApplication>
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

// What the Secret Service said to a save.
enum class Stored { yes, noService, refused };

// Errors that mean no Secret Service exists in this session, as opposed to one that refuses.
bool meansNoService(const GError* error) {
    if (!error || error->domain != G_DBUS_ERROR)
        return false;
    switch (error->code) {
    case G_DBUS_ERROR_SERVICE_UNKNOWN:   // nothing owns the name and nothing can be started for it
    case G_DBUS_ERROR_NAME_HAS_NO_OWNER: // the owner went away
    case G_DBUS_ERROR_SPAWN_EXEC_FAILED: // a service file names a keyring that is not installed
    case G_DBUS_ERROR_SPAWN_SERVICE_NOT_FOUND:
        return true;
    default:
        return false;
    }
}

// Blocking: runs on the keychain's worker. `refusal` receives the Secret Service's error code.
Stored storeInSecretService(const QByteArray& account, const QByteArray& value, int& refusal) {
    if (!sessionHasBus())
        return Stored::noService;
    GError* error = nullptr;
    const gboolean ok = secret_password_store_sync(
        schema(), SECRET_COLLECTION_DEFAULT, "Tavrin Keldmarch admin password", value.constData(), nullptr,
        &error, "service", KeychainStore::service, "account", account.constData(), nullptr);
    const Stored stored = ok ? Stored::yes : meansNoService(error) ? Stored::noService : Stored::refused;
    refusal = error && error->code != 0 ? error->code : -1;
    g_clear_error(&error);
    return stored;
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

// The keychain's one worker: calls run one at a time, in the order they were made.
QThreadPool& keychainWorker() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        p->setMaxThreadCount(1);
        p->setExpiryTimeout(30'000);
        return p;
    }();
    return *pool;
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
    return QCoreApplication::translate("Keyring", "Keyring write failed (%1)").arg(status);
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

QFuture<std::expected<void, KeychainError>> KeychainStore::save(QString value, KeychainAccount account) const {
    return offThread(keychainWorker(), [name = accountName(account).toUtf8(), bytes = value.toUtf8(),
                                        folder = m_fallbackDirectory, path = fallbackPath(account)]()
                                           -> std::expected<void, KeychainError> {
        clearFromSecretService(name);
        ::unlink(QFile::encodeName(path).constData());
        int refusal = 0;
        switch (storeInSecretService(name, bytes, refusal)) {
        case Stored::yes:
            return {};
        case Stored::refused:
            return std::unexpected(KeychainError{refusal});
        case Stored::noService:
            break;
        }
        // No Secret Service at all: keep the value in a file only its owner can read. When that
        // fails too, its errno is the status shown.
        if (auto made = makeDirectories(folder); !made)
            return std::unexpected(KeychainError{made.error().code});
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        if (auto written = writeFilePrivately(path, bytes); !written)
            return std::unexpected(KeychainError{written.error().code});
        return {};
    });
}

QFuture<std::optional<QString>> KeychainStore::load(KeychainAccount account) const {
    return offThread(keychainWorker(), [name = accountName(account).toUtf8(), path = fallbackPath(account)] {
        if (auto found = lookUpInSecretService(name))
            return found;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return std::optional<QString>();
        const QByteArray bytes = file.readAll();
        if (file.error() != QFileDevice::NoError)
            return std::optional<QString>();
        return decodeUtf8(bytes);
    });
}

QFuture<void> KeychainStore::remove(KeychainAccount account) const {
    return offThread(keychainWorker(), [name = accountName(account).toUtf8(), path = fallbackPath(account)] {
        clearFromSecretService(name);
        ::unlink(QFile::encodeName(path).constData());
    });
}

} // namespace tavrin
