#pragma once

#include "platform/mouse_events.h"
#include "platform/scheduler.h"
#include "platform/workspace.h"
#include "tray/tray_app_grouping.h"
#include "tray/tray_item.h"
#include "tray/tray_section_map.h"

#include <QHash>
#include <QObject>
#include <QRectF>
#include <QSet>
#include <QString>
#include <QUuid>

#include <functional>
#include <memory>
#include <optional>
#include <variant>

namespace velmor {
namespace platform {
struct Services;
class StatusItem;
class UserDefaults;
} // namespace platform

class TrayGroupTarget;
class TrayPositionPreferences;
class TrayPreferenceVisibility;

// The app's own presence in the menu bar: the chevron item, the "H" marker and one button per
// named group. Up to macOS 26 it hides icons by stretching its two items so that the system pushes
// whatever lies left of them off screen (marker mode); from macOS 27 on it hides whole apps through
// the visibility library and arranges them through the menu bar's saved positions (per-app mode),
// confirming every change on screen. Main thread only; deferred work checks the activation
// generation (or the drag token) after every wait, so overtaken work ends without effect.
class NativeTrayController final : public QObject {
    Q_OBJECT

public:
    // Sentences shown to the user.
    static constexpr const char* arrangeWarning =
        "Arrange the H marker to the left of the chevron, then finish arranging.";
    static constexpr const char* invalidOrderWarning =
        "The H marker must be left of the chevron on the same menu bar. All regions are revealed.";
    static constexpr const char* reviewGroupsWarning =
        "Review your app groups, then choose Apply grouping. Your "
        "original macOS visibility settings are restored.";
    static constexpr const char* unsupportedWarning =
        "Grouping needs Accessibility access and a supported macOS "
        "version. Tray has released its visibility changes.";
    static constexpr const char* orderUpkeepPrefix = "Could not confirm icon order: ";
    static constexpr const char* organizeFailurePrefix = "Could not organize the bar: ";
    static constexpr const char* trustLostWarning =
        "Accessibility access changed. Tray restored your original visibility settings.";
    static constexpr const char* notUpdatedWarning =
        "macOS saved the groups but did not update the menu bar. Tray "
        "revealed all icons. Log out and back in, then apply grouping again.";

    // Labels and menu titles.
    static constexpr const char* accessibilityDescription = "Velmor Tray";
    static constexpr const char* chevronToolTip =
        "Velmor Tray — click to expand or collapse; right-click for settings";
    static constexpr const char* markerToolTip =
        "Velmor Tray: items left of H stay hidden. Command-drag to arrange.";
    static constexpr const char* markerTitle = "H";
    static constexpr const char* expandedSymbol = "chevron.left";
    static constexpr const char* collapsedSymbol = "chevron.right";
    static constexpr const char* settingsMenuTitle = "Settings…";
    static constexpr const char* arrangeMenuTitle = "Reveal all and arrange…";
    static constexpr const char* revealMenuTitle = "Reveal all";
    static constexpr const char* searchMenuTitle = "Search Menu Bar…";
    static constexpr const char* quitMenuTitle = "Quit Velmor Tray";
    static constexpr const char* groupShownTitle = "⌄";
    static constexpr const char* groupHiddenTitle = "›";
    static constexpr const char* groupShownToolTip = "expanded; click to collapse";
    static constexpr const char* groupHiddenToolTip = "collapsed; click to expand";
    static constexpr const char* groupToolTipSeparator = " — ";

    // Names and keys.
    static constexpr const char* regularSuffix = ".regular";
    static constexpr const char* hiddenSuffix = ".hidden";
    static constexpr const char* stateSuffix = ".state";
    static constexpr const char* automaticOrderSuffix = ".automaticOrder";
    static constexpr const char* configuredEntry = "configured";
    static constexpr const char* expandedEntry = "expanded";
    static constexpr const char* groupAutosavePrefix = "VelmorTray.Group.";
    static constexpr const char* statusKeyPrefix = "status:";
    static constexpr const char* statusKeySeparator = "::";

