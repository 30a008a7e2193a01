#pragma once

#include "tray_visibility/apple_bundle_id.h"

#include <QString>
#include <QStringView>

#include <optional>

namespace velmor::tray_bundle_rules {

// Shared with the visibility library, which draws the same line.
using velmor::isAppleBundleID;
using velmor::kAppleBundlePrefix;

// The app's own identifier when the main bundle carries none.
inline constexpr QStringView kFallbackOwnBundleID = u"local.velmor.tray";

// The identifier the app goes by, given the main bundle's (absent or empty when it has none).
inline QString ownBundleID(const std::optional<QString>& mainBundleID)
{
    if (mainBundleID && !mainBundleID->isEmpty())
        return *mainBundleID;
    return kFallbackOwnBundleID.toString();
}

} // namespace velmor::tray_bundle_rules
