#pragma once

#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QString>

namespace tavrin {

// The desktop's notification service (org.freedesktop.Notifications on the session bus). Each
// notification has a key of the caller's: a later one with the same key replaces the earlier on
// screen, so that one event is never shown twice. Where the desktop has no such service, nothing
// happens and nothing fails.
class DesktopNotifications : public QObject {
    Q_OBJECT
public:
    // An action: its key (as reported back) and the words on its button.
    using Action = QPair<QString, QString>;

    explicit DesktopNotifications(QObject* parent = nullptr);

    void show(const QString& key, const QString& summary, const QString& body, const QList<Action>& actions);

Q_SIGNALS:
    // The user chose `action` on the notification shown under `key`.
    void actionInvoked(const QString& key, const QString& action);

private Q_SLOTS:
    void onActionInvoked(uint id, const QString& action);

private:
    QMap<QString, uint> m_shown; // key → the service's id of what shows under it
};

} // namespace tavrin
