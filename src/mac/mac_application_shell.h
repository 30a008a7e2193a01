#pragma once

#include "platform/application_shell.h"

#include <map>

@class NSMutableArray;
@class NSWindow;

namespace velmor::platform::mac {

// This application as AppKit sees it (NSApplication, NSWindow). Main thread only.
//
// A window's kind is the objectName of the Qt window shown in it; windows Qt does not own (the
// status items' windows, alerts) have none.
class MacApplicationShell final : public ApplicationShell {
public:
    ~MacApplicationShell() override;

    ActivationPolicy activationPolicy() const override;
    void setActivationPolicy(ActivationPolicy policy) override;
    bool isHidden() const override;
    void activate(bool ignoringOtherApps) override;
    void terminate() override;
    QList<WindowInfo> windows() const override;
    void orderOut(WindowId window) override;
    ObserverId observe(NotificationHandler handler) override;
    void removeObserver(ObserverId observer) override;

private:
    WindowId identify(NSWindow* window) const;

    mutable WindowId m_nextWindow = 1;
    std::map<ObserverId, NSMutableArray*> m_observers;
    ObserverId m_nextObserver = 1;
};

} // namespace velmor::platform::mac
