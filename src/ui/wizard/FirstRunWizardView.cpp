#include "ui/wizard/FirstRunWizardView.h"

#include "state/ServerStateModel.h"
#include "ui/kit/TRHairline.h"
#include "ui/kit/TRStepRail.h"
#include "ui/wizard/WizardAdminSecret.h"
#include "ui/wizard/WizardDone.h"
#include "ui/wizard/WizardReadiness.h"
#include "ui/wizard/WizardSetupStart.h"
#include "ui/wizard/WizardWelcome.h"

#include <QHBoxLayout>

namespace tavrin {

namespace {

QStringList stepTitles() {
    QStringList titles;
    for (int i = 0; i < wizardStepCount; ++i)
        titles << wizardStepTitle(WizardStep(i));
    return titles;
}

} // namespace

FirstRunWizardView::FirstRunWizardView(ServerStateModel* state, QWidget* parent) : QWidget(parent), m_state(state) {
    setMinimumSize(kMinimumSize);
    m_row = new QHBoxLayout(this);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(0);
    m_rail = new TRStepRail(tr("First-run setup · ~6 minutes"), stepTitles());
    m_row->addWidget(m_rail);
    m_row->addWidget(new TRHairline(Qt::Vertical));
    connect(m_rail, &TRStepRail::rowClicked, this, &FirstRunWizardView::chooseRow);
    go(WizardStep::welcome);
}

void FirstRunWizardView::go(WizardStep step) {
    m_step = step;
    std::vector<StepState> states;
    for (int i = 0; i < wizardStepCount; ++i)
        states.push_back(railRowState(WizardStep(i), step));
    m_rail->setStates(states);

    const auto advance = [this] { this->advance(); };
    const auto back = [this] { this->back(); };
    WizardStepView* next = nullptr;
    switch (step) {
    case WizardStep::welcome:
        next = new WizardWelcome(advance);
        break;
    case WizardStep::readiness:
        next = new WizardReadiness(m_state, advance, back);
        break;
    case WizardStep::adminSecret:
        next = new WizardAdminSecret(m_state, advance, back);
        break;
    case WizardStep::setupAndStart:
        next = new WizardSetupStart(m_state, advance, back);
        break;
    case WizardStep::done:
        next = new WizardDone(m_state, [this] { finish(); }, back);
        break;
    }
    // The old step may be the one whose flow asked for this: it goes once that flow has returned.
    if (m_view) {
        delete m_row->replaceWidget(m_view, next);
        m_view->hide();
        m_view->deleteLater();
    } else {
        m_row->addWidget(next, 1);
    }
    m_view = next;
    next->show();
    focusStep();
}

void FirstRunWizardView::focusStep() {
    if (QWidget* first = m_view->firstField())
        first->setFocus(Qt::OtherFocusReason);
    else
        m_view->setFocus(Qt::OtherFocusReason);
}

// A wizard made before its window (the window's first screen) gives the step its focus once it is in it.
void FirstRunWizardView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    QWidget* focused = window()->focusWidget();
    if (!focused || !isAncestorOf(focused))
        focusStep();
}

void FirstRunWizardView::advance() {
    if (const auto step = nextStep(m_step))
        go(*step);
}

void FirstRunWizardView::back() {
    if (const auto step = previousStep(m_step))
        go(*step);
}

void FirstRunWizardView::finish() { m_state->setHasCompletedFirstRun(true); }

void FirstRunWizardView::chooseRow(int index) {
    const auto row = WizardStep(index);
    if (railRowGoesBack(row, m_step))
        go(row);
}

QWidget* makeFirstRunWizard(ServerStateModel* state) { return new FirstRunWizardView(state); }

} // namespace tavrin
