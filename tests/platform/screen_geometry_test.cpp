#include "platform/screen_geometry.h"

#include <gtest/gtest.h>

using namespace velmor::platform;

namespace {

const QRectF primary(0, 0, 1512, 982);
// A second display to the right and a little higher, and a third one above the primary.
const QRectF rightDisplay(1512, 200, 1920, 1080);
const QRectF aboveDisplay(0, 982, 1728, 1117);

} // namespace

TEST(ScreenGeometryTest, OtherDisplaysAreMeasuredFromThePrimaryScreenToo)
{
    const QList<QRectF> screens{primary, rightDisplay, aboveDisplay};
    // The right display's menu bar: its top edge is at screen y 1280, Accessibility y -298.
    const auto onRight = ScreenGeometry::toScreen(QRectF(3000, -298, 30, 24), screens);
    ASSERT_TRUE(onRight);
    EXPECT_EQ(*onRight, QRectF(3000, 1256, 30, 24));
    EXPECT_TRUE(rightDisplay.contains(onRight->center()));
    EXPECT_FALSE(primary.contains(onRight->center()));

    // The display above has negative Accessibility y for all of it.
    const auto above = ScreenGeometry::toAccessibility(QRectF(10, 2000, 100, 50), screens);
    ASSERT_TRUE(above);
    EXPECT_EQ(*above, QRectF(10, -1068, 100, 50));

    // The screen order is the system's: the first frame is the primary one, whatever its size. An
    // item in the primary menu bar, 24 points high at its top edge:
    EXPECT_EQ(ScreenGeometry::toScreen(QRectF(1300, 0, 30, 24), {primary, rightDisplay}),
              QRectF(1300, 958, 30, 24));
    EXPECT_NE(ScreenGeometry::toScreen(QRectF(1300, 0, 30, 24), {rightDisplay, primary}),
              QRectF(1300, 958, 30, 24));
}

TEST(ScreenGeometryTest, FlippingTwiceGivesBackThePointAndNoScreensGiveNothing)
{
    const QList<QRectF> screens{primary, aboveDisplay};
    const QPointF mouse(812.5, 970.25);
    const auto ax = ScreenGeometry::toAccessibility(mouse, screens);
    ASSERT_TRUE(ax);
    EXPECT_EQ(*ax, QPointF(812.5, 11.75));
    EXPECT_EQ(ScreenGeometry::toScreen(*ax, screens), mouse);
    EXPECT_FALSE(ScreenGeometry::toScreen(QRectF(1, 2, 3, 4), {}));
    EXPECT_FALSE(ScreenGeometry::toAccessibility(QPointF(1, 2), {}));
}
