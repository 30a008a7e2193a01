#pragma once

#include "platform/scheduler.h"
#include "tray/grouped_app.h"
#include "tray/tray_app_grouping.h"
#include "tray/tray_discovery.h"
#include "tray/tray_item.h"
#include "tray/tray_layout.h"
#include "tray/tray_out_of_sight.h"
#include "tray/tray_section_map.h"
#include "tray_visibility/tray_app_catalog.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QRectF>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

// The tray's one observable model, shared by the menu bar controller and the settings window:
// the discovered extras, the layout, the user's groups and sections, the organizer's rows and a
// mirror of the controller's state. It loads everything from the user defaults, writes every
// change back, refreshes on a timer, and reaches the controller only through hooks that the
// application delegate installs. Main thread only.
class TrayModel final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QList<velmor::TrayItem> items READ items NOTIFY itemsChanged)
    Q_PROPERTY(bool nativeExpanded READ nativeExpanded NOTIFY nativeExpandedChanged)
    Q_PROPERTY(bool nativeManaging READ nativeManaging NOTIFY nativeManagingChanged)
    Q_PROPERTY(bool nativeConfigured READ nativeConfigured NOTIFY nativeConfiguredChanged)
    Q_PROPERTY(QString nativeWarning READ nativeWarningText NOTIFY nativeWarningChanged)
    Q_PROPERTY(velmor::TraySectionMap nativeGroups READ nativeGroups NOTIFY nativeGroupsChanged)
    Q_PROPERTY(bool nativePerApp READ nativePerApp NOTIFY nativePerAppChanged)
    Q_PROPERTY(bool nativeBusy READ nativeBusy NOTIFY nativeBusyChanged)
    Q_PROPERTY(velmor::TraySectionMap appGroups READ appGroups NOTIFY appGroupsChanged)
    Q_PROPERTY(QList<velmor::GroupedApp> groupedApps READ groupedApps NOTIFY groupedAppsChanged)
    Q_PROPERTY(velmor::TrayAppGrouping namedGrouping READ namedGrouping NOTIFY namedGroupingChanged)
    Q_PROPERTY(QSet<QUuid> expandedNamedGroups READ expandedNamedGroups NOTIFY expandedNamedGroupsChanged)
    Q_PROPERTY(bool permission READ permission NOTIFY permissionChanged)
    Q_PROPERTY(QString message READ messageText NOTIFY messageChanged)
    Q_PROPERTY(velmor::TrayLayout layout READ layout NOTIFY layoutChanged)
    Q_PROPERTY(bool settingsVisible READ settingsVisible NOTIFY settingsVisibleChanged)
    Q_PROPERTY(velmor::TrayOutOfSight outOfSight READ outOfSight NOTIFY outOfSightChanged)
    Q_PROPERTY(QString ownItemsNotice READ ownItemsNotice NOTIFY ownItemsChanged)
    Q_PROPERTY(QString ownItemsOffer READ ownItemsOffer NOTIFY ownItemsChanged)

