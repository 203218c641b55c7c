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
    QMessageBox* removeConfirmation() const { return confirmation_; }

    // Flows started by the controls that have not yet run to their end (their refresh included).
    int runningFlows() const { return *flows_; }

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

    QPointer<ServerStateModel> state_;
    std::shared_ptr<int> flows_ = std::make_shared<int>(0);

    TabHeader* header_ = nullptr;
    PhaseBlock* phaseBlock_ = nullptr;
    TRButton* startStop_ = nullptr;
    QWidget* endpoints_ = nullptr;
    EndpointBox* localhost_ = nullptr;
    EndpointBox* lan_ = nullptr;
    TRButton* openLoginItems_ = nullptr;
    TRMessageLine* startError_ = nullptr;
    QWidget* tiles_ = nullptr;
    StatTile* modelTile_ = nullptr;
    StatTile* hardwareTile_ = nullptr;
    StatTile* concurrencyTile_ = nullptr;
    TRCard* loginCard_ = nullptr;
    KeldmarchSwitch* startAtLogin_ = nullptr;
    QWidget* removeRow_ = nullptr;
    TRDisclosure* technical_ = nullptr;
    QPointer<QMessageBox> confirmation_;
};

} // namespace tavrin
