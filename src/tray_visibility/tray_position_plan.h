#pragma once

#include "tray_visibility/tray_position_change.h"

#include <QList>
#include <QSet>
#include <QString>

namespace velmor {

// A planned rewrite of menu bar positions.
struct TrayPositionPlan {
    // The chevron's move, when it moves, comes first.
    QList<TrayPositionChange> changes;
    // Bundles whose items were found among the keys.
    QSet<QString> matchedBundleIDs;
    bool chevronMoved = false;
    // Gives back places the menu bar forgot: its keys are not in the domain.
    bool addsForgotten = false;
};

} // namespace velmor
