#include "tray/tray_discovery.h"

#include "foundation/text.h"
#include "platform/accessibility.h"
#include "platform/host.h"
#include "platform/scheduler.h"
#include "platform/services.h"
#include "platform/workspace.h"
#include "tray/tray_bundle_rules.h"

#include <QHash>

#include <algorithm>
#include <cmath>
#include <deque>
#include <limits>

namespace velmor {
namespace {

using platform::AccessibilityElement;
using platform::AccessibilityValue;

const QString extrasMenuBarAttribute = QStringLiteral("AXExtrasMenuBar");
const QString childrenAttribute = QStringLiteral("AXChildren");
const QString roleAttribute = QStringLiteral("AXRole");
const QString titleAttribute = QStringLiteral("AXTitle");
const QString descriptionAttribute = QStringLiteral("AXDescription");
const QString identifierAttribute = QStringLiteral("AXIdentifier");
const QString positionAttribute = QStringLiteral("AXPosition");
const QString sizeAttribute = QStringLiteral("AXSize");
const QString parentAttribute = QStringLiteral("AXParent");
const QString groupRole = QStringLiteral("AXGroup");
const QString menuBarRole = QStringLiteral("AXMenuBar");
const QString identifierKey = QStringLiteral("identifier:");
const QString fallbackKey = QStringLiteral("fallback:");
const QString duplicateSuffix = QStringLiteral("|duplicate:");

std::optional<AccessibilityElement> asElement(const std::optional<AccessibilityValue>& value)
{
    if (!value)
        return std::nullopt;
    if (const auto* element = std::get_if<AccessibilityElement>(&*value); element && !element->isNull())
        return *element;
    return std::nullopt;
}

// Trimmed, non-empty, cut to the first 200 characters; anything else counts as absent.
std::optional<QString> stringAttribute(platform::Accessibility& ax, const AccessibilityElement& element,
                                       const QString& name)
{
    const auto value = ax.attribute(element, name);
    if (!value)
        return std::nullopt;
    const auto* text = std::get_if<QString>(&*value);
    if (!text)
        return std::nullopt;
    const QString trimmed = text::trimmed(*text);
    if (trimmed.isEmpty())
        return std::nullopt;
    return text::prefixGraphemes(trimmed, TrayDiscovery::stringAttributeCut);
}

std::optional<QString> supportedAction(platform::Accessibility& ax, const AccessibilityElement& element)
{
    const auto names = ax.actionNames(element);
    if (!names)
        return std::nullopt;
    for (QStringView action : {TrayItem::kPressAction, TrayItem::kShowMenuAction}) {
        if (names->contains(action.toString()))
            return action.toString();
    }
    return std::nullopt;
}

QList<AccessibilityElement> children(platform::Accessibility& ax, const AccessibilityElement& element,
                                     int limit)
{
    if (limit < 1)
        return {};
    const auto count = ax.attributeValueCount(element, childrenAttribute);
    if (!count || *count < 1)
        return {};
    const auto values = ax.attributeValues(element, childrenAttribute, 0, std::min(limit, *count));
    QList<AccessibilityElement> result;
    if (!values)
        return result;
    for (const AccessibilityValue& value : *values) {
        if (const auto* child = std::get_if<AccessibilityElement>(&value); child && !child->isNull())
            result.append(*child);
    }
    return result;
}

// The ids given out in one pass, and how many items each app has made so far.
struct IdBook {
    QSet<QString> given;
    QHash<QString, int> ordinals;

