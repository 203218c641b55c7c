#pragma once

#include "protocol/Task.h"

#include "app/SingleInstance.h"
#include "state/ServerEvents.h"
#include "state/ServerStateModel.h"
#include "ui/desktop/DesktopNotifications.h"
#include "ui/tray/TrayAppearance.h"
#include "ui/window/MainWindow.h"

#include <QMenu>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>

#include <memory>
#include <optional>

namespace tavrin {

struct AppOptions {
    std::optional<SimulatedHost> simulatedHost;
    // The state model as the state layer makes it: the panel's defaults, but in tests and benchmarks.
    ModelOptions model{};
};

// The application: the one state model, the main window (made
// again when reopened after a close), the tray item whose icon follows the phase, and the
// single-instance channel through which a second launch brings this one's window forward.
class TavrinServerApp : public QObject {
    Q_OBJECT
public:
    explicit TavrinServerApp(AppOptions options = {}, QObject* parent = nullptr);
    ~TavrinServerApp() override;

    // False when another instance already runs (and has been asked to come forward).
    bool claimSingleInstance();

    ServerStateModel& state() { return *m_state; }
    MainWindow* mainWindow() const { return m_window; }
    const AppOptions& options() const { return m_options; }

    void openMainWindow();
    // The tray panel in a window of its own: beside the tray icon, or as a dialog over the main
    // window where the desktop has no tray.
    void showStatusPanel();
    void openStateFolder();
    // File › Quit: the panel ends and leaves the server alone, a login service or a child alike, for
    // clients may be mid-request (the next panel takes over a child). Ends with finished().
    QCoro::Task<void> quit();
    // The tray's Quit, from its menu and from its panel: a server that runs leaves start at login
    // first, then the panel quits as above.
    QCoro::Task<void> quitFromTray();

    // The tray icon's menu; it exists even where no tray shows it.
    QMenu* trayMenu() { return &m_trayMenu; }
    // "Notifications", checkable, in the tray menu and the File menu alike; kept in the settings.
    QAction* notificationsToggle() const { return m_notificationsToggle; }
    static constexpr const char* notificationsSetting = "TavrinServer.notifications";

    // Renders the main window on every tab and the status screens to PNG files; returns the files
    // written. The kit in its states is the gallery's (tavrin-kit-gallery), not the panel's.
    QStringList renderScreens(const QString& directory);

Q_SIGNALS:
    // Everything that had to happen before the panel ends has happened: the event loop may end.
    void finished();

private:
    void setUpTray();
    void setUpNotifications();
    void notify(const QString& key, const QString& summary, const QString& body, const QList<DesktopNotifications::Action>& actions);
    void followPhase();
    class TrayPanel* newTrayPanel();

    AppOptions m_options;
    std::unique_ptr<ServerStateModel> m_state;
    ServerEvents m_events{m_state.get()};
    DesktopNotifications m_notifications;
    QAction* m_notificationsToggle = nullptr;
    QPointer<MainWindow> m_window;
    QSystemTrayIcon* m_tray = nullptr;
    QMenu m_trayMenu;
    TrayAppearance m_trayAppearance;
    QPointer<QWidget> m_trayPopup;
    struct TrayIconLook {
        QString symbol;
        QColor colour;
        bool operator==(const TrayIconLook&) const = default;
    };
    std::optional<TrayIconLook> m_trayIconLook;
    SingleInstance m_instance;
    bool m_quitting = false;
};

} // namespace tavrin
