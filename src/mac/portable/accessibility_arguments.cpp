#include "mac/portable/accessibility_arguments.h"

#include <cmath>
#include <limits>

namespace velmor::platform::mac {
namespace {

bool fitsFloat(double value)
{
    return std::isfinite(value) && std::fabs(value) <= double(std::numeric_limits<float>::max());
}

} // namespace

std::optional<float> AccessibilityArguments::messagingTimeout(double seconds)
{
    if (!fitsFloat(seconds))
        return std::nullopt;
    const float wanted = float(seconds);
    if (wanted <= 0.0f)
        return std::numeric_limits<float>::min();
    return wanted;
}

std::optional<AccessibilityArguments::Range> AccessibilityArguments::valueRange(int index, int maximum)
{
    if (index < 0 || maximum < 1)
        return std::nullopt;
    return Range{index, maximum};
}

std::optional<QPointF> AccessibilityArguments::hitTestPoint(QPointF point)
{
    if (!fitsFloat(point.x()) || !fitsFloat(point.y()))
        return std::nullopt;
    return point;
}

} // namespace velmor::platform::mac
