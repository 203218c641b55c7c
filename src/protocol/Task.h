#pragma once

// Include this instead of <QCoroTask>, and before any other QCoro header. The two other traps of
// g++ 12 with coroutines (a temporary or a braced list inside a co_await expression) are in
// "Writing a coroutine", docs/ARCHITECTURE.md.
//
// QCoro 0.8 asserts `handle != nullptr` on the awaited coroutine handle. With g++ 12 that
// comparison finds, by argument-dependent lookup through the task's result type, libstdc++ 12's
// unconstrained std::expected comparison operators, whose noexcept clause then recurses
// and fails to compile for every Task<std::expected<...>>. Only that one assertion is dropped, while
// QCoro's task header is read.
// Qt's own definition must exist first, or popping the macro would leave it undefined.
#include <QtGlobal>

#pragma push_macro("Q_ASSERT")
#undef Q_ASSERT
#define Q_ASSERT(cond) static_cast<void>(0)
#include <QCoroTask>
#pragma pop_macro("Q_ASSERT")
