#include "tray_visibility/tray_position_error.h"

namespace velmor {

QString TrayPositionError::description() const
{
    switch (m_case) {
    case Case::unsupported:
        return QStringLiteral("macOS menu bar positions have an unsupported format. Nothing was rearranged.");
    case Case::access:
        return QStringLiteral(
            "Tray could not access macOS menu bar positions. Check Full Disk Access and try again.");
    case Case::missing:
        return QStringLiteral(
            "Some running apps have no unambiguous saved menu bar position. Refresh and try "
            "arranging again.");
    case Case::verification:
        return QStringLiteral(
            "macOS did not confirm the saved positions. Tray kept the position recovery record.");
    }
    return {};
}

} // namespace velmor
