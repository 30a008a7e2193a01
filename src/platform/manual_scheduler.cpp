#include "platform/manual_scheduler.h"

namespace velmor::platform {

ManualScheduler::ManualScheduler(QDateTime startDate) : m_startDate(std::move(startDate)) {}

ManualScheduler::~ManualScheduler() = default;

TaskHandle ManualScheduler::schedule(TimePoint due, Duration interval, Task task)
{
    auto state = std::make_shared<TaskHandle::State>();
    std::lock_guard lock(m_mutex);
    m_tasks.emplace(Key{due, m_sequence++}, Entry{std::move(task), state, interval});
    return TaskHandle(state);
}

TaskHandle ManualScheduler::post(Task task)
{
    return schedule(now(), Duration{0}, std::move(task));
}

TaskHandle ManualScheduler::after(Duration delay, Task task)
{
    return schedule(now() + std::max(delay, Duration{0}), Duration{0}, std::move(task));
}

TaskHandle ManualScheduler::every(Duration interval, Task task)
{
    const Duration period = std::max(interval, Duration{1});
    return schedule(now() + period, period, std::move(task));
}

TimePoint ManualScheduler::now() const
{
    std::lock_guard lock(m_mutex);
    return m_now;
}

QDateTime ManualScheduler::currentDate() const
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now().time_since_epoch());
    return m_startDate.addMSecs(elapsed.count());
}

bool ManualScheduler::runNextDueBy(TimePoint limit)
{
    Entry entry;
    TimePoint due;
    {
        std::lock_guard lock(m_mutex);
        auto it = m_tasks.begin();
        while (it != m_tasks.end() && it->second.state->cancelled)
            it = m_tasks.erase(it);
        if (it == m_tasks.end() || it->first.first > limit)
            return false;
        due = it->first.first;
        entry = std::move(it->second);
        m_tasks.erase(it);
        if (due > m_now)
            m_now = due;
    }
    if (entry.interval == Duration{0}) {
        entry.state->finished = true;
        entry.task();
        return true;
    }
    // A repeating task keeps its period from its due time, not from when it happened to run.
    Task copy = entry.task;
    copy();
    if (!entry.state->cancelled) {
        std::lock_guard lock(m_mutex);
        m_tasks.emplace(Key{due + entry.interval, m_sequence++}, std::move(entry));
    }
    return true;
}

void ManualScheduler::fastForwardBy(Duration delta)
{
    const TimePoint end = now() + std::max(delta, Duration{0});
    while (runNextDueBy(end)) {
    }
    std::lock_guard lock(m_mutex);
    if (m_now < end)
        m_now = end;
}

void ManualScheduler::runUntilIdle()
{
    while (runNextDueBy(now())) {
    }
}

void ManualScheduler::advanceClock(Duration delta)
{
    std::lock_guard lock(m_mutex);
    m_now += std::max(delta, Duration{0});
}

std::size_t ManualScheduler::pendingTaskCount() const
{
    std::lock_guard lock(m_mutex);
    std::size_t count = 0;
    for (const auto& [key, entry] : m_tasks)
        count += entry.state->cancelled ? 0 : 1;
    return count;
}

std::optional<TimePoint> ManualScheduler::nextDueTime() const
{
    std::lock_guard lock(m_mutex);
    for (const auto& [key, entry] : m_tasks) {
        if (!entry.state->cancelled)
            return key.first;
    }
    return std::nullopt;
}

} // namespace velmor::platform
