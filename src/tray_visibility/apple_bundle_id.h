#pragma once

#include <QStringView>

namespace velmor {

// Apple's own applications are never grouped, hidden or moved.
inline constexpr QStringView kAppleBundlePrefix = u"com.apple.";

inline bool isAppleBundleID(QStringView bundleID)
{
    return bundleID.startsWith(kAppleBundlePrefix);
}

} // namespace velmor
