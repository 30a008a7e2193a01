#pragma once

#include "platform/scheduler.h"

#include <QTimeZone>

#include <map>
#include <mutex>
#include <optional>

namespace velmor::platform {

// Virtual time for tests and the headless runner: nothing runs until the owner advances time.
// Tasks run in due order, ties in posting order; tasks may post further tasks.
class ManualScheduler final : public Scheduler {
public:
    explicit ManualScheduler(QDateTime startDate = QDateTime(QDate(2026, 1, 1), QTime(9, 0),
                                                             QTimeZone::utc()));
    ~ManualScheduler() override;

    TaskHandle post(Task task) override;
    TaskHandle after(Duration delay, Task task) override;
    TaskHandle every(Duration interval, Task task) override;
    TimePoint now() const override;
    QDateTime currentDate() const override;

    // Runs everything due within `delta` of now, then leaves the clock at now + delta.
    void fastForwardBy(Duration delta);
    // Runs what is due now, including work that it posts for now.
    void runUntilIdle();
    // Moves the clock without running anything: the cost of a synchronous call (a slow
    // Accessibility message, say) on virtual time.
    void advanceClock(Duration delta);

    std::size_t pendingTaskCount() const;
    std::optional<TimePoint> nextDueTime() const;

private:
    struct Entry {
        Task task;
        std::shared_ptr<TaskHandle::State> state;
        Duration interval{0}; // zero for one-shot tasks
    };
    using Key = std::pair<TimePoint, quint64>; // due time, posting order

    TaskHandle schedule(TimePoint due, Duration interval, Task task);
    bool runNextDueBy(TimePoint limit);

    mutable std::mutex m_mutex;
    std::map<Key, Entry> m_tasks;
    quint64 m_sequence = 0;
    TimePoint m_now{};
    QDateTime m_startDate;
};

} // namespace velmor::platform
