#include "ui/window/MainWindow.h"

#include "state/ServerStateModel.h"
#include "ui/ServerFigures.h"
#include "ui/PhaseLook.h"
#include "ui/kit/KeldmarchSidebar.h"
#include "ui/kit/StatusChip.h"
#include "ui/kit/TRHairline.h"
#include "ui/kit/TRIconButton.h"
#include "ui/kit/TRNavigationTitle.h"

#include <QHBoxLayout>
#include <QMenuBar>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QToolBar>
#include <QVBoxLayout>

namespace tavrin {

namespace {

std::vector<KeldmarchSidebar::Entry> sidebarEntries(std::span<const AdminScreen> screens) {
    std::vector<KeldmarchSidebar::Entry> entries;
    for (const AdminScreen& screen : screens)
        entries.push_back({screen.label, screen.symbol});
    return entries;
}

} // namespace

MainWindow::MainWindow(ServerStateModel* state, std::span<const AdminScreen> screens, FirstRunFactory firstRun,
                       QWidget* parent)
    : QMainWindow(parent), m_state(state), m_screens(screens.begin(), screens.end()),
      m_makeFirstRun(std::move(firstRun)) {
    setWindowTitle(QString::fromLatin1(title));
    setMinimumSize(kMinimumSize);
    resize(1040, 720);

    // One of the two shows at a time: the screens with their sidebar, or the first-run screen.
    auto* central = new QWidget;
    auto* root = new QVBoxLayout(central);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);
    m_admin = new QWidget;
    root->addWidget(m_admin);
    m_row = new QHBoxLayout(m_admin);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(0);
    m_sidebar = new KeldmarchSidebar(sidebarEntries(m_screens));
    m_row->addWidget(m_sidebar);
    m_row->addWidget(new TRHairline(Qt::Vertical));
    setCentralWidget(central);
    connect(m_sidebar, &KeldmarchSidebar::selectionChanged, this, &MainWindow::showScreen);

    auto* toolbar = m_toolbar = new QToolBar;
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
    m_refresh = new TRIconButton(QStringLiteral("arrow.clockwise"), tr("Refresh"));
    m_refresh->setShortcut(QKeySequence::Refresh);
    toolbar->addWidget(m_refresh);
    addToolBar(Qt::TopToolBarArea, toolbar);
    // Each press starts its own refresh; failures show only through the model's fields.
    connect(m_refresh, &QAbstractButton::clicked, this, [this] { m_state->refresh(); });

    buildMenus();
    connect(m_state, &ServerStateModel::phaseChanged, this, &MainWindow::followState);
    connect(m_state, &ServerStateModel::statusChanged, this, &MainWindow::followState);
    connect(m_state, &ServerStateModel::hasCompletedFirstRunChanged, this, &MainWindow::followFirstRun);
    followState();
    followFirstRun();
}

void MainWindow::followFirstRun() {
    const bool setup = m_makeFirstRun && !m_state->hasCompletedFirstRun();
    if (setup == bool(m_firstRun) && (setup || m_screen))
        return;
    if (setup) {
        // The screen goes with its state: a return from setup starts afresh, on Status.
        if (m_screen) {
            m_row->removeWidget(m_screen);
            m_screen->hide();
            m_screen->deleteLater();
            m_screen = nullptr;
        }
        m_admin->hide();
        m_toolbar->hide();
        m_firstRun = m_makeFirstRun(m_state);
        centralWidget()->layout()->addWidget(m_firstRun);
        setMinimumSize(m_firstRun->minimumSize());
        m_firstRun->show();
        return;
    }
    // Setup's own flows may still be running from the click that finished it: it goes after them.
    if (m_firstRun) {
        m_firstRun->hide();
        m_firstRun->deleteLater();
        m_firstRun = nullptr;
    }
    setMinimumSize(kMinimumSize);
    m_toolbar->show();
    m_admin->show();
    const QSignalBlocker quiet(m_sidebar); // Status is built once, below
    m_sidebar->setSelection(0);
    showScreen(0);
}

void MainWindow::buildMenus() {
    // No command opens further windows: the File menu has none.
    QMenu* file = m_fileMenu = menuBar()->addMenu(tr("&File"));
    QAction* reveal = file->addAction(tr("Open State Folder"));
    reveal->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Comma));
    reveal->setShortcutContext(Qt::ApplicationShortcut);
    connect(reveal, &QAction::triggered, this, &MainWindow::openStateFolderRequested);
    QAction* panel = file->addAction(tr("Show Status Panel"));
    connect(panel, &QAction::triggered, this, &MainWindow::showTrayPanelRequested);
    m_fileSettingsEnd = file->addSeparator();
    QAction* close = file->addAction(tr("Close Window"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);
    QAction* quit = file->addAction(tr("Quit"));
    quit->setShortcut(QKeySequence::Quit);
    quit->setMenuRole(QAction::QuitRole);
    connect(quit, &QAction::triggered, this, &MainWindow::quitRequested);
}

void MainWindow::addFileMenuSetting(QAction* action) { m_fileMenu->insertAction(m_fileSettingsEnd, action); }

int MainWindow::selection() const { return m_sidebar->selection(); }

void MainWindow::select(int index) {
    if (!m_firstRun)
        m_sidebar->setSelection(index);
}

QString MainWindow::subtitle() const { return m_heading->subtitle(); }

void MainWindow::showScreen(int index) {
    const AdminScreen& entry = m_screens.at(std::size_t(index));
    QWidget* next = entry.make(m_state, entry.heading);
    if (m_screen) {
        delete m_row->replaceWidget(m_screen, next); // the layout hands back the old item
        // Hidden now, not when the loop comes round: until then a reader would find two screens.
        m_screen->hide();
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
    m_sidebar->setPinnedModel(status ? answeringModel(*status) : std::nullopt);
}

void MainWindow::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    // A window that appears restarts the one poll loop (it replaces, never adds, a loop).
    if (!event->spontaneous())
        m_state->startPolling();
}

} // namespace tavrin
