#pragma once

#include <QPointF>
#include <QRectF>

#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

class NativeTrayController;
class TrayModel;

// The empty stretch of the menu bar: right of the frontmost app's menus and left of the first
// status item, on the display whose bar holds the chevron. Screen coordinates (origin bottom left).
struct TrayBarSpace {
    QRectF bar;
    // Where the frontmost app's menus end, and where the status items begin.
    double menusEnd = 0;
    double itemsStart = 0;

    bool contains(QPointF point) const
    {
        return point.y() >= bar.top() && point.y() <= bar.bottom() && point.x() >= menusEnd &&
               point.x() < itemsStart;
    }
    // Whether a point lies on the bar at all, a cheap first look before the rest is read.
    static bool onBar(const NativeTrayController& controller, const platform::Services& services,
                      QPointF point);

    // Reads the bar: the chevron's window spans its height; the frontmost app's menu bar through
    // Accessibility (one app asked, a handful of messages); the status items from the model's last
    // look and the tray's own items. Absent while any of it cannot be read: nothing is then taken
    // for empty space.
    static std::optional<TrayBarSpace> read(const platform::Services& services, const TrayModel& model,
                                            const NativeTrayController& controller);
    // The right end of the frontmost app's menus (x), read from its menu bar's items; absent when
    // it cannot be read or the app reports more menus than any app has.
    static std::optional<double> frontmostMenusEnd(const platform::Services& services);
};

} // namespace velmor
