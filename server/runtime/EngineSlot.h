#pragma once

#include "server/runtime/InferenceEngine.h"

#include <memory>
#include <mutex>
#include <utility>

namespace tavrin {

// The engine that new requests go to. The administrator may put another in its place at any time;
// a generation already running keeps the engine it started with, which lives until the last one
// holding it lets go.
class EngineSlot {
public:
    EngineSlot() = default;
    explicit EngineSlot(std::shared_ptr<InferenceEngine> engine) : m_engine(std::move(engine)) {}

    std::shared_ptr<InferenceEngine> current() const {
        std::lock_guard lock(m_mutex);
        return m_engine;
    }
    void replace(std::shared_ptr<InferenceEngine> engine) {
        std::shared_ptr<InferenceEngine> previous;
        {
            std::lock_guard lock(m_mutex);
            previous = std::exchange(m_engine, std::move(engine));
        }
        // `previous` goes here, outside the lock: an engine's end may take a while.
    }

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<InferenceEngine> m_engine;
};

} // namespace tavrin
