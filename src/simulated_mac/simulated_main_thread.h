#pragma once

#include "platform/scheduler.h"

#include <memory>

namespace velmor::platform {

// The main thread of the simulated Mac: the scheduler the world and the app post their work to,
// which measures how long one piece of work holds the thread. A synchronous call to another
// process (an Accessibility message) spends its cost through `spend`; a stall is the virtual time
// spent inside one task, or inside the work its owner runs directly between tasks (a click or a
// script step), which on a Mac would be one event handled on the main thread.
class SimulatedMainThread final : public Scheduler {
public:
    explicit SimulatedMainThread(Scheduler& scheduler);
    ~SimulatedMainThread() override;
    SimulatedMainThread(const SimulatedMainThread&) = delete;
    SimulatedMainThread& operator=(const SimulatedMainThread&) = delete;

    TaskHandle post(Task task) override;
    TaskHandle after(Duration delay, Task task) override;
    TaskHandle every(Duration interval, Task task) override;
    TimePoint now() const override { return m_scheduler.now(); }
    QDateTime currentDate() const override { return m_scheduler.currentDate(); }

    // The running task (or the direct work in progress) waited this long.
    void spend(Duration cost);
    // The longest stall since the last take, the one in progress included.
    Duration longestStall() const;
    Duration takeLongestStall();

private:
    struct State;
    Task measured(Task task) const;

    Scheduler& m_scheduler;
    // Shared with the tasks in flight, which may outlive this object on their scheduler.
    std::shared_ptr<State> m_state;
};

} // namespace velmor::platform
