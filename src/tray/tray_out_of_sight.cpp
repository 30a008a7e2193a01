#include "tray/tray_out_of_sight.h"

#include "platform/screen_geometry.h"

#include <QSet>

#include <algorithm>
#include <limits>

namespace velmor {
namespace {

// Frames are whole points on the Mac; half a point forgives rounding at the edges.
constexpr double tolerance = 0.5;

struct Lost {
    TrayOutOfSight::Item item;
    double x = 0;
};

QList<TrayOutOfSight::Item> inOrder(QList<Lost> lost)
{
    std::stable_sort(lost.begin(), lost.end(), [](const Lost& a, const Lost& b) {
        return a.item.display != b.item.display ? a.item.display < b.item.display : a.x < b.x;
    });
    QList<TrayOutOfSight::Item> items;
    items.reserve(lost.size());
    for (const Lost& entry : lost)
        items.append(entry.item);
    return items;
}

} // namespace

int TrayOutOfSight::displayOf(const QRectF& frame, const QList<QRectF>& screens)
{
    const QPointF centre = frame.center();
    for (int i = 0; i < screens.size(); ++i) {
        if (screens[i].contains(centre))
            return i;
    }
    int nearest = 0;
    double distance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < screens.size(); ++i) {
        const QRectF& screen = screens[i];
        if (centre.y() < screen.top() || centre.y() > screen.bottom())
            continue;
        const double away =
            centre.x() < screen.left() ? screen.left() - centre.x() : centre.x() - screen.right();
        if (away < distance) {
            distance = away;
            nearest = i;
        }
    }
    return nearest;
}

std::optional<TrayOutOfSight::Reason> TrayOutOfSight::reason(const QRectF& frame, const QRectF& screen,
                                                             const platform::ScreenTopArea& top,
                                                             std::optional<double> menusWidth)
{
    const QRectF area = top.statusArea(screen);
    // Left of the area right of a housing, the housing is what hides an item, wherever it lies:
    // the menus end left of it.
    if (top.housing() && frame.left() < area.left() - tolerance)
        return Reason::BehindHousing;
    if (frame.left() < screen.left() - tolerance || frame.right() > area.right() + tolerance)
        return Reason::OffBarEnd;
    if (!top.housing() && menusWidth && frame.left() < screen.left() + *menusWidth - tolerance)
        return Reason::UnderMenus;
    return std::nullopt;
}

TrayOutOfSight TrayOutOfSight::judge(const QList<Placed>& placed, const Displays& displays)
{
    TrayOutOfSight result;
    const QList<QRectF>& screens = displays.screens;
    if (screens.isEmpty())
        return result;
    QList<Lost> inUse;
    QList<Lost> elsewhere;
    bool displayKnown = false;
    std::optional<double> menusWidth;
    for (const Placed& entry : placed) {
        const auto frame = platform::ScreenGeometry::toScreen(entry.frame, screens);
        if (!frame || !frame->isValid())
            continue;
        const int own = displayOf(*frame, screens);
        if (!displayKnown) {
            result.display = own;
            displayKnown = true;
            if (displays.menusEnd)
                menusWidth = std::max(*displays.menusEnd - screens[own].left(), 0.0);
        }
        const auto lostOn = [&](int on, const QRectF& where, QList<Lost>& into) {
            const auto why = reason(where, screens[on], displays.tops.value(on), menusWidth);
            if (why) {
                into.append(Lost{Item{entry.item.id, entry.item.bundleID(), entry.item.appName,
                                      entry.item.title, on, *why},
                                 where.x()});
            }
        };
        lostOn(own, *frame, inUse);
        if (!displays.everyDisplay)
            continue;
        // Every bar lays the items out from its own right end, the system's items being alike.
        const QRectF& home = screens[own];
        for (int index = 0; index < screens.size(); ++index) {
            if (index == own)
                continue;
            const QRectF& other = screens[index];
            const QRectF there =
                frame->translated(other.right() - home.right(), other.bottom() - home.bottom());
            lostOn(index, there, elsewhere);
        }
    }
    result.items = inOrder(std::move(inUse));
    result.otherDisplays = inOrder(std::move(elsewhere));
    return result;
}

bool TrayOutOfSight::contains(const QString& itemID) const
{
    return std::any_of(items.cbegin(), items.cend(), [&](const Item& item) { return item.itemID == itemID; });
}

std::optional<TrayOutOfSight::Reason> TrayOutOfSight::reasonFor(const QString& bundleID) const
{
    std::optional<Reason> reason;
    for (const Item& item : items) {
        if (item.bundleID != bundleID)
            continue;
        if (item.reason == Reason::BehindHousing)
            return item.reason;
        reason = item.reason;
    }
    return reason;
}

QStringList TrayOutOfSight::appNames() const
{
    QStringList names;
    QSet<QString> seen;
    for (const Item& item : items) {
        if (!seen.contains(item.bundleID)) {
            seen.insert(item.bundleID);
            names.append(item.appName);
        }
    }
    return names;
}

QStringList TrayOutOfSight::bundleIDs() const
{
    QStringList ids;
    for (const Item& item : items) {
        if (!ids.contains(item.bundleID))
            ids.append(item.bundleID);
    }
    return ids;
}

} // namespace velmor
