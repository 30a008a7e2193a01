#include "simulated_mac/simulated_application_shell.h"

namespace velmor::simulated_mac {

void SimulatedApplicationShell::setActivationPolicy(platform::ActivationPolicy policy)
{
    if (m_policy == policy)
        return;
    m_policy = policy;
    changed(Change::Policy);
}

void SimulatedApplicationShell::activate(bool ignoringOtherApps)
{
    // Activating an app unhides it, as on the Mac.
    setHidden(false);
    ++m_activations;
    m_ignoredOtherApps = ignoringOtherApps;
    changed(Change::Activated);
}

void SimulatedApplicationShell::setMainMenu(platform::MainMenu menu)
{
    m_mainMenu = std::move(menu);
    changed(Change::Menus);
}

void SimulatedApplicationShell::changed(Change change)
{
    if (m_changed)
        m_changed(change);
}

void SimulatedApplicationShell::terminate()
{
    m_terminateRequested = true;
    if (m_terminate)
        m_terminate();
}

void SimulatedApplicationShell::orderOut(platform::WindowId window)
{
    if (m_windowRequests && find(window)) {
        m_windowRequests(window, WindowRequest::OrderOut);
        return;
    }
    if (platform::WindowInfo* existing = find(window)) {
        existing->visible = false;
        changed(Change::Windows);
    }
}

platform::ApplicationShell::ObserverId SimulatedApplicationShell::observe(NotificationHandler handler)
{
    m_observers.insert(++m_lastObserverId, std::move(handler));
    return m_lastObserverId;
}

void SimulatedApplicationShell::removeObserver(ObserverId observer)
{
    m_observers.remove(observer);
}

void SimulatedApplicationShell::setHidden(bool hidden)
{
    if (m_hidden == hidden)
        return;
    m_hidden = hidden;
    changed(Change::Hidden);
    if (!hidden)
        notify(platform::ShellNotification::ApplicationDidUnhide, std::nullopt);
}

platform::WindowId SimulatedApplicationShell::setWindow(platform::WindowInfo window)
{
    platform::WindowInfo* existing = window.id ? find(window.id) : nullptr;
    if (!existing && !window.id) {
        for (platform::WindowInfo& candidate : m_windows) {
            if (candidate.title == window.title)
                existing = &candidate;
        }
    }
    if (existing) {
        window.id = existing->id;
        *existing = window;
        changed(Change::Windows);
        return window.id;
    }
    if (!window.id)
        window.id = ++m_lastWindowId;
    m_windows.prepend(window);
    changed(Change::Windows);
    return window.id;
}

void SimulatedApplicationShell::removeWindow(const QString& title)
{
    for (const platform::WindowInfo& window : m_windows) {
        if (window.title == title) {
            removeWindow(window.id);
            return;
        }
    }
}

void SimulatedApplicationShell::removeWindow(platform::WindowId window)
{
    if (!find(window))
        return;
    notify(platform::ShellNotification::WindowWillClose, window);
    m_windows.removeIf([&](const platform::WindowInfo& candidate) { return candidate.id == window; });
    changed(Change::Windows);
}

void SimulatedApplicationShell::setMiniaturized(platform::WindowId window, bool miniaturized)
{
    platform::WindowInfo* existing = find(window);
    if (!existing || existing->miniaturized == miniaturized)
        return;
    existing->miniaturized = miniaturized;
    changed(Change::Windows);
    notify(miniaturized ? platform::ShellNotification::WindowDidMiniaturize : platform::ShellNotification::WindowDidDeminiaturize,
           window);
}

void SimulatedApplicationShell::deminiaturize(platform::WindowId window)
{
    if (m_windowRequests && find(window)) {
        m_windowRequests(window, WindowRequest::Deminiaturize);
        return;
    }
    setMiniaturized(window, false);
}

void SimulatedApplicationShell::makeKey(platform::WindowId window)
{
    platform::WindowInfo* existing = find(window);
    if (!existing)
        return;
    existing->visible = true;
    existing->miniaturized = false;
    platform::WindowInfo front = *existing;
    m_windows.removeIf([&](const platform::WindowInfo& candidate) { return candidate.id == window; });
    m_windows.prepend(front);
    changed(Change::Windows);
    notify(platform::ShellNotification::WindowDidBecomeKey, window);
}

platform::WindowInfo* SimulatedApplicationShell::find(platform::WindowId window)
{
    for (platform::WindowInfo& candidate : m_windows) {
        if (candidate.id == window)
            return &candidate;
    }
    return nullptr;
}

void SimulatedApplicationShell::notify(platform::ShellNotification notification, std::optional<platform::WindowId> window)
{
    // An observer may remove itself (or another) while being told.
    const QMap<ObserverId, NotificationHandler> observers = m_observers;
    for (auto it = observers.begin(); it != observers.end(); ++it) {
        if (m_observers.contains(it.key()))
            it.value()(notification, window);
    }
}

} // namespace velmor::simulated_mac
