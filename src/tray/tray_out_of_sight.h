#pragma once

#include "platform/screen_top_area.h"
#include "tray/tray_item.h"

#include <QList>
#include <QRectF>
#include <QStringList>

namespace velmor {

// Which discovered menu bar items no one can see, per display: on a display with a camera housing
// the items that do not fit right of it (the system keeps them, out of sight and out of reach);
// elsewhere the items pushed off the bar's end. Judged from the items' frames and the displays'
// geometry alone, so it costs no message beyond reading the frames.
struct TrayOutOfSight {
    enum class Reason { BehindHousing, OffBarEnd };

    struct Item {
        QString itemID;
        QString bundleID;
        QString appName;
        QString title;
        // The display whose menu bar the item belongs to, by its index among the screens.
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

    // The lost items, display by display, each display's left to right.
    QList<Item> items;

    // `screens` are the displays' frames (screen coordinates, the primary first) and `tops` their
    // top edges, in the same order.
    static TrayOutOfSight judge(const QList<Placed>& placed, const QList<QRectF>& screens,
                                const QList<platform::ScreenTopArea>& tops);

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
