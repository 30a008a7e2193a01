#include "tray_visibility/tray_preference_error.h"

namespace velmor {

TrayPreferenceError TrayPreferenceError::missing(QSet<QString> bundleIDs)
{
    TrayPreferenceError error(Case::missing);
    error.m_missing = std::move(bundleIDs);
    return error;
}

QString TrayPreferenceError::description() const
{
    switch (m_case) {
    case Case::missing:
        return QStringLiteral(
            "Some selected apps are not registered in macOS menu bar settings yet. Reveal all, "
            "refresh, and try again.");
    case Case::access:
        return QStringLiteral("Tray needs Full Disk Access to change macOS menu bar visibility. Enable it in "
                              "System Settings, then quit and reopen Tray.");
    case Case::malformed:
        return QStringLiteral("macOS menu bar preferences have an unsupported format. Nothing was changed.");
    case Case::verification:
        return QStringLiteral(
            "macOS did not confirm the visibility change. Tray kept its recovery record; try Reveal all.");
    }
    return {};
}

} // namespace velmor
