#pragma once

#include "platform/icon.h"

#include <QString>

#include <optional>

namespace velmor {

// One organizer row: an app the catalog lists, with a note under its name when it cannot be
// acted on now.
struct GroupedApp {
    static constexpr const char* nativeMenuStatus = "Native menu item";
    static constexpr const char* unavailableStatus = "Menu item temporarily unavailable";
    static constexpr const char* notRunningStatus = "Not running";
    static constexpr const char* newBadge = "New";

    // The app's bundle identifier.
    QString id;
    QString appName;
    std::optional<platform::Icon> icon;
    std::optional<QString> status;
    // Seen for the first time since the organizer was last on screen.
    bool isNew = false;
};

} // namespace velmor
