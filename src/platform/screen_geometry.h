#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>

#include <optional>

namespace velmor::platform {

// The two coordinate systems of the Mac's displays. Screen coordinates (AppKit: windows, screens,
// the mouse) have their origin at the bottom left of the primary screen and y growing upwards;
// Accessibility coordinates have their origin at the top left of the primary screen and y growing
// downwards. Both share x, and both are measured against the primary screen (the first frame),
// whatever screen the rectangle lies on.
class ScreenGeometry final {
public:
    // Absent without a primary screen.
    static std::optional<QRectF> toScreen(const QRectF& accessibilityFrame, const QList<QRectF>& screens);
    static std::optional<QRectF> toAccessibility(const QRectF& screenFrame, const QList<QRectF>& screens);
    static std::optional<QPointF> toScreen(QPointF accessibilityPoint, const QList<QRectF>& screens);
    static std::optional<QPointF> toAccessibility(QPointF screenPoint, const QList<QRectF>& screens);
};

} // namespace velmor::platform
