#pragma once

#include "ui/Flow.h"
#include "ui/kit/TabContent.h"
#include "ui/wizard/WizardLogic.h"

#include <chrono>
#include <functional>

class QHBoxLayout;

namespace tavrin {

class TRButton;

// What every step of the first-run wizard shares: a page in a scroll area, the header of the middle
// steps, the footer with "← Back" and the step's forward button, and the keyboard. Enter presses the
// forward button while it is enabled (a focused control that takes Enter itself, a button or a switch,
// keeps it); Escape does nothing at all, so it can never cost a typed password.
class WizardStepView : public TabContent {
    Q_OBJECT
public:
    explicit WizardStepView(QWidget* parent = nullptr);

    const ScreenFlows& flows() const { return m_flows; }
    TRButton* forwardButton() const { return m_forward; }
    // Where keyboard focus starts when the step appears: its first text field while one shows.
    // Without one the step itself holds the focus, so that Enter goes to the forward button, and
    // Tab to the first control.
    QWidget* firstField() const;

protected:
    // "Step 2 of 5 · Machine readiness", the title and the lead.
    void addStepHeader(WizardStep step, const QString& title, const QString& lead);
    // The greeting, a headline of capitals in lines, and the lead: how the first and last steps open.
    void addGreeting(const QString& greeting, const QStringList& headline, const QString& lead);
    // A row at the foot of the page, below everything else however short the page is.
    QHBoxLayout* addFooterRow();
    // "← Back" on the left, `forward` on the right.
    void addFooter(const std::function<void()>& back, TRButton* forward);
    void setForward(TRButton* forward) { m_forward = forward; }
    // A pause a flow can await.
    static QCoro::Task<void> pauseFor(std::chrono::milliseconds delay);

    void keyPressEvent(QKeyEvent* event) override;

private:
    ScreenFlows m_flows;
    TRButton* m_forward = nullptr;
};

} // namespace tavrin
