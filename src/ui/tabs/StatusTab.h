#pragma once

#include "state/ServerActions.h"
#include "ui/Flow.h"
#include "ui/kit/TabContent.h"
#include "ui/tabs/StatusTabLogic.h"

#include <QMessageBox>
#include <QPointer>

class QLabel;

namespace tavrin {

class EndpointBox;
class KeldmarchSwitch;
class RedrawWhenShown;
class ServerActions;
class ServerStateModel;
class StatTile;
class TRBanner;
class TRButton;
class TRCard;
class TRDisclosure;
class TREndpointList;
class TRLoadChart;
class TRMessageLine;
class TRPhaseBlock;
class TabHeader;

// The first screen of the main window: whether the server is live, its endpoints and figures, and
// the controls that start and stop it and that keep it starting at login. It reads the model and asks
// the model's actions for what its controls do; nothing here is kept beyond the tab's life.
class StatusTab : public TabContent {
    Q_OBJECT
public:
    StatusTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }

private:
    void buildHero();
    void buildTiles();
    void buildStartAtLogin();
    void showPhase();
    void showStatus();
    void showLoad();
    void showRegistration();
    void showOutcome(const ActionResult& outcome);
    void setStartAtLoginSwitch(bool on);
    void confirmRemoval();

    Flow readRegistration();
    Flow startOrStop(bool running);
    Flow changeStartAtLogin(bool wanted);
    Flow removeLoginService();

    ServerStateModel* m_state;
    ServerActions* m_actions;
    ScreenHeading m_heading;
    ScreenFlows m_flows;
    RedrawWhenShown* m_redraw = nullptr;

    TabHeader* m_header = nullptr;
    TRBanner* m_auditRefusal = nullptr;
    TRPhaseBlock* m_phaseBlock = nullptr;
    TRButton* m_startStop = nullptr;
    QWidget* m_endpoints = nullptr;
    EndpointBox* m_localhost = nullptr;
    EndpointBox* m_lan = nullptr;
    TREndpointList* m_lanAddresses = nullptr;
    TRMessageLine* m_startError = nullptr;
    QWidget* m_tiles = nullptr;
    StatTile* m_modelTile = nullptr;
    QLabel* m_engineLine = nullptr; // under the model: which engine serves it, and whether it answers
    StatTile* m_hardwareTile = nullptr;
    StatTile* m_concurrencyTile = nullptr;
    TRLoadChart* m_loadChart = nullptr;
    TRCard* m_loginCard = nullptr;
    KeldmarchSwitch* m_startAtLogin = nullptr;
    QWidget* m_removeRow = nullptr;
    TRDisclosure* m_technical = nullptr;
    QPointer<QMessageBox> m_confirmation;
};

} // namespace tavrin
