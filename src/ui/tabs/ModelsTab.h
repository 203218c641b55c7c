#pragma once

#include "ui/AdminScreen.h"
#include "ui/Flow.h"
#include "ui/kit/TabContent.h"
#include "state/ModelActions.h"
#include "ui/tabs/ModelsTabLogic.h"

#include <optional>
#include <vector>

class QHBoxLayout;
class QLabel;

namespace tavrin {

class ServerStateModel;
class TRBanner;
class TRButton;
class TRCard;
class TRDisclosure;
class TRDisplayName;
class TRPill;

// The model in production with its stages, a staged update waiting for promotion, and the rollback
// history, with the two actions that switch production. Everything shown is the model part of the
// state model's status record, redrawn as each poll brings it; the tab keeps only its two banners and
// whether the technical details are open.
class ModelsTab : public TabContent {
    Q_OBJECT
public:
    ModelsTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }

private:
    void buildProduction();
    void buildStaged();
    void buildHistory();
    void buildBanners();
    void showStatus();
    void showProduction(const ClientServerStatus& status);
    void showStagePills(const std::optional<std::vector<PillLook>>& pills);
    void showStaged(const ClientModelStatus& model);
    void showHistory(const std::vector<HistoryEntry>& entries);
    void showOutcome(const QString& message, const QString& error);

    Flow changeProduction(ProductionChange change);

    ServerStateModel* m_state;
    ScreenFlows m_flows;

    TRCard* m_unreachable = nullptr;
    QWidget* m_production = nullptr;
    TRDisplayName* m_name = nullptr;
    QLabel* m_imported = nullptr;
    TRPill* m_runningPill = nullptr;
    QWidget* m_stages = nullptr;
    QHBoxLayout* m_stagesRow = nullptr;
    std::optional<std::vector<PillLook>> m_shownStages;
    TRDisclosure* m_technical = nullptr;

    QWidget* m_staged = nullptr;
    TRBanner* m_stagedBanner = nullptr;
    TRCard* m_stagedCard = nullptr;
    TRButton* m_rollBack = nullptr;
    TRButton* m_promote = nullptr;
    TRBanner* m_restartNotice = nullptr;

    TRCard* m_history = nullptr;
    QWidget* m_historyRows = nullptr;
    std::vector<HistoryEntry> m_shownHistory;

    TRBanner* m_success = nullptr;
    TRBanner* m_failure = nullptr;
};

} // namespace tavrin
