#include "tray/tray_model.h"

#include "foundation/uuid_text.h"
#include "platform/accessibility.h"
#include "platform/application_shell.h"
#include "platform/host.h"
#include "platform/screen_geometry.h"
#include "platform/screens.h"
#include "platform/services.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"
#include "tray/tray_arrangement_preferences.h"
#include "tray/tray_bar_space.h"
#include "tray/tray_bundle_rules.h"
#include "tray/tray_discovery.h"
#include "tray_visibility/mac_tray_preference_store.h"
#include "tray_visibility/tray_tracked_applications.h"

#include <QPointer>
#include <QUrl>

namespace velmor {
namespace {

int visibilityRank(TraySection section)
{
    switch (section) {
    case TraySection::alwaysVisible:
    case TraySection::trayBelow:
        return 3;
    case TraySection::expandable:
        return 2;
    case TraySection::alwaysHidden:
        return 1;
    }
    return 0;
}

QString key(const char* name)
{
    return QString::fromLatin1(name);
}

// A stored JSON record; absent when missing, not data, or not JSON.
std::optional<Json> storedJson(const platform::UserDefaults& defaults, const char* name)
{
    const auto data = defaults.dataValue(key(name));
    if (!data)
        return std::nullopt;
    return json::tryParse(*data);
}

template <typename Decoded, typename Decoder>
std::optional<Decoded> storedRecord(const platform::UserDefaults& defaults, const char* name, Decoder decode)
{
    const auto value = storedJson(defaults, name);
    if (!value)
        return std::nullopt;
    return decode(*value);
}

std::optional<QString> statusText(TrayAppCatalog::Availability availability)
{
    switch (availability) {
    case TrayAppCatalog::Availability::actionable:
        return std::nullopt;
    case TrayAppCatalog::Availability::nativeMenu:
        return QString::fromLatin1(GroupedApp::nativeMenuStatus);
    case TrayAppCatalog::Availability::unavailable:
        return QString::fromLatin1(GroupedApp::unavailableStatus);
    case TrayAppCatalog::Availability::notRunning:
        return QString::fromLatin1(GroupedApp::notRunningStatus);
    }
    return std::nullopt;
}

} // namespace

TrayModel::TrayModel(const platform::Services& services, QObject* parent)
    : QObject(parent), m_services(services)
{
    load();
}

TrayModel::~TrayModel()
{
    m_timer.cancel();
    m_newAppLook.cancel();
    if (m_screensObserver && m_services.screens)
        m_services.screens->removeObserver(*m_screensObserver);
    if (m_launchObserver)
        m_services.workspace->removeObserver(*m_launchObserver);
}

TraySectionMap TrayModel::migrateAppGroups(const TraySectionMap& itemSections, const QString& ownBundleID)
{
    TraySectionMap result;
    for (auto entry = itemSections.cbegin(); entry != itemSections.cend(); ++entry) {
        const std::optional<QString> bundleID = TrayItem::bundleIDOf(entry.key());
        if (!bundleID || bundleID->isEmpty() || tray_bundle_rules::isAppleBundleID(*bundleID) ||
            *bundleID == ownBundleID)
            continue;
        // The per-app map has no section below the tray.
        const TraySection target =
            entry.value() == TraySection::trayBelow ? TraySection::alwaysVisible : entry.value();
        const auto stored = result.constFind(*bundleID);
        if (stored == result.cend() || visibilityRank(target) > visibilityRank(stored.value()))
            result.insert(*bundleID, target);
    }
    return result;
}

void TrayModel::load()
{
    const platform::UserDefaults& defaults = *m_services.userDefaults;
    const auto itemSections =
        storedRecord<TraySectionMap>(defaults, nativeGroupsKey, tray_section_map::tryDecode);
    m_nativeGroups = itemSections.value_or(TraySectionMap{});

    // The migrated map is written only by the next grouping save.
    if (const auto perApp = storedRecord<TraySectionMap>(defaults, appGroupsKey, tray_section_map::tryDecode))
        m_appGroups = *perApp;
    else if (itemSections)
        m_appGroups = migrateAppGroups(*itemSections, ownBundleID());

    const auto catalog = storedRecord<TrayAppCatalog>(defaults, catalogKey, TrayAppCatalog::fromJson);
    m_catalogKnown = catalog.has_value();
    m_catalog = catalog.value_or(TrayAppCatalog{});

    if (auto grouping = storedRecord<TrayAppGrouping>(defaults, namedGroupsKey, TrayAppGrouping::tryDecode)) {
        grouping->normalize();
        m_namedGrouping = *grouping;
    }

    if (const auto layout = storedRecord<TrayLayout>(defaults, layoutKey, TrayLayout::tryDecode)) {
        m_layout = *layout;
    } else {
        QStringList selection;
        for (const QVariant& element :
             defaults.arrayValue(key(legacySelectionKey)).value_or(QVariantList{})) {
            if (element.typeId() != QMetaType::QString) {
                selection.clear();
                break;
            }
            selection.append(element.toString());
        }
        m_layout = TrayLayout::fromGroups({{TraySection::trayBelow, selection}});
    }

    m_permission = m_services.accessibility->isProcessTrusted();
}

void TrayModel::start()
{
    if (m_services.screens && !m_screensObserver) {
        QPointer<TrayModel> self(this);
        // A display that comes, goes or becomes main moves the bar and what fits on it.
        m_screensObserver = m_services.screens->observeChanges([self] {
            if (self)
                self->updateOutOfSight();
        });
    }
    if (!m_launchObserver) {
        QPointer<TrayModel> self(this);
        // Only an app the catalog has never listed is worth a full look the moment it launches:
        // it goes where the person wants new apps before anyone has to refresh.
        m_launchObserver = m_services.workspace->observeDidLaunch([self](const platform::RunningApplication& app) {
            if (!self || !self->m_nativePerApp || !app.bundleIdentifier ||
                self->m_catalog.names().contains(*app.bundleIdentifier) ||
                tray_bundle_rules::isAppleBundleID(*app.bundleIdentifier) || self->m_newAppLook.isPending())
                return;
            self->m_newAppLook = self->m_services.scheduler->after(platform::seconds(newAppLookDelay), [self] {
                if (self)
                    self->refresh();
            });
        });
    }
    refresh();
    QPointer<TrayModel> self(this);
    m_timer = m_services.scheduler->every(platform::seconds(refreshIntervalSeconds), [self] {
        if (self)
            self->tick();
    });
}

void TrayModel::tick()
{
    updatePreviewVisibility();
    const bool trusted = m_services.accessibility->isProcessTrusted();
    if (trusted == m_permission)
        return;
    setPermission(trusted);
    refresh();
}

void TrayModel::refresh()
{
    const QList<TrayItem> scanned = scanItems();
    refreshCatalog(scanned);
    reconcileLayout();
    if (m_hooks.readNativeGroups)
        m_hooks.readNativeGroups();
    updateOutOfSight();
}

TrayDiscovery::Pass TrayModel::rescanProcesses(const QSet<qint32>& processes)
{
    setPermission(m_services.accessibility->isProcessTrusted());
    if (!m_permission || processes.isEmpty())
        return {};
    TrayDiscovery::Pass pass = TrayDiscovery::scanProcesses(m_services, processes);
    QSet<qint32> running;
    for (const platform::RunningApplication& app : m_services.workspace->runningApplications()) {
        if (!app.terminated)
            running.insert(app.processIdentifier);
    }
    // An app looked at in full has exactly what it shows now, where its earlier items stood; one
    // the budget cut short keeps its earlier items, and has what was found only without them.
    QHash<qint32, QList<TrayItem>> found;
    for (const TrayItem& item : pass.items)
        found[item.pid].append(item);
    QList<TrayItem> items;
    items.reserve(m_items.size() + pass.items.size());
    for (const TrayItem& item : std::as_const(m_items)) {
        if (!running.contains(item.pid))
            continue;
        if (!pass.seen.contains(item.pid)) {
            items.append(item);
            found.remove(item.pid);
            continue;
        }
        if (const auto fresh = found.constFind(item.pid); fresh != found.cend()) {
            items.append(*fresh);
            found.erase(fresh);
        }
    }
    for (const TrayItem& item : pass.items) {
        if (found.contains(item.pid))
            items.append(item);
    }
    m_items = items;
    Q_EMIT itemsChanged();
    reconcileLayout();
    return pass;
}

void TrayModel::updateOutOfSight()
{
    judgeOutOfSight([](const TrayItem&) { return true; });
}

void TrayModel::updateOutOfSight(const QSet<qint32>& processes)
{
    const TrayOutOfSight lost = m_outOfSight;
    judgeOutOfSight(
        [&](const TrayItem& item) { return processes.contains(item.pid) || lost.contains(item.id); });
}

void TrayModel::judgeOutOfSight(const std::function<bool(const TrayItem&)>& reread)
{
    TrayOutOfSight judged;
    QHash<QString, QRectF> frames;
    if (m_permission && m_services.screens) {
        const QList<QRectF> screens = m_services.screens->frames();
        const auto displayOf = [&](const QRectF& frame) {
            const auto onScreen = platform::ScreenGeometry::toScreen(frame, screens);
            return onScreen ? TrayOutOfSight::displayOf(*onScreen, screens) : -1;
        };
        // The items read again; what appeared on the bar and what left it since the last look.
        QSet<int> readOn;
        QSet<int> knownOn;
        QList<QRectF> appeared;
        QList<QRectF> left;
        QHash<QString, std::optional<QRectF>> read;
        for (const TrayItem& item : std::as_const(m_items)) {
            const auto known = m_itemFrames.constFind(item.id);
            if (!reread(item)) {
                if (known != m_itemFrames.cend())
                    knownOn.insert(displayOf(*known));
                continue;
            }
            const std::optional<QRectF> frame = TrayDiscovery::frame(m_services, item);
            read.insert(item.id, frame);
            if (frame)
                readOn.insert(displayOf(*frame));
            if (frame && known == m_itemFrames.cend())
                appeared.append(*frame);
            else if (!frame && known != m_itemFrames.cend())
                left.append(*known);
        }
        // The items' windows moved to another display's bar since they were last read: what was
        // known of the others is stale, so every frame is read again.
        if (!knownOn.isEmpty() && !readOn.isEmpty() && readOn != knownOn) {
            judgeOutOfSight([](const TrayItem&) { return true; });
            return;
        }
        // Frames are whole points on the Mac; half a point forgives rounding.
        constexpr double tolerance = 0.5;
        QList<TrayOutOfSight::Placed> placed;
        placed.reserve(m_items.size());
        for (const TrayItem& item : std::as_const(m_items)) {
            // Items of apps hidden in per-app mode have no elements, and so no frames.
            std::optional<QRectF> frame;
            if (const auto fresh = read.constFind(item.id); fresh != read.cend()) {
                frame = *fresh;
            } else if (const auto known = m_itemFrames.constFind(item.id); known != m_itemFrames.cend()) {
                // Not read again: the bar is laid out from its right end, so an item moves right by
                // what left from its right and left by what appeared there. What appeared lies right
                // of it exactly when it does not end left of where the item has got to by then.
                double gone = 0;
                for (const QRectF& away : left)
                    gone += away.left() > known->left() ? away.width() : 0;
                double x = known->left() + gone;
                QList<bool> counted(appeared.size(), false);
                for (bool moved = true; moved;) {
                    moved = false;
                    for (qsizetype i = 0; i < appeared.size(); ++i) {
                        if (!counted[i] && appeared[i].right() > x + tolerance) {
                            counted[i] = true;
                            x -= appeared[i].width();
                            moved = true;
                        }
                    }
                }
                frame = known->translated(x - known->left(), 0);
            }
            if (!frame)
                continue;
            frames.insert(item.id, *frame);
            if (!hiddenOnPurpose(item))
                placed.append(TrayOutOfSight::Placed{item, *frame});
        }
        // The frontmost app's menus are asked about only when there is an item they could cover.
        std::optional<double> menusEnd;
        if (!placed.isEmpty())
            menusEnd = TrayBarSpace::frontmostMenusEnd(m_services);
        judged = TrayOutOfSight::judge(placed, {screens, m_services.screens->topAreas(), menusEnd,
                                                m_services.screens->separateSpaces()});
        m_menusEnd = menusEnd;
    }
    m_itemFrames = std::move(frames);
    assign(m_outOfSight, judged, &TrayModel::outOfSightChanged);
    Q_EMIT outOfSightJudged();
}

void TrayModel::setOwnItems(const QString& notice, const QString& offer)
{
    if (notice == m_ownItemsNotice && offer == m_ownItemsOffer)
        return;
    m_ownItemsNotice = notice;
    m_ownItemsOffer = offer;
    Q_EMIT ownItemsChanged();
}

bool TrayModel::hiddenOnPurpose(const TrayItem& item) const
{
    if (m_nativePerApp || !m_nativeConfigured || m_nativeManaging)
        return false;
    switch (m_nativeGroups.value(item.id, kDefaultTraySection)) {
    case TraySection::alwaysHidden:
        return true;
    case TraySection::expandable:
        return !m_nativeExpanded;
    case TraySection::alwaysVisible:
    case TraySection::trayBelow:
        return false;
    }
    return false;
}

QList<TrayItem> TrayModel::scanItems()
{
    setPermission(m_services.accessibility->isProcessTrusted());
    const QList<TrayItem> scanned = m_permission ? TrayDiscovery::scan(m_services) : QList<TrayItem>{};

    QList<TrayItem> items = scanned;
    if (m_nativePerApp && m_nativeConfigured && m_permission) {
        // Hidden apps have no elements; keep their last-known items while they still run so the
        // controller can still tell whether they show. An app the scan found shows its items now:
        // what it showed before (a clock's earlier titles) is gone, and keeping it would let the
        // items, and the layout after them, grow for as long as the app runs.
        QSet<qint32> runningPids;
        for (const platform::RunningApplication& app : m_services.workspace->runningApplications())
            runningPids.insert(app.processIdentifier);
        QSet<qint32> scannedPids;
        QSet<QString> scannedIds;
        for (const TrayItem& item : scanned) {
            scannedPids.insert(item.pid);
            scannedIds.insert(item.id);
        }
        for (const TrayItem& item : m_items) {
            if (runningPids.contains(item.pid) && !scannedPids.contains(item.pid) &&
                !scannedIds.contains(item.id))
                items.append(item);
        }
    }
    m_items = items;
    Q_EMIT itemsChanged();
    return scanned;
}

void TrayModel::reconcileLayout()
{
    QStringList ids;
    ids.reserve(m_items.size());
    for (const TrayItem& item : m_items)
        ids.append(item.id);
    m_layout.reconcile(ids);
    writeJson(layoutKey, m_layout.encode());
    Q_EMIT layoutChanged();
}

void TrayModel::refreshCatalog(const QList<TrayItem>& actionable)
{
    if (!m_nativePerApp)
        return;
    QHash<QString, QString> runningNames;
    TrayTrackedApplications::Executables executables;
    QHash<QString, platform::Icon> icons;
    for (const platform::RunningApplication& app : m_services.workspace->runningApplications()) {
        if (app.terminated || !app.bundleIdentifier)
            continue;
        const QString& bundleID = *app.bundleIdentifier;
        runningNames.insert(bundleID, app.localizedName.value_or(bundleID));
        QSet<QString>& paths = executables[bundleID];
        if (app.executablePath)
            paths.insert(*app.executablePath);
        if (app.icon)
            icons.insert(bundleID, *app.icon);
    }

    QHash<QString, QString> actionableNames;
    for (const TrayItem& item : actionable)
        actionableNames.insert(item.bundleID(), item.appName);

    const QString own = ownBundleID();
    QSet<QString> nativeBundles;
    try {
        MacTrayPreferenceStore store(*m_services.host);
        nativeBundles = TrayTrackedApplications::menuBundleIDs(store.read(), executables, own);
    } catch (const Error&) {
        nativeBundles.clear();
    }

    QSet<QString> assigned;
    for (auto it = m_appGroups.cbegin(); it != m_appGroups.cend(); ++it)
        assigned.insert(it.key());
    for (auto it = m_namedGrouping.memberships.cbegin(); it != m_namedGrouping.memberships.cend(); ++it)
        assigned.insert(it.key());

    const QHash<QString, QString> known = m_catalog.names();
    const QList<TrayAppCatalog::Entry> entries =
        m_catalog.refresh(runningNames, actionableNames, nativeBundles, assigned, own);
    // An app the catalog has never listed goes where the person wants new apps, once: from then
    // on the catalog knows it.
    bool placed = false;
    if (m_catalogKnown) {
        const TraySection destination = TrayArrangementPreferences::newApps(*m_services.userDefaults);
        for (const TrayAppCatalog::Entry& entry : entries) {
            if (known.contains(entry.bundleID) || assigned.contains(entry.bundleID))
                continue;
            m_newApps.insert(entry.bundleID);
            if (destination != kDefaultTraySection) {
                m_appGroups.insert(entry.bundleID, destination);
                placed = true;
            }
        }
    }
    m_catalogKnown = true;
    QList<GroupedApp> rows;
    rows.reserve(entries.size());
    for (const TrayAppCatalog::Entry& entry : entries) {
        GroupedApp row{entry.bundleID, entry.name, std::nullopt, statusText(entry.availability)};
        if (const auto icon = icons.constFind(entry.bundleID); icon != icons.cend())
            row.icon = *icon;
        rows.append(std::move(row));
    }
    m_groupedApps = rows;
    markNewApps();
    writeJson(catalogKey, m_catalog.toJson());
    if (placed) {
        writeJson(appGroupsKey, tray_section_map::encode(m_appGroups));
        Q_EMIT appGroupsChanged();
        if (m_hooks.appGroupsLearned)
            m_hooks.appGroupsLearned();
    }
}

void TrayModel::markNewApps()
{
    for (GroupedApp& row : m_groupedApps)
        row.isNew = m_newApps.contains(row.id);
    Q_EMIT groupedAppsChanged();
}

QString TrayModel::destination(const GroupedApp& app) const
{
    if (const auto member = m_namedGrouping.memberships.constFind(app.id);
        member != m_namedGrouping.memberships.cend())
        return key(groupDestinationPrefix) + uuid_text::canonical(*member);
    if (const auto section = m_appGroups.constFind(app.id); section != m_appGroups.cend())
        return rawValue(*section);
    return rawValue(kDefaultTraySection);
}

void TrayModel::setDestination(const GroupedApp& app, const QString& destination)
{
    const QString prefix = key(groupDestinationPrefix);
    if (destination.startsWith(prefix)) {
        const auto id = uuid_text::parse(destination.mid(prefix.size()));
        if (id && group(*id)) {
            m_namedGrouping.memberships.insert(app.id, *id);
            m_appGroups.insert(app.id, TraySection::alwaysVisible);
            saveGrouping();
            return;
        }
    }
    if (const auto section = traySectionFromRawValue(destination)) {
        m_namedGrouping.memberships.remove(app.id);
        m_appGroups.insert(app.id, *section);
    }
    saveGrouping();
}

void TrayModel::saveNamedGroup(const std::optional<QUuid>& id, const QString& name, const QString& symbol)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return;
    bool updated = false;
    if (id) {
        for (TrayNamedGroup& existing : m_namedGrouping.groups) {
            if (existing.id == *id) {
                existing.name = trimmed;
                existing.symbol = symbol;
                updated = true;
            }
        }
    }
    if (!updated)
        m_namedGrouping.groups.append(TrayNamedGroup{uuid_text::random(), trimmed, symbol});
    saveGrouping();
}

