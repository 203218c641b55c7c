#pragma once

#include "ui/AdminScreen.h"

#include <QMainWindow>
#include <QPointer>

#include <functional>
#include <span>
#include <vector>

class QHBoxLayout;
class QToolBar;

namespace tavrin {

class KeldmarchSidebar;
class ServerStateModel;
class StatusChip;
class TRIconButton;
class TRNavigationTitle;

// The administration window: a sidebar with a row per screen, the chosen screen (built afresh on
// every choice), and a toolbar with the phase chip and Refresh. It knows its screens only as the
// entries it is given.
//
// Until the first run is complete it shows the first-run screen instead, alone (no sidebar, no toolbar,
// the screen's own minimum size), and it follows the model's flag both ways at once: finishing setup
// brings the screens, on Status; setting the flag back brings setup again.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* title = "Tavrin Keldmarch";
    static constexpr QSize kMinimumSize{880, 580};

    // `firstRun` builds the first-run screen; without one the window always shows its screens.
    using FirstRunFactory = std::function<QWidget*(ServerStateModel*)>;
    MainWindow(ServerStateModel* state, std::span<const AdminScreen> screens, FirstRunFactory firstRun = {},
               QWidget* parent = nullptr);

    // The chosen screen, by its index among the entries.
    int selection() const;
    void select(int index);
    // A setting of the application's own (one action shared with the tray menu, so both show it
    // alike), placed in the File menu among its commands.
    void addFileMenuSetting(QAction* action);
    // Nothing while the first-run screen shows.
    QWidget* currentScreen() const { return m_screen; }
    // Nothing once the first run is complete.
    QWidget* firstRunScreen() const { return m_firstRun; }
    KeldmarchSidebar* sidebar() const { return m_sidebar; }
    StatusChip* statusChip() const { return m_chip; }
    TRIconButton* refreshButton() const { return m_refresh; }
    QString subtitle() const;

Q_SIGNALS:
    void openStateFolderRequested();
    void quitRequested();
    void showTrayPanelRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showScreen(int index);
    void followState();
    void followFirstRun();
    void buildMenus();

    ServerStateModel* m_state;
    std::vector<AdminScreen> m_screens;
    FirstRunFactory m_makeFirstRun;
    QWidget* m_admin;
    QPointer<QWidget> m_firstRun;
    QToolBar* m_toolbar;
    KeldmarchSidebar* m_sidebar;
    QHBoxLayout* m_row;
    QWidget* m_screen = nullptr;
    TRNavigationTitle* m_heading;
    StatusChip* m_chip;
    TRIconButton* m_refresh;
    QMenu* m_fileMenu = nullptr;
    QAction* m_fileSettingsEnd = nullptr; // the separator the File menu's settings go before
};

} // namespace tavrin
