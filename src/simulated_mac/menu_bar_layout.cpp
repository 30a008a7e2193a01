#include "simulated_mac/menu_bar_layout.h"

#include <algorithm>
#include <numeric>

namespace velmor::simulated_mac {

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
    const double room = geometry.right - geometry.leftLimit;
    for (const std::size_t index : rightToLeft) {
        const double width = std::max(slots[index].width, 0.0);
        const double right = edge;
        edge -= width;
        if (!pushedOut && edge < geometry.leftLimit) {
            pushedOut = true;
            if (width > room && right > geometry.leftLimit) {
                placements[index] = Placement{edge, true, geometry.leftLimit};
                continue;
            }
        }
        placements[index] = Placement{edge, !pushedOut, edge};
    }
    return placements;
}

} // namespace velmor::simulated_mac
