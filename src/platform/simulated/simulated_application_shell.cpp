#include "platform/simulated/simulated_application_shell.h"

namespace velmor::platform {

void SimulatedApplicationShell::activate(bool ignoringOtherApps)
{
    // Activating an app unhides it, as on the Mac.
    m_hidden = false;
    ++m_activations;
    m_ignoredOtherApps = ignoringOtherApps;
}

void SimulatedApplicationShell::terminate()
{
    m_terminateRequested = true;
    if (m_terminate)
        m_terminate();
}

void SimulatedApplicationShell::setWindow(const WindowInfo& window)
{
    for (WindowInfo& existing : m_windows) {
        if (existing.title == window.title) {
            existing = window;
            return;
        }
    }
    m_windows.append(window);
}

void SimulatedApplicationShell::removeWindow(const QString& title)
{
    m_windows.removeIf([&](const WindowInfo& window) { return window.title == title; });
}

} // namespace velmor::platform
