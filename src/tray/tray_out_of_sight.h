#pragma once

#include "platform/screen_top_area.h"
#include "tray/tray_item.h"

#include <QList>
#include <QRectF>
#include <QStringList>

#include <optional>

namespace velmor {

// Which discovered menu bar items no one can see. An item is out of sight when any part of it is
// behind a camera housing, under the frontmost app's menus, or past the display's edge. The items'
// windows lie on the bar in use; with "Displays have separate Spaces" every other display shows the
// same items at the same distance from its own right end, so each display is judged on its own.
// Judged from the frames and the displays' geometry alone, so it costs no message beyond reading
// the frames and the frontmost app's menus.
struct TrayOutOfSight {
    enum class Reason { BehindHousing, UnderMenus, OffBarEnd };

    struct Item {
        QString itemID;
        QString bundleID;
        QString appName;
        QString title;
        // The display whose menu bar the item is lost on, by its index among the screens.
        int display = 0;
        Reason reason = Reason::OffBarEnd;

        friend bool operator==(const Item&, const Item&) = default;
    };

    // A discovered item and its frame in Accessibility coordinates (origin top left of the
    // primary screen, y down).
    struct Placed {
        TrayItem item;
        QRectF frame;
    };

    // What the judgement needs to know of the displays.
    struct Displays {
        // Screen coordinates, the primary first.
        QList<QRectF> screens;
        // Their top edges, in the same order.
        QList<platform::ScreenTopArea> tops;
        // Where the frontmost app's menus end on the bar in use (x, shared by both coordinate
        // systems); absent when unknown. Every bar shows the same menus from its left edge.
        std::optional<double> menusEnd;
        // Every display shows a menu bar with the status items, not only the one in use.
        bool everyDisplay = false;
    };

    // The items lost on the bar in use (the display that holds their windows), left to right.
    QList<Item> items;
    // The items lost on the other displays' bars, display by display, each left to right.
    QList<Item> otherDisplays;
    // The display whose bar is in use.
    int display = 0;

    static TrayOutOfSight judge(const QList<Placed>& placed, const Displays& displays);
    // Why an item with this frame (screen coordinates) cannot be seen on the display with this
    // frame and top edge; absent when it can.
    static std::optional<Reason> reason(const QRectF& frame, const QRectF& screen,
                                        const platform::ScreenTopArea& top, std::optional<double> menusWidth);
    // The display whose bar an item with this frame (screen coordinates) belongs to: the one under
    // its centre, else the nearest one level with it, else the primary.
    static int displayOf(const QRectF& frame, const QList<QRectF>& screens);

    bool isEmpty() const { return items.isEmpty(); }
    bool contains(const QString& itemID) const;
    // The reason an app's icons are lost: behind the housing when any of them is.
    std::optional<Reason> reasonFor(const QString& bundleID) const;
    // The apps with a lost icon, each once, in the items' order.
    QStringList appNames() const;
    QStringList bundleIDs() const;

    friend bool operator==(const TrayOutOfSight&, const TrayOutOfSight&) = default;
};

} // namespace velmor
