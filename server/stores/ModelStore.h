#pragma once

#include "protocol/ClientRecords.h"
#include "server/stores/ModelBundle.h"
#include "server/stores/Refusal.h"
#include "server/stores/StateStore.h"

#include <QString>
#include <QStringList>

#include <expected>
#include <memory>
#include <mutex>
#include <optional>

namespace tavrin {

// The model versions this server knows. Bundles are copied into "models/<sha256>/" of the state
// directory, so that production, the staged update and the rollback history stay servable
// whatever happens to the companion app's folder. The pins live in "model-pins.json".
//
// At start the companion folder is read: the first valid bundle becomes production; a later one
// with another digest becomes the staged update. The model running is production as it was at
// start; promotion and rollback change production for the next start. Thread-safe.
class ModelStore {
public:
    static constexpr const char* pinsFile = "model-pins.json";
    static constexpr std::size_t maxPrevious = 5;

    // `searchFolders`: where the companion's bundle is looked for, in order. Problems with the
    // bundle found there are not errors of the store: they are kept in sourceProblem().
    static std::expected<std::unique_ptr<ModelStore>, QString> open(const StateStore& store, const QStringList& searchFolders);

    ClientModelStatus status() const;
    // Why the companion's bundle was not taken, when it was not.
    std::optional<QString> sourceProblem() const { return m_sourceProblem; }

    std::expected<ClientModelStatus, Refusal> promote();
    std::expected<ClientModelStatus, Refusal> rollback();

private:
    explicit ModelStore(StateStore store) : m_store(std::move(store)) {}

    std::expected<ClientModelSnapshot, QString> import(const ModelBundle& bundle);
    void forgetUnpinnedCopies() const;
    std::expected<void, Refusal> save(const ClientModelPinState& pins);

    StateStore m_store;
    mutable std::mutex m_mutex;
    ClientModelPinState m_pins;
    std::optional<ClientModelMetadata> m_running;
    std::optional<ClientModelMetadata> m_detected;
    std::optional<QString> m_sourceProblem;
};

ClientModelMetadata metadataOf(const ClientModelSnapshot& snapshot);

} // namespace tavrin
