#include "mac/mac_mouse_events.h"

#include "mac/portable/mac_conventions.h"

#import <AppKit/AppKit.h>

namespace velmor::platform::mac {

static_assert(MacConventions::leftMouseDownType == quint64(NSEventTypeLeftMouseDown));
static_assert(MacConventions::leftMouseUpType == quint64(NSEventTypeLeftMouseUp));
static_assert(MacConventions::rightMouseDownType == quint64(NSEventTypeRightMouseDown));
static_assert(MacConventions::rightMouseUpType == quint64(NSEventTypeRightMouseUp));
static_assert(MacConventions::leftMouseDraggedType == quint64(NSEventTypeLeftMouseDragged));
static_assert(MacConventions::mouseMovedType == quint64(NSEventTypeMouseMoved));
static_assert(MacConventions::commandModifierFlag == quint64(NSEventModifierFlagCommand));
static_assert(MouseEvents::leftButtonMask ==
              quint64(NSEventMaskLeftMouseDown | NSEventMaskLeftMouseUp | NSEventMaskLeftMouseDragged));
static_assert(MouseEvents::mouseMovedMask == quint64(NSEventMaskMouseMoved));
static_assert(MouseEvents::leftMouseDownMask == quint64(NSEventMaskLeftMouseDown));

namespace {

// Screen coordinates, origin bottom left: the frames of windows and screens share them.
QPointF mouseLocationNow()
{
    return QPointF::fromCGPoint(NSPointToCGPoint([NSEvent mouseLocation]));
}

// Where the pointer is now: what the handlers are given for every event.
std::optional<MouseEvent> monitored(quint64 mask, NSEvent* event)
{
    return MacConventions::monitoredEvent(mask, quint64(event.type), quint64(event.modifierFlags),
                                          mouseLocationNow());
}

} // namespace

MacMouseEvents::~MacMouseEvents()
{
    for (const auto& [key, monitor] : m_monitors)
        [NSEvent removeMonitor:monitor];
}

MouseEvents::MonitorId MacMouseEvents::keep(id monitor)
{
    const MonitorId key = m_nextMonitor++;
    // The system may refuse a monitor (nil); the id then simply never reports anything.
    if (monitor != nil)
        m_monitors.emplace(key, monitor);
    return key;
}

MouseEvents::MonitorId MacMouseEvents::addGlobalMonitor(quint64 eventMask, Handler handler)
{
    return keep([NSEvent addGlobalMonitorForEventsMatchingMask:NSEventMask(eventMask)
                                                       handler:^(NSEvent* event) {
                                                         if (const auto seen = monitored(eventMask, event))
                                                             handler(*seen);
                                                       }]);
}

MouseEvents::MonitorId MacMouseEvents::addLocalMonitor(quint64 eventMask, Handler handler)
{
    return keep([NSEvent addLocalMonitorForEventsMatchingMask:NSEventMask(eventMask)
                                                      handler:^NSEvent*(NSEvent* event) {
                                                        if (const auto seen = monitored(eventMask, event))
                                                            handler(*seen);
                                                        return event;
                                                      }]);
}

void MacMouseEvents::removeMonitor(MonitorId monitor)
{
    const auto found = m_monitors.find(monitor);
    if (found == m_monitors.end())
        return;
    [NSEvent removeMonitor:found->second];
    m_monitors.erase(found);
}

MouseEventType MacMouseEvents::currentEventType() const
{
    NSEvent* event = [NSApp currentEvent];
    if (event == nil)
        return MouseEventType::Other;
    return MacConventions::mouseEventType(quint64(event.type));
}

QPointF MacMouseEvents::pointerLocation() const
{
    return mouseLocationNow();
}

} // namespace velmor::platform::mac
