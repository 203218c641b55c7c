#pragma once

#include "ui/AdminScreen.h"

#include <QMainWindow>

#include <span>
#include <vector>

class QHBoxLayout;

namespace tavrin {

class KeldmarchSidebar;
class ServerStateModel;
class StatusChip;
class TRIconButton;
class TRNavigationTitle;

// The administration window: a sidebar with a row per screen, the chosen screen (built afresh on
// every choice), and a toolbar with the phase chip and Refresh. It knows its screens only as the
// entries it is given.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* title = "Tavrin Keldmarch";

    MainWindow(ServerStateModel* state, std::span<const AdminScreen> screens, QWidget* parent = nullptr);

    // The chosen screen, by its index among the entries.
    int selection() const;
    void select(int index);
    QWidget* currentScreen() const { return m_screen; }
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
    void buildMenus();

    ServerStateModel* m_state;
    std::vector<AdminScreen> m_screens;
    KeldmarchSidebar* m_sidebar;
    QHBoxLayout* m_row;
    QWidget* m_screen = nullptr;
    TRNavigationTitle* m_heading;
    StatusChip* m_chip;
    TRIconButton* m_refresh;
};

} // namespace tavrin
