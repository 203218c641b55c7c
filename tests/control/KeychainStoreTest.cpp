#include "control/KeychainStore.h"
#include "support/Basics.h"

#pragma push_macro("signals")
#undef signals
#include <libsecret/secret.h>
#pragma pop_macro("signals")

#include <QDir>
#include <QFile>
#include <QTest>

using namespace tavrin;

namespace {

// Read the item the way any other Secret Service client would, by its two attributes.
std::optional<QString> itemInSecretService() {
    GHashTable* attributes = g_hash_table_new(g_str_hash, g_str_equal);
    g_hash_table_insert(attributes, const_cast<char*>("service"), const_cast<char*>("com.tavrinai.server.gui"));
    g_hash_table_insert(attributes, const_cast<char*>("account"), const_cast<char*>("admin-secret"));
    GList* items = secret_service_search_sync(
        nullptr, nullptr, attributes,
        SecretSearchFlags(SECRET_SEARCH_ALL | SECRET_SEARCH_UNLOCK | SECRET_SEARCH_LOAD_SECRETS), nullptr, nullptr);
    g_hash_table_unref(attributes);
    std::optional<QString> found;
    for (GList* l = items; l; l = l->next)
        if (SecretValue* value = secret_item_get_secret(SECRET_ITEM(l->data))) {
            found = QString::fromUtf8(secret_value_get_text(value));
            secret_value_unref(value);
        }
    const guint count = g_list_length(items);
    g_list_free_full(items, g_object_unref);
    return count > 1 ? QStringLiteral("<%1 items>").arg(count) : found;
}

enum class Keychain { working, none, refusing };

} // namespace

// Runs three times: against gnome-keyring in the test's private session; on a bus where no Secret
// Service exists at all, where the private fallback file must carry the item; and against a keyring
// that refuses (it cannot be unlocked, as when the user dismisses the prompt), where the write must
// fail rather than slip into the file.
class KeychainStoreTest : public QObject {
    Q_OBJECT
    // Which keychain the test's session has (see tests/run-session.sh).
    const Keychain m_keychain = qEnvironmentVariableIsSet("TAVRIN_TEST_NO_KEYRING")      ? Keychain::none
                                : qEnvironmentVariableIsSet("TAVRIN_TEST_KEYRING_LOCKED") ? Keychain::refusing
                                                                                          : Keychain::working;
    KeychainStore m_store;

    QString fallback() const { return m_store.fallbackPath(KeychainAccount::adminSecret); }

private Q_SLOTS:
    void init() { m_store.remove(KeychainAccount::adminSecret).waitForFinished(); }

    void savingTwiceLeavesOneCopyHoldingTheSecondValueAsTyped() {
        const auto first = m_store.save(QStringLiteral("first"), KeychainAccount::adminSecret).result();
        const auto second = m_store.save(QStringLiteral(" second ✓\n"), KeychainAccount::adminSecret).result();
        switch (m_keychain) {
        case Keychain::working:
            QVERIFY(first && second);
            QCOMPARE(itemInSecretService(), std::optional<QString>(QStringLiteral(" second ✓\n")));
            QVERIFY2(!QFile::exists(fallback()), "a working Secret Service must not leave a file copy");
            break;
        case Keychain::none:
            QVERIFY(first && second);
            QCOMPARE(fallback(), qEnvironmentVariable("XDG_CONFIG_HOME") +
                                     QStringLiteral("/tavrin-keldmarch/keychain/com.tavrinai.server.gui.admin-secret"));
            QCOMPARE(test::modeOf(fallback()), mode_t(0600));
            QCOMPARE(test::modeOf(QFileInfo(fallback()).path()), mode_t(0700));
            break;
        case Keychain::refusing:
            QVERIFY(!second);
            QVERIFY2(second.error().message().startsWith(QStringLiteral("Keyring write failed (")),
                     qPrintable(second.error().message()));
            QVERIFY2(!QFile::exists(fallback()), "a refusing Secret Service must not be bypassed by the file");
            QCOMPARE(m_store.load(KeychainAccount::adminSecret).result(), std::nullopt);
            return;
        }
        QCOMPARE(m_store.load(KeychainAccount::adminSecret).result(), std::optional<QString>(QStringLiteral(" second ✓\n")));
        m_store.remove(KeychainAccount::adminSecret).waitForFinished();
        QCOMPARE(m_store.load(KeychainAccount::adminSecret).result(), std::nullopt);
        QVERIFY(!QFile::exists(fallback()));
        if (m_keychain == Keychain::working)
            QCOMPARE(itemInSecretService(), std::nullopt);
    }

    void callsTakeEffectInTheOrderTheyWereMade() {
        if (m_keychain == Keychain::refusing)
            QSKIP("nothing is kept");
        for (int i = 0; i < 5; ++i) { // issued at once, without waiting in between
            m_store.save(QString::number(i), KeychainAccount::adminSecret);
            m_store.remove(KeychainAccount::adminSecret);
        }
        m_store.save(QStringLiteral("last"), KeychainAccount::adminSecret);
        QCOMPARE(m_store.load(KeychainAccount::adminSecret).result(), std::optional<QString>(QStringLiteral("last")));
    }

    void aFallbackThatCannotBeWrittenFailsWithItsStatus() {
        if (m_keychain != Keychain::none)
            QSKIP("the fallback is only used where there is no Secret Service");
        const KeychainStore store(QStringLiteral("/dev/null/keychain")); // under a file, not a folder
        QCOMPARE(store.save(QStringLiteral("value"), KeychainAccount::adminSecret).result().error().message(),
                 QStringLiteral("Keyring write failed (20)")); // ENOTDIR
    }

    void aSessionWithoutABusUsesTheFallbackWithoutLaunchingOne() {
        const QByteArray bus = qgetenv("DBUS_SESSION_BUS_ADDRESS");
        const QByteArray runtime = qgetenv("XDG_RUNTIME_DIR");
        qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        qunsetenv("XDG_RUNTIME_DIR");
        const bool saved = bool(m_store.save(QStringLiteral("no bus"), KeychainAccount::adminSecret).result());
        const auto loaded = m_store.load(KeychainAccount::adminSecret).result();
        m_store.remove(KeychainAccount::adminSecret).waitForFinished();
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus);
        qputenv("XDG_RUNTIME_DIR", runtime);
        QVERIFY(saved);
        QCOMPARE(loaded, std::optional<QString>(QStringLiteral("no bus")));
        QVERIFY(!QFile::exists(QDir::homePath() + QStringLiteral("/.dbus")));
    }
};

QTEST_GUILESS_MAIN(KeychainStoreTest)
#include "KeychainStoreTest.moc"
