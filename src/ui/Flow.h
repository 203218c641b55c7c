#pragma once

#include "protocol/Task.h"

#include <coroutine>
#include <exception>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

namespace tavrin {

// The flows of one screen: every coroutine the screen starts from a control, in one shape.
//
//   Flow StatusTab::startOrStop(bool running) {       // a member of the screen
//       m_error->clearMessage();                        // 1. clear the message
//       const ActionResult done = co_await m_actions->start();  // 2. await the action
//       showError(done);                                // 3. show the result
//   }
//
// A flow never resumes into a screen that has gone: when the awaited action ends after its screen
// was destroyed, the flow is ended where it waits (its locals are destroyed, its code after the
// await never runs), so its body needs no "is the screen still here" checks. The action itself
// always runs to its end. A flow can only await a QCoro::Task (anything else does not compile),
// because only what a flow awaits through this gate is guarded.
//
// The screen holds a ScreenFlows, returned by its public flows(); running() counts its flows that
// have not ended, so hosts and tests can let every action finish before the model goes away.
class ScreenFlows {
public:
    struct Life {
        int running = 0;
        bool screenGone = false;
    };

    ScreenFlows() = default;
    ~ScreenFlows() { m_life->screenGone = true; }
    ScreenFlows(const ScreenFlows&) = delete;
    ScreenFlows& operator=(const ScreenFlows&) = delete;

    int running() const { return m_life->running; }
    // Outlives the screen: its count still falls as the flows of a destroyed screen end.
    std::shared_ptr<const Life> life() const { return m_life; }

private:
    friend class Flow;
    std::shared_ptr<Life> m_life = std::make_shared<Life>();
};

// The return type of a screen's flow (see ScreenFlows). It is started by calling it and not awaited.
class Flow {
public:
    class promise_type;

private:
    template <class T> class Gate;
};

// Waits for one action on the flow's behalf; when the action ends, resumes the flow with its result
// if the screen is still there, and otherwise ends the flow where it waits.
template <class T> class Flow::Gate {
public:
    Gate(QCoro::Task<T> action, std::shared_ptr<ScreenFlows::Life> life)
        : m_action(std::move(action)), m_life(std::move(life)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> flow) {
        // The relay may resume (or end) the flow before it returns; nothing of this object is touched
        // after the call.
        relay(std::move(m_action), flow, m_life, &m_result);
    }
    T await_resume() {
        if constexpr (std::is_void_v<T>)
            return;
        else
            return std::move(*m_result);
    }

private:
    using Slot = std::conditional_t<std::is_void_v<T>, bool, std::optional<T>>;

    static QCoro::Task<void> relay(QCoro::Task<T> action, std::coroutine_handle<> flow,
                                   std::shared_ptr<ScreenFlows::Life> life, Slot* result) {
        if constexpr (std::is_void_v<T>) {
            co_await action;
            static_cast<void>(result);
        } else {
            T value = co_await action;
            if (!life->screenGone)
                result->emplace(std::move(value));
        }
        if (life->screenGone)
            flow.destroy();
        else
            flow.resume();
    }

    QCoro::Task<T> m_action;
    std::shared_ptr<ScreenFlows::Life> m_life;
    Slot m_result{};
};

class Flow::promise_type {
public:
    // A flow is a member function of its screen: the screen comes first.
    template <class Screen, class... Args>
    explicit promise_type(Screen& screen, Args&&...) : m_life(screen.flows().m_life) {
        ++m_life->running;
    }
    ~promise_type() { --m_life->running; }

    Flow get_return_object() noexcept { return {}; }
    std::suspend_never initial_suspend() noexcept { return {}; }
    std::suspend_never final_suspend() noexcept { return {}; }
    void return_void() noexcept {}
    void unhandled_exception() noexcept { std::terminate(); }

    template <class T> Gate<T> await_transform(QCoro::Task<T>&& action) { return {std::move(action), m_life}; }
    // Anything else would resume the flow without asking whether its screen is still there.
    template <class Awaitable> void await_transform(Awaitable&&) = delete;

private:
    std::shared_ptr<ScreenFlows::Life> m_life;
};

} // namespace tavrin
