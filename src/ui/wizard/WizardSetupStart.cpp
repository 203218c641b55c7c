#include "ui/wizard/WizardSetupStart.h"

#include "state/ServerStateModel.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRNetMapButton.h"
#include "ui/kit/TRProgress.h"
#include "ui/kit/Theme.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <chrono>

namespace tavrin {

namespace {
// Long enough to see "Server is running" before the last step replaces this one.
constexpr std::chrono::milliseconds kBeforeAdvancing{800};
} // namespace

WizardSetupStart::WizardSetupStart(ServerStateModel* state, std::function<void()> advance,
                                   std::function<void()> back, QWidget* parent)
    : WizardStepView(parent), m_actions(&state->actions()), m_setup(&state->setup()),
      m_advance(std::move(advance)), m_lanEnabled(m_setup->lanChoice()), m_port(m_setup->portChoice()) {
    addStepHeader(WizardStep::setupAndStart, tr("Choose how it runs, then start it."),
                  tr("These choices are reversible from the Status and Network tabs."));

    auto* reach = new TRCard(tr("Who can reach this server?"),
                             tr("Localhost only is the safe default. LAN exposes it to other devices on "
                                "your network."));
    auto* choices = new QHBoxLayout;
    choices->setSpacing(Spacing::grid);
    m_localhost = new TRNetMapButton(QStringLiteral("cpu"), tr("Default"), tr("Just this computer"),
                                     localhostNodeDetail(m_port));
    m_lan = new TRNetMapButton(QStringLiteral("wifi"), {}, tr("My whole network"),
                               tr("0.0.0.0 binding · LAN clients with API key"));
    choices->addWidget(m_localhost, 1);
    choices->addWidget(m_lan, 1);
    reach->body()->addLayout(choices);
    addWidget(reach);
    m_localhost->setChecked(!m_lanEnabled);
    m_lan->setChecked(m_lanEnabled);
    connect(m_localhost, &QAbstractButton::clicked, this, [this] { chooseReach(false); });
    connect(m_lan, &QAbstractButton::clicked, this, [this] { chooseReach(true); });

    auto* login = new TRCard;
    m_startAtLogin = new KeldmarchSwitch(tr("Start automatically when you log in"));
    m_startAtLogin->setChecked(m_setup->startAtLoginChoice());
    login->body()->addWidget(m_startAtLogin, 0, Qt::AlignLeft);
    for (const QString& line : {tr("systemd will start the server in the background every time you sign in."),
                                tr("Off means you'll start it manually from the Status tab. Either way the "
                                   "tray icon stays.")}) {
        QLabel* text = kitLabel(line, TextRole::secondary);
        text->setWordWrap(true);
        login->body()->addWidget(text);
    }
    addWidget(login);
    // The switch is the stored choice itself: every flip is kept at once.
    connect(m_startAtLogin, &QAbstractButton::toggled, this, [this](bool on) { m_setup->setStartAtLoginChoice(on); });

    QLabel* note = kitLabel(tr("It runs as you, not as root: nothing to approve."), TextRole::secondary);
    note->setWordWrap(true);
    addWidget(note);

    auto* startRow = new QHBoxLayout;
    startRow->setSpacing(Spacing::beside);
    m_start = new TRButton({}, KeldmarchButtonStyle{.size = ButtonSize::large});
    m_spinner = new TRProgress;
    startRow->addWidget(m_start);
    startRow->addWidget(m_spinner);
    startRow->addStretch(1);
    addLayout(startRow);
    m_status = new TRMessageLine(MessageKind::success);
    m_error = new TRMessageLine(MessageKind::error);
    addWidget(m_status);
    addWidget(m_error);
    connect(m_start, &QPushButton::clicked, this, [this] { start(); });

    m_continue = new TRButton(tr("Continue →"), KeldmarchButtonStyle{});
    connect(m_continue, &QPushButton::clicked, this, [this] { m_advance(); });
    addFooter(back, m_continue);

    connect(m_actions, &ServerActions::serverRunningChanged, this, &WizardSetupStart::showStartButton);
    showStartButton();
}

void WizardSetupStart::chooseReach(bool lan) {
    m_lanEnabled = lan;
    m_localhost->setChecked(!lan);
    m_lan->setChecked(lan);
    m_setup->setLanChoice(lan);
}

void WizardSetupStart::setWorking(bool working) {
    m_working = working;
    showStartButton();
}

void WizardSetupStart::showStartButton() {
    const bool running = m_actions->serverRunning();
    const StartFace face = startButtonFace(m_working, running);
    m_start->setText(face.label);
    m_start->setSymbol(face.symbol);
    m_start->setEnabled(face.enabled);
    m_spinner->setVisible(face.busy);
    m_continue->setEnabled(running);
}

Flow WizardSetupStart::start() {
    setWorking(true);
    m_status->clearMessage();
    m_error->clearMessage();
    m_setup->setLanChoice(m_lanEnabled);
    m_setup->setPortChoice(m_port);
    const bool atLogin = m_startAtLogin->isChecked();

    const auto launched = co_await m_setup->launchServer(atLogin);
    if (!launched) {
        m_error->setMessage(launched.error().message());
        setWorking(false);
        co_return;
    }
    m_status->setMessage(startedMessage(atLogin));

    const bool lan = m_lanEnabled;
    const int port = m_port;
    const bool serving = co_await m_setup->awaitServer(lan, port);
    // A server that never answered leaves the user here, with its "Server started…" line and no
    // error; "Continue →" opens once the server shows as running.
    if (serving) {
        co_await pauseFor(kBeforeAdvancing);
        m_advance();
    }
    setWorking(false);
}

} // namespace tavrin
