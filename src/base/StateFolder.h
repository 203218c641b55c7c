#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

// The per-user folder the panel and the server share: the admin password, keys, settings.
namespace StateFolder {

// Names the folder outright. The panel sets it for every server it starts, because a server started
// by the user's service manager does not see the panel's environment.
inline constexpr const char* variable = "TAVRIN_STATE_DIR";

// From an environment ("NAME=value" entries): $TAVRIN_STATE_DIR when it is an absolute path, else
// "$XDG_DATA_HOME/Tavrin Server" when that is absolute, else "$HOME/.local/share/Tavrin Server".
// The panel and the server both use this, so the same environment always means the same folder.
QString pathIn(const QStringList& environment);

// The same, for this process's environment.
QString path();

} // namespace StateFolder

// Where a server the panel starts for this session writes its output; the Diagnostics tab opens them.
// They sit in the user's private state folder: under a fixed name in the shared /tmp, another user
// could plant a FIFO there (and hang the start that opens it) or a link to a file of the user's.
namespace SessionLogs {
QString standardOutputIn(const QString& stateFolder);
QString standardErrorIn(const QString& stateFolder);
// In StateFolder::path().
QString standardOutput();
QString standardError();
} // namespace SessionLogs

// Names the folder of the model bundle a server should serve, instead of the companion app's
// folders. The panel sets it to the folder its readiness step settled on.
inline constexpr const char* modelSourceVariable = "TAVRIN_MODEL_SOURCE";

} // namespace tavrin
