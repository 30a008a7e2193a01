#pragma once

#include <QRectF>

#include <cmath>

namespace velmor {

// Geometry rules of a command-drag in the menu bar.
class TrayManualDragPolicy final {
public:
    // Two frames are the same place when every edge and extent differs by at most a point.
    static bool near(const QRectF& a, const QRectF& b)
    {
        return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1 &&
               std::abs(a.width() - b.width()) <= 1 && std::abs(a.height() - b.height()) <= 1;
    }

    // Finite edges and a positive size.
    static bool usable(const QRectF& rect)
    {
        return std::isfinite(rect.left()) && std::isfinite(rect.right()) && std::isfinite(rect.top()) &&
               std::isfinite(rect.bottom()) && rect.width() > 0 && rect.height() > 0;
    }

    // Containment as the window server counts it: the minimum edges belong to the rectangle, the
    // maximum edges do not.
    static bool contains(const QRectF& rect, const QPointF& point)
    {
        return point.x() >= rect.left() && point.x() < rect.right() && point.y() >= rect.top() &&
               point.y() < rect.bottom();
    }

    TrayManualDragPolicy() = delete;
};

} // namespace velmor
