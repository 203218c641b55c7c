#include "ui/tabs/StatusTab.h"

#include "state/ActionWords.h"
#include "state/ServerStateModel.h"
#include "ui/ConfirmDestructive.h"
#include "ui/LanAddresses.h"
#include "ui/PhaseLook.h"
#include "ui/RedrawWhenShown.h"
#include "ui/ServerFigures.h"
#include "ui/TechnicalRows.h"
#include "ui/kit/EndpointBox.h"
#include "ui/kit/HeroCard.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/StatTile.h"
#include "ui/kit/TRBanner.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRCopyButton.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TREndpointList.h"
#include "ui/kit/TRLoadChart.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TRPhaseBlock.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSysInfo>
#include <QVBoxLayout>

namespace tavrin {

namespace {
constexpr int kTileMinimumWidth = 10;
} // namespace

StatusTab::StatusTab(ServerStateModel* state, const ScreenHeading& heading, QWidget* parent)
    : TabContent(parent), m_state(state), m_actions(&state->actions()), m_heading(heading) {
    m_header = new TabHeader(heading.eyebrow, {}, {});
    addWidget(m_header);
    // Above everything else: the server is up, yet turns every request away.
    m_auditRefusal = new TRBanner(BannerKind::danger, QStringLiteral("exclamationmark.triangle.fill"));
    m_auditRefusal->hide();
    addWidget(m_auditRefusal);
    buildHero();
    buildTiles();
    buildStartAtLogin();
    m_technical = new TRDisclosure(tr("Technical details"));
    addWidget(m_technical);

    // A hidden or minimised window keeps its tab, which then follows nothing until it shows again.
    m_redraw = new RedrawWhenShown(this, [this] {
        showPhase();
        showStatus();
        showLoad();
        showRegistration();
    });
    connect(m_state, &ServerStateModel::phaseChanged, this, &StatusTab::showPhase);
    connect(m_state, &ServerStateModel::statusChanged, this, &StatusTab::showStatus);
    connect(&m_state->loadHistory(), &LoadHistory::changed, this, &StatusTab::showLoad);
    connect(m_actions, &ServerActions::loginServiceEnabledChanged, this, &StatusTab::showRegistration);

    showPhase();
    showStatus();
    showLoad();
    showRegistration();
    setStartAtLoginSwitch(m_actions->loginServiceEnabled());
    readRegistration();
}

void StatusTab::buildHero() {
    auto* hero = new HeroCard;
    auto* top = new QHBoxLayout;
    top->setSpacing(Spacing::beside);
    m_phaseBlock = new TRPhaseBlock;
    top->addWidget(m_phaseBlock, 1, Qt::AlignTop);
    m_startStop = new TRButton;
    top->addWidget(m_startStop, 0, Qt::AlignTop);
    hero->body()->addLayout(top);
    // The phase at the moment of the press decides what the press does.
    connect(m_startStop, &QPushButton::clicked, this,
            [this] { startOrStop(m_state->phase().kind == Phase::Kind::running); });

    m_endpoints = new QWidget;
    auto* boxes = new QVBoxLayout(m_endpoints);
    boxes->setContentsMargins(0, 0, 0, 0);
    boxes->setSpacing(Spacing::group);
    m_localhost = new EndpointBox(tr("Localhost"), {}, {.copyName = copyLocalhostEndpointName()});
    m_lan = new EndpointBox(tr("LAN"), {}, {.copyName = copyLanEndpointName()});
    boxes->addWidget(m_localhost);
    boxes->addWidget(m_lan);
    m_lanAddresses = new TREndpointList;
    boxes->addWidget(m_lanAddresses);
    hero->body()->addWidget(m_endpoints);

    m_startError = new TRMessageLine(MessageKind::error);
    hero->body()->addWidget(m_startError);
    addWidget(hero);
}

void StatusTab::buildTiles() {
    m_tiles = new QWidget;
    auto* grid = new QGridLayout(m_tiles);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(Spacing::grid);
    for (int column : {0, 1}) {
        grid->setColumnStretch(column, 1);
        grid->setColumnMinimumWidth(column, kTileMinimumWidth);
    }
    m_modelTile = new StatTile(QStringLiteral("cube"), tr("Model"), {});
    m_hardwareTile = new StatTile(QStringLiteral("cpu"), tr("Hardware"), {});
    m_concurrencyTile = new StatTile(QStringLiteral("paperplane.fill"), tr("Concurrency"), {});
    m_engineLine = kitLabel({}, TextRole::detail);
    m_engineLine->setWordWrap(true);
    m_modelTile->addBelow(m_engineLine);
    grid->addWidget(m_modelTile, 0, 0);
    grid->addWidget(m_hardwareTile, 0, 1);
    m_loadChart = new TRLoadChart;
    m_concurrencyTile->addBelow(m_loadChart);
    grid->addWidget(m_concurrencyTile, 1, 0);
    addWidget(m_tiles);
}

void StatusTab::buildStartAtLogin() {
    m_loginCard = new TRCard(tr("Start at login"));
    m_startAtLogin = new KeldmarchSwitch(tr("Start at login"));
    m_startAtLogin->setLabelHidden(true);
    m_loginCard->setAccessory(m_startAtLogin);
    // Only the user's own flips change the registration: the tab's corrections of the switch must not
    // start another change (which would also wipe the error that explains the correction).
    connect(m_startAtLogin, &QAbstractButton::clicked, this, [this](bool on) {
        m_loginCard->setSubtitle(startAtLoginSubtitle(on));
        changeStartAtLogin(on);
    });

    m_removeRow = new QWidget;
    auto* row = new QHBoxLayout(m_removeRow);
    row->setContentsMargins(0, 0, 0, 0);
    auto* remove = new TRButton(tr("Remove login service…"),
                                GhostButtonStyle{.danger = true, .size = ButtonSize::small});
    row->addWidget(remove);
    row->addStretch(1);
    m_loginCard->body()->addWidget(m_removeRow);
    connect(remove, &QPushButton::clicked, this, &StatusTab::confirmRemoval);
    addWidget(m_loginCard);
}

void StatusTab::showPhase() {
    if (!m_redraw->now())
        return;
    const Phase phase = m_state->phase();
    const StatusHeadline headline = statusHeadline(phase, m_heading);
    m_header->setTitle(headline.title);
    m_header->setLead(headline.lead);
    const PhaseLook look = phaseLook(phase);
    m_phaseBlock->setPhase(look.label, look.colour);
    m_phaseBlock->setDetail(phaseDetailLine(phase, m_state->status()));
    const StartStopLook button = startStopLook(phase);
    m_startStop->setText(button.label);
    m_startStop->setSymbol(button.symbol);
    m_startStop->setButtonStyle(button.style);
}

void StatusTab::showStatus() {
    if (!m_redraw->now())
        return;
    const auto& status = m_state->status();
    m_phaseBlock->setDetail(phaseDetailLine(m_state->phase(), status));
    m_endpoints->setVisible(bool(status));
    m_tiles->setVisible(bool(status));
    m_technical->setVisible(bool(status));
    m_auditRefusal->setVisible(status && status->auditUnavailable);
    if (!status)
        return;
    if (status->auditUnavailable) {
        const AuditRefusalText refusal = auditRefusalText(*status->auditUnavailable);
        m_auditRefusal->setTitle(refusal.title);
        m_auditRefusal->setMessage(refusal.message);
    }

    m_localhost->setUrl(localhostEndpoint(*status));
    const auto lan = lanEndpoint(*status, QSysInfo::machineHostName());
    m_lan->setUrl(lan.value_or(lanDisabledText()));
    m_lan->setDashed(!lan);
    m_lan->setMuted(!lan);
    // "disabled · enable in Network tab" is no address: there is nothing to copy.
    m_lan->copyButton()->setVisible(bool(lan));
    m_lanAddresses->setEntries(lan ? lanEndpointEntries(status->bind) : QList<TREndpointList::Entry>());

    const TileText model = modelTile(*status), hardware = hardwareTile(*status), load = concurrencyTile(*status);
    m_modelTile->setValue(model.value);
    m_modelTile->setDetail(model.detail);
    m_engineLine->setVisible(bool(status->engine));
    if (status->engine) {
        m_engineLine->setText(engineLine(*status->engine));
        // While the engine does not answer every request fails: the line must not read like the
        // quiet details around it.
        setLabelColor(m_engineLine, status->engine->reachable ? Theme::text(TextRole::detail).colour : Theme::dangerRed());
    }
    m_hardwareTile->setValue(hardware.value);
    m_hardwareTile->setDetail(hardware.detail);
    m_concurrencyTile->setValue(load.value);
    m_concurrencyTile->setDetail(load.detail);

    showTechnicalRows(m_technical, technicalRows(*status));
}

void StatusTab::showLoad() {
    if (!m_redraw->now())
        return;
    const LoadChartSeries chart = loadChartSeries(m_state->loadHistory().samples(), QDateTime::currentDateTimeUtc());
    m_loadChart->setSeries(chart.inFlight, chart.queued, qreal(chart.top), chart.description);
}

void StatusTab::showRegistration() {
    if (m_redraw->now())
        m_removeRow->setVisible(m_actions->loginServiceEnabled());
}

void StatusTab::showOutcome(const ActionResult& outcome) {
    m_startError->setMessage(outcome ? QString() : outcome.error().message());
}

void StatusTab::setStartAtLoginSwitch(bool on) {
    m_startAtLogin->setChecked(on);
    m_loginCard->setSubtitle(startAtLoginSubtitle(on));
}

void StatusTab::confirmRemoval() {
    if (m_confirmation)
        return;
    m_confirmation = confirmDestructive(
        this, tr("Stop the Tavrin server and remove its login service?"),
        tr("The server will stop and its login service will be deleted. You'll need to re-run setup to "
           "bring it back."),
        tr("Remove"), [this] { removeLoginService(); });
}

Flow StatusTab::readRegistration() {
    const bool enabled = co_await m_actions->readLoginService();
    setStartAtLoginSwitch(enabled);
}

Flow StatusTab::startOrStop(bool running) {
    m_startError->clearMessage();
    // Chosen outside the co_await: g++ 12 destroys a conditional's temporary inside one twice.
    QCoro::Task<ActionResult> action = running ? m_actions->stop() : m_actions->start();
    const ActionResult outcome = co_await std::move(action);
    showOutcome(outcome);
    setStartAtLoginSwitch(m_actions->loginServiceEnabled());
}

Flow StatusTab::changeStartAtLogin(bool wanted) {
    m_startError->clearMessage();
    const ActionResult outcome = co_await m_actions->setStartAtLogin(wanted);
    showOutcome(outcome);
    if (!outcome) // back to what is really registered
        setStartAtLoginSwitch(m_actions->loginServiceEnabled());
}

Flow StatusTab::removeLoginService() {
    m_startError->clearMessage();
    const ActionResult outcome = co_await m_actions->removeFromLogin();
    showOutcome(outcome);
    if (outcome)
        setStartAtLoginSwitch(false);
}

} // namespace tavrin
