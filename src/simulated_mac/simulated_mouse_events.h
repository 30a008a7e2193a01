#pragma once

#include "platform/mouse_events.h"

#include <QList>
#include <QPointF>

#include <map>
#include <memory>

namespace velmor::platform {
class Scheduler;
} // namespace velmor::platform

namespace velmor::simulated_mac {

// Mouse monitors of the simulated Mac. Events arrive as scheduler tasks, one task per event, so
// the work a handler posts runs before the next event of a gesture, as with real input.
class SimulatedMouseEvents final : public platform::MouseEvents {
public:
    explicit SimulatedMouseEvents(platform::Scheduler& scheduler);
    ~SimulatedMouseEvents() override;

    MonitorId addGlobalMonitor(quint64 eventMask, Handler handler) override;
    MonitorId addLocalMonitor(quint64 eventMask, Handler handler) override;
    void removeMonitor(MonitorId monitor) override;
    // The app's process ended: its monitors go with it.
    void removeAllMonitors() { m_monitors.clear(); }
    platform::MouseEventType currentEventType() const override { return m_currentType; }
    // Where the last event played left the pointer.
    QPointF pointerLocation() const override { return m_pointer; }

    static quint64 maskOf(platform::MouseEventType type);

    // Plays a gesture. Global monitors see every event; local ones only events the app's own
    // windows receive. `afterLast` runs in the task of the last event, after its monitors.
    void play(QList<platform::MouseEvent> events, bool toOwnApp, std::function<void()> afterLast = {});
    // Runs `work` as the handling of an event of `type` (what currentEventType() reports).
    void handleAs(platform::MouseEventType type, const std::function<void()>& work);

private:
    struct Monitor {
        bool local = false;
        quint64 mask = 0;
        Handler handler;
    };
    MonitorId add(bool local, quint64 mask, Handler handler);
    void deliver(const platform::MouseEvent& event, bool toOwnApp);
    void playFrom(std::shared_ptr<const QList<platform::MouseEvent>> events, int index, bool toOwnApp,
                  std::function<void()> afterLast);

    platform::Scheduler& m_scheduler;
    std::map<MonitorId, Monitor> m_monitors;
    MonitorId m_nextMonitor = 1;
    platform::MouseEventType m_currentType = platform::MouseEventType::Other;
    QPointF m_pointer;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace velmor::simulated_mac
