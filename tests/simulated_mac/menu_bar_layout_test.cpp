#include "simulated_mac/menu_bar_layout.h"

#include <gtest/gtest.h>

using namespace velmor::simulated_mac;

namespace {

const MenuBarLayout::Geometry geometry{1392, 480};

} // namespace

TEST(MenuBarLayoutTest, LargerPositionsSitFurtherLeftAndTiesGoToTheNewerItem)
{
    const auto placements =
        MenuBarLayout::compute({{30, 100, 1}, {20, 300, 2}, {40, 200, 3}, {10, 200, 4}}, geometry);
    EXPECT_DOUBLE_EQ(placements[0].x, 1362); // rightmost: smallest position
    EXPECT_DOUBLE_EQ(placements[2].x, 1322);
    EXPECT_DOUBLE_EQ(placements[3].x, 1312) << "equal positions: the newer one goes left";
    EXPECT_DOUBLE_EQ(placements[1].x, 1292);
    for (const auto& placement : placements)
        EXPECT_TRUE(placement.onScreen);
}

TEST(MenuBarLayoutTest, AnItemThatDoesNotFitPushesEverythingOnItsLeftOffScreen)
{
    // 900 points fit between 480 and 1392 only for the first two; the third crosses the limit.
    const auto crowded = MenuBarLayout::compute({{400, 1, 1}, {500, 2, 2}, {20, 3, 3}, {5, 4, 4}}, geometry);
    EXPECT_TRUE(crowded[0].onScreen);
    EXPECT_TRUE(crowded[1].onScreen);
    EXPECT_FALSE(crowded[2].onScreen);
    EXPECT_DOUBLE_EQ(crowded[2].x, 472) << "off-screen items keep their computed place";
    EXPECT_FALSE(crowded[3].onScreen) << "everything left of an off-screen item is off screen";

    const auto stretched = MenuBarLayout::compute({{26, 10, 1}, {10000, 20, 2}, {22, 30, 3}}, geometry);
    EXPECT_TRUE(stretched[0].onScreen);
    EXPECT_TRUE(stretched[1].onScreen) << "a stretched item keeps its right part in view";
    EXPECT_DOUBLE_EQ(stretched[1].visibleFrom, 480);
    EXPECT_LT(stretched[1].x, 0);
    EXPECT_FALSE(stretched[2].onScreen);
    EXPECT_LT(stretched[2].x, 0);

    const auto exact = MenuBarLayout::compute({{912, 1, 1}}, geometry);
    EXPECT_TRUE(exact[0].onScreen) << "an item ending exactly at the limit still fits";
}
