#pragma once

#include "tray/tray_section.h"

#include <QPointF>
#include <QRectF>

#include <cmath>
#include <optional>

namespace velmor {

// Geometry rules of a command-drag in the menu bar.
class TrayManualDragPolicy final {
public:
    // What the controller saw of one command-drag, in screen coordinates: the icon's frame and the
    // chevron's at mouse-down, both again 0.35 s after the release and once more 0.2 s later.
    struct Frames {
        QRectF start;
        QRectF boundary;
        QRectF icon;
        QRectF chevron;
        QRectF iconLater;
        QRectF chevronLater;
    };

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

    // The section the icon was moved to: expandable when it crossed from the right of the chevron
    // to its left, alwaysVisible the other way. Absent unless icon and chevron stopped moving, all
    // of it happened on the chevron's row, the chevron kept its place but for the icon's width,
    // and the pointer was released on the icon.
    static std::optional<TraySection> droppedSection(const Frames& frames, QPointF release);

    TrayManualDragPolicy() = delete;
};

} // namespace velmor