    // Lengths and timings.
    static constexpr double compactLength = 26;
    static constexpr double stretchedLength = 10000;
    static constexpr double groupButtonLength = 38;
    // Per-app mode: where the app's own items go when the system has no place for them yet: at the
    // right end of the bar, next to the system's items (the chevron first, then the marker, then
    // the group buttons, each one step further left), not at the left end where a new item
    // appears and a camera housing or long menus swallow it.
    static constexpr double ownItemsPositionStep = 1;
    static constexpr double launchRestoreDelay = 0.4;
    // While the bar is not laid out yet the launch check looks again every half second, for at
    // most a minute: long enough for a login that draws the bar late or a display that wakes soon,
    // short enough that a bar that never appears ends in a clear warning; each look reads two
    // window frames of this process and messages no other app.
    static constexpr double launchRestoreRetryInterval = 0.5;
    static constexpr double launchRestoreLimit = 60;
    static constexpr double confirmationDelay = 0.4;
    static constexpr int confirmationAttempts = 4;
    static constexpr double chevronReloadDelay = 0.2;
    static constexpr double dropFirstDelay = 0.35;
    static constexpr double dropSecondDelay = 0.2;
    static constexpr double dragQuietPeriod = 0.8;
    static constexpr double dragThreshold = 4.0;
    static constexpr int perAppMajorVersion = 27;

    // The command-drag in progress.
    struct ManualDrag {
        TrayItem item;
        QString bundle;
        QRectF start;
        QRectF boundary;
        QPointF pointer;
        quint64 generation = 0;
        bool sawDrag = false;
    };

    NativeTrayController(const platform::Services& services, const QString& autosavePrefix,
                         platform::UserDefaults& defaults, std::function<void()> onChange,
                         std::function<void()> openSettings, std::function<void()> quit,
                         QObject* parent = nullptr);
    ~NativeTrayController() override;

    // State.
    bool expanded() const { return m_expanded; }
    bool managing() const { return m_managing; }
    bool configured() const { return m_configured; }
    bool busy() const { return m_busy; }
    const std::optional<QString>& warning() const { return m_warning; }
    const QSet<QUuid>& expandedNamedGroups() const { return m_expandedNamedGroups; }
    int osMajor() const { return m_osMajor; }
    bool perAppMode() const { return m_osMajor >= perAppMajorVersion; }
    quint64 activationGeneration() const { return m_activationGeneration; }
    // Per-app mode: the apps whose icons the confirmed state hides (none unless configured), and
    // those the latest request hides in the end and, while positions take effect, at first.
    QSet<QString> hiddenBundleIDs() const;
    const QSet<QString>& requestedHidden() const { return m_requestedHidden; }
    const QSet<QString>& requestedFirstPhaseHidden() const { return m_requestedFirstPhaseHidden; }
    const std::optional<ManualDrag>& manualDrag() const { return m_manualDrag; }

    // Wiring by the application delegate.
    void setManualDragItems(std::function<QList<TrayItem>()> provider)
    {
        m_manualDragItems = std::move(provider);
    }
    void setOnManualGroupChange(std::function<void(const QString&, TraySection)> handler)
    {
        m_onManualGroupChange = std::move(handler);
    }
    void setNamedGrouping(const TrayAppGrouping& grouping) { m_namedGrouping = grouping; }
    void setAppGroupsWithoutApplying(const TraySectionMap& groups) { m_appGroups = groups; }
    // What "Search Menu Bar…" in the chevron's menu opens; the menu goes without it while unset.
    void setSearchAction(std::function<void()> action) { m_search = std::move(action); }

