#pragma once

#include "ui/AdminScreen.h"

#include <span>

namespace tavrin {

// The eight screens of the main window, in sidebar order; the value is the screen's index.
enum class AdminTab { status, keys, models, logs, network, orgPreamble, updates, diagnostics };

// Every admin tab, in AdminTab order: the one place that names a tab, heads it and builds it.
// A new screen goes in tabs/ and replaces its entry's header-only factory here.
std::span<const AdminScreen> adminTabs();
const AdminScreen& adminTab(AdminTab tab);

// A screen that is its heading alone, for tabs whose own screen is still to come.
QWidget* headerOnlyScreen(ServerStateModel* state, const ScreenHeading& heading);

} // namespace tavrin
