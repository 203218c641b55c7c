#pragma once

#include "protocol/Task.h"

#include "protocol/ClientRecords.h"
#include "protocol/HardwareProbe.h"
#include "state/ServerActions.h"

#include <QObject>
#include <QString>

#include <expected>
#include <optional>

namespace tavrin {

class ServerStateModel;

// Where the companion app's model file was looked for, and what came of it.
struct CompanionSearch {
    QString folder;      // the folder in use
    bool found = false;  // it holds the model
    bool checked = false;
    QString error;       // empty while there is nothing to say
    bool operator==(const CompanionSearch&) const = default;
};

// Why the server could not be started; message() is the service controller's own text.
struct StartFailure {
    QString text;
    QString message() const { return text; }
};

// The work beneath the first-run wizard's steps, so that the screens never reach the service
// controller, the keychain or the machine themselves. Every coroutine runs to its end even when the
// step that asked has gone.
class SetupActions : public QObject {
    Q_OBJECT
public:
    static constexpr const char* startAtLoginSetting = "TavrinServer.wizard.startAtLogin";
    static constexpr const char* lanSetting = "TavrinServer.wizard.lanEnabled";
    static constexpr const char* portSetting = "TavrinServer.wizard.bindPort";
    static constexpr const char* firstKeyLabel = "First key";

    explicit SetupActions(ServerStateModel* model);

    // The machine the readiness step judges: this one, or the one given on the command line.
    void setSimulatedHost(std::optional<SimulatedHost> host) { m_simulatedHost = std::move(host); }
    bool hostIsSimulated() const { return m_simulatedHost.has_value(); }
    // Reads the machine off the GUI thread.
    QCoro::Task<ClientHardwareReport> probeHardware();

    // The companion's folder before any check: the first candidate that holds the model, else the first.
    CompanionSearch companionAtStart() const;
    // Keeps `folder` while it holds the model, else the first candidate that does, else `folder`; and
    // remembers the folder, so that the server is told to serve from it. Quick file tests only.
    CompanionSearch checkCompanion(const QString& folder) const;
    // The folder to put the model bundle in: `folder`, made if missing, else the user's own candidate;
    // the error is the message to show.
    std::expected<QString, QString> makeCompanionFolder(const QString& folder) const;

    QString generatePassword() const;
    // The keychain's admin password, if it holds one.
    QCoro::Task<std::optional<QString>> storedPassword();
    // 16 or more characters, confirmed exactly.
    static bool acceptablePassword(const QString& password, const QString& confirmation);
    // Keyring, client, then the file the server reads; stops at the first failure.
    QCoro::Task<ActionResult> savePassword(QString password);

    // The set-up step's choices, kept between visits and runs.
    bool startAtLoginChoice() const;
    void setStartAtLoginChoice(bool on);
    bool lanChoice() const;
    void setLanChoice(bool lan);
    // The default port when none is kept, or when what is kept is no port.
    int portChoice() const;
    void setPortChoice(int port);

    // Registers the login service (start at login) or starts the server as a child for this session,
    // either way with the password the client holds.
    QCoro::Task<std::expected<void, StartFailure>> launchServer(bool startAtLogin);
    // Up to ten health checks half a second apart; then the service manager's view and a poll cycle;
    // then the network choice (LAN or this machine only, on `port`), sent best effort. True when the
    // server answered a health check.
    QCoro::Task<bool> awaitServer(bool lanEnabled, int port);

    // "First key", with no scopes, made by the key actions; its secret is handed back and kept nowhere
    // else.
    QCoro::Task<std::expected<ClientCreatedAPIKey, ActionError>> createFirstKey();

private:
    ServerStateModel* m_model;
    std::optional<SimulatedHost> m_simulatedHost;
};

} // namespace tavrin
