#pragma once

#include "platform/scheduler.h"
#include "platform/services.h"
#include "simulated_mac/defaults_run_log.h"
#include "simulated_mac/file_user_defaults.h"
#include "simulated_mac/scenario.h"
#include "simulated_mac/simulated_accessibility.h"
#include "simulated_mac/simulated_appearance.h"
#include "simulated_mac/simulated_application_shell.h"
#include "simulated_mac/simulated_below_bar_panel.h"
#include "simulated_mac/simulated_global_shortcuts.h"
#include "simulated_mac/simulated_login_items.h"
#include "simulated_mac/simulated_main_thread.h"
#include "simulated_mac/simulated_menu_bar.h"
#include "simulated_mac/simulated_mouse_events.h"
#include "simulated_mac/simulated_preference_domains.h"
#include "simulated_mac/simulated_screens.h"
#include "simulated_mac/simulated_status_bar.h"
#include "simulated_mac/simulated_workspace.h"

#include <QMap>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <memory>
#include <vector>

class QFileSystemWatcher;

namespace velmor::simulated_mac {

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

    // The panes of the System Settings stand-in that the app's links open.
    enum class SettingsPane { Accessibility, FullDiskAccess, LoginItems };

    // One row of a privacy pane's list of apps.
    struct PrivacyEntry {
        QString name;
        // The app bundle's path ("/Applications/Name.app").
        QString bundlePath;
        bool enabled = false;
        // This app itself: its switch is the permission the app gets.
        bool own = false;
        // The app's bundle identifier (or name); empty for a bundle the world does not know.
        QString owner;
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

    // One display's menu bar as a person sees it.
    struct DisplayBar {
        QString name;
        bool main = false;
        // The bar that holds the items' windows: the one a person last worked on.
        bool inUse = false;
        // On-screen items, left to right, the system's own items last.
        QList<SnapshotItem> items;
        // Items that take space but no one can see on this bar (behind the housing, under the
        // menus, past the edge), left to right.
        QList<SnapshotItem> offScreen;
        // Screen coordinates.
        QRectF frame;
        // The camera housing on this bar, if any (screen coordinates).
        std::optional<QRectF> housing;
    };

    // The menu another app's extra opened (a click on it, or an Accessibility press).
    struct ExtraMenu {
        quint64 entryId = 0;
        qint32 pid = 0;
        // The extra's preferred-position key and its app's bundle identifier (or name).
        QString key;
        QString owner;
        platform::Menu items;
    };

    // Fills in the host's system version, memory and home (and its temporary folder, when it names
    // none). Throws SystemError when the home folder cannot be prepared or the scenario clashes
    // with the host (an app with this process's identifier).
    SimulatedDesktop(const Scenario& scenario, const QString& home, platform::Scheduler& scheduler,
                     std::function<void(platform::Duration)> spendTime, SimulatedHost& host);
    ~SimulatedDesktop();
    SimulatedDesktop(const SimulatedDesktop&) = delete;
    SimulatedDesktop& operator=(const SimulatedDesktop&) = delete;

    platform::Services services();
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
    SimulatedAppearance& appearance() { return m_appearance; }
    SimulatedLoginItems& loginItems() { return m_loginItems; }
    SimulatedBelowBarPanel& belowBarPanel() { return m_belowBarPanel; }
    SimulatedGlobalShortcuts& globalShortcuts() { return m_globalShortcuts; }
    DefaultsRunLog& defaultsLog() { return m_defaultsLog; }
    const Scenario& scenario() const { return m_scenario; }
    const SimulatedHost& host() const { return m_host; }
    const QString& home() const { return m_home; }
    // The time the menu bar's clock shows.
    QDateTime currentDate() const { return m_mainThread.currentDate(); }
    platform::Scheduler& scheduler() { return m_mainThread; }

    // Anything a person would see changed (the bar, an open menu, apps, permissions, the
    // appearance, System Settings, the app's windows or menus). Observers are told synchronously;
    // whoever draws gathers a burst into one redraw.
    using ObserverId = quint64;
    ObserverId observe(std::function<void()> handler);
    void removeObserver(ObserverId observer);

    // With real time, the world hears of other processes' edits from the file system instead of
    // looking every `editPollInterval`, so an idle desktop does not wake.
    void watchFilesInsteadOfPolling();

    // The app whose menus the menu bar shows: this app once it activates, else the one a person
    // last brought forward (Finder at the start).
    qint32 frontmostPid() const { return m_frontmost; }
    // A person brings a running app forward (a click on its Dock icon).
    bool activate(const QString& owner);
    // The frontmost app's menus: what the app declared inside the system's standard items (About,
    // Hide, Quit, Help), or a plain set for other apps.
    platform::MainMenu frontmostMenu();
    // The standard About panel an application menu's first item opens.
    std::optional<QString> aboutPanelOwner() const { return m_aboutOwner; }
    void showAbout(const QString& owner);
    void closeAbout();

    // The System Settings stand-in: opened by the "x-apple.systempreferences:" links the app
    // opens, or by a person.
    std::optional<SettingsPane> openSettingsPane() const { return m_settingsPane; }
    void openSystemSettings(SettingsPane pane);
    void closeSystemSettings();
    QList<PrivacyEntry> privacyEntries(SettingsPane pane) const;
    // A switch of a privacy pane's list; false when the pane lists no such app.
    bool setPrivacySwitch(SettingsPane pane, const QString& bundlePath, bool on);
    // Adds an app bundle to Full Disk Access, switched on, as dropping it on the list or choosing
    // it after "+" does. False for a path that is no app bundle, or one already listed.
    bool addToFullDiskAccess(const QString& bundlePath);
    // The app bundles a person can choose after "+": this app and the scenario's apps.
    QList<PrivacyEntry> applicationBundles() const;
    static std::optional<SettingsPane> paneForUrl(const QUrl& url);

