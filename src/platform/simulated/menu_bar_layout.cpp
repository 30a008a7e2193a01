#include "platform/simulated/menu_bar_layout.h"

#include <algorithm>
#include <numeric>

namespace velmor::platform {

std::vector<MenuBarLayout::Placement> MenuBarLayout::compute(const std::vector<Slot>& slots,
                                                             const Geometry& geometry)
{
    std::vector<std::size_t> rightToLeft(slots.size());
    std::iota(rightToLeft.begin(), rightToLeft.end(), std::size_t{0});
    std::sort(rightToLeft.begin(), rightToLeft.end(), [&](std::size_t a, std::size_t b) {
        if (slots[a].position != slots[b].position)
            return slots[a].position < slots[b].position;
        return slots[a].order < slots[b].order;
    });
    std::vector<Placement> placements(slots.size());
    double edge = geometry.right;
    bool pushedOut = false;
    for (const std::size_t index : rightToLeft) {
        edge -= std::max(slots[index].width, 0.0);
        pushedOut = pushedOut || edge < geometry.leftLimit;
        placements[index] = Placement{edge, !pushedOut};
    }
    return placements;
}

} // namespace velmor::platform
