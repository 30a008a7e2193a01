#pragma once

#include <memory>

namespace velmor::platform {

// A cancellable handle to work posted on a Scheduler. Copies share one task; a default-constructed
// handle refers to nothing. Cancelling a task that has run (or is running) has no further effect,
// and a cancelled task never runs.
class TaskHandle final {
public:
    struct State {
        bool cancelled = false;
        bool finished = false;
    };

    TaskHandle() = default;
    explicit TaskHandle(std::shared_ptr<State> state) : m_state(std::move(state)) {}

    void cancel()
    {
        if (m_state)
            m_state->cancelled = true;
    }
    bool isCancelled() const { return m_state && m_state->cancelled; }
    // Still due to run (a repeating task stays pending until cancelled).
    bool isPending() const { return m_state && !m_state->cancelled && !m_state->finished; }
    bool isNull() const { return !m_state; }

private:
    std::shared_ptr<State> m_state;
};

} // namespace velmor::platform
