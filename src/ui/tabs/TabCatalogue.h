#pragma once

#include "ui/AdminScreen.h"

#include <span>

namespace tavrin {

// The eight screens of the main window, in sidebar order; the value is the screen's index.
enum class AdminTab { status, keys, models, logs, network, orgPreamble, updates, diagnostics };

// Every admin tab, in AdminTab order: the one place that names a tab, heads it and builds it.
std::span<const AdminScreen> adminTabs();
const AdminScreen& adminTab(AdminTab tab);

} // namespace tavrin
