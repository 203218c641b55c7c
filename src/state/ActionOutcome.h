#pragma once

#include "state/ServerActions.h"

#include <expected>
#include <type_traits>
#include <utility>

namespace tavrin {

// What an action that brings something back gives its caller: the value, or why not (ActionError: the
// text the user reads). ActionResult is the same for an action that brings nothing.
template <class T> using ActionOutcome = std::expected<T, ActionError>;

// A call's outcome as an action's: the value as it came, or the failure's own message, unchanged.
template <class T, class E> ActionOutcome<T> outcomeOf(std::expected<T, E> result) {
    if (!result)
        return std::unexpected(ActionError{result.error().message()});
    if constexpr (std::is_void_v<T>)
        return {};
    else
        return std::move(*result);
}

// The same where the caller is told only whether it worked.
template <class T, class E> ActionResult resultOf(const std::expected<T, E>& result) {
    if (!result)
        return std::unexpected(ActionError{result.error().message()});
    return {};
}

} // namespace tavrin
