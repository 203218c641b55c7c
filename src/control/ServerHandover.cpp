#include "control/ServerHandover.h"

#include "base/StateFolder.h"
#include "control/CompanionModelLocator.h"

namespace tavrin {

EnvironmentEntries ServerHandover::environment(EnvironmentEntries bundleEntries) const {
    EnvironmentEntries environment = std::move(bundleEntries);
    environment.append({QLatin1String(StateFolder::variable), m_stateDirectory});
    if (const std::optional<QString> models = CompanionModelLocator::chosenFolder())
        environment.append({QLatin1String(modelSourceVariable), *models});
    return environment;
}

ControllerResult<> ServerHandover::writeAdminSecret(const QString& secret) const {
    if (auto written = adminSecretFile().write(secret); !written)
        return std::unexpected(DaemonProcessControllerError::secretWriteFailed(written.error().message()));
    return {};
}

} // namespace tavrin
