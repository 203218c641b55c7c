#include "control/KeychainStore.h"

#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using namespace tavrin;

namespace {

// Read the item the way any other Secret Service client would, by its two attributes.
std::optional<QString> itemInSecretService() {
    GError* error = nullptr;
    GHashTable* attributes = g_hash_table_new(g_str_hash, g_str_equal);
    g_hash_table_insert(attributes, const_cast<char*>("service"),
                        const_cast<char*>("com.tavrinai.server.gui"));
    g_hash_table_insert(attributes, const_cast<char*>("account"), const_cast<char*>("admin-secret"));
    GList* items = secret_service_search_sync(
        nullptr, nullptr, attributes,
        SecretSearchFlags(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS), nullptr,
        &error);
    g_hash_table_unref(attributes);
    g_clear_error(&error);
    std::optional<QString> found;
    int count = 0;
    for (GList* l = items; l; l = l->next) {
        ++count;
        SecretValue* value = secret_item_get_secret(SECRET_ITEM(l->data));
        if (value) {
            found = QString::fromUtf8(secret_value_get_text(value));
            secret_value_unref(value);
        }
    }
    g_list_free_full(items, g_object_unref);
    if (count > 1)
        return QStringLiteral("<%1 items>").arg(count);
    return found;
}

mode_t modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return 0;
    return st.st_mode & 07777;
}

} // namespace

// Runs twice: against gnome-keyring in the test's private session, and (TAVRIN_TEST_NO_KEYRING=1)
// with no Secret Service on the bus at all, where the private fallback file must carry the item.
class KeychainStoreTest : public QObject {
    Q_OBJECT
    const bool m_keyring = qEnvironmentVariable("TAVRIN_TEST_NO_KEYRING") != QLatin1String("1");
    KeychainStore m_store;

private Q_SLOTS:
    void init() { m_store.remove(KeychainAccount::adminSecret); }

    void defaultFallbackLivesInThePrivateConfigFolder() {
        QCOMPARE(m_store.fallbackPath(KeychainAccount::adminSecret),
                 qEnvironmentVariable("XDG_CONFIG_HOME") +
                     QStringLiteral("/tavrin-keldmarch/keychain/com.tavrinai.server.gui.admin-secret"));
    }

    void savingTwiceLeavesOneItemHoldingTheSecondValue() {
        QVERIFY(m_store.save(QStringLiteral("first"), KeychainAccount::adminSecret));
        QVERIFY(m_store.save(QStringLiteral("second ✓"), KeychainAccount::adminSecret));
        QCOMPARE(m_store.load(KeychainAccount::adminSecret),
                 std::optional<QString>(QStringLiteral("second ✓")));
        const QString fallback = m_store.fallbackPath(KeychainAccount::adminSecret);
        if (m_keyring) {
            QCOMPARE(itemInSecretService(), std::optional<QString>(QStringLiteral("second ✓")));
            QVERIFY2(!QFile::exists(fallback), "a working Secret Service must not leave a file copy");
        } else {
            QFile file(fallback);
            QVERIFY(file.open(QIODevice::ReadOnly));
            QCOMPARE(file.readAll(), QStringLiteral("second ✓").toUtf8());
            QCOMPARE(modeOf(fallback), mode_t(0600));
            QCOMPARE(modeOf(QFileInfo(fallback).path()), mode_t(0700));
        }
    }

    void valueIsStoredAsTypedWithoutTrimming() {
        QVERIFY(m_store.save(QStringLiteral(" padded \n"), KeychainAccount::adminSecret));
        QCOMPARE(m_store.load(KeychainAccount::adminSecret),
                 std::optional<QString>(QStringLiteral(" padded \n")));
    }

    void loadingAMissingItemGivesNothing() {
        QCOMPARE(m_store.load(KeychainAccount::adminSecret), std::optional<QString>());
    }

    void deletingRemovesTheItemAndIsSilentWhenNothingIsThere() {
        QVERIFY(m_store.save(QStringLiteral("gone soon"), KeychainAccount::adminSecret));
        m_store.remove(KeychainAccount::adminSecret);
        QCOMPARE(m_store.load(KeychainAccount::adminSecret), std::optional<QString>());
        if (m_keyring)
            QCOMPARE(itemInSecretService(), std::optional<QString>());
        QVERIFY(!QFile::exists(m_store.fallbackPath(KeychainAccount::adminSecret)));
        m_store.remove(KeychainAccount::adminSecret);
    }

    void fallbackFileThatIsNotUtf8LoadsAsNothing() {
        if (m_keyring)
            QSKIP("only the fallback file can hold arbitrary bytes");
        const QString path = m_store.fallbackPath(KeychainAccount::adminSecret);
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("\xc3\x28");
        file.close();
        QCOMPARE(m_store.load(KeychainAccount::adminSecret), std::optional<QString>());
    }

    void writeFailsWithItsStatusOnlyWhenNoStoreTakesTheValue() {
        QTemporaryDir dir;
        // A plain file where the fallback folder should be.
        const QString blocked = dir.path() + QStringLiteral("/not-a-folder");
        QFile blocker(blocked);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        KeychainStore store(blocked + QStringLiteral("/keychain"));
        const auto saved = store.save(QStringLiteral("value"), KeychainAccount::adminSecret);
        if (m_keyring) {
            QVERIFY(saved); // the Secret Service took it; the fallback was never needed
            store.remove(KeychainAccount::adminSecret);
            return;
        }
        QVERIFY(!saved);
        QCOMPARE(saved.error().message(), QStringLiteral("Keychain write failed (20)")); // ENOTDIR
    }

    void aSessionWithoutABusUsesTheFallbackWithoutLaunchingOne() {
        const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qunsetenv("XDG_RUNTIME_DIR");
        const bool saved = bool(m_store.save(QStringLiteral("no bus"), KeychainAccount::adminSecret));
        const auto loaded = m_store.load(KeychainAccount::adminSecret);
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
        qputenv("XDG_RUNTIME_DIR", runtime);
        QVERIFY(saved);
        QCOMPARE(loaded, std::optional<QString>(QStringLiteral("no bus")));
        QVERIFY(QFile::exists(m_store.fallbackPath(KeychainAccount::adminSecret)));
        QVERIFY(!QFile::exists(QDir::homePath() + QStringLiteral("/.dbus")));
    }
};

QTEST_GUILESS_MAIN(KeychainStoreTest)
#include "KeychainStoreTest.moc"
