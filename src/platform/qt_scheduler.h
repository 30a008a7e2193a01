#pragma once

#include "platform/scheduler.h"

#include <QObject>

#include <chrono>

namespace velmor::platform {

// Real time on the Qt event loop of the thread that creates it: precise timers and the
// monotonic clock.
class QtScheduler final : public Scheduler {
public:
    QtScheduler();
    ~QtScheduler() override;

    TaskHandle post(Task task) override;
    TaskHandle after(Duration delay, Task task) override;
    TaskHandle every(Duration interval, Task task) override;
    TimePoint now() const override;
    QDateTime currentDate() const override;

private:
    TaskHandle start(Duration delay, bool repeating, Task task);

    QObject m_context;
    std::chrono::steady_clock::time_point m_origin;
};

} // namespace velmor::platform
