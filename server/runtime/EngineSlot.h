#pragma once

#include "server/runtime/InferenceEngine.h"

#include <memory>
#include <mutex>

namespace tavrin {

// Where the current engine sits. A request takes the engine once, at its start, and keeps it to
// its end: replacing the engine (new settings) never pulls one out from under a generation in
// flight, and the old engine goes when its last generation does. It is retired at once, though:
// it stops checking on its upstream, whose health no longer says anything of the server's.
class EngineSlot {
public:
    std::shared_ptr<InferenceEngine> current() const;
    void replace(std::shared_ptr<InferenceEngine> engine);

private:
    mutable std::mutex m_mutex;
    std::shared_ptr<InferenceEngine> m_engine;
};

} // namespace tavrin
