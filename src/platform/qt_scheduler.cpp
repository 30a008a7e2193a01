#include "platform/qt_scheduler.h"

#include <QThread>
#include <QTimer>

namespace velmor::platform {

QtScheduler::QtScheduler() : m_origin(std::chrono::steady_clock::now()) {}

QtScheduler::~QtScheduler() = default;

TaskHandle QtScheduler::start(Duration delay, bool repeating, Task task)
{
    auto state = std::make_shared<TaskHandle::State>();
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::max(delay, Duration{0}));
    auto arm = [this, state, milliseconds, repeating, task = std::move(task)]() mutable {
        if (state->cancelled)
            return;
        // A default timer may fire 5 % late; deadlines need the precise kind.
        auto* timer = new QTimer(&m_context);
        timer->setTimerType(Qt::PreciseTimer);
        timer->setSingleShot(!repeating);
        timer->setInterval(static_cast<int>(milliseconds.count()));
        QObject::connect(timer, &QTimer::timeout, timer, [timer, state, repeating, task]() {
            if (state->cancelled) {
                timer->deleteLater();
                return;
            }
            if (!repeating) {
                state->finished = true;
                timer->deleteLater();
            }
            task();
        });
        timer->start();
    };
    if (QThread::currentThread() == m_context.thread())
        arm();
    else
        QMetaObject::invokeMethod(&m_context, std::move(arm), Qt::QueuedConnection);
    return TaskHandle(state);
}

TaskHandle QtScheduler::post(Task task)
{
    auto state = std::make_shared<TaskHandle::State>();
    QMetaObject::invokeMethod(
        &m_context,
        [state, task = std::move(task)]() {
            if (state->cancelled)
                return;
            state->finished = true;
            task();
        },
        Qt::QueuedConnection);
    return TaskHandle(state);
}

TaskHandle QtScheduler::after(Duration delay, Task task)
{
    return start(delay, false, std::move(task));
}

TaskHandle QtScheduler::every(Duration interval, Task task)
{
    return start(std::max(interval, std::chrono::duration_cast<Duration>(std::chrono::milliseconds(1))), true,
                 std::move(task));
}

TimePoint QtScheduler::now() const
{
    return TimePoint(std::chrono::duration_cast<Duration>(std::chrono::steady_clock::now() - m_origin));
}

QDateTime QtScheduler::currentDate() const
{
    return QDateTime::currentDateTimeUtc();
}

} // namespace velmor::platform
