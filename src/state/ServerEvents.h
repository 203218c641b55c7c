#pragma once

#include "protocol/ClientRecords.h"
#include "state/Phase.h"

#include <QObject>
#include <QString>

namespace tavrin {

class ServerStateModel;

// What happened to the server that its user should hear of even with no window open: it stopped
// without being asked to (a crash, a kill, the login service failing), it came back by itself, a
// check found an update, audit mode began refusing requests because the audit log cannot be
// written, or the engine in use stopped answering. What the user has just done themselves is never an event here.
class ServerEvents : public QObject {
    Q_OBJECT
public:
    explicit ServerEvents(ServerStateModel* model);

Q_SIGNALS:
    void stoppedUnasked();
    void runningAgain();
    void updateFound(const QString& version);
    // Once as the refusals begin, whatever the number of polls that see them; again only after a
    // status without them. `reason` is the server's account of why.
    void auditRefusing(const QString& reason);
    // Once as the engine in use is first found not answering by a check of its own; again only
    // after a status where it answers, or another engine.
    void engineNotAnswering(const ClientEngineHealth& engine);

private:
    void followPhase();
    void followStatus();

    ServerStateModel* m_model;
    Phase m_last;
    bool m_reportedStop = false; // a "stopped" went out, and no start since
    QString m_lastUpdate;
    bool m_reportedAuditRefusal = false; // told, and no status since without it
    std::optional<QString> m_reportedEngineDown; // the address of the engine told of, until it answers
};

} // namespace tavrin
