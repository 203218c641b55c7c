#include "app/TavrinServerApp.h"

#include "base/StateFolder.h"
#include "state/ActionWords.h"
#include "ui/PhaseLook.h"
#include "ui/StatusScreens.h"
#include "ui/desktop/FileManager.h"
#include "ui/kit/Icons.h"
#include "ui/tabs/TabCatalogue.h"
#include "ui/tray/TrayPanel.h"
#include "ui/tray/TrayPanelLogic.h"
#include "ui/window/MainWindow.h"
#include "ui/wizard/FirstRunWizardView.h"

#include <QAction>
#include <QApplication>
#include <QSettings>
#include <QDir>
#include <QDialog>


namespace tavrin {

TavrinServerApp::TavrinServerApp(AppOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)), m_state(ServerStateModel::make(m_options.model)) {
    m_state->setup().setSimulatedHost(m_options.simulatedHost);
    setUpNotifications();
    setUpTray();
    connect(m_state.get(), &ServerStateModel::phaseChanged, this, &TavrinServerApp::followPhase);
    connect(&m_trayAppearance, &TrayAppearance::changed, this, &TavrinServerApp::followPhase);
    followPhase();
}

TavrinServerApp::~TavrinServerApp() {
    delete m_tray; // before the menu it shows
    delete m_window;
    delete m_trayPopup;
}

bool TavrinServerApp::claimSingleInstance() {
    connect(&m_instance, &SingleInstance::raiseRequested, this, &TavrinServerApp::openMainWindow, Qt::UniqueConnection);
    return m_instance.claim();
}

void TavrinServerApp::openMainWindow() {
    if (!m_window) {
        m_window = new MainWindow(m_state.get(), adminTabs(), makeFirstRunWizard);
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_window, &MainWindow::openStateFolderRequested, this, &TavrinServerApp::openStateFolder);
        connect(m_window, &MainWindow::quitRequested, this, [this] { quit(); });
        connect(m_window, &MainWindow::showTrayPanelRequested, this, &TavrinServerApp::showStatusPanel);
        m_window->addFileMenuSetting(m_notificationsToggle);
    }
    m_window->show();
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->raise();
    m_window->activateWindow();
}

void TavrinServerApp::openStateFolder() {
    revealInFileManager(StateFolder::path());
}

QCoro::Task<void> TavrinServerApp::quit() {
    if (m_quitting)
        co_return;
    m_quitting = true;
    if (m_tray)
        m_tray->hide();
    if (m_window)
        m_window->hide();
    Q_EMIT finished();
    co_return;
}

QCoro::Task<void> TavrinServerApp::quitFromTray() {
    if (m_quitting)
        co_return;
    co_await m_state->actions().leaveLoginBeforeQuit();
    co_await quit();
}

TrayPanel* TavrinServerApp::newTrayPanel() {
    auto* panel = new TrayPanel(m_state.get());
    connect(panel, &TrayPanel::openMainWindowRequested, this, &TavrinServerApp::openMainWindow);
    connect(panel, &TrayPanel::rerunSetupRequested, this, &TavrinServerApp::openMainWindow);
    connect(panel, &TrayPanel::quitRequested, this, [this] { quitFromTray(); });
    return panel;
}

