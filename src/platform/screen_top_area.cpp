#include "platform/screen_top_area.h"

#include <algorithm>

namespace velmor::platform {

std::optional<QRectF> ScreenTopArea::housing() const
{
    if (safeAreaTopInset <= 0 || !auxiliaryTopLeft || !auxiliaryTopRight)
        return std::nullopt;
    const double left = auxiliaryTopLeft->right();
    const double right = auxiliaryTopRight->left();
    if (right <= left)
        return std::nullopt;
    // Screen coordinates grow upwards: the housing hangs from the top of the two areas.
    const double top = std::max(auxiliaryTopLeft->bottom(), auxiliaryTopRight->bottom());
    return QRectF(left, top - safeAreaTopInset, right - left, safeAreaTopInset);
}

QRectF ScreenTopArea::statusArea(const QRectF& screen) const
{
    if (housing())
        return *auxiliaryTopRight;
    return screen;
}

} // namespace velmor::platform
