#include "control/SystemdBus.h"

#include <QCoreApplication>
#include <QCoroDBusPendingCall>
#include <QCoroSignal>
#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QHash>

#include <chrono>
#include <memory>

namespace tavrin {

namespace {

// As long as `systemctl` is given to answer before the controller gives up on it.
constexpr int callTimeoutMs = 60'000;
// A job runs as long as the unit's own timeouts allow (90 s for a start by default); past this the
// controller stops waiting, though the manager carries on.
constexpr std::chrono::milliseconds jobDeadline{120'000};

const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

ManagerResult<> done() {
    return {};
}

// Collects the manager's JobRemoved signals, so that a job that ends before its caller knows its
// path is not missed, and notices the manager leaving the bus.
class JobWatch : public QObject {
    Q_OBJECT
public:
    std::optional<QString> resultOf(const QString& job) const {
        return m_results.contains(job) ? std::optional<QString>(m_results.value(job)) : std::nullopt;
    }
    bool managerLeft() const { return m_managerLeft; }

Q_SIGNALS:
    void ended();

public Q_SLOTS:
    void jobRemoved(uint, const QDBusObjectPath& job, const QString&, const QString& result) {
        m_results.insert(job.path(), result);
        Q_EMIT ended();
    }
    void leave() {
        m_managerLeft = true;
        Q_EMIT ended();
    }

private:
    QHash<QString, QString> m_results;
    bool m_managerLeft = false;
};

// systemctl's explanation of a failed job, from the service's Result.
QString failedJobWords(const QString& unit, const QString& serviceResult) {
    static const QHash<QString, QString> because{
        {QStringLiteral("exit-code"),
         QCoreApplication::translate("SystemdBus", "the control process exited with error code")},
        {QStringLiteral("signal"),
         QCoreApplication::translate("SystemdBus", "a fatal signal was delivered to the control process")},
        {QStringLiteral("core-dump"),
         QCoreApplication::translate(
             "SystemdBus", "a fatal signal was delivered causing the control process to dump core")},
        {QStringLiteral("timeout"), QCoreApplication::translate("SystemdBus", "a timeout was exceeded")},
        {QStringLiteral("resources"),
         QCoreApplication::translate("SystemdBus", "of unavailable resources or another system error")},
        {QStringLiteral("start-limit-hit"),
         QCoreApplication::translate("SystemdBus", "start of the service was attempted too often")},
    };
    const QString reason = because.value(serviceResult);
    return reason.isEmpty()
               ? QCoreApplication::translate("SystemdBus", "Job for %1 failed.").arg(unit)
               : QCoreApplication::translate("SystemdBus", "Job for %1 failed because %2.").arg(unit, reason);
}

QString jobResultWords(const QString& unit, const QString& jobResult) {
    if (jobResult == QLatin1String("canceled"))
        return QCoreApplication::translate("SystemdBus", "Job for %1 canceled.").arg(unit);
    if (jobResult == QLatin1String("timeout"))
        return QCoreApplication::translate("SystemdBus", "Job for %1 timed out.").arg(unit);
    if (jobResult == QLatin1String("dependency"))
        return QCoreApplication::translate("SystemdBus", "A dependency job for %1 failed.").arg(unit);
    return QCoreApplication::translate("SystemdBus", "Job for %1 ended as %2.").arg(unit, jobResult);
}

std::optional<qint32> pidOf(const QVariant& value) {
    bool ok = false;
    const uint pid = value.toUInt(&ok);
    return ok && pid > 0 && pid <= uint(std::numeric_limits<qint32>::max()) ? std::optional<qint32>(qint32(pid))
                                                                           : std::nullopt;
}

QVariantMap propertiesOf(const QDBusMessage& reply) {
    const QVariant first = reply.arguments().value(0);
    if (first.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(first.value<QDBusArgument>());
    return first.toMap();
}

} // namespace

SystemdBus::SystemdBus(QDBusConnection connection) : m_connection(std::move(connection)) {}

QString SystemdBus::unitPath(const QString& unit) {
    // The manager's escaping: every byte but a letter or (not leading) digit becomes _xx in hex.
    QString path = QLatin1String(managerPath) + QStringLiteral("/unit/");
    const QByteArray bytes = unit.toUtf8();
    if (bytes.isEmpty())
        return path + QLatin1Char('_');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (i > 0 && c >= '0' && c <= '9');
        if (plain)
            path += QLatin1Char(c);
        else
            path += QLatin1Char('_') + QString::number(uchar(c), 16).rightJustified(2, QLatin1Char('0'));
    }
    return path;
}

QCoro::Task<bool> SystemdBus::present() const {
    const SystemdBus self = *this;
    QDBusMessage ask = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                      QStringLiteral("/org/freedesktop/DBus"),
                                                      QStringLiteral("org.freedesktop.DBus"),
                                                      QStringLiteral("NameHasOwner"));
    ask.setArguments({QLatin1String(service)});
    const QDBusPendingCall pending = self.m_connection.asyncCall(ask, callTimeoutMs);
    const QDBusMessage reply = co_await pending;
    co_return reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool();
}

QCoro::Task<ManagerResult<QDBusMessage>> SystemdBus::call(QString path, QString interface, QString method,
                                                          QVariantList arguments) const {
    const SystemdBus self = *this;
    QDBusMessage message = QDBusMessage::createMethodCall(QLatin1String(service), path, interface, method);
    message.setArguments(arguments);
    // A manager that is not running is never started by the bus: that is the login's job, not the panel's.
    message.setAutoStartService(false);
    const QDBusPendingCall pending = self.m_connection.asyncCall(message, callTimeoutMs);
    const QDBusMessage reply = co_await pending;
    if (reply.type() == QDBusMessage::ReplyMessage)
        co_return reply;
    co_return std::unexpected(co_await self.failureOf(reply));
}

QCoro::Task<ManagerFailure> SystemdBus::failureOf(QDBusMessage reply) const {
    const SystemdBus self = *this;
    using R = ManagerFailure::Reason;
    const QString name = reply.errorName();
    if (name == QLatin1String("org.freedesktop.systemd1.NoSuchUnit"))
        co_return ManagerFailure{R::unitNotLoaded, reply.errorMessage()};
    // Whatever the error, a manager no longer on the bus has taken its units with it.
    if (!co_await self.present())
        co_return ManagerFailure{
            R::noManager,
            QCoreApplication::translate("SystemdBus", "The user manager went away before it answered.")};
    if (name == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
        co_return ManagerFailure{R::refused, QCoreApplication::translate(
                                                 "SystemdBus", "The user manager did not answer in time.")};
    co_return ManagerFailure{R::refused, reply.errorMessage().isEmpty() ? name : reply.errorMessage()};
}

QCoro::Task<ManagerResult<SystemdUnitProperties>> SystemdBus::unitProperties(QString unit) const {
    const SystemdBus self = *this;
    const QString manager = QLatin1String(managerPath);
    const QString managerApi = QLatin1String(managerInterface);
    const QString load = QStringLiteral("LoadUnit");
    const QVariantList named{unit};
    const auto loaded = co_await self.call(manager, managerApi, load, named);
    if (!loaded)
        co_return std::unexpected(loaded.error());
    const QString path = loaded->arguments().value(0).value<QDBusObjectPath>().path();

    SystemdUnitProperties properties;
    const QString getAll = QStringLiteral("GetAll");
    const QVariantList ofUnit{QLatin1String(unitInterface)};
    const auto unitAnswer = co_await self.call(path, propertiesInterface, getAll, ofUnit);
    if (!unitAnswer)
        co_return std::unexpected(unitAnswer.error());
    const QVariantMap unitValues = propertiesOf(*unitAnswer);
    properties.loadState = unitValues.value(QStringLiteral("LoadState")).toString();
    properties.activeState = unitValues.value(QStringLiteral("ActiveState")).toString();
    properties.subState = unitValues.value(QStringLiteral("SubState")).toString();
    properties.unitFileState = unitValues.value(QStringLiteral("UnitFileState")).toString();
    if (properties.loadState == QLatin1String("not-found")) // no service properties to read
        co_return properties;

    const QVariantList ofService{QLatin1String(serviceInterface)};
    const auto serviceAnswer = co_await self.call(path, propertiesInterface, getAll, ofService);
    if (!serviceAnswer)
        co_return std::unexpected(serviceAnswer.error());
    const QVariantMap serviceValues = propertiesOf(*serviceAnswer);
    properties.mainPid = pidOf(serviceValues.value(QStringLiteral("MainPID")));
    properties.result = serviceValues.value(QStringLiteral("Result")).toString();
    co_return properties;
}

QCoro::Task<ManagerResult<QString>> SystemdBus::unitFileState(QString unit) const {
    const SystemdBus self = *this;
    const QString manager = QLatin1String(managerPath);
    const QString managerApi = QLatin1String(managerInterface);
    const QString method = QStringLiteral("GetUnitFileState");
    const QVariantList named{unit};
    const auto answer = co_await self.call(manager, managerApi, method, named);
    if (!answer)
        co_return std::unexpected(answer.error());
    co_return answer->arguments().value(0).toString();
}

QCoro::Task<ManagerResult<>> SystemdBus::reload() const {
    const SystemdBus self = *this;
    const QString manager = QLatin1String(managerPath);
    const QString managerApi = QLatin1String(managerInterface);
    const QString method = QStringLiteral("Reload");
    const QVariantList none;
    const auto answer = co_await self.call(manager, managerApi, method, none);
    if (!answer)
        co_return std::unexpected(answer.error());
    co_return done();
}

QCoro::Task<ManagerResult<>> SystemdBus::enable(QString unit) const {
    const SystemdBus self = *this;
    const QString manager = QLatin1String(managerPath);
    const QString managerApi = QLatin1String(managerInterface);
    const QString method = QStringLiteral("EnableUnitFiles");
    const QVariantList arguments{QStringList{unit}, false, true}; // not runtime, replace links
    const auto answer = co_await self.call(manager, managerApi, method, arguments);
    if (!answer) {
        ManagerFailure failure = answer.error();
        if (failure.reason == ManagerFailure::Reason::refused)
            failure.words.prepend(QCoreApplication::translate("SystemdBus", "Failed to enable unit: "));
        co_return std::unexpected(failure);
    }
    co_return co_await self.reload();
}

QCoro::Task<ManagerResult<>> SystemdBus::disable(QString unit) const {
    const SystemdBus self = *this;
    const QString manager = QLatin1String(managerPath);
    const QString managerApi = QLatin1String(managerInterface);
    const QString method = QStringLiteral("DisableUnitFiles");
    const QVariantList arguments{QStringList{unit}, false};
    const auto answer = co_await self.call(manager, managerApi, method, arguments);
    if (!answer) {
        ManagerFailure failure = answer.error();
        if (failure.reason == ManagerFailure::Reason::refused)
            failure.words.prepend(QCoreApplication::translate("SystemdBus", "Failed to disable unit: "));
        co_return std::unexpected(failure);
    }
    co_return co_await self.reload();
}

QCoro::Task<ManagerResult<>> SystemdBus::runJob(QString verb, QString unit) const {
    const SystemdBus self = *this;
    const QString manager = QLatin1String(managerPath);
    const QString managerApi = QLatin1String(managerInterface);

    // Listening before asking, so that a job that ends at once is heard. Any peer on the session bus
    // is the user's own, as the manager is; the signal is matched by name, not by sender, so that
    // connecting does not wait on the bus for the manager's unique name.
    const auto watch = std::make_unique<JobWatch>();
    QDBusConnection connection = self.m_connection;
    connection.connect(QString(), manager, managerApi, QStringLiteral("JobRemoved"), watch.get(),
                              SLOT(jobRemoved(uint, QDBusObjectPath, QString, QString)));
    QDBusServiceWatcher leaving(QLatin1String(service), self.m_connection,
                                QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&leaving, &QDBusServiceWatcher::serviceUnregistered, watch.get(), &JobWatch::leave);
    const QString subscribe = QStringLiteral("Subscribe");
    const QVariantList none;
    const auto subscribed = co_await self.call(manager, managerApi, subscribe, none);
    if (!subscribed && subscribed.error().reason == ManagerFailure::Reason::noManager)
        co_return std::unexpected(subscribed.error());
    // Otherwise it is subscribed already (the manager refuses a second subscription of a client).

    const QString method = verb == QLatin1String("start") ? QStringLiteral("StartUnit")
                           : verb == QLatin1String("stop") ? QStringLiteral("StopUnit")
                                                           : QStringLiteral("RestartUnit");
    const QVariantList arguments{unit, QStringLiteral("replace")};
    const auto queued = co_await self.call(manager, managerApi, method, arguments);
    if (!queued) {
        ManagerFailure failure = queued.error();
        if (failure.reason != ManagerFailure::Reason::noManager)
            failure.words = QCoreApplication::translate("SystemdBus", "Failed to %1 %2: %3")
                                .arg(verb, unit, failure.words);
        co_return std::unexpected(failure);
    }
    const QString job = queued->arguments().value(0).value<QDBusObjectPath>().path();

    const QDeadlineTimer deadline(jobDeadline);
    while (!watch->resultOf(job) && !watch->managerLeft())
        if (!co_await qCoro(watch.get(), &JobWatch::ended,
                            std::chrono::milliseconds(std::max<qint64>(deadline.remainingTime(), 0))))
            co_return std::unexpected(ManagerFailure{
                ManagerFailure::Reason::refused,
                QCoreApplication::translate("SystemdBus", "Job for %1 did not end in time.").arg(unit)});
    if (!watch->resultOf(job))
        co_return std::unexpected(ManagerFailure{
            ManagerFailure::Reason::noManager,
            QCoreApplication::translate("SystemdBus", "The user manager went away before it answered.")});
    const QString result = *watch->resultOf(job);
    if (result == QLatin1String("done") || result == QLatin1String("skipped"))
        co_return done();
    if (result != QLatin1String("failed"))
        co_return std::unexpected(ManagerFailure{ManagerFailure::Reason::refused, jobResultWords(unit, result)});
    // What went wrong is the service's Result.
    const QString get = QStringLiteral("Get");
    const QVariantList resultProperty{QLatin1String(serviceInterface), QStringLiteral("Result")};
    const QString path = unitPath(unit);
    const auto serviceResult = co_await self.call(path, propertiesInterface, get, resultProperty);
    const QString why =
        serviceResult ? serviceResult->arguments().value(0).value<QDBusVariant>().variant().toString() : QString();
    co_return std::unexpected(ManagerFailure{ManagerFailure::Reason::refused, failedJobWords(unit, why)});
}

SystemdUnitWatch::SystemdUnitWatch(QString unit, QDBusConnection connection, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)) {
    // Matched by path, not by sender, so that connecting never waits on the bus (see runJob).
    m_connection.connect(QString(), SystemdBus::unitPath(unit), propertiesInterface,
                         QStringLiteral("PropertiesChanged"), this,
                         SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
    auto* watcher = new QDBusServiceWatcher(QLatin1String(SystemdBus::service), m_connection,
                                            QDBusServiceWatcher::WatchForOwnerChange, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
        subscribe();
        Q_EMIT changed();
    });
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, &SystemdUnitWatch::changed);
    subscribe();
}

// Sent without waiting for the answer: without a manager there is nothing to subscribe to, and the
// watcher subscribes again when one appears; a manager that has this client subscribed already
// refuses a second time, which changes nothing.
void SystemdUnitWatch::subscribe() {
    QDBusMessage message = QDBusMessage::createMethodCall(
        QLatin1String(SystemdBus::service), QLatin1String(SystemdBus::managerPath),
        QLatin1String(SystemdBus::managerInterface), QStringLiteral("Subscribe"));
    message.setAutoStartService(false);
    m_connection.asyncCall(message);
}

void SystemdUnitWatch::propertiesChanged(const QString& interface, const QVariantMap& changedProperties,
                                         const QStringList& invalidated) {
    if (interface != QLatin1String(SystemdBus::unitInterface) &&
        interface != QLatin1String(SystemdBus::serviceInterface))
        return;
    static const QStringList followed{QStringLiteral("ActiveState"), QStringLiteral("SubState"),
                                      QStringLiteral("MainPID"), QStringLiteral("Result")};
    for (const QString& name : followed)
        if (changedProperties.contains(name) || invalidated.contains(name)) {
            Q_EMIT changed();
            return;
        }
}

} // namespace tavrin

#include "SystemdBus.moc"
