#pragma once

#include "protocol/DaemonClient.h"
#include "support/Basics.h"
#include "support/ReferenceServer.h"

#include "protocol/Task.h"
#include <QTest>

namespace tavrin::test {

template <class T>
auto await(QCoro::Task<T>&& task) {
    return QCoro::waitFor(std::move(task));
}

// The HTTP status of a failed admin call, or 0 when it did not fail with an HTTP status.
template <class T>
int httpStatusOf(const ClientResult<T>& result) {
    if (result)
        return 0;
    if (const auto* http = result.error().template as<DaemonClientError::Http>())
        return http->status;
    return 0;
}

template <class T>
QString httpBodyOf(const ClientResult<T>& result) {
    if (!result)
        if (const auto* http = result.error().template as<DaemonClientError::Http>())
            return http->body;
    return {};
}

} // namespace tavrin::test
