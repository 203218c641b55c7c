#pragma once

#include "protocol/Task.h"

#include "protocol/ClientRecords.h"
#include "state/ActionOutcome.h"

#include <QObject>
#include <QString>

namespace tavrin {

class ServerStateModel;

// What screens ask of the server and its login service. Screens never reach the service controller:
// they await one of these and show its outcome. Every action runs to its end even when the screen that
// asked has gone, and ends by bringing everyone up to date (the service manager's view, then a poll
// cycle), so that whatever shows the state shows what became of it. A face that follows no field of
// the model (tavrinctl) is spared the poll, but after a start, whose phase it reads.
//
// Where the Status tab and the tray panel ask for different things under the same name, both are
// here side by side, each with the reason.
class ServerActions : public QObject {
    Q_OBJECT
public:
    explicit ServerActions(ServerStateModel* model);

    // What the service manager last said, for the controls that show it.
    bool serverRunning() const; // the controller believes the server runs: what the tray's entry acts on
    bool loginServiceEnabled() const;

    // A registered login service is restarted in place; otherwise the server starts as a child for
    // this session.
    QCoro::Task<ActionResult> start();
    // The Status tab's Stop: the server goes down; start at login stays as it was.
    QCoro::Task<ActionResult> stop();
    // The tray's Stop: the server goes down and leaves start at login too, without a word either way.
    // A server still up after a failed removal (no service manager at all, say) is stopped directly,
    // so that "Stop server" never leaves it running.
    QCoro::Task<void> stopFromTray();
    // On failure the controller's registration is read afresh, so loginServiceEnabled() is what really holds.
    QCoro::Task<ActionResult> setStartAtLogin(bool enabled);
    // Stops the server and removes the login service.
    QCoro::Task<ActionResult> removeFromLogin();
    // Whether the login service is registered and enabled, read afresh.
    QCoro::Task<bool> readLoginService();
    // The server's status, read afresh; the model's is the last poll's, and a poll says nothing of why
    // a read failed.
    QCoro::Task<ActionOutcome<ClientServerStatus>> readStatus();
    // The tray's Quit, from its menu and its panel alike: a server that runs leaves start at login
    // first (a failure does not hold the quit up). File › Quit does not call this: it leaves a login
    // service running.
    QCoro::Task<void> leaveLoginBeforeQuit();

Q_SIGNALS:
    void serverRunningChanged();
    void loginServiceEnabledChanged();

private:
    QCoro::Task<void> settle();
    // After a launch or restart: the service manager's view, then health checks in quick succession
    // until the server answers (about five seconds at most), then a poll cycle; the phase turns
    // running with the first answer rather than at the next poll.
    QCoro::Task<void> settleAfterStart();
    // After a stop the user asked for: once the service manager shows nothing of ours running and
    // nothing answers on the port, the phase is stopped at once, without the two failed checks a
    // stop nobody asked for needs; then settle().
    QCoro::Task<void> settleAfterStop();

    ServerStateModel* m_model;
};

} // namespace tavrin
