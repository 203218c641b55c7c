#include "state/SetupActions.h"

#include "base/ServerAddress.h"
#include "control/AdminPassword.h"
#include "control/CompanionModelLocator.h"
#include "control/DaemonProcessController.h"
#include "control/OffThread.h"
#include "protocol/DaemonClient.h"
#include "state/ServerStateModel.h"

#include <QCoroFuture>
#include <QCoroTimer>
#include <QPointer>
#include <QSettings>

#include <chrono>

namespace tavrin {

namespace {

constexpr int kHealthTries = 10;
constexpr std::chrono::milliseconds kHealthInterval{500};

CompanionSearch searchOf(const CompanionModelLocator& locator) {
    return {locator.folderPath(), locator.found(), locator.checked(), locator.errorText()};
}

} // namespace

SetupActions::SetupActions(ServerStateModel* model) : m_model(model) {}

QCoro::Task<ClientHardwareReport> SetupActions::probeHardware() {
    const std::optional<SimulatedHost> host = m_simulatedHost;
    co_return co_await offThread([host] { return probeLocalHardware(host); });
}

CompanionSearch SetupActions::companionAtStart() const { return searchOf(CompanionModelLocator()); }

CompanionSearch SetupActions::checkCompanion(const QString& folder) const {
    CompanionModelLocator locator;
    locator.useFolder(folder);
    return searchOf(locator);
}

std::expected<QString, QString> SetupActions::makeCompanionFolder(const QString& folder) const {
    return CompanionModelLocator::makeFolderForModel(folder);
}

QString SetupActions::generatePassword() const { return generateAdminSecret(); }

QCoro::Task<std::optional<QString>> SetupActions::storedPassword() {
    const QFuture<std::optional<QString>> loading = m_model->m_password.stored();
    co_return co_await loading;
}

bool SetupActions::acceptablePassword(const QString& password, const QString& confirmation) {
    return isAcceptableAdminPassword(password, confirmation);
}

QCoro::Task<ActionResult> SetupActions::savePassword(QString password) {
    co_return co_await m_model->diagnosticsActions().savePassword(password);
}

bool SetupActions::startAtLoginChoice() const {
    return QSettings().value(QLatin1StringView(startAtLoginSetting), false).toBool();
}

void SetupActions::setStartAtLoginChoice(bool on) {
    QSettings().setValue(QLatin1StringView(startAtLoginSetting), on);
}

bool SetupActions::lanChoice() const { return QSettings().value(QLatin1StringView(lanSetting), false).toBool(); }

void SetupActions::setLanChoice(bool lan) { QSettings().setValue(QLatin1StringView(lanSetting), lan); }

int SetupActions::portChoice() const {
    bool isNumber = false;
    const int port = QSettings().value(QLatin1StringView(portSetting)).toInt(&isNumber);
    return isNumber && port > 0 && port <= 65535 ? port : ServerAddress::defaultPort;
}

void SetupActions::setPortChoice(int port) { QSettings().setValue(QLatin1StringView(portSetting), port); }

QCoro::Task<std::expected<void, StartFailure>> SetupActions::launchServer(bool startAtLogin) {
    QPointer<DaemonProcessController> process = m_model->process();
    m_model->expectStop(false);
    m_model->noteRequest(ServerStateModel::Request::start);
    const std::optional<QString> secret = m_model->client()->adminSecret();
    DaemonProcessController::Result<> started;
    if (startAtLogin)
        started = co_await process->registerAgent(secret);
    else
        started = process->launchChildProcess(secret);
    if (!started)
        co_return std::unexpected(StartFailure{started.error().message()});
    co_return std::expected<void, StartFailure>{};
}

QCoro::Task<bool> SetupActions::awaitServer(bool lanEnabled, int port) {
    ClientNetworkPreferences network;
    network.bindPort = port;
    network = SettingsActions::withLanEnabled(std::move(network), lanEnabled);
    QPointer<ServerStateModel> model = m_model;
    QPointer<DaemonClient> client = m_model->client();
    QPointer<DaemonProcessController> process = m_model->process();
    bool healthy = false;
    for (int attempt = 0; attempt < kHealthTries && !healthy; ++attempt) {
        co_await QCoro::sleepFor(kHealthInterval);
        if (!client)
            co_return false;
        healthy = co_await client->health();
    }
    if (process)
        co_await process->refreshStatus();
    if (model)
        co_await model->refresh();
    // Best effort: the choice is the server's to keep, and a refusal here has nothing to tell the user.
    if (client)
        co_await client->updateNetworkPreferences(network);
    co_return healthy;
}

QCoro::Task<std::expected<ClientCreatedAPIKey, ActionError>> SetupActions::createFirstKey() {
    const QString label = QString::fromLatin1(firstKeyLabel);
    const std::optional<std::vector<ClientAPIKeyScope>> noScopes;
    co_return co_await m_model->keyActions().create(label, noScopes);
}

} // namespace tavrin
