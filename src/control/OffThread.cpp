#include "control/OffThread.h"

namespace tavrin {

QThreadPool& offThreadPool() {
    static QThreadPool* pool = [] {
        auto* p = new QThreadPool;
        // Enough for a few overlapping stops and tool runs; idle workers go away after 30 s.
        p->setMaxThreadCount(8);
        p->setExpiryTimeout(30'000);
        return p;
    }();
    return *pool;
}

} // namespace tavrin
