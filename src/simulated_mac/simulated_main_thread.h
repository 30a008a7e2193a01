#pragma once

#include "platform/scheduler.h"

#include <memory>

namespace velmor::simulated_mac {

// The main thread of the simulated Mac: the scheduler the world and the app post their work to,
// which measures how long one piece of work holds the thread. A synchronous call to another
// process (an Accessibility message) spends its cost through `spend`; a stall is the virtual time
// spent inside one task, or inside the work its owner runs directly between tasks (a click or a
// script step), which on a Mac would be one event handled on the main thread.
class SimulatedMainThread final : public platform::Scheduler {
public:
    explicit SimulatedMainThread(platform::Scheduler& scheduler);
    ~SimulatedMainThread() override;
    SimulatedMainThread(const SimulatedMainThread&) = delete;
    SimulatedMainThread& operator=(const SimulatedMainThread&) = delete;

    platform::TaskHandle post(Task task) override;
    platform::TaskHandle after(platform::Duration delay, Task task) override;
    platform::TaskHandle every(platform::Duration interval, Task task) override;
    platform::TimePoint now() const override { return m_scheduler.now(); }
    QDateTime currentDate() const override { return m_scheduler.currentDate(); }

    // The running task (or the direct work in progress) waited this long.
    void spend(platform::Duration cost);
    // The longest stall since the last take, the one in progress included.
    platform::Duration longestStall() const;
    platform::Duration takeLongestStall();

private:
    struct State;
    Task measured(Task task) const;

    platform::Scheduler& m_scheduler;
    // Shared with the tasks in flight, which may outlive this object on their scheduler.
    std::shared_ptr<State> m_state;
};

} // namespace velmor::simulated_mac
