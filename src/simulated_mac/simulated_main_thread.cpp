#include "simulated_mac/simulated_main_thread.h"

#include <algorithm>
#include <vector>

namespace velmor::simulated_mac {

struct SimulatedMainThread::State {
    // What each running task has spent; a task that runs the scheduler itself nests another.
    std::vector<platform::Duration> running;
    // What the direct work since the last task has spent.
    platform::Duration direct{0};
    platform::Duration longest{0};

    void begin()
    {
        endDirect();
        running.push_back(platform::Duration{0});
    }
    void end()
    {
        longest = std::max(longest, running.back());
        running.pop_back();
    }
    void endDirect()
    {
        longest = std::max(longest, direct);
        direct = platform::Duration{0};
    }
};

SimulatedMainThread::SimulatedMainThread(platform::Scheduler& scheduler)
    : m_scheduler(scheduler), m_state(std::make_shared<State>())
{}

SimulatedMainThread::~SimulatedMainThread() = default;

platform::Scheduler::Task SimulatedMainThread::measured(Task task) const
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

platform::TaskHandle SimulatedMainThread::post(Task task)
{
    return m_scheduler.post(measured(std::move(task)));
}

platform::TaskHandle SimulatedMainThread::after(platform::Duration delay, Task task)
{
    return m_scheduler.after(delay, measured(std::move(task)));
}

platform::TaskHandle SimulatedMainThread::every(platform::Duration interval, Task task)
{
    return m_scheduler.every(interval, measured(std::move(task)));
}

void SimulatedMainThread::spend(platform::Duration cost)
{
    (m_state->running.empty() ? m_state->direct : m_state->running.back()) += cost;
}

platform::Duration SimulatedMainThread::longestStall() const
{
    platform::Duration longest = std::max(m_state->longest, m_state->direct);
    for (platform::Duration running : m_state->running)
        longest = std::max(longest, running);
    return longest;
}

platform::Duration SimulatedMainThread::takeLongestStall()
{
    const platform::Duration longest = longestStall();
    m_state->longest = platform::Duration{0};
    m_state->direct = platform::Duration{0};
    return longest;
}

} // namespace velmor::simulated_mac
