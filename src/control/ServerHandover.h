#pragma once

#include "base/AdminSecretFile.h"
#include "control/DaemonProcessControllerError.h"
#include "control/ServiceManager.h"

#include <QString>

namespace tavrin {

// What every server the panel starts is handed, the login service and a session server alike: the
// panel's state folder and the model folder the readiness step chose, in its environment (a server
// the user manager starts does not see the panel's), and the admin password, in the file it reads.
// The panel's one writer of that file: the state model writes through it too.
class ServerHandover {
public:
    explicit ServerHandover(QString stateDirectory) : m_stateDirectory(std::move(stateDirectory)) {}

    const QString& stateDirectory() const { return m_stateDirectory; }
    // `bundleEntries` (the bundle unit's), then the state folder and the chosen model folder.
    EnvironmentEntries environment(EnvironmentEntries bundleEntries) const;

    AdminSecretFile adminSecretFile() const { return AdminSecretFile(m_stateDirectory); }
    ControllerResult<> writeAdminSecret(const QString& secret) const;

private:
    QString m_stateDirectory;
};

} // namespace tavrin
