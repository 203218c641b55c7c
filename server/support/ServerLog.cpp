#include "server/support/ServerLog.h"

#include "server/support/IsoTime.h"

#include <cstdio>
#include <deque>
#include <mutex>

namespace tavrin {

namespace {

std::mutex logMutex;
std::deque<QString>& kept() {
    static std::deque<QString> lines;
    return lines;
}

} // namespace

void logLine(const QString& message) {
    const QString line = isoUtcNow() + QLatin1Char(' ') + message;
    std::lock_guard lock(logMutex);
    std::fprintf(stderr, "tavrin-server: %s\n", qPrintable(message));
    auto& lines = kept();
    lines.push_back(line);
    if (lines.size() > std::size_t(keptLogLines))
        lines.pop_front();
}

QStringList recentLogLines() {
    std::lock_guard lock(logMutex);
    return QStringList(kept().begin(), kept().end());
}

} // namespace tavrin
