#include "server/runtime/EngineSlot.h"

namespace tavrin {

std::shared_ptr<InferenceEngine> EngineSlot::current() const {
    std::lock_guard lock(m_mutex);
    return m_engine;
}

void EngineSlot::replace(std::shared_ptr<InferenceEngine> engine) {
    std::shared_ptr<InferenceEngine> old;
    {
        std::lock_guard lock(m_mutex);
        old = std::exchange(m_engine, std::move(engine));
    }
    // The old engine, when this was its last holder, goes outside the lock: its end may wait on I/O.
    // Generations in flight may hold it a long while yet, and it speaks for nobody meanwhile.
    if (old)
        old->retire();
}

} // namespace tavrin
