#pragma once

#include <QtGlobal>

#include <vector>

namespace velmor::simulated_mac {

// Where the system puts status items: right-aligned against its own items, ordered by preferred
// position (larger = further left), each item's width taken from the space to its right. An item
// whose left edge falls left of the limit where the app menus end is off screen, and so is
// everything left of it: one very wide item pushes all items on its left out of view. That very
// wide item itself (wider than all the room there is) stays in view with its right part, the way
// a stretched item keeps its right-aligned image visible and clickable.
class MenuBarLayout final {
public:
    struct Slot {
        double width = 0;
        double position = 0;
        // Breaks ties between equal positions: the larger (newer) one goes further left.
        quint64 order = 0;
    };

    struct Geometry {
        // The x where the system's own items begin; status items end here.
        double right = 0;
        // Items must start at or right of this x to be on screen.
        double leftLimit = 0;
    };

    struct Placement {
        double x = 0;
        bool onScreen = false;
        // Where the item's visible part begins: x, or the limit for a clipped wide item.
        double visibleFrom = 0;
    };

    // One placement per slot, in the slots' order.
    static std::vector<Placement> compute(const std::vector<Slot>& slots, const Geometry& geometry);
};

} // namespace velmor::simulated_mac
