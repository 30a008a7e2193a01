#pragma once

#include <QRectF>

#include <optional>

namespace velmor::platform {

// What a display reports of its top edge. On a display with a camera housing the menu bar flows
// around it: the safe area begins below the housing, and the two auxiliary areas are the parts of
// the top edge left and right of it, in screen coordinates. A display without a housing has no
// inset and neither area.
struct ScreenTopArea {
    double safeAreaTopInset = 0;
    std::optional<QRectF> auxiliaryTopLeft;
    std::optional<QRectF> auxiliaryTopRight;

    // The housing itself: the stretch of the top edge between the two areas, as high as the
    // inset. Absent without an inset or without both areas, or when they leave no gap.
    std::optional<QRectF> housing() const;
    // Where status items can be seen on this display: the area right of the housing, or the
    // whole width of `screen` when there is none.
    QRectF statusArea(const QRectF& screen) const;

    friend bool operator==(const ScreenTopArea&, const ScreenTopArea&) = default;
};

} // namespace velmor::platform
