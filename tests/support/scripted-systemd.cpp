// Stands in for the systemd user manager on the test's private session bus, which a real one cannot
// join on the test machines. It owns org.freedesktop.systemd1 and answers as systemd 252 does for
// what the panel asks, with systemd's error names and words:
//   - unit files live in $XDG_CONFIG_HOME/systemd/user; enabled means linked from
//     default.target.wants, as `systemctl enable` leaves it;
//   - Manager: Subscribe, LoadUnit, GetUnitFileState, EnableUnitFiles, DisableUnitFiles,
//     Reload, StartUnit, StopUnit, RestartUnit (each job ends at once, announced by JobRemoved);
//   - every unit: org.freedesktop.DBus.Properties Get/GetAll of the Unit interface (LoadState,
//     ActiveState, SubState, UnitFileState) and the Service interface (MainPID, Result), and
//     PropertiesChanged when they change, sent only while a client is subscribed, as systemd does.
// Scripted through com.tavrinai.test.ScriptedManager at /script:
//   FailStart(b)   starts end as a server that exits at once: job "failed", Result "exit-code";
//   Crash(s unit)  the unit's server dies of a signal: failed, Result "signal";
//   VanishOn(s m)  the next call of method m ends this manager before it answers;
//   Calls() -> as  the Manager methods called so far, in order.
// A running unit's MainPID is 4321. It prints "ready" once its name is on the bus.
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>

#include <cctype>
#include <cstdio>
#include <unistd.h>

namespace {

const QString managerPath = QStringLiteral("/org/freedesktop/systemd1");
const QString managerApi = QStringLiteral("org.freedesktop.systemd1.Manager");
const QString unitApi = QStringLiteral("org.freedesktop.systemd1.Unit");
const QString serviceApi = QStringLiteral("org.freedesktop.systemd1.Service");
const QString propertiesApi = QStringLiteral("org.freedesktop.DBus.Properties");
const QString scriptApi = QStringLiteral("com.tavrinai.test.ScriptedManager");

struct Unit {
    QString activeState = QStringLiteral("inactive");
    QString subState = QStringLiteral("dead");
    QString result = QStringLiteral("success");
    uint mainPid = 0;
};

class ScriptedManager : public QDBusVirtualObject {
public:
    explicit ScriptedManager(QDBusConnection connection) : m_connection(connection) {}

    QString introspect(const QString&) const override { return {}; }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        if (message.interface() == managerApi)
            m_calls << message.member();
        if (!m_vanishOn.isEmpty() && message.member() == m_vanishOn)
            ::_exit(0); // leaves the bus with the call unanswered
        if (message.interface() == scriptApi)
            return script(message);
        if (message.interface() == managerApi && message.path() == managerPath)
            return manager(message);
        if (message.interface() == propertiesApi && message.path().startsWith(managerPath + QStringLiteral("/unit/")))
            return properties(message);
        return false;
    }

private:
    static QString folder() {
        return qEnvironmentVariable("XDG_CONFIG_HOME", QDir::homePath() + QStringLiteral("/.config")) +
               QStringLiteral("/systemd/user");
    }
    static QString file(const QString& name) { return folder() + QLatin1Char('/') + name; }
    static QString link(const QString& name) { return folder() + QStringLiteral("/default.target.wants/") + name; }
    static bool hasFile(const QString& name) { return QFileInfo::exists(file(name)); }

    // systemd's bus label: every byte but a letter or a digit after the first becomes _ and two hex digits.
    static QString pathOf(const QString& name) {
        QString label;
        const QByteArray bytes = name.toUtf8();
        for (qsizetype i = 0; i < bytes.size(); ++i) {
            const uchar c = uchar(bytes[i]);
            if (std::isalpha(c) || (i > 0 && std::isdigit(c)))
                label += QLatin1Char(char(c));
            else
                label += QString::asprintf("_%02x", c);
        }
        return managerPath + QStringLiteral("/unit/") + label;
    }
    QString nameOf(const QString& path) const {
        for (auto it = m_units.cbegin(); it != m_units.cend(); ++it)
            if (pathOf(it.key()) == path)
                return it.key();
        return {};
    }

    void reply(const QDBusMessage& message, const QVariantList& arguments) {
        m_connection.send(message.createReply(arguments));
    }
    void fail(const QDBusMessage& message, const QString& name, const QString& words) {
        m_connection.send(message.createErrorReply(name, words));
    }

    QString loadState(const QString& name) const {
        return hasFile(name) ? QStringLiteral("loaded") : QStringLiteral("not-found");
    }
    QString fileState(const QString& name) const {
        if (!hasFile(name))
            return {};
        return QFileInfo(link(name)).isSymLink() ? QStringLiteral("enabled") : QStringLiteral("disabled");
    }
    QVariantMap unitProperties(const QString& name) const {
        const Unit unit = m_units.value(name);
        return {{QStringLiteral("LoadState"), loadState(name)},
                {QStringLiteral("ActiveState"), unit.activeState},
                {QStringLiteral("SubState"), unit.subState},
                {QStringLiteral("UnitFileState"), fileState(name)}};
    }
    QVariantMap serviceProperties(const QString& name) const {
        const Unit unit = m_units.value(name);
        return {{QStringLiteral("MainPID"), unit.mainPid}, {QStringLiteral("Result"), unit.result}};
    }

    void announce(const QString& name) {
        if (m_subscribers.isEmpty())
            return;
        for (const auto& [api, values] : {std::pair{unitApi, unitProperties(name)}, {serviceApi, serviceProperties(name)}}) {
            QDBusMessage changed = QDBusMessage::createSignal(pathOf(name), propertiesApi, QStringLiteral("PropertiesChanged"));
            changed << api << values << QStringList();
            m_connection.send(changed);
        }
    }

