#pragma once

#include "tray/tray_arrangement_preferences.h"
#include "tray/tray_reveal_preferences.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>

#include <functional>
#include <memory>

namespace velmor {
namespace platform {
struct Services;
}

class NativeTrayController;
class TrayAutoHide;
class TrayBelowBar;
class TrayDisplayLayouts;
class TrayModel;
class TrayOwnItemsKeeper;
class TrayPlaceKeeper;
class TrayPointerReveal;
class TraySearch;

// The application delegate: joins the tray model and the native tray controller in both
// directions, copies the controller's state into the model, reads the icons' sections back from
// the screen in marker mode, and shuts the controller down when the application terminates. It
// decides nothing about how icons are hidden.
class TrayDelegate final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* autosavePrefix = "VelmorTray.Native";
    static constexpr const char* trustChangedMessage =
        "Accessibility access changed. Tray restored its visibility changes.";
    static constexpr double arrangeRefreshDelay = 0.4;

    explicit TrayDelegate(const platform::Services& services, QObject* parent = nullptr);
    ~TrayDelegate() override;

    // Creates the one controller, joins it with the model and starts the model. Later calls do
    // nothing. `openSearch` is what the chevron's menu offers as "Search Menu Bar…".
    void configure(TrayModel* model, std::function<void()> openSettings,
                   std::function<void()> openSearch = {});
    void updateState();
    void readGroups();

    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    // Closing the settings window leaves the app running in the menu bar.
    static bool applicationShouldTerminateAfterLastWindowClosed() { return false; }

    NativeTrayController* controller() const { return m_controller.get(); }
    // The bar below the menu bar; null before `configure` and where the system offers no panel.
    TrayBelowBar* belowBar() const { return m_belowBar.get(); }
    // The search of every menu bar item; null before `configure`.
    TraySearch* search() const { return m_search.get(); }
    TrayAutoHide* autoHide() const { return m_autoHide.get(); }
    // What keeps the app's own items in sight; null before `configure`.
    TrayOwnItemsKeeper* ownItems() const { return m_ownItems.get(); }
    TrayRevealPreferences& revealPreferences() { return m_revealPreferences; }
    TrayArrangementPreferences& arrangementPreferences() { return m_arrangementPreferences; }
    // The layouts saved for display setups; null before `configure`.
    TrayDisplayLayouts* displayLayouts() const { return m_displayLayouts.get(); }
    // Marker mode: what keeps a relaunched app's icons in their places; null before `configure`.
    TrayPlaceKeeper* placeKeeper() const { return m_placeKeeper.get(); }

private:
    void installHooks();
    void refreshItemsAroundRequests(bool wasBusy, bool wasConfigured);
    void rescanShownApps();
    // The running apps among `bundleIDs` that are not known to show no icon; with `unscanned`,
    // only those the model has no items for.
    QSet<qint32> processesOf(const QSet<QString>& bundleIDs, bool unscanned);
    void rescan(const QSet<qint32>& processes);
    // Per-app mode, with the switch on: the saved grouping, applied once the start has settled.
    void applyAtStart();

    const platform::Services& m_services;
    TrayRevealPreferences m_revealPreferences;
    TrayArrangementPreferences m_arrangementPreferences;
    std::unique_ptr<NativeTrayController> m_controller;
    // These go before the controller they follow.
    std::unique_ptr<TrayBelowBar> m_belowBar;
    std::unique_ptr<TraySearch> m_search;
    std::unique_ptr<TrayAutoHide> m_autoHide;
    std::unique_ptr<TrayPointerReveal> m_pointerReveal;
    std::unique_ptr<TrayOwnItemsKeeper> m_ownItems;
    std::unique_ptr<TrayDisplayLayouts> m_displayLayouts;
    std::unique_ptr<TrayPlaceKeeper> m_placeKeeper;
    QPointer<TrayModel> m_model;
    // The activation generation of the request whose start was last looked at.
    quint64 m_scannedGeneration = 0;
    // Apps whose icons requests have hidden since they were last scanned: shown again, their
    // icons are new Accessibility elements.
    QSet<QString> m_hiddenSinceScan;
    // Processes a scan found without icons; they are not looked at again around requests.
    QSet<qint32> m_iconless;
};

} // namespace velmor