public:
    // Stored records (UTF-8 JSON data in the user defaults unless noted).
    static constexpr const char* layoutKey = "tray.layout.v1";
    static constexpr const char* legacySelectionKey = "tray.selection"; // array of strings, read only
    static constexpr const char* namedGroupsKey = "tray.namedGroups.v1";
    static constexpr const char* appGroupsKey = "tray.native.appGroups.v2";
    static constexpr const char* nativeGroupsKey = "tray.native.groups";
    static constexpr const char* catalogKey = "tray.appCatalog.v1";

    static constexpr const char* groupDestinationPrefix = "group:";
    static constexpr const char* settingsWindowTitle = "Velmor Tray";
    static constexpr const char* privacySettingsUrl =
        "x-apple.systempreferences:com.apple.preference.security?Privacy_Accessibility";
    static constexpr double refreshIntervalSeconds = 2.0;
    // An app seen for the first time is looked at this long after it launched, once it has had a
    // moment to make its icons.
    static constexpr double newAppLookDelay = 0.4;

    // Actions the application delegate installs to reach the controller; all absent at creation.
    struct Hooks {
        std::function<void(const QUuid&)> toggleNamedGroup;
        std::function<void()> appGroupsChanged;
        // Apps seen for the first time were placed where the person wants new apps: followed,
        // but applied only where grouping is in force.
        std::function<void()> appGroupsLearned;
        std::function<void()> organizeAutomatically;
        std::function<void()> restorePreviousOrder;
        std::function<void()> revealNative;
        std::function<void()> toggleNative;
        std::function<void()> arrangeNative;
        std::function<void()> finishNative;
        std::function<void()> readNativeGroups;
        // The settings window: show the icons no one can see in the bar below the menu bar.
        std::function<void()> showBelowBar;
        // Marker mode: the offer to make the nearest always visible icon expandable, so the
        // chevron fits again.
        std::function<void()> makeRoomForChevron;
    };

    explicit TrayModel(const platform::Services& services, QObject* parent = nullptr);
    ~TrayModel() override;

    // The per-app section map built once from the per-item map of earlier versions: each app
    // lands in the most visible section any of its extras had (the first seen on a tie). Apple
    // apps, the app itself and ids without a bundle part are left out.
    static TraySectionMap migrateAppGroups(const TraySectionMap& itemSections, const QString& ownBundleID);

    Hooks& hooks() { return m_hooks; }

    // Refreshes once, then every two seconds follows the settings window and the Accessibility
    // permission. Called once, after the hooks are installed.
    void start();
    void refresh();
    // The extras of these processes again, and the layout, without the organizer's rows or the
    // hooks: what the controller needs around a request, for the icons it hides (every one must be
    // among the items it checks) and those it shows again (new Accessibility elements). Returns
    // what the pass found.
    TrayDiscovery::Pass rescanProcesses(const QSet<qint32>& processes);
    void updatePreviewVisibility();
    // Reads the items' frames again and judges which of them are out of sight: every refresh does
    // this, and so does a change of the displays.
    void updateOutOfSight();
    // The same, reading again only the frames of these processes' items and of those judged out
    // of sight, the rest as last read: what a reveal or a hide changes, and no more, so a slow app
    // the click does not concern never holds it up. The controller's side calls it after every
    // reveal and hide, in a task of its own after the rescan that follows them.
    void updateOutOfSight(const QSet<qint32>& processes);

    // A section's raw value, or "group:" and the group's canonical UUID.
    QString destination(const GroupedApp& app) const;
    void setDestination(const GroupedApp& app, const QString& destination);
    void saveNamedGroup(const std::optional<QUuid>& id, const QString& name, const QString& symbol);
    void deleteNamedGroup(const QUuid& id);
    // Takes a saved arrangement as the one in force, written to the defaults like any edit; the
    // caller applies it (the hooks are not called).
    void adoptGrouping(const TraySectionMap& appGroups, const TrayAppGrouping& grouping);
    // A section chosen by a command-drag in the menu bar; group members are placed by their group.
    void applyManualNativeGroup(const QString& bundleID, TraySection section);
    void openPrivacySettings();

    // Published state.
    const QList<TrayItem>& items() const { return m_items; }
    bool nativeExpanded() const { return m_nativeExpanded; }
    bool nativeManaging() const { return m_nativeManaging; }
    bool nativeConfigured() const { return m_nativeConfigured; }
    const std::optional<QString>& nativeWarning() const { return m_nativeWarning; }
    const TraySectionMap& nativeGroups() const { return m_nativeGroups; }
    bool nativePerApp() const { return m_nativePerApp; }
    bool nativeBusy() const { return m_nativeBusy; }
    const TraySectionMap& appGroups() const { return m_appGroups; }
    const QList<GroupedApp>& groupedApps() const { return m_groupedApps; }
    const TrayAppGrouping& namedGrouping() const { return m_namedGrouping; }
    const QSet<QUuid>& expandedNamedGroups() const { return m_expandedNamedGroups; }
    bool permission() const { return m_permission; }
    const std::optional<QString>& message() const { return m_message; }
    const TrayLayout& layout() const { return m_layout; }
    bool settingsVisible() const { return m_settingsVisible; }
    const TrayOutOfSight& outOfSight() const { return m_outOfSight; }
    // The frames (Accessibility coordinates) the last judgement read, by item id: the items the
    // bar shows now or keeps out of sight; hidden apps' items have none.
    const QHash<QString, QRectF>& itemFrames() const { return m_itemFrames; }
    // Where the frontmost app's menus ended when the items were last judged (x); absent when it
    // could not be read.
    std::optional<double> menusEnd() const { return m_menusEnd; }
    // What the organizer says when the app's own items cannot be seen, and the action it offers
    // (both empty while they can).
    const QString& ownItemsNotice() const { return m_ownItemsNotice; }
    const QString& ownItemsOffer() const { return m_ownItemsOffer; }
    void setOwnItems(const QString& notice, const QString& offer);
    const TrayAppCatalog& catalog() const { return m_catalog; }
    // The optional texts as properties: empty when absent.
    QString nativeWarningText() const { return m_nativeWarning.value_or(QString()); }
    QString messageText() const { return m_message.value_or(QString()); }

    // Mirror of the controller; written only by the application delegate.
    void setNativeExpanded(bool value);
    void setNativeManaging(bool value);
    void setNativeConfigured(bool value);
    void setNativeWarning(const std::optional<QString>& value);
    void setNativePerApp(bool value);
    void setNativeBusy(bool value);
    void setExpandedNamedGroups(const QSet<QUuid>& value);
    // Every assignment is written to the defaults.
    void setNativeGroups(const TraySectionMap& value);
    // The settings window's status line.
    void setMessage(const std::optional<QString>& value);

