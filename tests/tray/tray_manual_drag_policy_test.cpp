#include "tray/tray_manual_drag_policy.h"

#include <QList>

#include <gtest/gtest.h>

#include <functional>

using namespace velmor;
using Frames = TrayManualDragPolicy::Frames;

namespace {

// Screen coordinates, y up: the bar's row is 958 to 982. The chevron stood at 700; the dragged
// icon, 30 points wide, crossed it, and the chevron moved the icon's width the other way.
Frames rightToLeft()
{
    const QRectF icon(650, 958, 30, 24), chevron(730, 958, 26, 24);
    return {QRectF(760, 958, 30, 24), QRectF(700, 958, 26, 24), icon, chevron, icon, chevron};
}

Frames leftToRight()
{
    const QRectF icon(720, 958, 30, 24), chevron(670, 958, 26, 24);
    return {QRectF(640, 958, 30, 24), QRectF(700, 958, 26, 24), icon, chevron, icon, chevron};
}

struct Case {
    const char* what;
    std::function<void(Frames&, QPointF&)> change;
    bool counts;
};

void moveIcon(Frames& f, double dx, double dy)
{
    f.icon.translate(dx, dy);
    f.iconLater.translate(dx, dy);
}

void moveChevron(Frames& f, double dx, double dy)
{
    f.chevron.translate(dx, dy);
    f.chevronLater.translate(dx, dy);
}

} // namespace

TEST(TrayManualDragPolicy, AnIconThatCrossedTheChevronChangesSection)
{
    EXPECT_EQ(TrayManualDragPolicy::droppedSection(rightToLeft(), rightToLeft().icon.center()),
              TraySection::expandable);
    EXPECT_EQ(TrayManualDragPolicy::droppedSection(leftToRight(), leftToRight().icon.center()),
              TraySection::alwaysVisible);
}

// Each guard on its own, at its exact limit and just past it, from a drop that counts.
TEST(TrayManualDragPolicy, EveryGuardAtItsLimit)
{
    const QList<Case> cases{
        {"icon settled within a point", [](Frames& f, QPointF&) { f.iconLater.translate(1, 0); }, true},
        {"icon still moving", [](Frames& f, QPointF&) { f.iconLater.translate(1.5, 0); }, false},
        {"icon still growing", [](Frames& f, QPointF&) { f.iconLater.setWidth(31.5); }, false},
        {"chevron still moving", [](Frames& f, QPointF&) { f.chevronLater.translate(0, 1.5); }, false},
        {"start and chevron 3.8 apart",
         [](Frames& f, QPointF&) {
             f.start.translate(0, 1.9);
             f.boundary.translate(0, -1.9);
         },
         true},
        {"start and chevron on two rows",
         [](Frames& f, QPointF&) {
             f.start.translate(0, 2);
             f.boundary.translate(0, -2);
         },
         false},
        {"icon and chevron on two rows",
         [](Frames& f, QPointF&) {
             moveIcon(f, 0, 2);
             moveChevron(f, 0, -2);
         },
         false},
        {"icon left the row it started on",
         [](Frames& f, QPointF&) {
             f.start.translate(0, 2);
             f.boundary.translate(0, 2);
             moveIcon(f, 0, -2);
             moveChevron(f, 0, -2);
         },
         false},
        {"chevron moved the icon's width and 8", [](Frames& f, QPointF&) { moveChevron(f, 8, 0); }, true},
        {"chevron moved further", [](Frames& f, QPointF&) { moveChevron(f, 8.5, 0); }, false},
        {"released 12 left of the icon", [](Frames& f, QPointF& p) { p.setX(f.icon.left() - 12); }, true},
        {"released further left", [](Frames& f, QPointF& p) { p.setX(f.icon.left() - 12.5); }, false},
        {"released just inside 12 right", [](Frames& f, QPointF& p) { p.setX(f.icon.right() + 11.9); }, true},
        {"released 12 right of the icon", [](Frames& f, QPointF& p) { p.setX(f.icon.right() + 12); }, false},
        {"released 8 below the icon", [](Frames& f, QPointF& p) { p.setY(f.icon.top() - 8); }, true},
        {"released further below", [](Frames& f, QPointF& p) { p.setY(f.icon.top() - 8.5); }, false},
        {"released 8 above the icon", [](Frames& f, QPointF& p) { p.setY(f.icon.bottom() + 8); }, false},
        {"released far away", [](Frames&, QPointF& p) { p = QPointF(300, 970); }, false},
        {"started touching the chevron by a point", [](Frames& f, QPointF&) { f.start.moveLeft(725); }, true},
        {"started on the chevron", [](Frames& f, QPointF&) { f.start.moveLeft(724.5); }, false},
        {"ended touching the chevron by a point",
         [](Frames& f, QPointF& p) {
             moveIcon(f, 51, 0);
             p = f.icon.center();
         },
         true},
        {"ended on the chevron",
         [](Frames& f, QPointF& p) {
             moveIcon(f, 51.5, 0);
             p = f.icon.center();
         },
         false},
        {"ended right where it started",
         [](Frames& f, QPointF& p) {
             moveIcon(f, 110, 0);
             moveChevron(f, -30, 0);
             p = f.icon.center();
         },
         false},
        {"an icon without width", [](Frames& f, QPointF&) { f.icon.setWidth(0); }, false},
        {"a frame off the number line", [](Frames& f, QPointF&) { f.boundary.moveLeft(qQNaN()); }, false},
    };
    for (const Case& c : cases) {
        Frames frames = rightToLeft();
        QPointF release = frames.icon.center();
        c.change(frames, release);
        EXPECT_EQ(TrayManualDragPolicy::droppedSection(frames, release).has_value(), c.counts) << c.what;
    }

    Frames leftToLeft = leftToRight();
    moveIcon(leftToLeft, -110, 0);
    moveChevron(leftToLeft, 30, 0);
    EXPECT_FALSE(TrayManualDragPolicy::droppedSection(leftToLeft, leftToLeft.icon.center()));
}
