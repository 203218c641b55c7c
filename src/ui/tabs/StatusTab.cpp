#include "ui/tabs/StatusTab.h"

#include "control/DaemonProcessController.h"
#include "state/ServerStateModel.h"
#include "ui/FlowTicket.h"
#include "ui/ServerFigures.h"
#include "ui/kit/EndpointBox.h"
#include "ui/kit/HeroCard.h"
#include "ui/kit/CopyButton.h"
#include "ui/kit/KVRow.h"
#include "ui/kit/KeldmarchSwitch.h"
#include "ui/kit/PhaseBlock.h"
#include "ui/kit/StatTile.h"
#include "ui/kit/TRButton.h"
#include "ui/kit/TRCard.h"
#include "ui/kit/TRDisclosure.h"
#include "ui/kit/TRMessageLine.h"
#include "ui/kit/TabHeader.h"
#include "ui/tabs/StatusTabLogic.h"
#include "ui/window/FileManager.h"

#include <QCoroTimer>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QSysInfo>
#include <QVBoxLayout>

#include <algorithm>

namespace tavrin {

namespace {
constexpr int kTechnicalLabelWidth = 130;
}

QString StatusTab::removeConfirmationTitle() {
    return QStringLiteral("Stop Tavrin Keldmarch and remove it from Login Items?");
}

QString StatusTab::removeConfirmationMessage() {
    return QStringLiteral("The server will stop and the Login Items entry will be deleted. You'll need to re-run "
                          "setup to bring it back.");
}

StatusTab::StatusTab(ServerStateModel* state, QWidget* parent) : TabContent(parent), m_state(state) {
    m_header = new TabHeader(QStringLiteral("Server"), {}, {});
    addWidget(m_header);
    buildHero();
    buildTiles();
    buildStartAtLogin();
    m_technical = new TRDisclosure(QStringLiteral("Technical details"));
    addWidget(m_technical);

    connect(m_state, &ServerStateModel::phaseChanged, this, &StatusTab::showPhase);
    connect(m_state, &ServerStateModel::statusChanged, this, &StatusTab::showStatus);
    DaemonProcessController* process = m_state->process();
    connect(process, &DaemonProcessController::requiresApprovalChanged, this, &StatusTab::showApproval);
    connect(process, &DaemonProcessController::loginServiceEnabledChanged, this, &StatusTab::showRegistration);

    showPhase();
    showStatus();
    showApproval();
    showRegistration();
    setStartAtLoginSwitch(process->loginServiceEnabled());
    readRegistration();
}

void StatusTab::buildHero() {
    auto* hero = new HeroCard;
    auto* top = new QHBoxLayout;
    top->setSpacing(12);
    m_phaseBlock = new PhaseBlock;
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
    boxes->setSpacing(8);
    m_localhost = new EndpointBox(QStringLiteral("Localhost"), {});
    m_lan = new EndpointBox(QStringLiteral("LAN"), {});
    boxes->addWidget(m_localhost);
    boxes->addWidget(m_lan);
    hero->body()->addWidget(m_endpoints);

    m_openLoginItems = new TRButton(QStringLiteral("Open Login Items…"), GhostButtonStyle{.size = ButtonSize::small});
    hero->body()->addWidget(m_openLoginItems, 0, Qt::AlignLeft);
    connect(m_openLoginItems, &QPushButton::clicked, this, &StatusTab::openLoginItems);

    m_startError = new TRMessageLine(MessageKind::error);
    hero->body()->addWidget(m_startError);
    addWidget(hero);
}

void StatusTab::buildTiles() {
    m_tiles = new QWidget;
    auto* grid = new QGridLayout(m_tiles);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(10);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, 10);
    grid->setColumnMinimumWidth(1, 10);
    m_modelTile = new StatTile(QStringLiteral("cube"), QStringLiteral("Model"), {});
    m_hardwareTile = new StatTile(QStringLiteral("cpu"), QStringLiteral("Hardware"), {});
    m_concurrencyTile = new StatTile(QStringLiteral("paperplane.fill"), QStringLiteral("Concurrency"), {});
    grid->addWidget(m_modelTile, 0, 0);
    grid->addWidget(m_hardwareTile, 0, 1);
    grid->addWidget(m_concurrencyTile, 1, 0);
    addWidget(m_tiles);
}