void TrayModel::deleteNamedGroup(const QUuid& id)
{
    for (const QString& member : m_namedGrouping.remove(id))
        m_appGroups.insert(member, TraySection::alwaysVisible);
    saveGrouping();
}

void TrayModel::adoptGrouping(const TraySectionMap& appGroups, const TrayAppGrouping& grouping)
{
    m_appGroups = appGroups;
    m_namedGrouping = grouping;
    m_namedGrouping.normalize();
    writeJson(namedGroupsKey, m_namedGrouping.encode());
    writeJson(appGroupsKey, tray_section_map::encode(m_appGroups));
    Q_EMIT namedGroupingChanged();
    Q_EMIT appGroupsChanged();
}

void TrayModel::saveGrouping()
{
    m_namedGrouping.normalize();
    writeJson(namedGroupsKey, m_namedGrouping.encode());
    writeJson(appGroupsKey, tray_section_map::encode(m_appGroups));
    Q_EMIT namedGroupingChanged();
    Q_EMIT appGroupsChanged();
    if (m_hooks.appGroupsChanged)
        m_hooks.appGroupsChanged();
}

void TrayModel::applyManualNativeGroup(const QString& bundleID, TraySection section)
{
    if (m_namedGrouping.memberships.contains(bundleID))
        return;
    m_appGroups.insert(bundleID, section);
    Q_EMIT appGroupsChanged();
    writeJson(appGroupsKey, tray_section_map::encode(m_appGroups));
}

