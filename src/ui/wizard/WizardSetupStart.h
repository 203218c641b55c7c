#pragma once

#include "ui/wizard/WizardStepView.h"

namespace tavrin {

class KeldmarchSwitch;
class ServerActions;
class ServerStateModel;
class SetupActions;
class TRButton;
class TRMessageLine;
class TRNetMapButton;
class TRProgress;

// Step 4: who may reach the server, whether it starts at login; then start it and wait for it.
class WizardSetupStart : public WizardStepView {
    Q_OBJECT
public:
    WizardSetupStart(ServerStateModel* state, std::function<void()> advance, std::function<void()> back,
                     QWidget* parent = nullptr);

    bool isWorking() const { return m_working; }
    TRButton* startButton() const { return m_start; }
    TRNetMapButton* localhostChoice() const { return m_localhost; }
    TRNetMapButton* lanChoice() const { return m_lan; }
    KeldmarchSwitch* startAtLoginSwitch() const { return m_startAtLogin; }

private:
    void chooseReach(bool lan);
    void setWorking(bool working);
    void showStartButton();

    Flow start();

    ServerActions* m_actions;
    SetupActions* m_setup;
    std::function<void()> m_advance;
    bool m_lanEnabled = false;
    int m_port = 0;
    bool m_working = false;

    TRNetMapButton* m_localhost = nullptr;
    TRNetMapButton* m_lan = nullptr;
    KeldmarchSwitch* m_startAtLogin = nullptr;
    TRProgress* m_spinner = nullptr;
    TRButton* m_start = nullptr;
    TRMessageLine* m_status = nullptr;
    TRMessageLine* m_error = nullptr;
    TRButton* m_continue = nullptr;
};

} // namespace tavrin
