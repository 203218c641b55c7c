#include "state/ActionOutcome.h"

#include "protocol/DaemonClient.h"

namespace tavrin {

// A listener that is not this user's kept the password back: nothing is wrong with the password, so it
// is a plain failure, whose message says what is listening.
ActionError::Cause causeOf(const DaemonClientError& error) {
    if (error.is<DaemonClientError::NotReachable>())
        return ActionError::Cause::notReachable;
    if (error.is<DaemonClientError::Unauthenticated>())
        return ActionError::Cause::unauthenticated;
    return ActionError::Cause::failed;
}

ActionError::Cause causeOf(const DownloadError& error) {
    const auto* client = std::get_if<DaemonClientError>(&error.cause);
    return client ? causeOf(*client) : ActionError::Cause::failed;
}

} // namespace tavrin
