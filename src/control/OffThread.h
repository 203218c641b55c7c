#pragma once

#include <QFuture>
#include <QPromise>
#include <QThreadPool>

#include "protocol/Task.h"

#include <memory>
#include <type_traits>

#include <qcorofuture.h>

namespace tavrin {

// The workers of blocking platform work: running a command-line tool, waiting for a process to exit,
// probing the hardware. Their own pool, so that a 5-second wait for a stubborn child never queues
// behind (or starves) whatever else uses the global pool.
QThreadPool& offThreadPool();

// Runs `work` on a worker of `pool`; `co_await offThread(...)` resumes the awaiting coroutine on the
// thread it was suspended on (the GUI thread): the GUI thread never blocks, and the result is applied
// where the state lives. `work` must not touch QObjects of the GUI thread. A pool of one thread runs
// its work one piece at a time, in the order given.
//
// A plain function returning an awaitable future rather than a coroutine: g++ 12 destroys a
// temporary argument of a coroutine call inside a co_await expression twice, and the callable is
// always such a temporary (see "Writing a coroutine" in docs/ARCHITECTURE.md).
template <class F> auto offThread(QThreadPool& pool, F work) -> QFuture<std::invoke_result_t<F>> {
    using R = std::invoke_result_t<F>;
    auto promise = std::make_shared<QPromise<R>>();
    QFuture<R> future = promise->future();
    promise->start();
    pool.start([promise, work = std::move(work)]() mutable {
        if constexpr (std::is_void_v<R>) {
            work();
        } else {
            promise->addResult(work());
        }
        promise->finish();
    });
    return future;
}

template <class F> auto offThread(F work) -> QFuture<std::invoke_result_t<F>> {
    return offThread(offThreadPool(), std::move(work));
}

} // namespace tavrin
