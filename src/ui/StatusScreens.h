#pragma once

#include <QString>
#include <QStringList>

#include <expected>

namespace tavrin {

class ServerStateModel;

// Renders the Status tab (860 wide, as tall as its content) and the tray panel as they look for the
// model's current state, to "status-tab.png" and "tray-panel.png" in `dir` (created if needed),
// without a visible window. `prefix` goes before each file name. Returns the files written, or the
// message of the first that could not be written.
std::expected<QStringList, QString> renderStatusScreens(const QString& dir, ServerStateModel* state,
                                                        const QString& prefix = {});

} // namespace tavrin