    void setState(const QString& name, const QString& active, const QString& sub, const QString& result, uint pid) {
        m_units[name] = Unit{active, sub, result, pid};
        announce(name);
    }

    bool manager(const QDBusMessage& message) {
        const QString method = message.member();
        const QVariantList args = message.arguments();
        const QString name = args.value(0).toString();
        if (method == QLatin1String("Subscribe")) {
            if (m_subscribers.contains(message.service()))
                fail(message, QStringLiteral("org.freedesktop.systemd1.AlreadySubscribed"),
                     QStringLiteral("Client is already subscribed."));
            else
                reply(message, {});
            m_subscribers.insert(message.service());
        } else if (method == QLatin1String("LoadUnit")) {
            m_units.insert(name, m_units.value(name));
            reply(message, {QVariant::fromValue(QDBusObjectPath(pathOf(name)))});
        } else if (method == QLatin1String("GetUnitFileState")) {
            if (!hasFile(name))
                fail(message, QStringLiteral("org.freedesktop.DBus.Error.FileNotFound"),
                     QStringLiteral("No such file or directory"));
            else
                reply(message, {fileState(name)});
        } else if (method == QLatin1String("EnableUnitFiles") || method == QLatin1String("DisableUnitFiles")) {
            const QString unit = args.value(0).toStringList().value(0);
            if (!hasFile(unit))
                return fail(message, QStringLiteral("org.freedesktop.DBus.Error.FileNotFound"),
                            QStringLiteral("Unit file %1 does not exist.").arg(unit)),
                       true;
            QFile::remove(link(unit));
            if (method == QLatin1String("EnableUnitFiles")) {
                QDir().mkpath(QFileInfo(link(unit)).path());
                QFile::link(file(unit), link(unit));
            }
            reply(message, {}); // the changes made are not read by the panel
        } else if (method == QLatin1String("Reload")) {
            reply(message, {});
        } else if (method == QLatin1String("StartUnit") || method == QLatin1String("RestartUnit") ||
                   method == QLatin1String("StopUnit")) {
            job(message, method, name);
        } else {
            fail(message, QStringLiteral("org.freedesktop.DBus.Error.UnknownMethod"),
                 QStringLiteral("Unknown method %1.").arg(method));
        }
        return true;
    }

    void job(const QDBusMessage& message, const QString& method, const QString& name) {
        const bool stop = method == QLatin1String("StopUnit");
        if (!hasFile(name) && !(stop && m_units.value(name).activeState == QLatin1String("active"))) {
            fail(message, QStringLiteral("org.freedesktop.systemd1.NoSuchUnit"),
                 (stop ? QStringLiteral("Unit %1 not loaded.") : QStringLiteral("Unit %1 not found.")).arg(name));
            return;
        }
        const QDBusObjectPath path(QStringLiteral("/org/freedesktop/systemd1/job/%1").arg(++m_lastJob));
        reply(message, {QVariant::fromValue(path)});
        QString result = QStringLiteral("done");
        if (stop)
            setState(name, QStringLiteral("inactive"), QStringLiteral("dead"), QStringLiteral("success"), 0);
        else if (m_failStart) {
            setState(name, QStringLiteral("failed"), QStringLiteral("failed"), QStringLiteral("exit-code"), 0);
            result = QStringLiteral("failed");
        } else
            setState(name, QStringLiteral("active"), QStringLiteral("running"), QStringLiteral("success"), 4321);
        QDBusMessage removed = QDBusMessage::createSignal(managerPath, managerApi, QStringLiteral("JobRemoved"));
        removed << m_lastJob << QVariant::fromValue(path) << name << result;
        m_connection.send(removed);
    }

    bool properties(const QDBusMessage& message) {
        const QString name = nameOf(message.path());
        const QString api = message.arguments().value(0).toString();
        if (name.isEmpty()) {
            fail(message, QStringLiteral("org.freedesktop.DBus.Error.UnknownObject"),
                 QStringLiteral("Unknown object '%1'.").arg(message.path()));
            return true;
        }
        const QVariantMap values = api == unitApi      ? unitProperties(name)
                                   : api == serviceApi ? serviceProperties(name)
                                                       : QVariantMap();
        if (message.member() == QLatin1String("GetAll"))
            reply(message, {values});
        else if (message.member() == QLatin1String("Get"))
            reply(message, {QVariant::fromValue(QDBusVariant(values.value(message.arguments().value(1).toString())))});
        else
            return false;
        return true;
    }

    bool script(const QDBusMessage& message) {
        const QString method = message.member();
        const QVariant first = message.arguments().value(0);
        if (method == QLatin1String("FailStart"))
            m_failStart = first.toBool();
        else if (method == QLatin1String("Crash"))
            setState(first.toString(), QStringLiteral("failed"), QStringLiteral("failed"), QStringLiteral("signal"), 0);
        else if (method == QLatin1String("VanishOn"))
            m_vanishOn = first.toString();
        else if (method == QLatin1String("Calls")) {
            reply(message, {m_calls});
            return true;
        } else
            return false;
        reply(message, {});
        return true;
    }

    QDBusConnection m_connection;
    QHash<QString, Unit> m_units;
    QSet<QString> m_subscribers;
    QStringList m_calls;
    QString m_vanishOn;
    bool m_failStart = false;
    uint m_lastJob = 0;
};

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QDBusConnection bus = QDBusConnection::sessionBus();
    ScriptedManager manager(bus);
    if (!bus.registerVirtualObject(QStringLiteral("/"), &manager, QDBusConnection::SubPath) ||
        !bus.registerService(QStringLiteral("org.freedesktop.systemd1"))) {
        std::fprintf(stderr, "scripted-systemd: %s\n", qPrintable(bus.lastError().message()));
        return 1;
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}
