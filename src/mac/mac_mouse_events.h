#pragma once

#include "platform/mouse_events.h"

#include <map>

namespace velmor::platform::mac {

// Global and local event monitors (NSEvent). Handlers run on the main thread.
class MacMouseEvents final : public MouseEvents {
public:
    ~MacMouseEvents() override;

    MonitorId addGlobalMonitor(quint64 eventMask, Handler handler) override;
    MonitorId addLocalMonitor(quint64 eventMask, Handler handler) override;
    void removeMonitor(MonitorId monitor) override;
    MouseEventType currentEventType() const override;
    QPointF pointerLocation() const override;

private:
    MonitorId keep(id monitor);

    std::map<MonitorId, id> m_monitors;
    MonitorId m_nextMonitor = 1;
};

} // namespace velmor::platform::mac
