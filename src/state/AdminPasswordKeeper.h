#pragma once

#include "protocol/Task.h"

#include "state/ActionOutcome.h"

#include <QFuture>
#include <QObject>
#include <QString>

#include <memory>
#include <optional>

namespace tavrin {

class DaemonClient;
class DaemonProcessController;
class KeychainStore;

// The admin password's life on the panel's side, in its three places: the keychain (the panel's own
// copy), the admin client (what every admin call sends) and the file the server reads (written
// through the controller). At start it is found in the file, then the keychain; the user's saves and
// forgets go to all three. The keychain is only ever asked off the GUI thread; until its answer about
// the password is in, found() waits for it rather than calling the password missing.
class AdminPasswordKeeper : public QObject {
    Q_OBJECT
public:
    // `client` and `process` outlive the keeper.
    AdminPasswordKeeper(DaemonClient* client, DaemonProcessController* process, KeychainStore keychain);
    ~AdminPasswordKeeper() override;

    // Returns once the password found at start is in the client: at once when it came from the file,
    // else when the keychain has answered.
    QCoro::Task<void> found();
    // The keychain's copy, as setup offers it back.
    QFuture<std::optional<QString>> stored() const;

    // A password of 16 characters or more as a person counts them, without the white space at its
    // ends (the server trims it), for every face that saves one. In this order, stopping at the first
    // failure: keychain, client, file.
    QCoro::Task<ActionResult> save(QString secret);
    // Keyring item, client, file; reports nothing.
    QCoro::Task<void> forget();

private:
    // Applies the keychain's answer about the password, once, unless a password was set or cleared
    // meanwhile.
    void takeDiscovered();

    DaemonClient* m_client;
    DaemonProcessController* m_process;
    std::unique_ptr<KeychainStore> m_keychain;
    // The keychain's pending answer while the password is being found at start.
    std::optional<QFuture<std::optional<QString>>> m_discovery;
};

} // namespace tavrin
