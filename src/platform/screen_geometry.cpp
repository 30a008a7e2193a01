#include "platform/screen_geometry.h"

namespace velmor::platform {
namespace {

// The height at which the two systems meet: the primary screen's top edge in screen coordinates.
std::optional<double> flipHeight(const QList<QRectF>& screens)
{
    if (screens.isEmpty())
        return std::nullopt;
    const QRectF& primary = screens.first();
    return primary.y() + primary.height();
}

} // namespace

std::optional<QRectF> ScreenGeometry::toScreen(const QRectF& accessibilityFrame, const QList<QRectF>& screens)
{
    const auto height = flipHeight(screens);
    if (!height)
        return std::nullopt;
    return QRectF(accessibilityFrame.x(), *height - (accessibilityFrame.y() + accessibilityFrame.height()),
                  accessibilityFrame.width(), accessibilityFrame.height());
}

std::optional<QRectF> ScreenGeometry::toAccessibility(const QRectF& screenFrame, const QList<QRectF>& screens)
{
    // The flip is its own inverse.
    return toScreen(screenFrame, screens);
}

std::optional<QPointF> ScreenGeometry::toScreen(QPointF accessibilityPoint, const QList<QRectF>& screens)
{
    const auto height = flipHeight(screens);
    if (!height)
        return std::nullopt;
    return QPointF(accessibilityPoint.x(), *height - accessibilityPoint.y());
}

std::optional<QPointF> ScreenGeometry::toAccessibility(QPointF screenPoint, const QList<QRectF>& screens)
{
    return toScreen(screenPoint, screens);
}

} // namespace velmor::platform
