#pragma once

#include "protocol/Task.h"

#include "ui/kit/TabContent.h"
#include "ui/tabs/StatusTabLogic.h"

#include <QMessageBox>
#include <QPointer>

#include <memory>

#include <optional>

class QGridLayout;


namespace tavrin {

class EndpointBox;
class HeroCard;
class KeldmarchSwitch;
class PhaseBlock;
class ServerStateModel;
class StatTile;
class TRButton;
class TRCard;
class TRDisclosure;
class TRMessageLine;
class TabHeader;

// The first screen of the main window: whether the server is live, its endpoints and figures, and
// the controls that start and stop it and that keep it starting at login. It reads the model and
// drives the service controller the model owns; nothing here is kept beyond the tab's life.
class StatusTab : public TabContent {
    Q_OBJECT
public:
    explicit StatusTab(ServerStateModel* state, QWidget* parent = nullptr);

    // The removal confirmation while it is open (tests press its buttons).
    QMessageBox* removeConfirmation() const { return m_confirmation; }

    // Flows started by the controls that have not yet run to their end (their refresh included).
    int runningFlows() const { return *m_flows; }

    static QString removeConfirmationTitle();
    static QString removeConfirmationMessage();

private:
    void buildHero();
    void buildTiles();
    void buildStartAtLogin();
    void showPhase();
    void showStatus();
    void showTechnicalRows(const std::vector<TechnicalRow>& rows);
    void showApproval();
    void showRegistration();
    void setStartError(std::optional<QString> message);
    void setStartAtLoginSwitch(bool on);
    void confirmRemoval();
    void openLoginItems();

    QCoro::Task<void> readRegistration();
    QCoro::Task<void> startOrStop(bool running);
    QCoro::Task<void> changeStartAtLogin(bool wanted);
    QCoro::Task<void> removeFromLoginItems();

    QPointer<ServerStateModel> m_state;
    std::shared_ptr<int> m_flows = std::make_shared<int>(0);

    TabHeader* m_header = nullptr;
    PhaseBlock* m_phaseBlock = nullptr;
    TRButton* m_startStop = nullptr;
    QWidget* m_endpoints = nullptr;
    EndpointBox* m_localhost = nullptr;
    EndpointBox* m_lan = nullptr;
    TRButton* m_openLoginItems = nullptr;
    TRMessageLine* m_startError = nullptr;
    QWidget* m_tiles = nullptr;
    StatTile* m_modelTile = nullptr;
    StatTile* m_hardwareTile = nullptr;
    StatTile* m_concurrencyTile = nullptr;
    TRCard* m_loginCard = nullptr;
    KeldmarchSwitch* m_startAtLogin = nullptr;
    QWidget* m_removeRow = nullptr;
    TRDisclosure* m_technical = nullptr;
    QPointer<QMessageBox> m_confirmation;
};

} // namespace tavrin