void TrayModel::updatePreviewVisibility()
{
    const platform::ApplicationShell& shell = *m_services.applicationShell;
    bool visible = false;
    if (!shell.isHidden()) {
        for (const platform::WindowInfo& window : shell.windows()) {
            if (window.title == key(settingsWindowTitle) && window.visible && !window.miniaturized)
                visible = true;
        }
    }
    if (visible != m_settingsVisible) {
        m_settingsVisible = visible;
        Q_EMIT settingsVisibleChanged();
        // Seen: the next time the organizer opens, they are apps like the others.
        if (!visible && !m_newApps.isEmpty()) {
            m_newApps.clear();
            markNewApps();
        }
    }
    if (!visible && m_nativeManaging && m_hooks.finishNative)
        m_hooks.finishNative();
}

void TrayModel::openPrivacySettings()
{
    const QUrl url(key(privacySettingsUrl));
    if (url.isValid())
        m_services.workspace->openUrl(url);
}

void TrayModel::writeJson(const char* name, const std::optional<Json>& value)
{
    if (!value)
        return;
    const QByteArray data = json::serialize(*value);
    if (m_services.userDefaults->dataValue(key(name)) != data)
        m_services.userDefaults->setValue(key(name), data);
}

void TrayModel::setPermission(bool value)
{
    if (value == m_permission)
        return;
    m_permission = value;
    Q_EMIT permissionChanged();
}

