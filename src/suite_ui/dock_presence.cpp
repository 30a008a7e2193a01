#include "suite_ui/dock_presence.h"

#include "platform/scheduler.h"

#include <algorithm>
#include <mutex>

namespace velmor {
namespace {

using platform::ActivationPolicy;
using platform::ShellNotification;

std::mutex sharedMutex;
std::unique_ptr<DockPresence> sharedPresence;

} // namespace

DockPresence::DockPresence(platform::ApplicationShell& shell, platform::Scheduler& scheduler)
    : m_shell(shell), m_scheduler(scheduler)
{}

DockPresence::~DockPresence()
{
    if (m_observer)
        m_shell.removeObserver(*m_observer);
}

DockPresence& DockPresence::installShared(platform::ApplicationShell& shell, platform::Scheduler& scheduler)
{
    std::lock_guard lock(sharedMutex);
    if (!sharedPresence)
        sharedPresence = std::make_unique<DockPresence>(shell, scheduler);
    return *sharedPresence;
}

DockPresence* DockPresence::shared()
{
    std::lock_guard lock(sharedMutex);
    return sharedPresence.get();
}

void DockPresence::releaseShared()
{
    std::unique_ptr<DockPresence> presence;
    {
        std::lock_guard lock(sharedMutex);
        presence = std::move(sharedPresence);
    }
}

void DockPresence::start()
{
    if (m_started)
        return;
    m_started = true;
    m_observer =
        m_shell.observe([this](ShellNotification notification, std::optional<platform::WindowId> window) {
            handle(notification, window);
        });
    schedule();
}

void DockPresence::prepareToShow()
{
    if (m_shell.activationPolicy() != ActivationPolicy::Regular)
        m_shell.setActivationPolicy(ActivationPolicy::Regular);
}

void DockPresence::registerEditorWindow(platform::WindowId window)
{
    m_registeredEditors.insert(window);
}

void DockPresence::didChooseBackground()
{
    if (!m_started)
        return;
    for (const platform::WindowInfo& window : m_shell.windows()) {
        if (isEligible(window))
            m_backgroundWindows.insert(window.id);
    }
    // Ordering windows out sends no notification of its own; the Dock icon must not wait for
    // the next unrelated event to go.
    schedule();
}

bool DockPresence::isEligible(const platform::WindowInfo& window) const
{
    return m_registeredEditors.contains(window.id) || (!window.panel && window.titled);
}

void DockPresence::handle(ShellNotification notification, std::optional<platform::WindowId> window)
{
    switch (notification) {
    case ShellNotification::WindowDidBecomeKey:
        if (window)
            windowBecameKey(*window);
        return;
    case ShellNotification::WindowWillClose:
    case ShellNotification::WindowDidMiniaturize:
    case ShellNotification::WindowDidDeminiaturize:
    case ShellNotification::ApplicationDidUpdate:
    case ShellNotification::ApplicationDidUnhide:
        schedule();
        return;
    }
}

void DockPresence::schedule()
{
    if (m_pending)
        return;
    m_pending = true;
    std::weak_ptr<int> alive = m_lifetime;
    m_scheduler.post([this, alive]() {
        if (alive.expired())
            return;
        m_pending = false;
        reconcile();
    });
}

void DockPresence::reconcile()
{
    if (m_shell.isHidden())
        return;
    const QList<platform::WindowInfo> windows = m_shell.windows();
    std::erase_if(m_backgroundWindows, [&](platform::WindowId id) {
        return std::none_of(windows.cbegin(), windows.cend(),
                            [id](const platform::WindowInfo& window) { return window.id == id; });
    });
    const bool keepsIcon =
        std::any_of(windows.cbegin(), windows.cend(), [this](const platform::WindowInfo& window) {
            return isEligible(window) && !m_backgroundWindows.contains(window.id) &&
                   (window.visible || window.miniaturized);
        });
    const ActivationPolicy wanted = keepsIcon ? ActivationPolicy::Regular : ActivationPolicy::Accessory;
    if (m_shell.activationPolicy() != wanted)
        m_shell.setActivationPolicy(wanted);
}

void DockPresence::windowBecameKey(platform::WindowId id)
{
    const QList<platform::WindowInfo> windows = m_shell.windows();
    const auto window =
        std::find_if(windows.cbegin(), windows.cend(),
                     [id](const platform::WindowInfo& candidate) { return candidate.id == id; });
    if (window == windows.cend() || !isEligible(*window))
        return;
    m_backgroundWindows.erase(id);
    prepareToShow();
}

} // namespace velmor