void TavrinServerApp::showStatusPanel() {
    if (m_tray && m_tray->isVisible()) {
        if (!m_trayPopup)
            m_trayPopup = makeTrayPanelWindow(newTrayPanel());
        showTrayPanelWindow(m_trayPopup, m_tray->geometry());
        return;
    }
    QDialog* dialog = makeTrayPanelDialog(newTrayPanel(), m_window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->show();
}

void TavrinServerApp::setUpNotifications() {
    m_notificationsToggle =
        new QAction(QCoreApplication::translate("TavrinServerApp", "Notifications"), this);
    m_notificationsToggle->setCheckable(true);
    m_notificationsToggle->setChecked(QSettings().value(QLatin1StringView(notificationsSetting), true).toBool());
    connect(m_notificationsToggle, &QAction::toggled, this,
            [](bool on) { QSettings().setValue(QLatin1StringView(notificationsSetting), on); });

    // One key for the server's coming and going, so that "running again" takes the place of "stopped".
    connect(&m_events, &ServerEvents::stoppedUnasked, this, [this] {
        notify(QStringLiteral("server"),
               QCoreApplication::translate("TavrinServerApp", "Tavrin server stopped"),
               QCoreApplication::translate(
                   "TavrinServerApp",
                   "It stopped without being asked to. Start it again, or open Tavrin Keldmarch to see why."),
               {{QStringLiteral("start"), QCoreApplication::translate("TavrinServerApp", "Start server")},
                {QStringLiteral("open"),
                 QCoreApplication::translate("TavrinServerApp", "Open Tavrin Keldmarch")}});
    });
    connect(&m_events, &ServerEvents::runningAgain, this, [this] {
        notify(QStringLiteral("server"),
               QCoreApplication::translate("TavrinServerApp", "Tavrin server is running again"),
               QCoreApplication::translate("TavrinServerApp", "It came back by itself."),
               {{QStringLiteral("open"),
                 QCoreApplication::translate("TavrinServerApp", "Open Tavrin Keldmarch")}});
    });
    connect(&m_events, &ServerEvents::auditRefusing, this, [this](const QString& reason) {
        const AuditRefusalText refusal = auditRefusalText(reason);
        notify(QStringLiteral("audit"), refusal.title, refusal.message,
               {{QStringLiteral("open"),
                 QCoreApplication::translate("TavrinServerApp", "Open Tavrin Keldmarch")}});
    });
    connect(&m_events, &ServerEvents::engineNotAnswering, this, [this](const ClientEngineHealth& engine) {
        const EngineDownText down = engineDownText(engine);
        notify(QStringLiteral("engine"), down.title, down.message,
               {{QStringLiteral("open"),
                 QCoreApplication::translate("TavrinServerApp", "Open Tavrin Keldmarch")}});
    });
    connect(&m_events, &ServerEvents::updateFound, this, [this](const QString& version) {
        // Once per version, across launches too: a version told of is not told again.
        QSettings settings;
        const QLatin1StringView toldOf("TavrinServer.notifications.updateVersion");
        if (settings.value(toldOf).toString() == version)
            return;
        settings.setValue(toldOf, version);
        notify(QStringLiteral("update"),
               QCoreApplication::translate("TavrinServerApp", "Update available: %1").arg(version),
               QCoreApplication::translate("TavrinServerApp", "Download and verify it on the Updates tab."),
               {{QStringLiteral("updates"), QCoreApplication::translate("TavrinServerApp", "Open Updates")}});
    });
    connect(&m_notifications, &DesktopNotifications::actionInvoked, this, [this](const QString&, const QString& action) {
        if (action == QLatin1StringView("start")) {
            m_state->actions().start();
            return;
        }
        openMainWindow();
        if (action == QLatin1StringView("updates"))
            m_window->select(int(AdminTab::updates));
    });
}

void TavrinServerApp::notify(const QString& key, const QString& summary, const QString& body,
                             const QList<DesktopNotifications::Action>& actions) {
    if (m_notificationsToggle->isChecked())
        m_notifications.show(key, summary, body, actions);
}

void TavrinServerApp::setUpTray() {
    m_trayMenu.addAction(openEntryLabel(), this, &TavrinServerApp::openMainWindow);
    m_trayMenu.addAction(QCoreApplication::translate("TavrinServerApp", "Show Status Panel"), this,
                         &TavrinServerApp::showStatusPanel);
    m_trayMenu.addAction(m_notificationsToggle);
    m_trayMenu.addSeparator();
    m_trayMenu.addAction(quitEntryLabel(), this, [this] { quitFromTray(); });
    // Without a tray host (bare window managers, the offscreen platform) the window and its menus
    // carry every action, so nothing is lost.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(this);
    m_tray->setToolTip(QString::fromLatin1(MainWindow::title));
    m_tray->setContextMenu(&m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            showStatusPanel();
    });
    followPhase(); // an icon before it shows: a tray item without one warns and draws nothing
    m_tray->show();
}

void TavrinServerApp::followPhase() {
    if (!m_tray)
        return;
    // Every poll republishes the phase; the icon is drawn again only when its look changes.
    const TrayIconLook look{phaseLook(m_state->phase()).traySymbol, TrayAppearance::iconColour(m_trayAppearance.isDark())};
    if (look == m_trayIconLook)
        return;
    m_trayIconLook = look;
    m_tray->setIcon(icons::icon(look.symbol, look.colour));
}

QStringList TavrinServerApp::renderScreens(const QString& directory) {
    QStringList written;
    QDir().mkpath(directory);
    // The screens themselves, whether or not setup is complete. Setup's steps act as they appear
    // (they copy a password, make a key), so they are rendered by their tests, never here.
    MainWindow window(m_state.get(), adminTabs());
    window.setAttribute(Qt::WA_DontShowOnScreen);
    window.show();
    const auto tabs = adminTabs();
    for (int index = 0; index < int(tabs.size()); ++index) {
        window.select(index);
        // A page laid out for the first time settles over a few rounds of posted layout requests.
        for (int round = 0; round < 3; ++round) {
            QCoreApplication::sendPostedEvents();
            QCoreApplication::processEvents();
        }
        const QString file = QDir(directory).filePath(
            QStringLiteral("window-%1-%2.png")
                .arg(index + 1, 2, 10, QLatin1Char('0'))
                .arg(tabs[std::size_t(index)].name.toLower().replace(QLatin1Char(' '), QLatin1Char('-'))));
        if (window.grab().save(file))
            written << file;
    }
    if (auto status = renderStatusScreens(directory, m_state.get()))
        written << *status;
    return written;
}

} // namespace tavrin
