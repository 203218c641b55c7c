#pragma once

#include "ui/wizard/WizardLogic.h"
#include "ui/wizard/WizardStepView.h"

#include <QPointer>
#include <QWidget>

class QHBoxLayout;

namespace tavrin {

class ServerStateModel;
class TRStepRail;

// The guided setup the main window shows until the first run is complete: the rail of steps on the
// left, the current step on the right. Every visit of a step builds it afresh, so its on-arrival work
// (a companion check, a hardware probe, a password, a first key) runs again; finishing sets the first-run
// flag, which brings the main window.
class FirstRunWizardView : public QWidget {
    Q_OBJECT
public:
    static constexpr QSize kMinimumSize{720, 540};

    explicit FirstRunWizardView(ServerStateModel* state, QWidget* parent = nullptr);

    WizardStep step() const { return m_step; }
    // Shows `step` as a new visit (also for renders and tests).
    void go(WizardStep step);
    WizardStepView* currentStep() const { return m_view; }
    TRStepRail* rail() const { return m_rail; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void focusStep();
    void advance();
    void back();
    void finish();
    void chooseRow(int index);

    ServerStateModel* m_state;
    WizardStep m_step = WizardStep::welcome;
    TRStepRail* m_rail;
    QHBoxLayout* m_row;
    QPointer<WizardStepView> m_view;
};

// What the main window shows until the first run is complete.
QWidget* makeFirstRunWizard(ServerStateModel* state);

} // namespace tavrin
