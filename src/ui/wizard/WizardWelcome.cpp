#include "ui/wizard/WizardWelcome.h"

#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRStepRail.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace tavrin {

WizardWelcome::WizardWelcome(std::function<void()> advance, QWidget* parent) : WizardStepView(parent) {
    addGreeting(
        tr("welcome, organizer"), {tr("BUILD YOUR OWN"), tr("KELDMARCH AI.")},
        tr("Tavrin Keldmarch turns this computer into an AI server for your team. About six minutes of "
           "setup, and you'll be running on localhost. No cloud account, no data leaving the "
           "machine."));

    auto* list = new QWidget;
    auto* items = new QVBoxLayout(list);
    items->setContentsMargins(0, Spacing::lines, 0, Spacing::lines);
    items->setSpacing(Spacing::block);
    items->addWidget(new TRNumberedItem(
        1, tr("We'll find the free Tavrin AI app"),
        tr("The Keldmarch server uses its model. If you don't have it yet, we'll show you where it "
           "goes.")));
    items->addWidget(new TRNumberedItem(
        2, tr("You'll set an admin password for this computer"),
        tr("It lets this app start, stop and manage its own server. It stays on this computer.")));
    items->addWidget(new TRNumberedItem(
        3, tr("We'll start the server & hand you an API key"),
        tr("You'll leave with a working endpoint and a one-line curl command to test it.")));
    addWidget(list);

    QHBoxLayout* footer = addFooterRow();
    footer->addWidget(kitLabel(tr("Your data stays on this computer. Always."), TextRole::secondary), 1,
                      Qt::AlignVCenter);
    auto* begin = new TRButton(tr("Begin setup →"), KeldmarchButtonStyle{.size = ButtonSize::large});
    connect(begin, &QPushButton::clicked, this, [advance] { advance(); });
    footer->addWidget(begin);
    setForward(begin);
}

} // namespace tavrin
