#pragma once

#include "platform/application_shell.h"

#include <QMap>

#include <functional>

namespace velmor::simulated_mac {

// This app as the simulated window server sees it. The composition root installs what terminating
// means and keeps the window list in step with the app's real windows; the window changes it
// reports are delivered to observers as the system's notifications, synchronously.
class SimulatedApplicationShell final : public platform::ApplicationShell {
public:
    // What changed, for whoever draws the desktop.
    enum class Change { Policy, Hidden, Windows, Menus, Activated };
    // What the window server asks of a real window, where the app's windows are real ones.
    enum class WindowRequest { OrderOut, Deminiaturize };

    platform::ActivationPolicy activationPolicy() const override { return m_policy; }
    void setActivationPolicy(platform::ActivationPolicy policy) override;
    bool isHidden() const override { return m_hidden; }
    void activate(bool ignoringOtherApps) override;
    void terminate() override;
    QList<platform::WindowInfo> windows() const override { return m_windows; }
    void orderOut(platform::WindowId window) override;
    ObserverId observe(NotificationHandler handler) override;
    void removeObserver(ObserverId observer) override;
    void setMainMenu(platform::MainMenu menu) override;
    const platform::MainMenu& mainMenu() const { return m_mainMenu; }

    // Hiding and unhiding the app, as Command-H and a click on its Dock icon do.
    void setHidden(bool hidden);
    // Adds the window (a new id when it has none and no window has its title) or replaces the one
    // with its id, or else its title. Returns the window's id.
    platform::WindowId setWindow(platform::WindowInfo window);
    void removeWindow(const QString& title);
    void removeWindow(platform::WindowId window);
    void setMiniaturized(platform::WindowId window, bool miniaturized);
    // The window comes to the front and takes the keyboard.
    void makeKey(platform::WindowId window);
    // The system sends this after every event the app handles.
    void applicationDidUpdate() { notify(platform::ShellNotification::ApplicationDidUpdate, std::nullopt); }
    void setTerminateHandler(std::function<void()> handler) { m_terminate = std::move(handler); }
    void setChangeHandler(std::function<void(Change)> handler) { m_changed = std::move(handler); }
    // With a handler the real windows carry out order-outs and restores and report back through
    // setWindow(); without one (headless) the shell's window list changes at once.
    void setWindowRequestHandler(std::function<void(platform::WindowId, WindowRequest)> handler)
    {
        m_windowRequests = std::move(handler);
    }
    // A click on a minimized window's tile in the Dock.
    void deminiaturize(platform::WindowId window);

    int activationCount() const { return m_activations; }
    bool lastActivationIgnoredOtherApps() const { return m_ignoredOtherApps; }
    bool terminateRequested() const { return m_terminateRequested; }

private:
    platform::WindowInfo* find(platform::WindowId window);
    void notify(platform::ShellNotification notification, std::optional<platform::WindowId> window);
    void changed(Change change);

    platform::ActivationPolicy m_policy = platform::ActivationPolicy::Regular;
    bool m_hidden = false;
    QList<platform::WindowInfo> m_windows;
    platform::WindowId m_lastWindowId = 0;
    QMap<ObserverId, NotificationHandler> m_observers;
    ObserverId m_lastObserverId = 0;
    std::function<void()> m_terminate;
    std::function<void(Change)> m_changed;
    std::function<void(platform::WindowId, WindowRequest)> m_windowRequests;
    platform::MainMenu m_mainMenu;
    int m_activations = 0;
    bool m_ignoredOtherApps = false;
    bool m_terminateRequested = false;
};

} // namespace velmor::simulated_mac