    void setAccessibilityTrusted(bool trusted);
    // Also tells the `defaults` stand-in, through the switches file of the home.
    void setFullDiskAccess(bool granted);
    bool hasFullDiskAccess() const { return m_fullDiskAccess; }
    // While the display sleeps the menu bar is not laid out (as also early at login).
    void setDisplayAsleep(bool asleep) { m_menuBar.setLaidOut(!asleep); }
    // Launches or quits a scenario app by bundle identifier (or name, for an app without one).
    // False when there is no such app or it already is in that state.
    bool launch(const QString& owner);
    bool quit(const QString& owner);

    // A person clicks one of this app's items, found by its autosave name (or "Item-N"), on the
    // bar in use, or on the bar of the display at `display` (which then becomes the bar in use).
    bool click(const QString& itemName, bool rightButton = false, std::optional<int> display = std::nullopt);
    // A person Command-drags the on-screen item with this preferred-position key and drops it at
    // `target` (screen coordinates). False when there is no such item on screen.
    bool commandDrag(const QString& key, QPointF target);
    // An app gives the extra with this preferred-position key a new title, as a clock does every
    // minute. False when no such extra is shown.
    bool retitle(const QString& key, const QString& title);

    // A person clicks another app's extra in the bar: its menu opens. False when the extra is not
    // on screen (pushed off the bar, or behind the camera housing).
    bool clickExtra(const QString& key);
    // A person moves the pointer to a point (screen coordinates): the mouse monitors see it move,
    // the app's own ones when it lands on the app's items or its bar below the menu bar.
    void movePointer(QPointF point);
    // A person clicks at a point of the menu bar (screen coordinates): an item there is clicked as
    // `click` and `clickExtra` do; elsewhere the click goes to the system, and the global mouse
    // monitors see it. An open menu of another app closes. False when the point is not on the bar.
    bool clickBar(QPointF point);
    // A person presses a key combination (the keyboard of the window that shows the Mac): true
    // when one of the app's global shortcuts takes it.
    bool pressKeys(const platform::KeyCombination& combination);
    // The menu an extra opened, until an item is chosen or it closes.
    const std::optional<ExtraMenu>& extraMenu() const { return m_extraMenu; }
    // Chooses the item at this index and closes the menu; false for a separator, a disabled item
    // or no item there.
    bool chooseExtraMenuItem(int index);
    void closeExtraMenu();

    // A person changes the displays while the Mac runs. The main display holds the menu bar and
    // the origin of the coordinates; the others keep their places around it. False for an index
    // that names no display, for removing the last one, and for making the main one main.
    bool removeDisplay(int index);
    bool makeMainDisplay(int index);
    // A display is connected; it joins the others at the end. False when its frame overlaps
    // another display, or for a second built-in display.
    bool addDisplay(const ScenarioScreen& screen);
    // Every display's bar, in the order of the screens; with "Displays have separate Spaces" off
    // only the main display has one.
    QList<DisplayBar> displayBars();
    // The display whose bar is in use, by its index among the screens.
    int barDisplay() const { return m_barDisplay; }
    // The bar in use moves to the display at `index` (a person clicks on that display's bar);
    // false for no such display or one without a bar.
    bool useBarOf(int index);

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
    void schedule(platform::Duration delay, std::function<void()> work);
    SimulatedApplication* scenarioApplication(const QString& owner);
    SnapshotItem snapshotItem(const MenuBarEntry& entry) const;
    void openExtraMenu(quint64 entryId);
    void setFrontmost(qint32 pid);
    // Menu observers hear of a menu that opened or closed, on the main thread, as the Mac posts it.
    void tellMenu(qint32 pid, bool open);
    void setDisplays(QList<SimulatedScreens::Display> displays, int barDisplay);
    // The display whose bar covers this point (screen coordinates).
    std::optional<int> barDisplayAt(QPointF point) const;
    SnapshotItem snapshotItem(const MenuBarEntry& entry, const QRectF& frame) const;
    void changed();
    void shellChanged(SimulatedApplicationShell::Change change);
    bool openUrl(const QUrl& url);
    QString ownBundlePath() const;

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
    SimulatedAppearance m_appearance;
    SimulatedLoginItems m_loginItems;
    SimulatedBelowBarPanel m_belowBarPanel;
    SimulatedGlobalShortcuts m_globalShortcuts;
    std::optional<ExtraMenu> m_extraMenu;
    DefaultsRunLog m_defaultsLog;
    bool m_fullDiskAccess = true;
    // Whether this app appears in the Full Disk Access list at all (its switch is the grant).
    bool m_fullDiskAccessListed = true;
    // The same for the Accessibility list: an app is put there by its first request for trust.
    bool m_accessibilityListed = true;
    QList<PrivacyEntry> m_otherFullDiskAccess;
    std::optional<SettingsPane> m_settingsPane;
    std::optional<QString> m_aboutOwner;
    qint32 m_frontmost = 0;
    int m_barDisplay = 0;
    QMap<ObserverId, std::function<void()>> m_observers;
    ObserverId m_lastObserver = 0;
    std::unique_ptr<QFileSystemWatcher> m_fileWatch;
    platform::TaskHandle m_poll;
    std::vector<platform::TaskHandle> m_tasks;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace velmor::simulated_mac
