#pragma once

#include "control/DaemonProcessControllerError.h"

#include <QString>

namespace tavrin {

// Where the panel's bundle is and the server program in it. A bundle is a folder laid out like the
// install (bin/, libexec/tavrin-server, lib/systemd/user/), so a build tree is one too.
class ServerBundle {
public:
    // `path` empty: the bundle of this program. `requiredPath`: where start at login needs it.
    ServerBundle(QString path, QString requiredPath);

    // The parent of the folder of the program as it was started, links to a folder left as they are.
    static QString ofThisProgram();
    // <bundle>/libexec/tavrin-server.
    static QString serverIn(const QString& bundlePath);

    const QString& path() const { return m_path; }
    QString server() const { return serverIn(m_path); }

    // The server program is there to be started.
    ControllerResult<> serverPresent() const;
    // The bundle is where start at login requires it: a plain text comparison, so a symbolic link or
    // a different letter case is another place.
    ControllerResult<> atRequiredPlace() const;

private:
    QString m_path;
    QString m_requiredPath;
};

} // namespace tavrin
