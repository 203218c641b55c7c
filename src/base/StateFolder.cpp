#include "base/StateFolder.h"

#include <QDir>
#include <QProcessEnvironment>

namespace tavrin {

namespace {

QString valueIn(const QStringList& environment, QLatin1StringView name) {
    const QString prefix = name + QLatin1Char('=');
    for (const QString& entry : environment)
        if (entry.startsWith(prefix))
            return entry.mid(prefix.size());
    return {};
}

} // namespace

QString StateFolder::pathIn(const QStringList& environment) {
    const QString named = valueIn(environment, QLatin1StringView(variable));
    if (QDir::isAbsolutePath(named))
        return QDir::cleanPath(named);
    // As the XDG base directory rules say, a relative XDG_DATA_HOME is ignored.
    QString data = valueIn(environment, QLatin1StringView("XDG_DATA_HOME"));
    if (!QDir::isAbsolutePath(data)) {
        QString home = valueIn(environment, QLatin1StringView("HOME"));
        if (home.isEmpty())
            home = QDir::homePath();
        data = home + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(data + QStringLiteral("/Tavrin Server"));
}

QString StateFolder::path() {
    return pathIn(QProcessEnvironment::systemEnvironment().toStringList());
}

QString SessionLogs::standardOutputIn(const QString& stateFolder) {
    return stateFolder + QStringLiteral("/tavrin-server.out.log");
}

QString SessionLogs::standardErrorIn(const QString& stateFolder) {
    return stateFolder + QStringLiteral("/tavrin-server.err.log");
}

QString SessionLogs::standardOutput() { return standardOutputIn(StateFolder::path()); }

QString SessionLogs::standardError() { return standardErrorIn(StateFolder::path()); }

} // namespace tavrin