    // Chevron and marker.
    void toggle();
    void clicked();
    void showSettings();
    void arrange();
    void revealAction();
    void quitAction();
    void apply();
    void updateLabels();
    void beginManaging();
    bool endManaging();
    bool validOrder() const;
    // The section of an icon whose frame is given in Accessibility coordinates.
    std::optional<TraySection> classify(const QRectF& frame) const;
    static bool validCompactOrder(const QRectF& hidden, const QRectF& regular);
    static std::optional<TraySection> section(const QRectF& frame, const QRectF& hidden,
                                              const QRectF& regular);

    // Per-app visibility.
    void applyVisibility(bool expanded, const std::optional<QSet<QUuid>>& namedExpanded, bool arrange,
                         bool restoreOrder);
    void revealAll(const std::optional<QString>& message);
    // Hides again whatever a reveal shows (the expandable section, open groups, an app shown for a
    // moment): what hiding by itself does. False when nothing is revealed or a request is under
    // way; after "Reveal all" nothing counts as revealed.
    bool collapse();
    // Per-app mode: shows this one app's icons for a moment, the rest staying as they are, so an
    // always hidden item can be opened; the next collapse, toggle or Reveal all ends it. False
    // while grouping is not applied or a request is under way.
    bool peek(const QString& bundleID);
    const QSet<QString>& peeking() const { return m_peek; }
    // Whether anything a collapse would hide is shown now.
    bool revealing() const;
    // Per-app mode: the apps shown now that a collapse would hide.
    QSet<QString> revealedBundleIDs() const;
    void setAppGroups(const TraySectionMap& sections, const TrayAppGrouping& named, bool applyImmediately);
    // Re-creates the chevron item so the system reads its new position; `done` runs after the
    // short wait that follows.
    void reloadChevronPosition(std::function<void()> done);
    void shutdown();

    // Group buttons.
    void syncNamedItems();
    void updateNamedLabels();
    void toggleNamed(const QUuid& id);
    QStringList groupControlKeys() const;

    // Command-drag.
    void handleManualDrag(platform::MouseEventType type, bool command, QPointF point);
    void invalidateManualDrag();

    // Re-creates the app's own items (the chevron, and the group buttons in per-app mode) so the
    // system reads their positions again; `done` runs after the short wait that follows.
    void reloadOwnItems(std::function<void()> done);
    // Moves the chevron and the group buttons to the right end of the bar with the journalled
    // position edit, remembers the places in the app's own defaults as the system keeps them, and
    // re-creates the items so they take them; `done` runs once they have. The edit's sentence when
    // it failed (nothing then moves and `done` does not run).
    std::optional<QString> placeOwnItemsAtRightEnd(std::function<void()> done);
    // Marker mode: moves the chevron just right of the item with this preferred-position key, so
    // that item joins the expandable section and everything right of it stays always visible.
    std::optional<QString> placeChevronRightOf(const QString& key, std::function<void()> done);
    // The places the menu bar keeps now for other apps' items, by preferred-position key; empty
    // when its domain cannot be read.
    QHash<QString, double> otherItemsPlaces();
    // Gives back, with the journalled position edit, those of these places the menu bar forgot;
    // returns how many, or the edit's sentence when it failed.
    std::variant<int, QString> placeAgain(const QHash<QString, double>& places);
    // The preferred-position keys of the app's own items ("status:<owner>::<autosave name>"),
    // the chevron first.
    QString ownItemKey(const QString& autosaveName) const;

    // The app's status items, for the delegate and for tests.
    platform::StatusItem* chevronItem() const { return m_regularItem.get(); }
    platform::StatusItem* markerItem() const { return m_hiddenItem.get(); }
    platform::StatusItem* groupItem(const QUuid& id) const;

private:
    struct Request;

    // The constants above as text.
    static QString text(const char* literal) { return QString::fromUtf8(literal); }

