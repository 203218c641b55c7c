#pragma once

#include "ui/window/AdminTab.h"

#include <QAbstractButton>
#include <QWidget>

#include <optional>
#include <vector>

class QLabel;

namespace tavrin {

// One row of the sidebar: the tab's symbol and label, with the active and hover looks.
class SidebarItem : public QAbstractButton {
    Q_OBJECT
public:
    explicit SidebarItem(AdminTab tab, QWidget* parent = nullptr);

    AdminTab tab() const { return m_tab; }
    void setActive(bool active);
    bool isActive() const { return m_active; }
    bool isHovered() const { return m_hovered; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    AdminTab m_tab;
    bool m_active = false;
    bool m_hovered = false;
};

// The fixed-width column on the left of the main window: brand, the eight tabs, and the alias of
// the model in production when one runs.
class KeldmarchSidebar : public QWidget {
    Q_OBJECT
public:
    static constexpr int kWidth = 220;

    explicit KeldmarchSidebar(QWidget* parent = nullptr);

    AdminTab selection() const { return m_selection; }
    void setSelection(AdminTab tab);
    void setPinnedModel(const std::optional<QString>& alias);
    std::optional<QString> pinnedModel() const { return m_pinnedModel; }

    SidebarItem* item(AdminTab tab) const;
    QWidget* pinnedBlock() const { return m_pinnedBlock; }

Q_SIGNALS:
    void selectionChanged(tavrin::AdminTab tab);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    AdminTab m_selection = AdminTab::status;
    std::optional<QString> m_pinnedModel;
    std::vector<SidebarItem*> m_items;
    QWidget* m_pinnedBlock;
    QLabel* m_pinnedAlias;
};

} // namespace tavrin
