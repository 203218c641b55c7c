#pragma once

#include "protocol/ClientRecords.h"
#include "ui/wizard/WizardStepView.h"

#include <optional>

class QLabel;

namespace tavrin {

class EndpointBox;
class ServerStateModel;
class SetupActions;
class TRBanner;
class TRButton;
class TRCodeBlock;
class TRElidedText;
class TRMessageLine;
class TRProgress;

// Step 5: the endpoint, a first API key made on arrival (shown this once, and held nowhere else),
// and a command that tries the two together.
class WizardDone : public WizardStepView {
    Q_OBJECT
public:
    WizardDone(ServerStateModel* state, std::function<void()> finish, std::function<void()> back,
               QWidget* parent = nullptr);

    const std::optional<ClientCreatedAPIKey>& firstKey() const { return m_firstKey; }
    TRCodeBlock* smokeTest() const { return m_command; }

private:
    void showEndpoints();
    void showKey();

    Flow createFirstKey();

    ServerStateModel* m_state;
    SetupActions* m_setup;
    std::optional<ClientCreatedAPIKey> m_firstKey;
    QString m_keyError;
    bool m_creating = false;

    EndpointBox* m_localhost = nullptr;
    EndpointBox* m_lan = nullptr;
    QWidget* m_beforeKey = nullptr;
    TRMessageLine* m_error = nullptr;
    TRProgress* m_progress = nullptr;
    TRButton* m_create = nullptr;
    QWidget* m_keyBlock = nullptr;
    TRElidedText* m_keyView = nullptr;
    TRButton* m_copyKey = nullptr;
    TRCodeBlock* m_command = nullptr;
};

} // namespace tavrin