    std::shared_ptr<platform::StatusItem> createChevronItem(const QString& autosaveName);
    // Makes one of the app's own items; in per-app mode it tells the system first where it goes,
    // unless the system already remembers a place for it. `rank` 0 is the rightmost.
    std::shared_ptr<platform::StatusItem> createOwnItem(double length, const QString& autosaveName, int rank);
    void startLaunchRestore(bool savedExpanded);
    void scheduleLaunchRestore(double delay, bool savedExpanded, platform::TimePoint giveUpAt,
                               quint64 generation);
    // Both own items have a usable frame: the system has laid out the bar.
    bool itemsLaidOut() const;
    void installLaunchObserver();
    void installMouseMonitors();
    TrayPreferenceVisibility& visibility();
    TrayPositionPreferences& positions();
    QString ownBundleID() const;
    QString chevronKey() const;
    QSet<QString> hidden(bool expanded, const QSet<QUuid>& named) const;
    QSet<QString> known() const;
    QSet<QString> running() const;
    bool automaticOrder() const;
    void setAutomaticOrder(bool value);
    void complete(const std::shared_ptr<Request>& request, const std::optional<QString>& error);
    void confirm(const std::shared_ptr<Request>& request);
    void confirmAttempt(const std::shared_ptr<Request>& request, int attempt);
    void succeed(const std::shared_ptr<Request>& request);
    // Runs `step` after `delay` unless the controller is gone or the request was overtaken.
    void afterRequest(double delay, const std::shared_ptr<Request>& request, std::function<void()> step);
    bool trusted() const;
    void recordCollapse();

    std::optional<QRectF> screenFrame(const TrayItem& item) const;
    void evaluateDrop(const ManualDrag& drag, quint64 token, QPointF pointer);
    void finishDrop(const ManualDrag& drag, const QRectF& f1, const QRectF& c1, const QRectF& f2,
                    const QRectF& c2, QPointF pointer);

    const platform::Services& m_services;

    bool m_expanded = true;
    bool m_managing = false;
    bool m_configured = false;
    std::optional<QString> m_warning;
    std::function<QList<TrayItem>()> m_manualDragItems = [] { return QList<TrayItem>{}; };
    std::function<void(const QString&, TraySection)> m_onManualGroupChange;
    std::function<void()> m_onChange;
    std::function<void()> m_openSettings;
    std::function<void()> m_quit;
    std::function<void()> m_search;
    QSet<QString> m_peek;
    std::shared_ptr<platform::StatusItem> m_hiddenItem;
    std::shared_ptr<platform::StatusItem> m_regularItem;
    bool m_previousExpanded = true;
    platform::UserDefaults& m_defaults;
    QString m_autosavePrefix;
    QString m_preferenceKey;
    platform::TaskHandle m_restorationTask;
    int m_osMajor = 0;
    std::unique_ptr<TrayPreferenceVisibility> m_visibility;
    std::unique_ptr<TrayPositionPreferences> m_positions;
    TrayAppGrouping m_namedGrouping;
    QSet<QUuid> m_expandedNamedGroups;
    QHash<QUuid, std::shared_ptr<platform::StatusItem>> m_namedItems;
    QHash<QUuid, std::shared_ptr<TrayGroupTarget>> m_namedTargets;
    TraySectionMap m_appGroups;
    std::optional<platform::Workspace::ObserverId> m_workspaceObserver;
    std::optional<platform::MouseEvents::MonitorId> m_globalDragMonitor;
    std::optional<platform::MouseEvents::MonitorId> m_localDragMonitor;
    platform::TaskHandle m_manualDragTask;
    quint64 m_manualDragToken = 0;
    platform::TimePoint m_manualDragQuietUntil = platform::TimePoint::min();
    std::optional<ManualDrag> m_manualDrag;
    quint64 m_activationGeneration = 0;
    bool m_requestedExpanded = true;
    QSet<QUuid> m_requestedNamed;
    QSet<QString> m_requestedHidden;
    QSet<QString> m_requestedFirstPhaseHidden;
    QSet<QString> m_launchedBundleIDs;
    bool m_busy = false;
};

} // namespace velmor
