#include "control/ServerBundle.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <climits>
#include <unistd.h>

namespace tavrin {

ServerBundle::ServerBundle(QString path, QString requiredPath)
    : m_path(path.isEmpty() ? ofThisProgram() : std::move(path)), m_requiredPath(std::move(requiredPath)) {}

// Taken as text, as the install check compares it: an install reached through a link to a versioned
// folder (/opt/tavrin-keldmarch -> /opt/tavrin-keldmarch-1.4) is where it was started from. Only links
// to the program file itself are followed, since a launcher such as /usr/bin/tavrin-keldmarch says
// where the program lives. The kernel's name for it (/proc/self/exe, applicationDirPath) has every
// link resolved, so it serves only when the name the program was started by cannot be found.
QString ServerBundle::ofThisProgram() {
    QString program = QCoreApplication::arguments().value(0);
    if (!program.isEmpty() && !program.contains(QLatin1Char('/'))) {
        const QString name = std::exchange(program, QString());
        for (const QString& folder : qEnvironmentVariable("PATH").split(QLatin1Char(':'))) {
            const QFileInfo candidate((folder.isEmpty() ? QDir::currentPath() : folder) + QLatin1Char('/') + name);
            if (candidate.isFile() && candidate.isExecutable()) {
                program = candidate.filePath();
                break;
            }
        }
    }
    if (!program.isEmpty() && QDir::isRelativePath(program))
        program = QDir::currentPath() + QLatin1Char('/') + program;
    for (int hops = 0; hops < 40; ++hops) {
        char target[PATH_MAX];
        const ssize_t n = ::readlink(QFile::encodeName(program).constData(), target, sizeof target);
        if (n <= 0 || n == ssize_t(sizeof target))
            break;
        const QString next = QFile::decodeName(QByteArray(target, n));
        program = QDir::cleanPath(QDir::isRelativePath(next) ? QFileInfo(program).path() + QLatin1Char('/') + next : next);
    }
    if (program.isEmpty() || !QFileInfo(program).isFile())
        return QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/.."));
    return QDir::cleanPath(QFileInfo(program).path() + QStringLiteral("/.."));
}

QString ServerBundle::serverIn(const QString& bundlePath) {
    return bundlePath + QStringLiteral("/libexec/tavrin-server");
}

ControllerResult<> ServerBundle::serverPresent() const {
    if (!QFileInfo::exists(server()))
        return std::unexpected(DaemonProcessControllerError::daemonBinaryMissing(server()));
    return {};
}

ControllerResult<> ServerBundle::atRequiredPlace() const {
    if (m_path != m_requiredPath)
        return std::unexpected(DaemonProcessControllerError::wrongAppLocation(m_path));
    return {};
}

} // namespace tavrin
