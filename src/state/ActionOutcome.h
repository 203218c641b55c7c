#pragma once

#include <QString>

#include <expected>
#include <type_traits>
#include <utility>

namespace tavrin {

class DaemonClientError;
struct DownloadError;

// Why an action did not do what it was asked; message() is the text the user reads, unchanged.
struct ActionError {
    // What stood in the way, for a caller that acts on it (the command-line tool's exit status); a
    // screen shows the text alone.
    enum class Cause {
        failed,          // refused, or failed on the way
        notReachable,    // nothing answered
        unauthenticated, // the admin password is missing, or the server refused it
    };
    QString text;
    Cause cause = Cause::failed;
    QString message() const { return text; }
};
using ActionResult = std::expected<void, ActionError>;

// What an action that brings something back gives its caller: the value, or why not (ActionError: the
// text the user reads). ActionResult is the same for an action that brings nothing.
template <class T> using ActionOutcome = std::expected<T, ActionError>;

// The cause of a failure the actions pass on; any other failure is a plain one.
ActionError::Cause causeOf(const DaemonClientError& error);
ActionError::Cause causeOf(const DownloadError& error);
inline ActionError::Cause causeOf(const ActionError& error) { return error.cause; }
template <class E> ActionError::Cause causeOf(const E&) { return ActionError::Cause::failed; }

template <class E> ActionError actionErrorOf(const E& error) { return {error.message(), causeOf(error)}; }

// A call's outcome as an action's: the value as it came, or the failure's own message, unchanged.
template <class T, class E> ActionOutcome<T> outcomeOf(std::expected<T, E> result) {
    if (!result)
        return std::unexpected(actionErrorOf(result.error()));
    if constexpr (std::is_void_v<T>)
        return {};
    else
        return std::move(*result);
}

// The same where the caller is told only whether it worked.
template <class T, class E> ActionResult resultOf(const std::expected<T, E>& result) {
    if (!result)
        return std::unexpected(actionErrorOf(result.error()));
    return {};
}

} // namespace tavrin
