#include "simulated_mac/simulated_mouse_events.h"

#include "platform/scheduler.h"

#include <vector>

namespace velmor::simulated_mac {

SimulatedMouseEvents::SimulatedMouseEvents(platform::Scheduler& scheduler) : m_scheduler(scheduler) {}

SimulatedMouseEvents::~SimulatedMouseEvents() = default;

quint64 SimulatedMouseEvents::maskOf(platform::MouseEventType type)
{
    switch (type) {
    case platform::MouseEventType::LeftMouseDown:
        return 1u << 1;
    case platform::MouseEventType::LeftMouseUp:
        return 1u << 2;
    case platform::MouseEventType::RightMouseDown:
        return 1u << 3;
    case platform::MouseEventType::RightMouseUp:
        return 1u << 4;
    case platform::MouseEventType::LeftMouseDragged:
        return 1u << 6;
    case platform::MouseEventType::MouseMoved:
        return 1u << 5;
    case platform::MouseEventType::Other:
        break;
    }
    return 0;
}

platform::MouseEvents::MonitorId SimulatedMouseEvents::add(bool local, quint64 mask, Handler handler)
{
    const MonitorId id = m_nextMonitor++;
    m_monitors.emplace(id, Monitor{local, mask, std::move(handler)});
    return id;
}

platform::MouseEvents::MonitorId SimulatedMouseEvents::addGlobalMonitor(quint64 eventMask, Handler handler)
{
    return add(false, eventMask, std::move(handler));
}

platform::MouseEvents::MonitorId SimulatedMouseEvents::addLocalMonitor(quint64 eventMask, Handler handler)
{
    return add(true, eventMask, std::move(handler));
}

void SimulatedMouseEvents::removeMonitor(MonitorId monitor)
{
    m_monitors.erase(monitor);
}

void SimulatedMouseEvents::handleAs(platform::MouseEventType type, const std::function<void()>& work)
{
    const platform::MouseEventType previous = m_currentType;
    m_currentType = type;
    work();
    m_currentType = previous;
}

void SimulatedMouseEvents::deliver(const platform::MouseEvent& event, bool toOwnApp)
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

void SimulatedMouseEvents::play(QList<platform::MouseEvent> events, bool toOwnApp, std::function<void()> afterLast)
{
    if (events.isEmpty())
        return;
    playFrom(std::make_shared<const QList<platform::MouseEvent>>(std::move(events)), 0, toOwnApp, std::move(afterLast));
}

void SimulatedMouseEvents::playFrom(std::shared_ptr<const QList<platform::MouseEvent>> events, int index, bool toOwnApp,
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

} // namespace velmor::simulated_mac
