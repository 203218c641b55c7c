#pragma once

#include <QString>
#include <QStringList>

namespace tavrin {

// The server's own messages: each goes to standard error (the session log file or the journal)
// and is kept, with its time, among the last `keptLines`, so that a support bundle can carry
// the recent log output wherever standard error went. Thread-safe.
void logLine(const QString& message);
QStringList recentLogLines();

inline constexpr int keptLogLines = 2000;

} // namespace tavrin
