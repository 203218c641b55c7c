#pragma once

#include "protocol/ClientRecords.h"
#include "server/runtime/AdmissionControl.h"
#include "server/runtime/EngineSlot.h"
#include "server/runtime/InferenceEngine.h"
#include "server/stores/AdminSecret.h"
#include "server/stores/AuditLog.h"
#include "server/stores/KeyStore.h"
#include "server/stores/ModelStore.h"
#include "server/stores/NetworkPolicy.h"
#include "server/stores/ServerSettings.h"
#include "server/stores/StateStore.h"
#include "server/updates/Updater.h"

#include <chrono>
#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tavrin {

// Makes an engine from its settings and the upstream's key (read from the key file by the caller).
// Set by the executable, which owns the I/O loop engines run on, so that nothing else needs it.
using EngineFactory = std::function<std::expected<std::shared_ptr<InferenceEngine>, QString>(
    const ClientEngineSettings& settings, std::optional<std::string> apiKey)>;

// Everything the request handlers share, built once at start. The stores and the engine slot
// guard themselves; the rest is fixed for the life of the process.
struct ServerContext {
    StateStore store;
    std::unique_ptr<KeyStore> keys;
    std::unique_ptr<ServerSettings> settings;
    AdminSecret adminSecret;
    ClientNetworkPreferences network; // in effect since start; later changes wait for a restart
    NetworkPolicy policy;
    ClientHardwareReport hardware;
    std::unique_ptr<AdmissionControl> admission;
    EngineSlot engineSlot;
    EngineFactory makeEngine;
    std::unique_ptr<AuditLog> audit;
    std::unique_ptr<ModelStore> models;
    std::unique_ptr<Updater> updater;
    QString startedAt;
    std::chrono::steady_clock::time_point startedClock;
    qint64 pid = 0;
};

QString serverVersion();

// The engine that `settings` describe, made with the key their key file holds; or why not, in the
// administrator's words. Nothing changes: the caller decides whether to put it in use.
std::expected<std::shared_ptr<InferenceEngine>, QString> makeEngineFor(const ServerContext& context,
                                                                       const ClientEngineSettings& settings);

} // namespace tavrin
