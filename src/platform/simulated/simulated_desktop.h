#pragma once

#include "platform/scheduler.h"
#include "platform/services.h"
#include "platform/simulated/file_user_defaults.h"
#include "platform/simulated/scenario.h"
#include "platform/simulated/simulated_accessibility.h"
#include "platform/simulated/simulated_application_shell.h"
#include "platform/simulated/simulated_main_thread.h"
#include "platform/simulated/simulated_menu_bar.h"
#include "platform/simulated/simulated_mouse_events.h"
#include "platform/simulated/simulated_preference_domains.h"
#include "platform/simulated/simulated_screens.h"
#include "platform/simulated/simulated_status_bar.h"
#include "platform/simulated/simulated_workspace.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace velmor::platform {

class SimulatedHost;

// The simulated Mac: one world behind every platform interface, loaded from a scenario, with a
// home folder of its own and the controls a person (or a test) has over it. It runs on the given
// scheduler, through a main thread that measures stalls; Accessibility calls spend their cost
// through `spendTime` (the virtual clock's advance; empty with real time).
class SimulatedDesktop final {
public:
    // How often the world looks for edits of the control center's domain from other processes.
    static constexpr double editPollInterval = 0.1;

    struct SnapshotItem {
        MenuBarEntry::Kind kind = MenuBarEntry::Kind::Extra;
        // Bundle identifier, or the app's name for an app without one.
        QString owner;
        // The extra's name or the status item's autosave name.
        QString name;
        QString key;
        QString title;
        QRectF frame;
    };

    // The menu bar as a person sees it.
    struct Snapshot {
        // On-screen items, left to right, the system's own items last.
        QList<SnapshotItem> items;
        // Items that take space but lie left of the visible part, left to right.
        QList<SnapshotItem> offScreen;
        // Running apps whose items the control center hides (their row is off).
        QStringList hiddenApps;
    };

    // Fills in the host's system version, memory and home (and its temporary folder, when it names
    // none). Throws SystemError when the home folder cannot be prepared or the scenario clashes
    // with the host (an app with this process's identifier).
    SimulatedDesktop(const Scenario& scenario, const QString& home, Scheduler& scheduler,
                     std::function<void(Duration)> spendTime, SimulatedHost& host);
    ~SimulatedDesktop();
    SimulatedDesktop(const SimulatedDesktop&) = delete;
    SimulatedDesktop& operator=(const SimulatedDesktop&) = delete;

    Services services();
    SimulatedAccessibility& accessibility() { return m_accessibility; }
    SimulatedWorkspace& workspace() { return m_workspace; }
    SimulatedStatusBar& statusBar() { return m_statusBar; }
    SimulatedScreens& screens() { return m_screens; }
    SimulatedMouseEvents& mouseEvents() { return m_mouseEvents; }
    SimulatedApplicationShell& applicationShell() { return m_shell; }
    FileUserDefaults& userDefaults() { return m_userDefaults; }
    SimulatedPreferenceDomains& domains() { return m_domains; }
    SimulatedMenuBar& menuBar() { return m_menuBar; }
    // The scheduler of every service, which measures how long one task waits on other processes.
    SimulatedMainThread& mainThread() { return m_mainThread; }
    const QString& home() const { return m_home; }

    void setAccessibilityTrusted(bool trusted) { m_accessibility.setTrusted(trusted); }
    // Also tells the `defaults` stand-in, through the switches file of the home.
    void setFullDiskAccess(bool granted);
    bool hasFullDiskAccess() const { return m_fullDiskAccess; }
    // While the display sleeps the menu bar is not laid out (as also early at login).
    void setDisplayAsleep(bool asleep) { m_menuBar.setLaidOut(!asleep); }
    // Launches or quits a scenario app by bundle identifier (or name, for an app without one).
    // False when there is no such app or it already is in that state.
    bool launch(const QString& owner);
    bool quit(const QString& owner);

    // A person clicks one of this app's items, found by its autosave name (or "Item-N").
    bool click(const QString& itemName, bool rightButton = false);
    // A person Command-drags the on-screen item with this preferred-position key and drops it at
    // `target` (screen coordinates). False when there is no such item on screen.
    bool commandDrag(const QString& key, QPointF target);
    // An app gives the extra with this preferred-position key a new title, as a clock does every
    // minute. False when no such extra is shown.
    bool retitle(const QString& key, const QString& title);

    // The app's process ended without shutting down (killed, crashed): what the system held for
    // it (mouse monitors, launch observers, an open menu, its windows) goes away. Its status items
    // leave the bar as the objects that own them are destroyed.
    void ownProcessEnded();

    Snapshot snapshot();
    // Looks for edits of the control center's domain now; the world also does this before every
    // query that depends on it and every `editPollInterval`.
    void noticeEdits();

private:
    void addSystemApplications();
    void addOwnApplication();
    void addScenarioApplications();
    void showSystemItems(const SimulatedApplication& controlCenter);
    // What the system does for many apps at once it does with one read and one write of each
    // domain and one layout of the bar.
    void showExtras(const std::vector<SimulatedApplication*>& applications);
    void hideExtras(const std::vector<SimulatedApplication*>& applications);
    void ensureRows(const std::vector<SimulatedApplication*>& applications);
    void honour(const QList<TrackedRow>& rows);
    bool startApplication(SimulatedApplication& application, bool notify);
    void writeSystemSwitches();
    void schedule(Duration delay, std::function<void()> work);
    SimulatedApplication* scenarioApplication(const QString& owner);
    SnapshotItem snapshotItem(const MenuBarEntry& entry) const;

    SimulatedMainThread m_mainThread;
    SimulatedHost& m_host;
    QString m_home;
    Scenario m_scenario;
    SimulatedPreferenceDomains m_domains;
    SimulatedMenuBar m_menuBar;
    SimulatedWorkspace m_workspace;
    SimulatedMouseEvents m_mouseEvents;
    SimulatedAccessibility m_accessibility;
    SimulatedStatusBar m_statusBar;
    SimulatedScreens m_screens;
    SimulatedApplicationShell m_shell;
    FileUserDefaults m_userDefaults;
    bool m_fullDiskAccess = true;
    TaskHandle m_poll;
    std::vector<TaskHandle> m_tasks;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace velmor::platform
