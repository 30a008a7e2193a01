#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace velmor::tray_bundle_rules {

// Apple's own applications are never grouped, hidden or moved.
inline constexpr QStringView kAppleBundlePrefix = u"com.apple.";

// The app's own identifier when the main bundle carries none.
inline constexpr QStringView kFallbackOwnBundleID = u"local.velmor.tray";

inline bool isAppleBundleID(QStringView bundleID)
{
    return bundleID.startsWith(kAppleBundlePrefix);
}

// The identifier the app goes by, given the main bundle's (absent or empty when it has none).
inline QString ownBundleID(const std::optional<QString>& mainBundleID)
{
    if (mainBundleID && !mainBundleID->isEmpty())
        return *mainBundleID;
    return kFallbackOwnBundleID.toString();
}

} // namespace velmor::tray_bundle_rules
