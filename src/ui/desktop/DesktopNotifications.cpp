#include "ui/desktop/DesktopNotifications.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QVariantMap>

namespace tavrin {

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");

} // namespace

DesktopNotifications::DesktopNotifications(QObject* parent) : QObject(parent) {
    QDBusConnection::sessionBus().connect(service, path, service, QStringLiteral("ActionInvoked"), this,
                                          SLOT(onActionInvoked(uint, QString)));
}

void DesktopNotifications::show(const QString& key, const QString& summary, const QString& body,
                                const QList<Action>& actions) {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QStringList flatActions;
    for (const auto& [actionKey, words] : actions)
        flatActions << actionKey << words;
    // The desktop entry's name is also the icon's: the service shows both as the panel's own.
    const QString entry = QGuiApplication::desktopFileName();
    QDBusMessage call = QDBusMessage::createMethodCall(service, path, service, QStringLiteral("Notify"));
    call << QStringLiteral("Tavrin Keldmarch") << m_shown.value(key, 0u) << entry << summary << body << flatActions
         << QVariantMap{{QStringLiteral("desktop-entry"), entry}} << -1;
    // Asynchronous: a notification service that is slow or absent never holds up the panel.
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, 5000), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this, watcher, key] {
        const QDBusPendingReply<uint> reply = *watcher;
        if (!reply.isError())
            m_shown.insert(key, reply.value());
        watcher->deleteLater();
    });
}

void DesktopNotifications::onActionInvoked(uint id, const QString& action) {
    for (auto it = m_shown.cbegin(); it != m_shown.cend(); ++it)
        if (it.value() == id) {
            Q_EMIT actionInvoked(it.key(), action);
            return;
        }
}

} // namespace tavrin
