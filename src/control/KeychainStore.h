#pragma once

#include <QString>

#include <expected>
#include <optional>

namespace tavrin {

enum class KeychainAccount {
    adminSecret, // "admin-secret"
};
QString accountName(KeychainAccount account);

// The keychain's one failure: neither the Secret Service nor the private fallback file took the value.
struct KeychainError {
    int status = 0;
    QString message() const;
};

// The panel's durable copy of its passwords: a Secret Service item identified by the service
// "com.tavrinai.server.gui" and the account name, nothing else. Where the session has no working
// Secret Service (a bare window manager, a headless box) a private file in the user's config folder
// holds the value instead, so that setup never dead-ends. All calls are synchronous.
class KeychainStore {
public:
    static constexpr const char* service = "com.tavrinai.server.gui";

    // `fallbackDirectory` defaults to $XDG_CONFIG_HOME/tavrin-keldmarch/keychain.
    explicit KeychainStore(QString fallbackDirectory = {});

    // Always replaces: every stored copy is deleted first, then the value is added.
    std::expected<void, KeychainError> save(const QString& value, KeychainAccount account) const;
    // Nothing on any failure: missing, locked, unreadable, not UTF-8.
    std::optional<QString> load(KeychainAccount account) const;
    // Never fails as far as callers can see.
    void remove(KeychainAccount account) const;

    QString fallbackPath(KeychainAccount account) const;

private:
    QString m_fallbackDirectory;
};

} // namespace tavrin