void StatusTab::buildStartAtLogin() {
    m_loginCard = new TRCard(QStringLiteral("Start at login"));
    m_startAtLogin = new KeldmarchSwitch(QStringLiteral("Start at login"));
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
    auto* remove = new TRButton(QStringLiteral("Remove from Login Items…"),
                                GhostButtonStyle{.danger = true, .size = ButtonSize::small});
    row->addWidget(remove);
    row->addStretch(1);
    m_loginCard->body()->addWidget(m_removeRow);
    connect(remove, &QPushButton::clicked, this, &StatusTab::confirmRemoval);
    addWidget(m_loginCard);
}

void StatusTab::showPhase() {
    const Phase phase = m_state->phase();
    const StatusHeadline headline = statusHeadline(phase);
    m_header->setTitle(headline.title);
    m_header->setLead(headline.lead);
    m_phaseBlock->setPhase(phase);
    m_phaseBlock->setDetail(phaseDetailLine(phase, m_state->status()));
    const StartStopLook look = startStopLook(phase);
    m_startStop->setText(look.label);
    m_startStop->setSymbol(look.symbol);
    m_startStop->setButtonStyle(look.style);
}

void StatusTab::showStatus() {
    const auto& status = m_state->status();
    m_phaseBlock->setDetail(phaseDetailLine(m_state->phase(), status));
    m_endpoints->setVisible(bool(status));
    m_tiles->setVisible(bool(status));
    m_technical->setVisible(bool(status));
    if (!status)
        return;

    m_localhost->setUrl(localhostEndpoint(*status));
    const auto lan = lanEndpoint(*status, QSysInfo::machineHostName());
    m_lan->setUrl(lan.value_or(lanDisabledText()));
    m_lan->setDashed(!lan);
    m_lan->setMuted(!lan);
    // "disabled · enable in Network tab" is no address: there is nothing to copy.
    m_lan->copyButton()->setVisible(bool(lan));

    const TileText model = modelTile(*status), hardware = hardwareTile(*status), load = concurrencyTile(*status);
    m_modelTile->setValue(model.value);
    m_modelTile->setDetail(model.detail);
    m_hardwareTile->setValue(hardware.value);
    m_hardwareTile->setDetail(hardware.detail);
    m_concurrencyTile->setValue(load.value);
    m_concurrencyTile->setDetail(load.detail);

    showTechnicalRows(technicalRows(*status));
}

// Every poll brings a status; the rows are rebuilt only when their set changes, so that a value the
// user is selecting is not replaced by a new widget under the pointer every few seconds.
void StatusTab::showTechnicalRows(const std::vector<TechnicalRow>& rows) {
    const QList<KVRow*> shown = m_technical->contentArea()->findChildren<KVRow*>(Qt::FindDirectChildrenOnly);
    const bool sameRows = std::ranges::equal(rows, shown, [](const TechnicalRow& row, const KVRow* kv) {
        return row.label == kv->label() && row.copyable == bool(kv->copyButton());
    });
    if (!sameRows) {
        qDeleteAll(shown);
        for (const TechnicalRow& row : rows)
            m_technical->body()->addWidget(new KVRow(
                row.label, {}, {.monospaced = true, .copyable = row.copyable, .labelWidth = kTechnicalLabelWidth}));
    }
    const QList<KVRow*> current = m_technical->contentArea()->findChildren<KVRow*>(Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < current.size(); ++i) {
        current[i]->setValue(rows[std::size_t(i)].value);
        if (CopyButton* copy = current[i]->copyButton())
            copy->setPayload(rows[std::size_t(i)].copyText);
    }
}

void StatusTab::showApproval() { m_openLoginItems->setVisible(m_state->process()->requiresApproval()); }

void StatusTab::showRegistration() { m_removeRow->setVisible(m_state->process()->loginServiceEnabled()); }

void StatusTab::setStartError(std::optional<QString> message) { m_startError->setMessage(message.value_or(QString())); }

void StatusTab::setStartAtLoginSwitch(bool on) {
    m_startAtLogin->setChecked(on);
    m_loginCard->setSubtitle(startAtLoginSubtitle(on));
}

