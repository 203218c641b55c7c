#pragma once

#include <QFuture>
#include <QString>

#include <expected>
#include <optional>

namespace tavrin {

enum class KeychainAccount {
    adminSecret, // "admin-secret"
};
QString accountName(KeychainAccount account);

// The keychain's one failure: the Secret Service refused the value (the status is its error code), or,
// where there is no Secret Service, the private fallback file could not be written (errno).
struct KeychainError {
    int status = 0;
    QString message() const;
};

// The panel's durable copy of its passwords: a Secret Service item identified by the service
// "com.tavrinai.server.gui" and the account name, nothing else. Only where the session has no
// Secret Service at all (a bare window manager, a headless box) does a private file in the user's
// config folder hold the value instead, so that setup never dead-ends; a Secret Service that refuses
// (a locked keyring whose prompt the user dismissed) is a failure, not a reason to bypass it.
//
// A keyring may open an unlock prompt and wait for the user, so no call ever runs on the GUI
// thread: each runs on the keychain's own worker, one at a time in the order the calls were made (a
// save never overtakes an earlier delete), and the caller co_awaits the future.
class KeychainStore {
public:
    static constexpr const char* service = "com.tavrinai.server.gui";

    // `fallbackDirectory` defaults to $XDG_CONFIG_HOME/tavrin-keldmarch/keychain.
    explicit KeychainStore(QString fallbackDirectory = {});

    // Always replaces: every stored copy is deleted first, then the value is added.
    QFuture<std::expected<void, KeychainError>> save(QString value, KeychainAccount account) const;
    // Nothing on any failure: missing, locked, unreadable, not UTF-8.
    QFuture<std::optional<QString>> load(KeychainAccount account) const;
    // Never fails as far as callers can see.
    QFuture<void> remove(KeychainAccount account) const;

    QString fallbackPath(KeychainAccount account) const;

private:
    QString m_fallbackDirectory;
};

} // namespace tavrin
