#include "tray/tray_out_of_sight.h"

#include "platform/screen_geometry.h"

#include <QSet>

#include <algorithm>
#include <limits>

namespace velmor {
namespace {

// Frames are whole points on the Mac; half a point forgives rounding at the edges.
constexpr double tolerance = 0.5;

// The display whose bar an item belongs to: the one under its centre, else (an item pushed off
// every screen) the one nearest to it among those level with it, else the primary.
int displayOf(const QRectF& frame, const QList<QRectF>& screens)
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

} // namespace

TrayOutOfSight TrayOutOfSight::judge(const QList<Placed>& placed, const QList<QRectF>& screens,
                                     const QList<platform::ScreenTopArea>& tops)
{
    TrayOutOfSight result;
    if (screens.isEmpty())
        return result;
    struct Lost {
        Item item;
        double x = 0;
    };
    QList<Lost> lost;
    for (const Placed& entry : placed) {
        const auto frame = platform::ScreenGeometry::toScreen(entry.frame, screens);
        if (!frame || !frame->isValid())
            continue;
        const int display = displayOf(*frame, screens);
        const platform::ScreenTopArea top = tops.value(display);
        const QRectF area = top.statusArea(screens[display]);
        if (frame->left() >= area.left() - tolerance && frame->right() <= area.right() + tolerance)
            continue;
        // Left of the area right of a housing, the housing is what hides an item, wherever it lies.
        const bool behindHousing = top.housing() && frame->left() < area.left() - tolerance;
        lost.append(Lost{Item{entry.item.id, entry.item.bundleID(), entry.item.appName, entry.item.title,
                              display, behindHousing ? Reason::BehindHousing : Reason::OffBarEnd},
                         frame->x()});
    }
    std::stable_sort(lost.begin(), lost.end(), [](const Lost& a, const Lost& b) {
        return a.item.display != b.item.display ? a.item.display < b.item.display : a.x < b.x;
    });
    for (const Lost& entry : lost)
        result.items.append(entry.item);
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
