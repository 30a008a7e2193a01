#pragma once

#include "tray/tray_item.h"

#include <QList>
#include <QRectF>
#include <QSet>

#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

// Finds other apps' menu bar extras through Accessibility, and answers where a found extra is and
// whether it really shows. Every call is bounded: a pass has a time budget, every element a short
// messaging time-out, and apps, items and elements per app are capped, so a slow or hung app can
// only cost its share.
class TrayDiscovery final {
public:
    static constexpr double timeBudgetSeconds = 3.0;
    static constexpr int maximumApps = 128;
    static constexpr int maximumItems = 96;
    static constexpr int elementsPerApp = 48;
    static constexpr double messagingTimeoutSeconds = 0.06;
    static constexpr int stringAttributeCut = 200;

    // What one pass found: the items, and the processes whose extras it looked at in full (an app
    // among them without items shows no icon).
    struct Pass {
        QList<TrayItem> items;
        QSet<qint32> seen;
    };

    // Apps in bundle identifier order, items of one app in breadth-first order; empty without
    // Accessibility trust.
    static QList<TrayItem> scan(const platform::Services& services) { return scanPass(services).items; }
    static Pass scanPass(const platform::Services& services);
    // Only the running apps with these process identifiers, in the same order and with the same
    // time budget and bounds per app, but without the caps on apps and items: these are the apps
    // an action changes, and every one of them must be looked at.
    static Pass scanProcesses(const platform::Services& services, const QSet<qint32>& processes);

    // The item's rectangle in Accessibility coordinates (origin top left), while its element
    // still belongs to the item's process.
    static std::optional<QRectF> frame(const platform::Services& services, const TrayItem& item);

    // Bundle identifiers of the items that really show: the element under each item's centre
    // leads back to the item's own element.
    static QSet<QString> visibleBundleIDs(const platform::Services& services, const QList<TrayItem>& items);

    TrayDiscovery() = delete;
};

} // namespace velmor
