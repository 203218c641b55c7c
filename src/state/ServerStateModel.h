#pragma once

#include "protocol/Task.h"

#include "base/ServerAddress.h"
#include "protocol/ClientRecords.h"
#include "state/AdminPasswordKeeper.h"
#include "state/DiagnosticsActions.h"
#include "state/EngineActions.h"
#include "state/KeyActions.h"
#include "state/LoadHistory.h"
#include "state/ModelActions.h"
#include "state/Phase.h"
#include "state/PhaseRules.h"
#include "state/PollLoop.h"
#include "state/ServerActions.h"
#include "state/SettingsActions.h"
#include "state/SetupActions.h"
#include "state/UpdateActions.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QUrl>

#include <expected>
#include <memory>
#include <optional>

namespace tavrin {

class DaemonClient;
class DaemonProcessController;
class KeychainStore;

// How a model is made (ServerStateModel::make): the panel and tavrinctl differ only here, and tests give
// parts of their own.
struct ModelOptions {
    // The admin API: the server's default address, unless a test or a benchmark points elsewhere.
    QUrl baseURL = ServerAddress::defaultBaseUrl();
    // The service controller the model acts through; none makes one for this program's bundle. A test
    // gives its own (its bundle, service manager and state folder) and may keep a hold on it.
    std::shared_ptr<DaemonProcessController> process{};
    // Whether a face reads the model's fields after a change: the panel's screens do, so every change the
    // server took ends with a poll cycle that brings them up to date; tavrinctl reads each action's own
    // answer, and is spared the poll.
    bool followChanges = true;
};

// The one observable object every screen and tavrinctl hold. It keeps the last status and key list the
// server gave and the phase derived from them, filled by its poll cycle (refresh()); what else it does
// is its members', each with one job: the poll loop (PollLoop), the phase rules (PhaseRules), the admin
// password's life on the panel's side (AdminPasswordKeeper), the load of the last minutes
// (LoadHistory), and the actions.
// Every write of a published field emits its signal, even when the value is unchanged.
class ServerStateModel : public QObject {
    Q_OBJECT
    Q_PROPERTY(tavrin::Phase phase READ phase NOTIFY phaseChanged)
    Q_PROPERTY(bool hasCompletedFirstRun READ hasCompletedFirstRun WRITE setHasCompletedFirstRun NOTIFY
                   hasCompletedFirstRunChanged)
    Q_PROPERTY(double pollIntervalSeconds READ pollIntervalSeconds WRITE setPollIntervalSeconds NOTIFY
                   pollIntervalSecondsChanged)
    Q_PROPERTY(std::optional<QString> lastError READ lastError NOTIFY lastErrorChanged)
    Q_PROPERTY(std::optional<QDateTime> lastRefreshedAt READ lastRefreshedAt NOTIFY lastRefreshedAtChanged)

public:
    static constexpr const char* firstRunKey = "TavrinServer.firstRunComplete";

    // The one way the panel and tavrinctl make their model: its own admin client and controller, as
    // `options` say. Neither face sees the client or the controller.
    static std::unique_ptr<ServerStateModel> make(ModelOptions options = {});
    // A model over a client and a controller that outlive it, for tests that hand in their own. The admin
    // password file is the controller's. The keychain is the user's own unless one is given.
    ServerStateModel(DaemonClient* client, DaemonProcessController* process, QObject* parent = nullptr);
    ServerStateModel(DaemonClient* client, DaemonProcessController* process, KeychainStore keychain,
                     QObject* parent = nullptr);
    ~ServerStateModel() override;

    Phase phase() const { return m_phase; }
    const std::optional<ClientServerStatus>& status() const { return m_status; }
    const ClientAPIKeyList& keys() const { return m_keys; }
    const std::optional<QString>& lastError() const { return m_lastError; }
    const std::optional<QDateTime>& lastRefreshedAt() const { return m_lastRefreshedAt; }
    bool hasCompletedFirstRun() const { return m_hasCompletedFirstRun; }
    void setHasCompletedFirstRun(bool done);
    double pollIntervalSeconds() const { return m_pollIntervalSeconds; }
    void setPollIntervalSeconds(double seconds);

