#pragma once

#include <QPointF>

#include <optional>

namespace velmor::platform::mac {

// The arguments the Mac's Accessibility calls take, derived from the interface's, and the raw
// values the Mac backend reads back. Kept here so that every choice is tested on every platform.
class AccessibilityArguments final {
public:
    // AXValueType.
    static constexpr int pointValueType = 1;
    static constexpr int sizeValueType = 2;

    struct Range {
        long location = 0;
        long length = 0;
    };

    // The time-out for AXUIElementSetMessagingTimeout, in seconds. The system reads 0 as "use
    // the global time-out" (several seconds), the opposite of a caller asking not to wait, so a
    // zero or negative wish waits as little as the system allows. Absent (leave the element's
    // time-out unchanged) for a wish that is not a number or does not fit the call's float.
    static std::optional<float> messagingTimeout(double seconds);

    // The index and count for AXUIElementCopyAttributeValues; absent when no value can be asked
    // for (a negative index, or a maximum below one).
    static std::optional<Range> valueRange(int index, int maximum);

    // The hit-test point for AXUIElementCopyElementAtPosition, which takes floats; absent for a
    // point that is not finite or does not fit them.
    static std::optional<QPointF> hitTestPoint(QPointF point);
};

} // namespace velmor::platform::mac
