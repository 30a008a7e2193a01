#pragma once

#include <QPointF>

#include <functional>

namespace velmor::platform {

enum class MouseEventType {
    LeftMouseDown,
    LeftMouseUp,
    LeftMouseDragged,
    RightMouseDown,
    RightMouseUp,
    MouseMoved,
    Other
};

struct MouseEvent {
    MouseEventType type = MouseEventType::Other;
    bool command = false;
    // Screen coordinates (origin bottom left).
    QPointF location;
};

// Mouse monitors. Global monitors see events sent to other applications, local ones events sent
// to this one (a local monitor passes the event on unchanged).
class MouseEvents {
public:
    using MonitorId = quint64;
    using Handler = std::function<void(const MouseEvent&)>;

    // Event mask of left-mouse-down, left-mouse-up and left-mouse-dragged.
    static constexpr quint64 leftButtonMask = 70;
    // Event masks of the pointer moving with no button down, and of a left button going down.
    static constexpr quint64 mouseMovedMask = 32;
    static constexpr quint64 leftMouseDownMask = 2;

    virtual ~MouseEvents() = default;

    virtual MonitorId addGlobalMonitor(quint64 eventMask, Handler handler) = 0;
    virtual MonitorId addLocalMonitor(quint64 eventMask, Handler handler) = 0;
    virtual void removeMonitor(MonitorId monitor) = 0;
    // The type of the event being handled now (Other outside event handling).
    virtual MouseEventType currentEventType() const = 0;
    // Where the pointer is now, in screen coordinates (origin bottom left).
    virtual QPointF pointerLocation() const = 0;
};

} // namespace velmor::platform
