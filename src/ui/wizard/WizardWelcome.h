#pragma once

#include "ui/wizard/WizardStepView.h"

namespace tavrin {

// Step 1: what setup will do, and "Begin setup →".
class WizardWelcome : public WizardStepView {
    Q_OBJECT
public:
    explicit WizardWelcome(std::function<void()> advance, QWidget* parent = nullptr);
};

} // namespace tavrin
