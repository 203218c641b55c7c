#include "app/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QStandardPaths>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavrin {

namespace {

constexpr const char* socketName = "tavrin-keldmarch.instance";

// A folder no other user can list or write into: ours, and without any group or other bits.
bool isPrivateFolder(const QString& path) {
    struct stat st {};
    return !path.isEmpty() && ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid() && (st.st_mode & 077) == 0;
}

// Whether the process at the other end of a connected socket runs as this user.
bool peerIsUs(const QLocalSocket& socket) {
    ucred peer{};
    socklen_t size = sizeof peer;
    return ::getsockopt(int(socket.socketDescriptor()), SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == ::getuid();
}

} // namespace

QString SingleInstance::socketPath() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(folder) || !isPrivateFolder(folder)) {
        // No private runtime folder (a bare session, su without a login): one of the user's own.
        folder = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation) + QStringLiteral("/tavrin-keldmarch");
        QDir().mkpath(folder);
        ::chmod(QFile::encodeName(folder).constData(), 0700);
        if (!isPrivateFolder(folder))
            return {};
    }
    return folder + QLatin1Char('/') + QLatin1StringView(socketName);
}

bool SingleInstance::claim() {
    const QString path = socketPath();
    if (path.isEmpty())
        return true; // nowhere private to meet: run, rather than trust a place others can reach
    struct stat st {};
    const bool present = ::lstat(QFile::encodeName(path).constData(), &st) == 0;
    if (present && S_ISSOCK(st.st_mode) && st.st_uid == ::getuid()) {
        QLocalSocket probe;
        probe.connectToServer(path);
        if (probe.waitForConnected(500) && peerIsUs(probe)) {
            probe.write("raise\n");
            probe.waitForBytesWritten(500);
            return false;
        }
    }
    // Nobody of ours answered: whatever is there is a leftover of a panel that crashed.
    if (present)
        QFile::remove(path);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    m_server.listen(path);
    connect(&m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* peer = m_server.nextPendingConnection()) {
            connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
            if (!peerIsUs(*peer)) {
                peer->disconnectFromServer();
                continue;
            }
            connect(peer, &QLocalSocket::readyRead, this, [this, peer] {
                if (peer->readAll().startsWith("raise"))
                    Q_EMIT raiseRequested();
                peer->disconnectFromServer();
            });
        }
    });
    return true;
}

} // namespace tavrin