    // What the user last asked of the server, for half a minute after the asking: none, once older.
    enum class Request { none, start, stop };
    Request recentRequest() const;
    // The load of the last ten minutes, kept whether or not anything shows it.
    const LoadHistory& loadHistory() const { return m_loadHistory; }
    LoadHistory& loadHistory() { return m_loadHistory; }

    // What screens ask of the server and its login service.
    ServerActions& actions() { return m_actions; }
    // What the first-run wizard asks of the machine, the keychain and the server.
    SetupActions& setup() { return m_setup; }
    // What screens ask of the server's admin API, one family of its records each. Screens reach the
    // server only through these: the client and the controller are the state layer's own.
    KeyActions& keyActions() { return m_keyActions; }
    ModelActions& modelActions() { return m_modelActions; }
    SettingsActions& settingsActions() { return m_settingsActions; }
    UpdateActions& updateActions() { return m_updateActions; }
    DiagnosticsActions& diagnosticsActions() { return m_diagnosticsActions; }
    EngineActions& engineActions() { return m_engineActions; }

    // Returns once the password found at start is in the client (AdminPasswordKeeper::found). An
    // action asked for before then goes without it.
    QCoro::Task<void> adminSecretFound();

    // One poll cycle; never fails. Every change ends with one (followChange); the window's refresh button
    // asks for one.
    QCoro::Task<void> refresh();
    // The poll cycle that ends every change the server took, when a face follows the model's fields;
    // nothing for a face that reads only what its actions hand back (ModelOptions::followChanges).
    QCoro::Task<void> followChange();
    // Starts the poll loop, replacing (never adding to) one already running.
    void startPolling() { m_pollLoop.start(); }

    // The admin password, saved (with its length rule) and forgotten: AdminPasswordKeeper::save, forget.
    QCoro::Task<ActionResult> setAdminSecret(QString secret);
    QCoro::Task<void> clearAdminSecret();

Q_SIGNALS:
    void phaseChanged();
    void statusChanged();
    void keysChanged();
    void lastErrorChanged();
    void lastRefreshedAtChanged();
    void hasCompletedFirstRunChanged();
    void pollIntervalSecondsChanged();

private:
    friend class ServerActions;
    friend class SetupActions;
    friend class KeyActions;
    friend class ModelActions;
    friend class SettingsActions;
    friend class UpdateActions;
    friend class DiagnosticsActions;
    friend class EngineActions;
    DaemonClient* client() const { return m_client; }
    DaemonProcessController* process() const { return m_process; }
    // Set while a stop the user asked for is under way, until the phase shows it: see PhaseRules.
    void expectStop(bool expected) { m_phaseRules.expectStop(expected); }
    // The user's own stop has ended the server: stopped now, and a poll that finds it down keeps it so.
    void showStopped();
    void noteRequest(Request request);

    void countFailedCheck();
    void setPhase(Phase phase);
    void setStatus(std::optional<ClientServerStatus> status);
    void setKeys(ClientAPIKeyList keys);
    void setLastError(std::optional<QString> error);
    void setLastRefreshedAt(std::optional<QDateTime> at);

    // What make() made, gone after everything that uses it (the client is a child of the model).
    std::shared_ptr<DaemonProcessController> m_ownProcess;
    DaemonClient* m_client;
    DaemonProcessController* m_process;
    bool m_followChanges = true;
    AdminPasswordKeeper m_password;

    Phase m_phase = Phase::unknown();
    std::optional<ClientServerStatus> m_status;
    ClientAPIKeyList m_keys;
    std::optional<QString> m_lastError;
    std::optional<QDateTime> m_lastRefreshedAt;
    bool m_hasCompletedFirstRun = false;
    double m_pollIntervalSeconds = 5.0;

    PhaseRules m_phaseRules;
    PollLoop m_pollLoop{this};
    Request m_request = Request::none;
    QDateTime m_requestedAt;
    LoadHistory m_loadHistory{this};
    ServerActions m_actions{this}; // after the rest: it reads the controller as it is made
    SetupActions m_setup{this};
    KeyActions m_keyActions{this};
    ModelActions m_modelActions{this};
    SettingsActions m_settingsActions{this};
    UpdateActions m_updateActions{this};
    DiagnosticsActions m_diagnosticsActions{this};
    EngineActions m_engineActions{this};
};

} // namespace tavrin