void StatusTab::confirmRemoval() {
    if (m_confirmation)
        return;
    auto* box = new QMessageBox(QMessageBox::Warning, removeConfirmationTitle(), removeConfirmationTitle(),
                                QMessageBox::NoButton, this);
    box->setInformativeText(removeConfirmationMessage());
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* remove = box->addButton(QStringLiteral("Remove"), QMessageBox::DestructiveRole);
    QPushButton* cancel = box->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
    box->setDefaultButton(cancel);
    box->setEscapeButton(cancel);
    connect(remove, &QPushButton::clicked, this, [this] { removeFromLoginItems(); });
    m_confirmation = box;
    box->open();
}

// There is no settings pane for login items on a Linux desktop. The honest counterpart is the login
// service's unit in the user's unit folder (systemd's own place for it), shown in the file manager.
void StatusTab::openLoginItems() {
    revealInFileManager(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                        QStringLiteral("/systemd/user/") + QLatin1String(ServiceManager::unitName));
}

QCoro::Task<void> StatusTab::readRegistration() {
    const FlowTicket ticket(m_flows);
    QPointer self(this);
    QPointer<DaemonProcessController> process = m_state->process();
    const AgentStatus status = co_await process->agentStatus();
    if (self)
        setStartAtLoginSwitch(status == AgentStatus::enabled);
}

QCoro::Task<void> StatusTab::startOrStop(bool running) {
    const FlowTicket ticket(m_flows);
    QPointer self(this);
    QPointer<ServerStateModel> state = m_state;
    QPointer<DaemonProcessController> process = m_state->process();
    setStartError(std::nullopt);

    std::optional<QString> failure;
    if (running) {
        if (auto stopped = co_await process->stop(); !stopped)
            failure = stopped.error().message();
    } else if (co_await process->agentStatus() == AgentStatus::enabled) {
        if (!process)
            co_return;
        if (auto restarted = co_await process->restart(); !restarted)
            failure = restarted.error().message();
    } else if (process) {
        const std::optional<QString> noSecret;
        if (auto launched = process->launchChildProcess(noSecret); !launched)
            failure = childStartFailureMessage(launched.error().message());
    }
    if (self && failure)
        setStartError(failure);

    const std::chrono::milliseconds once{0}; // named: see the note on temporaries in ServiceManager.h
    co_await QCoro::sleepFor(once);          // lets other work on the GUI thread run once
    if (!process || !state)
        co_return;
    co_await process->refreshStatus();
    if (!state)
        co_return;
    co_await state->refresh();
    if (self && process)
        setStartAtLoginSwitch(process->loginServiceEnabled());
}

QCoro::Task<void> StatusTab::changeStartAtLogin(bool wanted) {
    const FlowTicket ticket(m_flows);
    QPointer self(this);
    QPointer<ServerStateModel> state = m_state;
    QPointer<DaemonProcessController> process = m_state->process();
    setStartError(std::nullopt);

    const auto changed = co_await process->setStartAtLogin(wanted);
    if (!process || !state)
        co_return;
    if (!changed) {
        if (self)
            setStartError(changed.error().message());
        // Back to what is really registered, read afresh rather than remembered.
        const AgentStatus status = co_await process->agentStatus();
        if (self)
            setStartAtLoginSwitch(status == AgentStatus::enabled);
        if (!process)
            co_return;
    }
    co_await process->refreshStatus();
    if (!state)
        co_return;
    co_await state->refresh();
}

QCoro::Task<void> StatusTab::removeFromLoginItems() {
    const FlowTicket ticket(m_flows);
    QPointer self(this);
    QPointer<ServerStateModel> state = m_state;
    QPointer<DaemonProcessController> process = m_state->process();
    setStartError(std::nullopt);

    const auto removed = co_await process->unregisterAgent();
    if (self) {
        if (removed)
            setStartAtLoginSwitch(false);
        else
            setStartError(removed.error().message());
    }
    if (!process || !state)
        co_return;
    co_await process->refreshStatus();
    if (!state)
        co_return;
    co_await state->refresh();
}

} // namespace tavrin
