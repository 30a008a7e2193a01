#include "platform/simulated/simulated_screens.h"

#include <algorithm>

namespace velmor::platform {

std::optional<QRectF> SimulatedScreens::mainVisibleFrame() const
{
    if (m_frames.isEmpty())
        return std::nullopt;
    const QRectF& screen = m_frames.first();
    const double height = std::max(screen.height() - m_menuBarHeight - dockHeight, 0.0);
    // Screen coordinates grow upwards: the Dock takes the bottom, the menu bar the top.
    return QRectF(screen.x(), screen.y() + dockHeight, screen.width(), height);
}

} // namespace velmor::platform
