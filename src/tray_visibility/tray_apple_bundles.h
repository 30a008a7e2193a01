#pragma once

#include <QString>

namespace velmor {

// Apple's own applications: never hidden, never moved.
inline bool isAppleBundleID(const QString& bundleID)
{
    return bundleID.startsWith(QLatin1String("com.apple."));
}

} // namespace velmor
