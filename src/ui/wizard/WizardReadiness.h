#pragma once

#include "state/SetupActions.h"
#include "ui/wizard/WizardStepView.h"

#include <QPointer>

#include <optional>

class QFileDialog;
class QLabel;
class QWidget;

namespace tavrin {

class ServerStateModel;
class TRButton;
class TRCard;
class TRMessageLine;
class TRPill;
class TRProgress;
class TRSymbol;

// Step 2: is the companion's model here, and can this machine run the server? The companion is
// checked at once and the machine probed off the GUI thread, afresh on every visit.
class WizardReadiness : public WizardStepView {
    Q_OBJECT
public:
    WizardReadiness(ServerStateModel* state, std::function<void()> advance, std::function<void()> back,
                    QWidget* parent = nullptr);

    const CompanionSearch& companion() const { return m_search; }
    const std::optional<ClientHardwareReport>& hardware() const { return m_hardware; }
    // The folder picker while it is open (tests answer it).
    QFileDialog* folderPicker() const;

private:
    void buildCompanionCard();
    void buildHardwareCard();
    void showCompanion();
    void showHardware();
    void checkCompanion(const QString& folder);
    void browse();
    void openFolder();

    Flow probe();

    SetupActions* m_setup;
    CompanionSearch m_search;
    std::optional<ClientHardwareReport> m_hardware;

    TRSymbol* m_companionIcon = nullptr;
    QLabel* m_companionTitle = nullptr;
    QLabel* m_companionFolder = nullptr;
    TRPill* m_companionPill = nullptr;
    QLabel* m_instructions = nullptr;
    TRMessageLine* m_companionError = nullptr;
    TRButton* m_openFolder = nullptr;
    TRButton* m_browse = nullptr;
    QPointer<QFileDialog> m_picker;

    TRCard* m_hardwareCard = nullptr;
    TRProgress* m_checking = nullptr;
    QWidget* m_tiles = nullptr;
    QWidget* m_notes = nullptr;
    TRButton* m_continue = nullptr;
};

} // namespace tavrin