    QString take(const QString& bundleID, const std::optional<QString>& identifier, const QString& title)
    {
        const int ordinal = ordinals.value(bundleID, 0);
        ordinals.insert(bundleID, ordinal + 1);
        const QString base = bundleID + TrayItem::kIDSeparator +
                             (identifier ? identifierKey + *identifier
                                         : fallbackKey + title + QLatin1Char(':') + QString::number(ordinal));
        QString id = base;
        for (int n = 1; given.contains(id); ++n)
            id = base + duplicateSuffix + QString::number(n);
        given.insert(id);
        return id;
    }
};

// The apps a pass considers, in bundle identifier order: not this app, not Apple's, not one
// without a bundle identifier, not one that has ended; `processes`, when given, keeps only those.
QList<platform::RunningApplication> candidates(const platform::Services& services,
                                               const QSet<qint32>* processes)
{
    const qint64 ownPid = services.host->processId();
    const QString ownBundleID = tray_bundle_rules::ownBundleID(services.host->mainBundle().identifier());
    QList<platform::RunningApplication> apps;
    for (const platform::RunningApplication& app : services.workspace->runningApplications()) {
        if (app.processIdentifier == ownPid || app.terminated || !app.bundleIdentifier ||
            isAppleBundleID(*app.bundleIdentifier) || *app.bundleIdentifier == ownBundleID)
            continue;
        if (processes && !processes->contains(app.processIdentifier))
            continue;
        apps.append(app);
    }
    std::stable_sort(apps.begin(), apps.end(),
                     [](const auto& a, const auto& b) { return *a.bundleIdentifier < *b.bundleIdentifier; });
    return apps;
}

TrayDiscovery::Pass scanApps(const platform::Services& services,
                             const QList<platform::RunningApplication>& apps, int maximumItems)
{
    platform::Accessibility& ax = *services.accessibility;
    const platform::Scheduler& scheduler = *services.scheduler;
    const platform::TimePoint deadline =
        scheduler.now() + platform::seconds(TrayDiscovery::timeBudgetSeconds);
    auto expired = [&] { return scheduler.now() > deadline; };

    TrayDiscovery::Pass pass;
    IdBook ids;
    for (const platform::RunningApplication& app : apps) {
        if (expired() || pass.items.size() >= maximumItems)
            break;
        const QString& bundleID = *app.bundleIdentifier;
        const QString appName = app.localizedName.value_or(bundleID);

        const AccessibilityElement appElement = ax.applicationElement(app.processIdentifier);
        ax.setMessagingTimeout(appElement, TrayDiscovery::messagingTimeoutSeconds);
        const auto bar = asElement(ax.attribute(appElement, extrasMenuBarAttribute));
        if (!bar) {
            // No bar to read: nothing of this app can be found or checked, unless the budget ran out
            // on the way.
            if (!expired())
                pass.seen.insert(app.processIdentifier);
            continue;
        }
        ax.setMessagingTimeout(*bar, TrayDiscovery::messagingTimeoutSeconds);

        std::deque<std::pair<AccessibilityElement, int>> queue{{*bar, 0}};
        QList<AccessibilityElement> visited;
        bool interrupted = false;
        while (!queue.empty()) {
            if (visited.size() > TrayDiscovery::elementsPerApp - 1)
                break;
            if (expired() || pass.items.size() >= maximumItems) {
                interrupted = true;
                break;
            }
            auto [element, depth] = queue.front();
            queue.pop_front();
            if (visited.contains(element))
                continue;
            visited.append(element);
            ax.setMessagingTimeout(element, TrayDiscovery::messagingTimeoutSeconds);

            if (depth >= 1) {
                if (const auto action = supportedAction(ax, element)) {
                    TrayItem item;
                    item.appName = appName;
                    auto title = stringAttribute(ax, element, titleAttribute);
                    item.label = title.value_or(QString());
                    if (!title)
                        title = stringAttribute(ax, element, descriptionAttribute);
                    item.title = title.value_or(appName);
                    item.id =
                        ids.take(bundleID, stringAttribute(ax, element, identifierAttribute), item.title);
                    item.icon = app.icon;
                    item.pid = app.processIdentifier;
                    item.element = element;
                    item.action = *action;
                    pass.items.append(std::move(item));
                    continue;
                }
            }
            if (depth >= 2)
                continue;
            if (expired()) {
                interrupted = true;
                continue;
            }
            const auto role = stringAttribute(ax, element, roleAttribute);
            if (depth == 1 && role != groupRole && role != menuBarRole)
                continue;
            const int limit = TrayDiscovery::elementsPerApp - static_cast<int>(visited.size()) -
                              static_cast<int>(queue.size());
            for (const AccessibilityElement& child : children(ax, element, limit))
                queue.emplace_back(child, depth + 1);
        }
        if (!interrupted)
            pass.seen.insert(app.processIdentifier);
    }
    return pass;
}

} // namespace

TrayDiscovery::Pass TrayDiscovery::scanPass(const platform::Services& services)
{
    if (!services.accessibility->isProcessTrusted())
        return {};
    QList<platform::RunningApplication> apps = candidates(services, nullptr);
    if (apps.size() > maximumApps)
        apps.resize(maximumApps);
    return scanApps(services, apps, maximumItems);
}

TrayDiscovery::Pass TrayDiscovery::scanProcesses(const platform::Services& services,
                                                 const QSet<qint32>& processes)
{
    if (processes.isEmpty() || !services.accessibility->isProcessTrusted())
        return {};
    return scanApps(services, candidates(services, &processes), std::numeric_limits<int>::max());
}

std::optional<QRectF> TrayDiscovery::frame(const platform::Services& services, const TrayItem& item)
{
    platform::Accessibility& ax = *services.accessibility;
    if (!ax.isProcessTrusted() || ax.processIdentifier(item.element) != item.pid)
        return std::nullopt;
    ax.setMessagingTimeout(item.element, messagingTimeoutSeconds);
    // An element that no longer answers (its app's icons are hidden) costs one message, not two.
    const auto position = ax.attribute(item.element, positionAttribute);
    const auto* origin = position ? std::get_if<QPointF>(&*position) : nullptr;
    if (!origin)
        return std::nullopt;
    const auto size = ax.attribute(item.element, sizeAttribute);
    const auto* extent = size ? std::get_if<QSizeF>(&*size) : nullptr;
    if (!extent)
        return std::nullopt;
    const bool finite = std::isfinite(origin->x()) && std::isfinite(origin->y()) &&
                        std::isfinite(extent->width()) && std::isfinite(extent->height());
    if (!finite || extent->width() <= 0 || extent->height() <= 0)
        return std::nullopt;
    return QRectF(*origin, *extent);
}

QSet<QString> TrayDiscovery::visibleBundleIDs(const platform::Services& services,
                                              const QList<TrayItem>& items)
{
    platform::Accessibility& ax = *services.accessibility;
    if (items.isEmpty())
        return {};
    const AccessibilityElement systemWide = ax.systemWideElement();
    QHash<qint32, QString> bundles;
    for (const platform::RunningApplication& app : services.workspace->runningApplications()) {
        if (app.bundleIdentifier && !bundles.contains(app.processIdentifier))
            bundles.insert(app.processIdentifier, *app.bundleIdentifier);
    }
    QSet<QString> visible;
    for (const TrayItem& item : items) {
        const auto itemFrame = frame(services, item);
        if (!itemFrame)
            continue;
        const auto hit = ax.elementAtPosition(systemWide, itemFrame->center());
        if (!hit || hit->isNull() || ax.processIdentifier(*hit) != item.pid)
            continue;
        const auto bundle = bundles.constFind(item.pid);
        if (bundle == bundles.cend())
            continue;
        AccessibilityElement current = *hit;
        for (int step = 0; step < 4; ++step) {
            if (current == item.element) {
                visible.insert(*bundle);
                break;
            }
            ax.setMessagingTimeout(current, messagingTimeoutSeconds);
            if (stringAttribute(ax, current, roleAttribute) == menuBarRole)
                break;
            const auto parent = asElement(ax.attribute(current, parentAttribute));
            if (!parent)
                break;
            current = *parent;
        }
    }
    return visible;
}

} // namespace velmor
