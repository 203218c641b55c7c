#pragma once

#include <QString>

#include <array>

namespace tavrin {

// The eight screens of the main window, in sidebar order.
enum class AdminTab { status, keys, models, logs, network, orgPreamble, updates, diagnostics };

inline constexpr std::array<AdminTab, 8> allAdminTabs{
    AdminTab::status,  AdminTab::keys,        AdminTab::models,  AdminTab::logs,
    AdminTab::network, AdminTab::orgPreamble, AdminTab::updates, AdminTab::diagnostics};

QString adminTabLabel(AdminTab tab);
QString adminTabSymbol(AdminTab tab);

// What a tab shows before its own screen exists: its header alone.
struct TabHeading {
    QString eyebrow;
    QString title;
    QString lead;
};
TabHeading adminTabHeading(AdminTab tab);

} // namespace tavrin
