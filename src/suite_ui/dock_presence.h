#pragma once

#include "platform/application_shell.h"

#include <memory>
#include <set>

namespace velmor::platform {
class Scheduler;
}

namespace velmor {

// Shows the app in the Dock only while one of its ordinary windows is on screen or miniaturized:
// it switches the activation policy between regular and accessory by watching the app's windows.
// Notifications only queue a pass; any number of them before the pass runs give one pass, which
// decides from the windows as they are then.
class DockPresence final {
public:
    DockPresence(platform::ApplicationShell& shell, platform::Scheduler& scheduler);
    ~DockPresence();

    DockPresence(const DockPresence&) = delete;
    DockPresence& operator=(const DockPresence&) = delete;

    // The process's instance. The composition root creates it once, with the platform services,
    // and releases it before the services go away; later calls return the same instance.
    static DockPresence& installShared(platform::ApplicationShell& shell, platform::Scheduler& scheduler);
    // Null until installed.
    static DockPresence* shared();
    static void releaseShared();

    // Begins watching the windows; once per run, later calls do nothing.
    void start();
    // Just before a window is shown, so that it comes up with a Dock icon and in front.
    void prepareToShow();
    // A window that keeps the Dock icon whatever its style.
    void registerEditorWindow(platform::WindowId window);
    // The user chose to keep the app running in the background: the windows now open no longer
    // keep the Dock icon until they become key again.
    void didChooseBackground();

    // A window that can keep the Dock icon: a registered editor, or a titled window that is not a
    // panel.
    bool isEligible(const platform::WindowInfo& window) const;
    bool started() const { return m_started; }
    bool passPending() const { return m_pending; }

private:
    void handle(platform::ShellNotification notification, std::optional<platform::WindowId> window);
    void schedule();
    void reconcile();
    void windowBecameKey(platform::WindowId window);

    platform::ApplicationShell& m_shell;
    platform::Scheduler& m_scheduler;
    bool m_started = false;
    bool m_pending = false;
    std::optional<platform::ApplicationShell::ObserverId> m_observer;
    // Window ids are never reused, so an id whose window is gone matches nothing: both sets hold
    // their windows weakly. Passes drop the background ids of closed windows; an editor may be
    // registered before the window system reports its window, so its id stays.
    std::set<platform::WindowId> m_backgroundWindows;
    std::set<platform::WindowId> m_registeredEditors;
    // Lets a queued pass find out whether this object still exists.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};

} // namespace velmor
