#pragma once

#include <QString>
#include <QUrl>

namespace velmor {

// Where the app's brand icon comes from: the bundle's "TrayAppIcon.icns" resource when it is
// there and reads as an image. Without it the guide draws its own fallback (an accent-filled
// rounded square with the menu bar symbol), so a missing or broken file is never an error.
class TrayBrandIconResource final {
public:
    static constexpr const char* resourceName = "TrayAppIcon";
    static constexpr const char* resourceType = "icns";
    static constexpr const char* resourcesFolder = "Contents/Resources";
    static constexpr const char* fallbackSymbol = "menubar.rectangle";

    // `bundleUrl` is the main bundle's location (a path or a file URL). Empty when the resource is
    // missing or is no image this build can read.
    static QUrl imageUrl(const QString& bundleUrl);

    TrayBrandIconResource() = delete;
};

} // namespace velmor
