#pragma once

#include "tray/tray_section_map.h"

#include <QString>

namespace velmor {

// The tray's data and its one observable model.
class TrayModel final {
public:
    // The per-app section map built once from the per-item map of earlier versions: each app
    // lands in the most visible section any of its extras had (the first seen on a tie). Apple
    // apps, the app itself and ids without a bundle part are left out.
    static TraySectionMap migrateAppGroups(const TraySectionMap& itemSections, const QString& ownBundleID);
};

} // namespace velmor
