#pragma once

#include "platform/task_handle.h"

#include <QDateTime>

#include <chrono>
#include <functional>

namespace velmor::platform {

// The monotonic, continuous clock that all timed behaviour reads through a Scheduler.
struct MonotonicClock {
    using duration = std::chrono::nanoseconds;
    using rep = duration::rep;
    using period = duration::period;
    using time_point = std::chrono::time_point<MonotonicClock>;
    static constexpr bool is_steady = true;
};

using Duration = MonotonicClock::duration;
using TimePoint = MonotonicClock::time_point;

// A duration given in (fractional) seconds, the unit the product's timings are stated in.
constexpr Duration seconds(double value)
{
    return std::chrono::duration_cast<Duration>(std::chrono::duration<double>(value));
}

constexpr double toSeconds(Duration value)
{
    return std::chrono::duration<double>(value).count();
}

// Main-thread work and time. Product code never uses timers, sleeps or clocks directly, so tests
// can drive everything on virtual time. Tasks run on the scheduler's thread; post() may be called
// from any thread (an answer from another thread only schedules work here).
class Scheduler {
public:
    using Task = std::function<void()>;

    virtual ~Scheduler() = default;

    // Runs the task after the work already due now.
    virtual TaskHandle post(Task task) = 0;
    // Runs the task once, `delay` from now.
    virtual TaskHandle after(Duration delay, Task task) = 0;
    // Runs the task every `interval`, the first time `interval` from now, keeping its period.
    virtual TaskHandle every(Duration interval, Task task) = 0;

    virtual TimePoint now() const = 0;
    // Wall-clock time, for timestamps shown or sent; never for measuring intervals.
    virtual QDateTime currentDate() const = 0;
};

} // namespace velmor::platform