Q_SIGNALS:
    void itemsChanged();
    void nativeExpandedChanged();
    void nativeManagingChanged();
    void nativeConfiguredChanged();
    void nativeWarningChanged();
    void nativeGroupsChanged();
    void nativePerAppChanged();
    void nativeBusyChanged();
    void appGroupsChanged();
    void groupedAppsChanged();
    void namedGroupingChanged();
    void expandedNamedGroupsChanged();
    void permissionChanged();
    void messageChanged();
    void layoutChanged();
    void settingsVisibleChanged();
    void outOfSightChanged();
    // After every judgement of what is out of sight, changed or not.
    void outOfSightJudged();
    void ownItemsChanged();

private:
    void load();
    void tick();
    // Steps of a refresh: the scan (returns what it found; `items` also keeps hidden apps' last
    // items), the organizer's rows, the layout.
    QList<TrayItem> scanItems();
    void refreshCatalog(const QList<TrayItem>& actionable);
    void reconcileLayout();
    void saveGrouping();
    // Marks the rows of apps seen for the first time, and forgets them once the organizer that
    // showed them is closed.
    void markNewApps();
    // Writes the record unless the defaults already hold exactly that.
    void writeJson(const char* key, const std::optional<Json>& value);
    void setPermission(bool value);
    // Marker mode hides some items on purpose, by pushing them off the bar: those are not lost.
    bool hiddenOnPurpose(const TrayItem& item) const;
    // Judges with fresh frames for the items `reread` accepts, the last ones for the others.
    void judgeOutOfSight(const std::function<bool(const TrayItem&)>& reread);
    QString ownBundleID() const;
    const TrayNamedGroup* group(const QUuid& id) const;

    // Published properties notify only when their value changes.
    template <typename T> void assign(T& member, const T& value, void (TrayModel::*changed)())
    {
        if (member == value)
            return;
        member = value;
        Q_EMIT(this->*changed)();
    }

    const platform::Services& m_services;
    Hooks m_hooks;
    platform::TaskHandle m_timer;

    QList<TrayItem> m_items;
    bool m_nativeExpanded = true;
    bool m_nativeManaging = false;
    bool m_nativeConfigured = false;
    std::optional<QString> m_nativeWarning;
    TraySectionMap m_nativeGroups;
    bool m_nativePerApp = false;
    bool m_nativeBusy = false;
    TraySectionMap m_appGroups;
    QList<GroupedApp> m_groupedApps;
    TrayAppGrouping m_namedGrouping;
    QSet<QUuid> m_expandedNamedGroups;
    bool m_permission = false;
    std::optional<QString> m_message;
    TrayLayout m_layout;
    bool m_settingsVisible = false;
    TrayOutOfSight m_outOfSight;
    QHash<QString, QRectF> m_itemFrames;
    std::optional<double> m_menusEnd;
    QString m_ownItemsNotice;
    QString m_ownItemsOffer;
    std::optional<quint64> m_screensObserver;
    std::optional<quint64> m_launchObserver;
    platform::TaskHandle m_newAppLook;
    TrayAppCatalog m_catalog;
    // Whether the catalog was stored before: on the first start every app is already there, and
    // none of them is new.
    bool m_catalogKnown = false;
    QSet<QString> m_newApps;
};

} // namespace velmor

Q_DECLARE_METATYPE(velmor::TrayItem)
Q_DECLARE_METATYPE(velmor::GroupedApp)
Q_DECLARE_METATYPE(velmor::TrayLayout)
Q_DECLARE_METATYPE(velmor::TrayAppGrouping)
Q_DECLARE_METATYPE(velmor::TraySectionMap)
Q_DECLARE_METATYPE(velmor::TrayOutOfSight)
