#pragma once

#include "control/ServiceManager.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include "protocol/Task.h"

#include <expected>
#include <optional>

namespace tavrin {

class ChildProcess;
struct ProcessIdentity;

// Where a session server's output goes and what it serves; see DaemonProcessControllerOptions.
struct SessionServerPlaces {
    QString program;        // the bundle's server
    QString stateDirectory; // its state folder, which also keeps the record below
    QString standardOutputLog;
    QString standardErrorLog;
};

// The server run for this session, as a child of the panel that outlives it (quitting leaves the
// server to its clients). The one started here is recorded in the state folder ("session-server": its
// id and start time, private), and a later panel that finds the recorded process still there, this
// user's and running this bundle's server for this state folder (ChildProcess::adopt), tracks it as
// its own: stop and a second start work on it as on a server it started. A record that names anything
// else is removed.
class SessionServer : public QObject {
    Q_OBJECT
public:
    explicit SessionServer(SessionServerPlaces places, QObject* parent = nullptr);
    // A server still running is left to run, for a later panel to take over: it is reaped when it
    // ends (ChildProcess owns itself), and its record then names a process that is gone.
    ~SessionServer() override;

    // Whether the tracked server runs; a recorded one is taken over first when none is tracked.
    bool running();
    std::optional<qint32> pid() const;

    // The server already running for the session (taken over if need be), if there is one. A tracked
    // one that has ended meanwhile is let go at once, with exited(), rather than when its exit report
    // comes: a start that then fails does not leave a dead server shown as running.
    std::optional<qint32> alreadyRunning();
    // Starts a new server with `environment` over the panel's own; the error is the system's reason.
    std::expected<qint32, QString> launch(const EnvironmentEntries& environment);
    // SIGTERM, then SIGKILL past the deadline, waited for off the GUI thread.
    QCoro::Task<void> stop();

Q_SIGNALS:
    // The tracked server ended by itself.
    void exited();

private:
    QString recordPath() const;
    bool makePrivateStateFolder() const;
    void record(const ChildProcess& child) const;
    void forgetRecord(const ProcessIdentity& identity) const;
    void adoptRecorded();
    void track(ChildProcess* child);
    void childExited(ChildProcess* child);

    SessionServerPlaces m_places;
    QPointer<ChildProcess> m_child;
};

} // namespace tavrin
