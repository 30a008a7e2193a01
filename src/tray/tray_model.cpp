#include "tray/tray_model.h"

#include "tray/tray_bundle_rules.h"
#include "tray/tray_item.h"

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

} // namespace

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

} // namespace velmor
