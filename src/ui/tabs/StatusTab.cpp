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

StatusTab::StatusTab(ServerStateModel* state, QWidget* parent) : TabContent(parent), state_(state) {
    header_ = new TabHeader(QStringLiteral("Server"), {}, {});
    addWidget(header_);
    buildHero();
    buildTiles();
    buildStartAtLogin();
    technical_ = new TRDisclosure(QStringLiteral("Technical details"));
    addWidget(technical_);

    connect(state_, &ServerStateModel::phaseChanged, this, &StatusTab::showPhase);
    connect(state_, &ServerStateModel::statusChanged, this, &StatusTab::showStatus);
    DaemonProcessController* process = state_->process();
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
    phaseBlock_ = new PhaseBlock;
    top->addWidget(phaseBlock_, 1, Qt::AlignTop);
    startStop_ = new TRButton;
    top->addWidget(startStop_, 0, Qt::AlignTop);
    hero->body()->addLayout(top);
    // The phase at the moment of the press decides what the press does.
    connect(startStop_, &QPushButton::clicked, this,
            [this] { startOrStop(state_->phase().kind == Phase::Kind::running); });

    endpoints_ = new QWidget;
    auto* boxes = new QVBoxLayout(endpoints_);
    boxes->setContentsMargins(0, 0, 0, 0);
    boxes->setSpacing(8);
    localhost_ = new EndpointBox(QStringLiteral("Localhost"), {});
    lan_ = new EndpointBox(QStringLiteral("LAN"), {});
    boxes->addWidget(localhost_);
    boxes->addWidget(lan_);
    hero->body()->addWidget(endpoints_);

    openLoginItems_ = new TRButton(QStringLiteral("Open Login Items…"), GhostButtonStyle{.size = ButtonSize::small});
    hero->body()->addWidget(openLoginItems_, 0, Qt::AlignLeft);
    connect(openLoginItems_, &QPushButton::clicked, this, &StatusTab::openLoginItems);

    startError_ = new TRMessageLine(MessageKind::error);
    hero->body()->addWidget(startError_);
    addWidget(hero);
}

void StatusTab::buildTiles() {
    tiles_ = new QWidget;
    auto* grid = new QGridLayout(tiles_);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setSpacing(10);
    grid->setColumnStretch(0, 1);
    grid->setColumnStretch(1, 1);
    grid->setColumnMinimumWidth(0, 10);
    grid->setColumnMinimumWidth(1, 10);
    modelTile_ = new StatTile(QStringLiteral("cube"), QStringLiteral("Model"), {});
    hardwareTile_ = new StatTile(QStringLiteral("cpu"), QStringLiteral("Hardware"), {});
    concurrencyTile_ = new StatTile(QStringLiteral("paperplane.fill"), QStringLiteral("Concurrency"), {});
    grid->addWidget(modelTile_, 0, 0);
    grid->addWidget(hardwareTile_, 0, 1);
    grid->addWidget(concurrencyTile_, 1, 0);
    addWidget(tiles_);
}

void StatusTab::buildStartAtLogin() {
    loginCard_ = new TRCard(QStringLiteral("Start at login"));
    startAtLogin_ = new KeldmarchSwitch(QStringLiteral("Start at login"));
    startAtLogin_->setLabelHidden(true);
    loginCard_->setAccessory(startAtLogin_);
    // Only the user's own flips change the registration: the tab's corrections of the switch must not
    // start another change (which would also wipe the error that explains the correction).
    connect(startAtLogin_, &QAbstractButton::clicked, this, [this](bool on) {
        loginCard_->setSubtitle(startAtLoginSubtitle(on));
        changeStartAtLogin(on);
    });

    removeRow_ = new QWidget;
    auto* row = new QHBoxLayout(removeRow_);
    row->setContentsMargins(0, 0, 0, 0);
    auto* remove = new TRButton(QStringLiteral("Remove from Login Items…"),
                                GhostButtonStyle{.danger = true, .size = ButtonSize::small});
    row->addWidget(remove);
    row->addStretch(1);
    loginCard_->body()->addWidget(removeRow_);
    connect(remove, &QPushButton::clicked, this, &StatusTab::confirmRemoval);
    addWidget(loginCard_);
}

void StatusTab::showPhase() {
    const Phase phase = state_->phase();
    const StatusHeadline headline = statusHeadline(phase);
    header_->setTitle(headline.title);
    header_->setLead(headline.lead);
    phaseBlock_->setPhase(phase);
    phaseBlock_->setDetail(phaseDetailLine(phase, state_->status()));
    const StartStopLook look = startStopLook(phase);
    startStop_->setText(look.label);
    startStop_->setSymbol(look.symbol);
    startStop_->setButtonStyle(look.style);
}

