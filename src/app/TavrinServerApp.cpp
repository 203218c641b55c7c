#include "app/TavrinServerApp.h"

#include "base/StateFolder.h"
#include "ui/StatusScreens.h"
#include "ui/TrayPanel.h"
#include "ui/kit/Icons.h"
#include "ui/kit/KitGallery.h"
#include "ui/kit/Theme.h"
#include "ui/window/FileManager.h"
#include "ui/window/MainWindow.h"
#include "ui/window/TrayIcon.h"

#include <QApplication>
#include <QDir>
#include <QLocalSocket>
#include <QDialog>
#include <QMenu>

#include <unistd.h>

namespace tavrin {

TavrinServerApp::TavrinServerApp(AppOptions options, QObject* parent)
    : QObject(parent), m_options(std::move(options)),
      m_client(std::make_unique<DaemonClient>(m_options.baseURL)),
      m_process(std::make_unique<DaemonProcessController>()),
      m_state(std::make_unique<ServerStateModel>(m_client.get(), m_process.get())) {
    setUpTray();
    connect(m_state.get(), &ServerStateModel::phaseChanged, this, &TavrinServerApp::followPhase);
    followPhase();
}

TavrinServerApp::~TavrinServerApp() {
    delete m_window;
    delete m_trayPopup;
}

QString TavrinServerApp::instanceName() {
    return QStringLiteral("tavrin-keldmarch-%1").arg(getuid());
}

bool TavrinServerApp::claimSingleInstance() {
    QLocalSocket probe;
    probe.connectToServer(instanceName());
    if (probe.waitForConnected(500)) {
        probe.write("raise\n");
        probe.waitForBytesWritten(500);
        return false;
    }
    // Nobody answered: a socket file left by a panel that crashed is stale.
    QLocalServer::removeServer(instanceName());
    m_instanceServer.setSocketOptions(QLocalServer::UserAccessOption);
    m_instanceServer.listen(instanceName());
    connect(&m_instanceServer, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_instanceServer.nextPendingConnection()) {
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().startsWith("raise"))
                    openMainWindow();
                peer->disconnectFromServer();
            });
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        }
    });
    return true;
}

void TavrinServerApp::openMainWindow() {
    if (!m_window) {
        m_window = new MainWindow(m_state.get());
        m_window->setAttribute(Qt::WA_DeleteOnClose);
        connect(m_window, &MainWindow::openStateFolderRequested, this, &TavrinServerApp::openStateFolder);
        connect(m_window, &MainWindow::quitRequested, this, [this] { quit(); });
        connect(m_window, &MainWindow::showTrayPanelRequested, this, &TavrinServerApp::showStatusPanel);
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
    co_await m_process->stopChildOnQuit();
    QCoreApplication::quit();
}

TrayPanel* TavrinServerApp::newTrayPanel() {
    auto* panel = new TrayPanel(m_state.get());
    connect(panel, &TrayPanel::openMainWindowRequested, this, &TavrinServerApp::openMainWindow);
    connect(panel, &TrayPanel::rerunSetupRequested, this, &TavrinServerApp::openMainWindow);
    connect(panel, &TrayPanel::quitRequested, this, [this] { quit(); });
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

void TavrinServerApp::setUpTray() {
    // Without a tray host (bare window managers, the offscreen platform) the window and its menus
    // carry every action, so nothing is lost.
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    m_tray = new QSystemTrayIcon(this);
    m_tray->setToolTip(QString::fromLatin1(MainWindow::title));
    m_trayMenu = new QMenu;
    m_trayMenu->addAction(QStringLiteral("Open Tavrin Keldmarch…"), this, &TavrinServerApp::openMainWindow);
    m_trayMenu->addAction(QStringLiteral("Show Status Panel"), this, &TavrinServerApp::showStatusPanel);
    m_trayMenu->addSeparator();
    m_trayMenu->addAction(QStringLiteral("Quit Tavrin Keldmarch"), this, [this] { quit(); });
    m_tray->setContextMenu(m_trayMenu);
    connect(m_tray, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            showStatusPanel();
    });
    m_tray->show();
}

void TavrinServerApp::followPhase() {
    if (m_tray)
        m_tray->setIcon(icons::icon(trayIconSymbol(m_state->phase()), Theme::ink()));
}

QStringList TavrinServerApp::renderScreens(const QString& directory) {
    QStringList written;
    QDir().mkpath(directory);
    openMainWindow();
    int index = 1;
    for (AdminTab tab : allAdminTabs) {
        m_window->select(tab);
        QCoreApplication::processEvents();
        const QString file =
            QDir(directory).filePath(QStringLiteral("window-%1-%2.png")
                                         .arg(index++, 2, 10, QLatin1Char('0'))
                                         .arg(adminTabLabel(tab).toLower().replace(' ', '-')));
        if (m_window->grab().save(file))
            written << file;
    }
    m_window->select(AdminTab::status);
    if (auto status = renderStatusScreens(directory, m_state.get()))
        written << *status;
    if (auto gallery = renderKitGallery(directory))
        written << *gallery;
    return written;
}

} // namespace tavrin
