#pragma once

#include "platform/application_shell.h"

#include <functional>

namespace velmor::platform {

// This app as the simulated window server sees it. The runner installs what terminating means
// and keeps the window list in step with the app's real windows.
class SimulatedApplicationShell final : public ApplicationShell {
public:
    ActivationPolicy activationPolicy() const override { return m_policy; }
    void setActivationPolicy(ActivationPolicy policy) override { m_policy = policy; }
    bool isHidden() const override { return m_hidden; }
    void activate(bool ignoringOtherApps) override;
    void terminate() override;
    QList<WindowInfo> windows() const override { return m_windows; }

    void setHidden(bool hidden) { m_hidden = hidden; }
    // Adds the window, or replaces the one with the same title.
    void setWindow(const WindowInfo& window);
    void removeWindow(const QString& title);
    void setTerminateHandler(std::function<void()> handler) { m_terminate = std::move(handler); }

    int activationCount() const { return m_activations; }
    bool lastActivationIgnoredOtherApps() const { return m_ignoredOtherApps; }
    bool terminateRequested() const { return m_terminateRequested; }

private:
    ActivationPolicy m_policy = ActivationPolicy::Regular;
    bool m_hidden = false;
    QList<WindowInfo> m_windows;
    std::function<void()> m_terminate;
    int m_activations = 0;
    bool m_ignoredOtherApps = false;
    bool m_terminateRequested = false;
};

} // namespace velmor::platform