QString TrayModel::ownBundleID() const
{
    return tray_bundle_rules::ownBundleID(m_services.host->mainBundle().identifier());
}

const TrayNamedGroup* TrayModel::group(const QUuid& id) const
{
    for (const TrayNamedGroup& candidate : m_namedGrouping.groups) {
        if (candidate.id == id)
            return &candidate;
    }
    return nullptr;
}

void TrayModel::setNativeExpanded(bool value)
{
    assign(m_nativeExpanded, value, &TrayModel::nativeExpandedChanged);
}

void TrayModel::setNativeManaging(bool value)
{
    assign(m_nativeManaging, value, &TrayModel::nativeManagingChanged);
}

void TrayModel::setNativeConfigured(bool value)
{
    assign(m_nativeConfigured, value, &TrayModel::nativeConfiguredChanged);
}

void TrayModel::setNativeWarning(const std::optional<QString>& value)
{
    assign(m_nativeWarning, value, &TrayModel::nativeWarningChanged);
}

void TrayModel::setNativePerApp(bool value)
{
    assign(m_nativePerApp, value, &TrayModel::nativePerAppChanged);
}

void TrayModel::setNativeBusy(bool value)
{
    assign(m_nativeBusy, value, &TrayModel::nativeBusyChanged);
}

void TrayModel::setExpandedNamedGroups(const QSet<QUuid>& value)
{
    assign(m_expandedNamedGroups, value, &TrayModel::expandedNamedGroupsChanged);
}

void TrayModel::setMessage(const std::optional<QString>& value)
{
    assign(m_message, value, &TrayModel::messageChanged);
}

void TrayModel::setNativeGroups(const TraySectionMap& value)
{
    m_nativeGroups = value;
    Q_EMIT nativeGroupsChanged();
    writeJson(nativeGroupsKey, tray_section_map::encode(m_nativeGroups));
}

} // namespace velmor
