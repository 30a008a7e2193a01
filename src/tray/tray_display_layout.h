#pragma once

#include "foundation/json.h"
#include "tray/tray_app_grouping.h"
#include "tray/tray_below_bar_preference.h"
#include "tray/tray_display_setup.h"
#include "tray/tray_section_map.h"

#include <QSet>
#include <QUuid>

#include <optional>

namespace velmor {

// An arrangement saved for one display setup: every app's section, the named groups with their
// members and which of them are open, and when the bar below the menu bar opens.
struct TrayDisplayLayout {
    TrayDisplaySetup setup;
    TraySectionMap appGroups;
    TrayAppGrouping grouping;
    QSet<QUuid> openGroups;
    TrayBelowBarPreference::Mode belowBar = TrayBelowBarPreference::Mode::Automatic;

    // {"displays":[{"id","name","builtIn"}…],"appGroups":{…},"namedGroups":{…},"openGroups":[…],
    // "belowBar":"automatic"}; the main display first.
    Json encode() const;
    // Absent when a member is missing or of another type, there is no display, or a value is not
    // one this version writes.
    static std::optional<TrayDisplayLayout> tryDecode(const Json& value);
};

} // namespace velmor
