#include "tray/tray_manual_drag_policy.h"

#include <algorithm>

namespace velmor {
namespace {

// Vertical centres closer than this lie on one menu bar row.
constexpr double sameRowTolerance = 4;
// How far the chevron may move beyond the width of the icon that crossed it.
constexpr double chevronSlack = 8;
// A release this close beside or above and below the icon still counts as on it.
constexpr double releaseMarginX = 12;
constexpr double releaseMarginY = 8;
// An icon that touches the chevron by at most this much still lies on one side of it.
constexpr double sideTolerance = 1;

bool sameRow(const QRectF& a, const QRectF& b)
{
    return std::abs(a.center().y() - b.center().y()) < sameRowTolerance;
}

} // namespace

std::optional<TraySection> TrayManualDragPolicy::droppedSection(const Frames& frames, QPointF release)
{
    const auto& [start, boundary, icon, chevron, iconLater, chevronLater] = frames;
    for (const QRectF& rect : {start, boundary, icon, chevron, iconLater, chevronLater}) {
        if (!usable(rect))
            return std::nullopt;
    }
    const bool settled = near(icon, iconLater) && near(chevron, chevronLater);
    const bool onOneRow = sameRow(start, boundary) && sameRow(icon, chevron) && sameRow(start, icon);
    const bool chevronSteady = std::abs(boundary.center().x() - chevron.center().x()) <=
                               std::max(start.width(), icon.width()) + chevronSlack;
    const bool releasedOnIcon =
        contains(icon.adjusted(-releaseMarginX, -releaseMarginY, releaseMarginX, releaseMarginY), release);
    if (!settled || !onOneRow || !chevronSteady || !releasedOnIcon)
        return std::nullopt;

    bool startedLeft = false;
    if (start.right() <= boundary.left() + sideTolerance)
        startedLeft = true;
    else if (start.left() < boundary.right() - sideTolerance)
        return std::nullopt;
    if (icon.right() <= chevron.left() + sideTolerance)
        return startedLeft ? std::nullopt : std::optional(TraySection::expandable);
    if (icon.left() >= chevron.right() - sideTolerance)
        return startedLeft ? std::optional(TraySection::alwaysVisible) : std::nullopt;
    return std::nullopt;
}

} // namespace velmor