void StatusTab::showStatus() {
    const auto& status = state_->status();
    phaseBlock_->setDetail(phaseDetailLine(state_->phase(), status));
    endpoints_->setVisible(bool(status));
    tiles_->setVisible(bool(status));
    technical_->setVisible(bool(status));
    if (!status)
        return;

    localhost_->setUrl(localhostEndpoint(*status));
    const auto lan = lanEndpoint(*status, QSysInfo::machineHostName());
    lan_->setUrl(lan.value_or(lanDisabledText()));
    lan_->setDashed(!lan);
    lan_->setMuted(!lan);
    // "disabled · enable in Network tab" is no address: there is nothing to copy.
    lan_->copyButton()->setVisible(bool(lan));

    const TileText model = modelTile(*status), hardware = hardwareTile(*status), load = concurrencyTile(*status);
    modelTile_->setValue(model.value);
    modelTile_->setDetail(model.detail);
    hardwareTile_->setValue(hardware.value);
    hardwareTile_->setDetail(hardware.detail);
    concurrencyTile_->setValue(load.value);
    concurrencyTile_->setDetail(load.detail);

    showTechnicalRows(technicalRows(*status));
}

// Every poll brings a status; the rows are rebuilt only when their set changes, so that a value the
// user is selecting is not replaced by a new widget under the pointer every few seconds.
void StatusTab::showTechnicalRows(const std::vector<TechnicalRow>& rows) {
    const QList<KVRow*> shown = technical_->contentArea()->findChildren<KVRow*>(Qt::FindDirectChildrenOnly);
    const bool sameRows = std::ranges::equal(rows, shown, [](const TechnicalRow& row, const KVRow* kv) {
        return row.label == kv->label() && row.copyable == bool(kv->copyButton());
    });
    if (!sameRows) {
        qDeleteAll(shown);
        for (const TechnicalRow& row : rows)
            technical_->body()->addWidget(new KVRow(
                row.label, {}, {.monospaced = true, .copyable = row.copyable, .labelWidth = kTechnicalLabelWidth}));
    }
    const QList<KVRow*> current = technical_->contentArea()->findChildren<KVRow*>(Qt::FindDirectChildrenOnly);
    for (qsizetype i = 0; i < current.size(); ++i) {
        current[i]->setValue(rows[std::size_t(i)].value);
        if (CopyButton* copy = current[i]->copyButton())
            copy->setPayload(rows[std::size_t(i)].copyText);
    }
}

void StatusTab::showApproval() { openLoginItems_->setVisible(state_->process()->requiresApproval()); }

void StatusTab::showRegistration() { removeRow_->setVisible(state_->process()->loginServiceEnabled()); }

void StatusTab::setStartError(std::optional<QString> message) { startError_->setMessage(message.value_or(QString())); }

void StatusTab::setStartAtLoginSwitch(bool on) {
    startAtLogin_->setChecked(on);
    loginCard_->setSubtitle(startAtLoginSubtitle(on));
}

void StatusTab::confirmRemoval() {
    if (confirmation_)
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
    confirmation_ = box;
    box->open();
}

// There is no settings pane for login items on a Linux desktop. The honest counterpart is the login
// service's unit in the user's unit folder (systemd's own place for it), shown in the file manager.
void StatusTab::openLoginItems() {
    revealInFileManager(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
                        QStringLiteral("/systemd/user/") + QLatin1String(ServiceManager::unitName));
}

QCoro::Task<void> StatusTab::readRegistration() {
    const FlowTicket ticket(flows_);
    QPointer self(this);
    QPointer<DaemonProcessController> process = state_->process();
    const AgentStatus status = co_await process->agentStatus();
    if (self)
        setStartAtLoginSwitch(status == AgentStatus::enabled);
}

QCoro::Task<void> StatusTab::startOrStop(bool running) {
    const FlowTicket ticket(flows_);
    QPointer self(this);
    QPointer<ServerStateModel> state = state_;
    QPointer<DaemonProcessController> process = state_->process();
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
    const FlowTicket ticket(flows_);
    QPointer self(this);
    QPointer<ServerStateModel> state = state_;
    QPointer<DaemonProcessController> process = state_->process();
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
    const FlowTicket ticket(flows_);
    QPointer self(this);
    QPointer<ServerStateModel> state = state_;
    QPointer<DaemonProcessController> process = state_->process();
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
