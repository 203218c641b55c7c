#include "ui/TrayPanel.h"

#include "control/DaemonProcessController.h"
#include "state/ServerStateModel.h"
#include "ui/FlowTicket.h"
#include "ui/ServerFigures.h"
#include "ui/TrayPanelLogic.h"
#include "ui/kit/CopyButton.h"
#include "ui/kit/PhaseLabel.h"

#include <QDialog>
#include <QGuiApplication>
#include <QScreen>
#include <QSysInfo>
#include <QVBoxLayout>

namespace tavrin {

namespace {

QWidget* column(QWidget* parent) {
    auto* block = new QWidget(parent);
    auto* stack = new QVBoxLayout(block);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    return block;
}

void add(QWidget* block, QWidget* row) { block->layout()->addWidget(row); }

} // namespace

TrayPanel::TrayPanel(ServerStateModel* state, QWidget* parent) : MenuPanel(parent), state_(state) {
    header_ = new MBHeader({}, this);
    addBlock(header_, false);
    addBlock(buildEndpoints());
    addBlock(buildServerState());
    addBlock(buildActions());
    quit_ = new MBItem(QStringLiteral("xmark"), QStringLiteral("Quit Tavrin Keldmarch"), true, this);
    addBlock(quit_);

    connect(copyLocalhost_, &MBItem::clicked, this, [this] {
        if (const auto& status = state_->status())
            copyText(localhostEndpoint(*status));
    });
    connect(copyLan_, &MBItem::clicked, this, [this] {
        if (const auto& status = state_->status())
            if (const auto url = lanEndpoint(*status, QSysInfo::machineHostName()))
                copyText(*url);
    });
    // What the controller believes at the click decides what the click does.
    connect(startStop_, &MBItem::clicked, this, [this] { startOrStop(state_->process()->isRunning()); });
    connect(refresh_, &MBItem::clicked, this, [this] { refreshNow(); });
    connect(open_, &MBItem::clicked, this, &TrayPanel::openMainWindowRequested);
    connect(rerunSetup_, &MBItem::clicked, this, [this] {
        state_->setHasCompletedFirstRun(false);
        Q_EMIT rerunSetupRequested();
    });
    connect(quit_, &MBItem::clicked, this, [this] { quit(); });

    connect(state_, &ServerStateModel::phaseChanged, this, &TrayPanel::showPhase);
    connect(state_, &ServerStateModel::statusChanged, this, &TrayPanel::showStatus);
    connect(state_->process(), &DaemonProcessController::isRunningChanged, this, &TrayPanel::showRunning);
    showPhase();
    showStatus();
    showRunning();
}

QWidget* TrayPanel::buildEndpoints() {
    QWidget* block = column(this);
    add(block, new MBCaption(QStringLiteral("Endpoints"), block));
    unreachable_ = new MBNote(QStringLiteral("Daemon not reachable"), MBNote::Kind::muted, block);
    copyLocalhost_ = new MBItem(QStringLiteral("cpu"), QStringLiteral("Copy localhost endpoint"), false, block);
    copyLan_ = new MBItem(QStringLiteral("wifi"), QStringLiteral("Copy LAN endpoint"), false, block);
    add(block, unreachable_);
    add(block, copyLocalhost_);
    add(block, copyLan_);
    return block;
}

QWidget* TrayPanel::buildServerState() {
    QWidget* block = column(this);
    add(block, new MBCaption(QStringLiteral("Server state"), block));
    model_ = new MBStat(QStringLiteral("Model"), {}, block);
    uptime_ = new MBStat(QStringLiteral("Uptime"), {}, block);
    inFlight_ = new MBStat(QStringLiteral("In flight"), {}, block);
    update_ = new MBNote({}, MBNote::Kind::good, block);
    for (QWidget* row : {static_cast<QWidget*>(model_), static_cast<QWidget*>(uptime_),
                         static_cast<QWidget*>(inFlight_), static_cast<QWidget*>(update_)})
        add(block, row);
    return block;
}

QWidget* TrayPanel::buildActions() {
    QWidget* block = column(this);
    add(block, new MBCaption(QStringLiteral("Actions"), block));
    startStop_ = new MBItem({}, {}, false, block);
    refresh_ = new MBItem(QStringLiteral("arrow.triangle.2.circlepath"), QStringLiteral("Refresh"), false, block);
    open_ = new MBItem(QStringLiteral("macwindow"), QStringLiteral("Open Tavrin Keldmarch…"), false, block);
    rerunSetup_ = new MBItem(QStringLiteral("wand.and.stars"), QStringLiteral("Re-run setup…"), false, block);
    for (MBItem* item : {startStop_, refresh_, open_, rerunSetup_})
        add(block, item);
    return block;
}

void TrayPanel::showPhase() { header_->setPhaseText(phaseLabel(state_->phase())); }

void TrayPanel::showStatus() {
    const auto& status = state_->status();
    unreachable_->setVisible(!status);
    copyLocalhost_->setVisible(bool(status));
    copyLan_->setVisible(status && status->bind.lanEnabled);
    if (!status) {
        for (QWidget* row : {static_cast<QWidget*>(model_), static_cast<QWidget*>(uptime_),
                             static_cast<QWidget*>(inFlight_), static_cast<QWidget*>(update_)})
            row->setVisible(false);
        return;
    }
    const TrayServerLines lines = trayServerLines(*status);
    model_->setValue(lines.model);
    uptime_->setValue(lines.uptime);
    model_->setVisible(true);
    uptime_->setVisible(true);
    inFlight_->setValue(lines.inFlight.value_or(QString()));
    inFlight_->setVisible(bool(lines.inFlight));
    update_->setText(lines.update.value_or(QString()));
    update_->setVisible(bool(lines.update));
}

void TrayPanel::showRunning() {
    const TrayStartStop look = trayStartStop(state_->process()->isRunning());
    startStop_->setSymbol(look.symbol);
    startStop_->setLabel(look.label);
}

QCoro::Task<void> TrayPanel::startOrStop(bool running) {
    const FlowTicket ticket(flows_);
    QPointer self(this);
    QPointer<ServerStateModel> state = state_;
    QPointer<DaemonProcessController> process = state_->process();

    if (running) {
        // Stopping here also takes the server out of start at login. Failures are not reported, but
        // a server that is still up after a failed removal (no service manager at all, say) is
        // stopped directly, so that "Stop server" never leaves it running.
        const auto removed = co_await process->unregisterAgent();
        if (!removed && process && process->isRunning())
            co_await process->stop();
    } else {
        // A registered login service is restarted in place; otherwise the server starts as a child for
        // this session, as the Status tab starts it. When that cannot happen, the main window is where
        // the user finishes setting up.
        bool started = false;
        if (co_await process->agentStatus() == AgentStatus::enabled) {
            if (process)
                started = bool(co_await process->restart());
        } else if (process) {
            const std::optional<QString> noSecret;
            started = bool(process->launchChildProcess(noSecret));
        }
        if (!started && self)
            Q_EMIT openMainWindowRequested();
        if (process)
            co_await process->refreshStatus();
    }
    if (state)
        co_await state->refresh();
}

QCoro::Task<void> TrayPanel::refreshNow() {
    const FlowTicket ticket(flows_);
    QPointer<ServerStateModel> state = state_;
    co_await state->refresh();
}

QCoro::Task<void> TrayPanel::quit() {
    const FlowTicket ticket(flows_);
    QPointer self(this);
    QPointer<DaemonProcessController> process = state_->process();
    if (process->isRunning())
        co_await process->unregisterAgent(); // a failure does not hold the quit up
    if (self)
        Q_EMIT quitRequested();
}

namespace {

// Popups and the fallback dialog step aside when the user asks for a window or quits.
void closeOnRequests(TrayPanel* panel, QWidget* host) {
    QObject::connect(panel, &TrayPanel::openMainWindowRequested, host, &QWidget::close);
    QObject::connect(panel, &TrayPanel::rerunSetupRequested, host, &QWidget::close);
    QObject::connect(panel, &TrayPanel::quitRequested, host, &QWidget::close);
}

} // namespace

QWidget* makeTrayPanelWindow(TrayPanel* panel) {
    auto* window = new QWidget(nullptr, Qt::Popup | Qt::FramelessWindowHint);
    auto* layout = new QVBoxLayout(window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(panel);
    closeOnRequests(panel, window);
    return window;
}

void showTrayPanelWindow(QWidget* window, const QRect& iconGeometry) {
    QScreen* screen = iconGeometry.isValid() ? QGuiApplication::screenAt(iconGeometry.center()) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    window->adjustSize();
    if (screen)
        window->move(trayPanelPosition(iconGeometry, window->size(), screen->availableGeometry()));
    window->show();
    window->raise();
    window->activateWindow();
}

QDialog* makeTrayPanelDialog(TrayPanel* panel, QWidget* parent) {
    auto* dialog = new QDialog(parent);
    dialog->setWindowTitle(QStringLiteral("Tavrin Keldmarch menu"));
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(panel);
    closeOnRequests(panel, dialog);
    return dialog;
}

} // namespace tavrin
