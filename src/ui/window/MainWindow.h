#pragma once

#include "ui/window/AdminTab.h"

#include <QMainWindow>

#include <functional>

class QLabel;
class QHBoxLayout;

namespace tavrin {

class KeldmarchSidebar;
class ServerStateModel;
class StatusChip;
class TRIconButton;

// Builds the screen of a tab; the window asks for a fresh one on every switch, so a screen's own
// state (texts being edited, messages) starts anew each time it is shown.
using ScreenFactory = std::function<QWidget*(AdminTab, ServerStateModel*)>;

// The administration window: sidebar of eight tabs, the selected tab's screen, and a toolbar with
// the phase chip and Refresh.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    static constexpr const char* title = "Tavrin Keldmarch";

    explicit MainWindow(ServerStateModel* state, ScreenFactory screens = {}, QWidget* parent = nullptr);

    AdminTab selection() const;
    void select(AdminTab tab);
    QWidget* currentScreen() const { return m_screen; }
    KeldmarchSidebar* sidebar() const { return m_sidebar; }
    StatusChip* statusChip() const { return m_chip; }
    TRIconButton* refreshButton() const { return m_refresh; }
    QString subtitle() const;

    // The screens the product has: the Status tab, and headers alone for tabs still to come.
    static QWidget* defaultScreen(AdminTab tab, ServerStateModel* state);
    // The screen a tab shows before its own screen is built: its header alone.
    static QWidget* headerOnlyScreen(AdminTab tab);

Q_SIGNALS:
    void openStateFolderRequested();
    void quitRequested();
    void showTrayPanelRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void showScreen(AdminTab tab);
    void followState();
    void buildMenus();

    ServerStateModel* m_state;
    ScreenFactory m_screens;
    KeldmarchSidebar* m_sidebar;
    QHBoxLayout* m_row;
    QWidget* m_screen = nullptr;
    StatusChip* m_chip;
    TRIconButton* m_refresh;
    QLabel* m_subtitle;
};

} // namespace tavrin
