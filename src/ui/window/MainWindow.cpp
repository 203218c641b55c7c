#include "ui/window/MainWindow.h"

#include "state/ServerStateModel.h"
#include "ui/PhaseLook.h"
#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/StatusChip.h"
#include "ui/kit/TRHairline.h"
#include "ui/kit/TRIconButton.h"
#include "ui/kit/TRNavigationTitle.h"

#include <QHBoxLayout>
#include <QMenuBar>
#include <QShowEvent>
#include <QToolBar>

namespace tavrin {

namespace {

std::vector<KeldmarchSidebar::Entry> sidebarEntries(std::span<const AdminScreen> screens) {
    std::vector<KeldmarchSidebar::Entry> entries;
    for (const AdminScreen& screen : screens)
        entries.push_back({screen.label, screen.symbol});
    return entries;
}

} // namespace

MainWindow::MainWindow(ServerStateModel* state, std::span<const AdminScreen> screens, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_screens(screens.begin(), screens.end()) {
    setWindowTitle(QString::fromLatin1(title));
    setMinimumSize(880, 580);
    resize(1040, 720);

    auto* central = new QWidget;
    m_row = new QHBoxLayout(central);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(0);
    m_sidebar = new KeldmarchSidebar(sidebarEntries(m_screens));
    m_row->addWidget(m_sidebar);
    m_row->addWidget(new TRHairline(Qt::Vertical));
    setCentralWidget(central);
    connect(m_sidebar, &KeldmarchSidebar::selectionChanged, this, &MainWindow::showScreen);

    auto* toolbar = new QToolBar;
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    m_heading = new TRNavigationTitle(QString::fromLatin1(title), QStringLiteral("—"));
    toolbar->addWidget(m_heading);
    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    m_chip = new StatusChip;
    toolbar->addWidget(m_chip);
    m_refresh = new TRIconButton(QStringLiteral("arrow.clockwise"), QStringLiteral("Refresh"));
    m_refresh->setShortcut(QKeySequence::Refresh);
    toolbar->addWidget(m_refresh);
    addToolBar(Qt::TopToolBarArea, toolbar);
    // Each press starts its own refresh; failures show only through the model's fields.
    connect(m_refresh, &QAbstractButton::clicked, this, [this] { m_state->refresh(); });

    buildMenus();
    connect(m_state, &ServerStateModel::phaseChanged, this, &MainWindow::followState);
    connect(m_state, &ServerStateModel::statusChanged, this, &MainWindow::followState);
    followState();
    showScreen(0);
}

void MainWindow::buildMenus() {
    // No command opens further windows: the File menu has none.
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    QAction* reveal = file->addAction(QStringLiteral("Open State Folder"));
    reveal->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Comma));
    reveal->setShortcutContext(Qt::ApplicationShortcut);
    connect(reveal, &QAction::triggered, this, &MainWindow::openStateFolderRequested);
    QAction* panel = file->addAction(QStringLiteral("Show Status Panel"));
    connect(panel, &QAction::triggered, this, &MainWindow::showTrayPanelRequested);
    file->addSeparator();
    QAction* close = file->addAction(QStringLiteral("Close Window"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    QAction* quit = file->addAction(QStringLiteral("Quit"));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &MainWindow::quitRequested);
}

int MainWindow::selection() const { return m_sidebar->selection(); }

void MainWindow::select(int index) { m_sidebar->setSelection(index); }

QString MainWindow::subtitle() const { return m_heading->subtitle(); }

void MainWindow::showScreen(int index) {
    const AdminScreen& entry = m_screens.at(std::size_t(index));
    QWidget* next = entry.make(m_state, entry.heading);
    if (m_screen) {
        delete m_row->replaceWidget(m_screen, next); // the layout hands back the old item
        m_screen->deleteLater();
    } else {
        m_row->addWidget(next, 1);
    }
    m_screen = next;
}

void MainWindow::followState() {
    const PhaseLook look = phaseLook(m_state->phase());
    m_chip->setState(look.label, look.chip);
    const auto& status = m_state->status();
    m_heading->setSubtitle(status ? status->serverVersion : QStringLiteral("—"));
    std::optional<QString> pinned;
    if (status && status->model.running)
        pinned = status->model.running->productionAlias;
    m_sidebar->setPinnedModel(pinned);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window that appears restarts the one poll loop (it replaces, never adds, a loop).
    if (!event->spontaneous())
        m_state->startPolling();
}

} // namespace tavrin
