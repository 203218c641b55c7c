#pragma once

#include "protocol/Task.h"

#include "ui/kit/MenuPanelParts.h"

#include <QPointer>

#include <memory>

class QDialog;

namespace tavrin {

class ServerStateModel;

// The panel the tray item opens: the server's state at a glance and the common actions, without the
// main window. It reports no errors: the next poll shows what became of an action.
//
// It never touches the application itself; the shell wires its requests:
//   openMainWindowRequested()  raise and activate the main window, creating one if none exists;
//   rerunSetupRequested()      hasCompletedFirstRun is already false: raise the window (now the wizard);
//   quitRequested()            the login service is already unregistered if the server ran: quit.
class TrayPanel : public MenuPanel {
    Q_OBJECT
public:
    explicit TrayPanel(ServerStateModel* state, QWidget* parent = nullptr);

    // The entries, for the hosts' keyboard handling and for tests.
    MBHeader* header() const { return header_; }
    MBItem* copyLocalhostItem() const { return copyLocalhost_; }
    MBItem* copyLanItem() const { return copyLan_; }
    MBItem* startStopItem() const { return startStop_; }
    MBItem* refreshItem() const { return refresh_; }
    MBItem* openItem() const { return open_; }
    MBItem* rerunSetupItem() const { return rerunSetup_; }
    MBItem* quitItem() const { return quit_; }

    // Flows started by the controls that have not yet run to their end (their refresh included).
    int runningFlows() const { return *flows_; }

Q_SIGNALS:
    void openMainWindowRequested();
    void rerunSetupRequested();
    void quitRequested();

private:
    QWidget* buildEndpoints();
    QWidget* buildServerState();
    QWidget* buildActions();
    void showPhase();
    void showStatus();
    void showRunning();

    QCoro::Task<void> startOrStop(bool running);
    QCoro::Task<void> refreshNow();
    QCoro::Task<void> quit();

    QPointer<ServerStateModel> state_;
    std::shared_ptr<int> flows_ = std::make_shared<int>(0);
    MBHeader* header_ = nullptr;
    MBNote* unreachable_ = nullptr;
    MBItem* copyLocalhost_ = nullptr;
    MBItem* copyLan_ = nullptr;
    MBStat* model_ = nullptr;
    MBStat* uptime_ = nullptr;
    MBStat* inFlight_ = nullptr;
    MBNote* update_ = nullptr;
    MBItem* startStop_ = nullptr;
    MBItem* refresh_ = nullptr;
    MBItem* open_ = nullptr;
    MBItem* rerunSetup_ = nullptr;
    MBItem* quit_ = nullptr;
};

// A frameless popup holding the panel (which it takes over), for the shell to show beside the tray
// icon with showTrayPanelWindow(). It closes when the user clicks elsewhere or asks for a window.
QWidget* makeTrayPanelWindow(TrayPanel* panel);
// Places the popup beside the icon (its geometry as the tray reports it; empty when unknown) on the
// icon's screen, and shows it.
void showTrayPanelWindow(QWidget* window, const QRect& iconGeometry);

// The same panel in an ordinary dialog, for a desktop without a tray host: the main window offers it
// so that no action of the panel is out of reach.
QDialog* makeTrayPanelDialog(TrayPanel* panel, QWidget* parent = nullptr);

} // namespace tavrin
