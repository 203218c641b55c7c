#include "ui/window/MainWindow.h"

#include "state/ServerStateModel.h"
#include "ui/kit/KitParts.h"
#include "ui/kit/StatusChip.h"
#include "ui/kit/TRIconButton.h"
#include "ui/kit/TabContent.h"
#include "ui/kit/TabHeader.h"
#include "ui/kit/Theme.h"
#include "ui/tabs/StatusTab.h"
#include "ui/window/KeldmarchSidebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QMenuBar>
#include <QShowEvent>
#include <QToolBar>
#include <QVBoxLayout>

namespace tavrin {

namespace {

// A vertical hairline in the palette's line colour.
QWidget* hairline() {
    auto* line = new QWidget;
    line->setFixedWidth(1);
    line->setAutoFillBackground(true);
    QPalette palette = line->palette();
    palette.setColor(QPalette::Window, Theme::line());
    line->setPalette(palette);
    return line;
}

} // namespace

QWidget* MainWindow::defaultScreen(AdminTab tab, ServerStateModel* state) {
    switch (tab) {
    case AdminTab::status: return new StatusTab(state);
    default: return nullptr; // the tab's header until its own screen exists
    }
}

MainWindow::MainWindow(ServerStateModel* state, ScreenFactory screens, QWidget* parent)
    : QMainWindow(parent), m_state(state), m_screens(screens ? std::move(screens) : ScreenFactory(&defaultScreen)) {
    setWindowTitle(QString::fromLatin1(title));
    setMinimumSize(880, 580);
    resize(1040, 720);

    auto* central = new QWidget;
    m_row = new QHBoxLayout(central);
    m_row->setContentsMargins(0, 0, 0, 0);
    m_row->setSpacing(0);
    m_sidebar = new KeldmarchSidebar;
    m_row->addWidget(m_sidebar);
    m_row->addWidget(hairline());
    setCentralWidget(central);
    connect(m_sidebar, &KeldmarchSidebar::selectionChanged, this, &MainWindow::showScreen);

    auto* toolbar = new QToolBar;
    toolbar->setMovable(false);
    toolbar->setFloatable(false);
    toolbar->toggleViewAction()->setEnabled(false);
    toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
    auto* heading = new QWidget;
    auto* headingColumn = new QVBoxLayout(heading);
    headingColumn->setContentsMargins(10, 2, 10, 2);
    headingColumn->setSpacing(0);
    headingColumn->addWidget(
        kitLabel(QString::fromLatin1(title), Theme::font(13, FontWeight::bold), Theme::ink()));
    m_subtitle = kitLabel(QStringLiteral("—"), Theme::font(11), Theme::inkMuted());
    headingColumn->addWidget(m_subtitle);
    toolbar->addWidget(heading);
    auto* spacer = new QWidget;
    spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    toolbar->addWidget(spacer);
    m_chip = new StatusChip(m_state->phase());
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
    showScreen(AdminTab::status);
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

AdminTab MainWindow::selection() const {
    return m_sidebar->selection();
}

void MainWindow::select(AdminTab tab) {
    m_sidebar->setSelection(tab);
}

QString MainWindow::subtitle() const {
    return m_subtitle->text();
}

QWidget* MainWindow::headerOnlyScreen(AdminTab tab) {
    const TabHeading heading = adminTabHeading(tab);
    auto* content = new TabContent;
    content->addWidget(new TabHeader(heading.eyebrow, heading.title, heading.lead));
    content->stack()->addStretch();
    return content;
}

void MainWindow::showScreen(AdminTab tab) {
    QWidget* next = m_screens ? m_screens(tab, m_state) : nullptr;
    if (!next)
        next = headerOnlyScreen(tab);
    if (m_screen) {
        delete m_row->replaceWidget(m_screen, next); // the layout hands back the old item
        m_screen->deleteLater();
    } else {
        m_row->addWidget(next, 1);
    }
    m_screen = next;
}

void MainWindow::followState() {
    m_chip->setPhase(m_state->phase());
    const auto& status = m_state->status();
    const QString subtitle = status ? status->serverVersion : QStringLiteral("—");
    if (m_subtitle->text() != subtitle)
        m_subtitle->setText(subtitle);
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
