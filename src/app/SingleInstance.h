#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>

namespace tavrin {

// The channel through which a second launch of the panel asks the first to come forward. Its socket
// lives in a folder only this user can enter ($XDG_RUNTIME_DIR, or a private folder of the user's
// own when that is unset or not private), never under a name others could take first in a shared
// temporary folder; and a socket there that another user owns, or whose listener is another
// user's, is never taken for a running panel.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // True when this process is now the one instance; false when another of this user's panels
    // runs, which has then been asked to come forward.
    bool claim();

    // Where the socket is, in a folder made private as needed; empty when no such folder can be had.
    static QString socketPath();

Q_SIGNALS:
    void raiseRequested();

private:
    QLocalServer m_server;
};

} // namespace tavrin
