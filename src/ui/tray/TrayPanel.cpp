#include "ui/tray/TrayPanel.h"

#include "state/ServerStateModel.h"
#include "ui/PhaseLook.h"
#include "ui/RedrawWhenShown.h"
#include "ui/ServerFigures.h"
#include "ui/kit/TRCopyButton.h"
#include "ui/tray/TrayPanelLogic.h"

#include <QCoreApplication>
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

TrayPanel::TrayPanel(ServerStateModel* state, QWidget* parent)
    : MBPanel(parent), m_state(state), m_actions(&state->actions()) {
    m_header = new MBHeader({}, this);
    addBlock(m_header, false);
    addBlock(buildEndpoints());
    addBlock(buildServerState());
    addBlock(buildActions());
    m_quit = new MBItem(QStringLiteral("xmark"), quitEntryLabel(), true, this);
    addBlock(m_quit);

    connect(m_copyLocalhost, &MBItem::clicked, this, [this] {
        if (const auto& status = m_state->status())
            copyText(localhostEndpoint(*status));
    });
    connect(m_copyLan, &MBItem::clicked, this, [this] {
        if (const auto& status = m_state->status())
            if (const auto url = lanEndpoint(*status, QSysInfo::machineHostName()))
                copyText(*url);
    });
    // What the controller believes at the click decides what the click does.
    connect(m_startStop, &MBItem::clicked, this, [this] { startOrStop(m_actions->serverRunning()); });
    connect(m_refresh, &MBItem::clicked, this, [this] { refreshNow(); });
    connect(m_open, &MBItem::clicked, this, &TrayPanel::openMainWindowRequested);
    connect(m_rerunSetup, &MBItem::clicked, this, [this] {
        m_state->setHasCompletedFirstRun(false);
        Q_EMIT rerunSetupRequested();
    });
    connect(m_quit, &MBItem::clicked, this, &TrayPanel::quitRequested);

    // The tray keeps its panel between uses; hidden, it follows nothing until it opens again.
    m_redraw = new RedrawWhenShown(this, [this] {
        showPhase();
        showStatus();
        showRunning();
    });
    connect(m_state, &ServerStateModel::phaseChanged, this, &TrayPanel::showPhase);
    connect(m_state, &ServerStateModel::statusChanged, this, &TrayPanel::showStatus);
    connect(m_actions, &ServerActions::serverRunningChanged, this, &TrayPanel::showRunning);
    showPhase();
    showStatus();
    showRunning();
}

QWidget* TrayPanel::buildEndpoints() {
    QWidget* block = column(this);
    add(block, new MBCaption(tr("Endpoints"), block));
    m_unreachable = new MBNote(tr("Daemon not reachable"), MBNote::Kind::muted, block);
    m_copyLocalhost = new MBItem(QStringLiteral("cpu"), copyLocalhostEndpointName(), false, block);
    m_copyLan = new MBItem(QStringLiteral("wifi"), copyLanEndpointName(), false, block);
    add(block, m_unreachable);
    add(block, m_copyLocalhost);
    add(block, m_copyLan);
    return block;
}

QWidget* TrayPanel::buildServerState() {
    QWidget* block = column(this);
    add(block, new MBCaption(tr("Server state"), block));
    m_model = new MBStat(tr("Model"), {}, block);
    m_uptime = new MBStat(tr("Uptime"), {}, block);
    m_inFlight = new MBStat(tr("In flight"), {}, block);
    m_update = new MBNote({}, MBNote::Kind::good, block);
    m_failing = new MBNote({}, MBNote::Kind::danger, block);
    for (QWidget* row : {static_cast<QWidget*>(m_failing), static_cast<QWidget*>(m_model), static_cast<QWidget*>(m_uptime),
                         static_cast<QWidget*>(m_inFlight), static_cast<QWidget*>(m_update)})
        add(block, row);
    return block;
}

QWidget* TrayPanel::buildActions() {
    QWidget* block = column(this);
    add(block, new MBCaption(tr("Actions"), block));
    m_startStop = new MBItem({}, {}, false, block);
    m_refresh = new MBItem(QStringLiteral("arrow.triangle.2.circlepath"), tr("Refresh"), false, block);
    m_open = new MBItem(QStringLiteral("macwindow"), openEntryLabel(), false, block);
    m_rerunSetup = new MBItem(QStringLiteral("wand.and.stars"), tr("Re-run setup…"), false, block);
    for (MBItem* item : {m_startStop, m_refresh, m_open, m_rerunSetup})
        add(block, item);
    return block;
}

void TrayPanel::showPhase() {
    if (m_redraw->now())
        m_header->setPhaseText(phaseLook(m_state->phase()).label);
}

void TrayPanel::showStatus() {
    if (!m_redraw->now())
        return;
    const auto& status = m_state->status();
    m_unreachable->setVisible(!status);
    m_copyLocalhost->setVisible(bool(status));
    m_copyLan->setVisible(status && status->bind.lanEnabled);
    if (!status) {
        for (QWidget* row : {static_cast<QWidget*>(m_failing), static_cast<QWidget*>(m_model), static_cast<QWidget*>(m_uptime),
                             static_cast<QWidget*>(m_inFlight), static_cast<QWidget*>(m_update)})
            row->setVisible(false);
        return;
    }
    const TrayServerLines lines = trayServerLines(*status);
    m_model->setValue(lines.model);
    m_uptime->setValue(lines.uptime);
    m_model->setVisible(true);
    m_uptime->setVisible(true);
    m_inFlight->setValue(lines.inFlight.value_or(QString()));
    m_inFlight->setVisible(bool(lines.inFlight));
    m_update->setText(lines.update.value_or(QString()));
    m_update->setVisible(bool(lines.update));
    m_failing->setText(lines.failing.value_or(QString()));
    m_failing->setVisible(bool(lines.failing));
}

void TrayPanel::showRunning() {
    if (!m_redraw->now())
        return;
    const TrayStartStop look = trayStartStop(m_actions->serverRunning());
    m_startStop->setSymbol(look.symbol);
    m_startStop->setLabel(look.label);
}

Flow TrayPanel::startOrStop(bool running) {
    if (running) {
        co_await m_actions->stopFromTray();
        co_return;
    }
    // The panel reports nothing; where the server could not start, the main window is where the user
    // finishes setting up.
    const ActionResult started = co_await m_actions->start();
    if (!started)
        Q_EMIT openMainWindowRequested();
}

Flow TrayPanel::refreshNow() { co_await m_state->refresh(); }

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
    dialog->setWindowTitle(QCoreApplication::translate("TrayPanel", "Tavrin Keldmarch menu"));
    auto* layout = new QVBoxLayout(dialog);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(panel);
    closeOnRequests(panel, dialog);
    return dialog;
}

} // namespace tavrin
