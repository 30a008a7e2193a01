#include "simulated_mac/simulated_mouse_events.h"

#include "platform/scheduler.h"

#include <vector>

namespace velmor::platform {

SimulatedMouseEvents::SimulatedMouseEvents(Scheduler& scheduler) : m_scheduler(scheduler) {}

SimulatedMouseEvents::~SimulatedMouseEvents() = default;

quint64 SimulatedMouseEvents::maskOf(MouseEventType type)
{
    switch (type) {
    case MouseEventType::LeftMouseDown:
        return 1u << 1;
    case MouseEventType::LeftMouseUp:
        return 1u << 2;
    case MouseEventType::RightMouseDown:
        return 1u << 3;
    case MouseEventType::RightMouseUp:
        return 1u << 4;
    case MouseEventType::LeftMouseDragged:
        return 1u << 6;
    case MouseEventType::MouseMoved:
        return 1u << 5;
    case MouseEventType::Other:
        break;
    }
    return 0;
}

MouseEvents::MonitorId SimulatedMouseEvents::add(bool local, quint64 mask, Handler handler)
{
    const MonitorId id = m_nextMonitor++;
    m_monitors.emplace(id, Monitor{local, mask, std::move(handler)});
    return id;
}

MouseEvents::MonitorId SimulatedMouseEvents::addGlobalMonitor(quint64 eventMask, Handler handler)
{
    return add(false, eventMask, std::move(handler));
}

MouseEvents::MonitorId SimulatedMouseEvents::addLocalMonitor(quint64 eventMask, Handler handler)
{
    return add(true, eventMask, std::move(handler));
}

void SimulatedMouseEvents::removeMonitor(MonitorId monitor)
{
    m_monitors.erase(monitor);
}

void SimulatedMouseEvents::handleAs(MouseEventType type, const std::function<void()>& work)
{
    const MouseEventType previous = m_currentType;
    m_currentType = type;
    work();
    m_currentType = previous;
}

void SimulatedMouseEvents::deliver(const MouseEvent& event, bool toOwnApp)
{
    m_pointer = event.location;
    std::vector<MonitorId> ids;
    for (const auto& [id, monitor] : m_monitors) {
        if ((monitor.mask & maskOf(event.type)) != 0 && (!monitor.local || toOwnApp))
            ids.push_back(id);
    }
    handleAs(event.type, [&] {
        for (const MonitorId id : ids) {
            // A handler may remove monitors, its own included.
            const auto it = m_monitors.find(id);
            if (it == m_monitors.end())
                continue;
            const Handler handler = it->second.handler;
            handler(event);
        }
    });
}

void SimulatedMouseEvents::play(QList<MouseEvent> events, bool toOwnApp, std::function<void()> afterLast)
{
    if (events.isEmpty())
        return;
    playFrom(std::make_shared<const QList<MouseEvent>>(std::move(events)), 0, toOwnApp, std::move(afterLast));
}

void SimulatedMouseEvents::playFrom(std::shared_ptr<const QList<MouseEvent>> events, int index, bool toOwnApp,
                                    std::function<void()> afterLast)
{
    m_scheduler.post([this, alive = std::weak_ptr<char>(m_alive), events, index, toOwnApp,
                      afterLast = std::move(afterLast)]() mutable {
        if (alive.expired())
            return;
        deliver(events->at(index), toOwnApp);
        if (index + 1 < events->size()) {
            playFrom(events, index + 1, toOwnApp, std::move(afterLast));
            return;
        }
        if (afterLast)
            handleAs(events->at(index).type, afterLast);
    });
}

} // namespace velmor::platform
