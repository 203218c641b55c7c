#pragma once

#include "ui/Flow.h"
#include "ui/kit/MBPanel.h"

class QDialog;

namespace tavrin {

class RedrawWhenShown;
class ServerActions;
class ServerStateModel;

// The panel the tray item opens: the server's state at a glance and the common actions, without the
// main window. It reports no errors: the next poll shows what became of an action.
//
// It never touches the application itself; the shell wires its requests:
//   openMainWindowRequested()  raise and activate the main window, creating one if none exists;
//   rerunSetupRequested()      hasCompletedFirstRun is already false: raise the window (now the wizard);
//   quitRequested()            quit as the tray quits (ServerActions::leaveLoginBeforeQuit, then quit).
class TrayPanel : public MBPanel {
    Q_OBJECT
public:
    explicit TrayPanel(ServerStateModel* state, QWidget* parent = nullptr);

    // The entries, for the hosts' keyboard handling and for tests.
    MBHeader* header() const { return m_header; }
    MBItem* copyLocalhostItem() const { return m_copyLocalhost; }
    MBItem* copyLanItem() const { return m_copyLan; }
    MBItem* startStopItem() const { return m_startStop; }
    MBItem* refreshItem() const { return m_refresh; }
    MBItem* openItem() const { return m_open; }
    MBItem* rerunSetupItem() const { return m_rerunSetup; }
    MBItem* quitItem() const { return m_quit; }

    const ScreenFlows& flows() const { return m_flows; }

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

    Flow startOrStop(bool running);
    Flow refreshNow();

    ServerStateModel* m_state;
    ServerActions* m_actions;
    ScreenFlows m_flows;
    RedrawWhenShown* m_redraw = nullptr;
    MBHeader* m_header = nullptr;
    MBNote* m_unreachable = nullptr;
    MBItem* m_copyLocalhost = nullptr;
    MBItem* m_copyLan = nullptr;
    MBStat* m_model = nullptr;
    MBStat* m_uptime = nullptr;
    MBStat* m_inFlight = nullptr;
    MBNote* m_update = nullptr;
    MBNote* m_failing = nullptr;
    MBItem* m_startStop = nullptr;
    MBItem* m_refresh = nullptr;
    MBItem* m_open = nullptr;
    MBItem* m_rerunSetup = nullptr;
    MBItem* m_quit = nullptr;
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
