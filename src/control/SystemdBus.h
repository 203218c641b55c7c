#pragma once

#include "control/ServiceManager.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include "protocol/Task.h"

#include <optional>

namespace tavrin {

// A unit as the user manager describes it (org.freedesktop.systemd1.Unit and .Service properties).
struct SystemdUnitProperties {
    QString loadState;     // "loaded", "not-found", …
    QString activeState;   // "active", "inactive", "failed", "activating", …
    QString subState;      // "running", "dead", "failed", …
    QString unitFileState; // "enabled", "disabled", … (empty: no unit file)
    QString result;        // the service's last result: "success", "exit-code", "signal", …
    std::optional<qint32> mainPid;
    bool operator==(const SystemdUnitProperties&) const = default;
};

// The user manager itself, `org.freedesktop.systemd1` on the session bus, asked over D-Bus without
// a process per question. Every call is asynchronous (the GUI thread never waits on the bus), never
// starts the manager by bus activation, and ends: a manager that leaves the bus while a call is
// pending answers that call with a failure, and one that never answers is given up on.
//
// Failures carry the words `systemctl` would print, so that the controller's messages are the same
// whichever way the manager was asked.
//
// Coroutines here take their arguments by value; callers name them (see "Writing a coroutine" in
// docs/ARCHITECTURE.md).
class SystemdBus {
public:
    static constexpr const char* service = "org.freedesktop.systemd1";
    static constexpr const char* managerPath = "/org/freedesktop/systemd1";
    static constexpr const char* managerInterface = "org.freedesktop.systemd1.Manager";
    static constexpr const char* unitInterface = "org.freedesktop.systemd1.Unit";
    static constexpr const char* serviceInterface = "org.freedesktop.systemd1.Service";

    explicit SystemdBus(QDBusConnection connection = QDBusConnection::sessionBus());

    // Whether a user manager is on the bus now (one question to the bus, not to the manager).
    QCoro::Task<bool> present() const;

    // The unit's object path, as the manager names it (its name escaped for the bus).
    static QString unitPath(const QString& unit);

    // LoadUnit, then the unit's and the service's properties. A unit without a file is loaded as
    // "not-found", as `systemctl show` reports it.
    QCoro::Task<ManagerResult<SystemdUnitProperties>> unitProperties(QString unit) const;
    // GetUnitFileState: "enabled", "disabled", …
    QCoro::Task<ManagerResult<QString>> unitFileState(QString unit) const;
    // EnableUnitFiles / DisableUnitFiles of the unit in the user's unit folder, then Reload, as
    // `systemctl enable` and `disable` do.
    QCoro::Task<ManagerResult<>> enable(QString unit) const;
    QCoro::Task<ManagerResult<>> disable(QString unit) const;
    QCoro::Task<ManagerResult<>> reload() const;
    // StartUnit, StopUnit or RestartUnit in mode "replace", and the wait for the job that answers it
    // to end, as `systemctl start` waits: a job that ends other than "done" is a failure in
    // systemctl's words ("Job for … failed because the control process exited with error code.").
    // `verb` is "start", "stop" or "restart".
    QCoro::Task<ManagerResult<>> runJob(QString verb, QString unit) const;

private:
    QCoro::Task<ManagerResult<QDBusMessage>> call(QString path, QString interface, QString method,
                                                  QVariantList arguments) const;
    QCoro::Task<ManagerFailure> failureOf(QDBusMessage reply) const;

    QDBusConnection m_connection;
};

// Tells when the unit's state changes in the user manager: its PropertiesChanged signals, and the
// manager coming or going. Subscribes to the manager's signals (it sends none to a client that has
// not) whenever a manager appears.
class SystemdUnitWatch : public QObject {
    Q_OBJECT
public:
    explicit SystemdUnitWatch(QString unit, QDBusConnection connection = QDBusConnection::sessionBus(),
                              QObject* parent = nullptr);

Q_SIGNALS:
    // Its ActiveState, SubState, MainPID or Result changed, or the manager came or went.
    void changed();

private Q_SLOTS:
    void propertiesChanged(const QString& interface, const QVariantMap& changedProperties,
                           const QStringList& invalidated);

private:
    void subscribe();

    QDBusConnection m_connection;
};

} // namespace tavrin
