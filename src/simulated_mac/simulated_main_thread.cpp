#include "simulated_mac/simulated_main_thread.h"

#include <algorithm>
#include <vector>

namespace velmor::platform {

struct SimulatedMainThread::State {
    // What each running task has spent; a task that runs the scheduler itself nests another.
    std::vector<Duration> running;
    // What the direct work since the last task has spent.
    Duration direct{0};
    Duration longest{0};

    void begin()
    {
        endDirect();
        running.push_back(Duration{0});
    }
    void end()
    {
        longest = std::max(longest, running.back());
        running.pop_back();
    }
    void endDirect()
    {
        longest = std::max(longest, direct);
        direct = Duration{0};
    }
};

SimulatedMainThread::SimulatedMainThread(Scheduler& scheduler)
    : m_scheduler(scheduler), m_state(std::make_shared<State>())
{}

SimulatedMainThread::~SimulatedMainThread() = default;

Scheduler::Task SimulatedMainThread::measured(Task task) const
{
    return [state = m_state, task = std::move(task)] {
        state->begin();
        struct End {
            State& state;
            ~End() { state.end(); }
        } end{*state};
        task();
    };
}

TaskHandle SimulatedMainThread::post(Task task)
{
    return m_scheduler.post(measured(std::move(task)));
}

TaskHandle SimulatedMainThread::after(Duration delay, Task task)
{
    return m_scheduler.after(delay, measured(std::move(task)));
}

TaskHandle SimulatedMainThread::every(Duration interval, Task task)
{
    return m_scheduler.every(interval, measured(std::move(task)));
}

void SimulatedMainThread::spend(Duration cost)
{
    (m_state->running.empty() ? m_state->direct : m_state->running.back()) += cost;
}

Duration SimulatedMainThread::longestStall() const
{
    Duration longest = std::max(m_state->longest, m_state->direct);
    for (Duration running : m_state->running)
        longest = std::max(longest, running);
    return longest;
}

Duration SimulatedMainThread::takeLongestStall()
{
    const Duration longest = longestStall();
    m_state->longest = Duration{0};
    m_state->direct = Duration{0};
    return longest;
}

} // namespace velmor::platform
