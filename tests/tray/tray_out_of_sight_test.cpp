#include "tray/tray_out_of_sight.h"

#include <gtest/gtest.h>

using namespace velmor;
using Reason = TrayOutOfSight::Reason;

namespace {

// A 14-inch laptop display with its housing (663.5 to 848.5, 37 high) and, right of it, a larger
// external display whose top lies 98 points above the laptop's (so its bar is at y -98 in
// Accessibility coordinates).
const QList<QRectF> screens{QRectF(0, 0, 1512, 982), QRectF(1512, 0, 1920, 1080)};
const QList<platform::ScreenTopArea> tops{
    platform::ScreenTopArea{37, QRectF(0, 945, 663.5, 37), QRectF(848.5, 945, 663.5, 37)}, {}};

TrayOutOfSight::Placed placed(const char* app, double x, double y = 0, double width = 30)
{
    const QString bundle = QStringLiteral("com.example.") + QString::fromLatin1(app);
    TrayItem item{bundle + QStringLiteral("|identifier:") + QString::number(x),
                  QString::fromLatin1(app),
                  {},
                  QString::fromLatin1(app).toUpper(),
                  std::nullopt,
                  {},
                  700,
                  QStringLiteral("AXPress")};
    return {item, QRectF(x, y, width, 37)};
}

TrayOutOfSight::Displays displays(QList<platform::ScreenTopArea> areas = tops,
                                  std::optional<double> menusEnd = std::nullopt, bool everyDisplay = false)
{
    return {screens, areas, menusEnd, everyDisplay};
}

} // namespace

// Right of a housing is the only place an item is seen on that display: one reaching into the
// housing, lying under the menus or pushed off the left edge is behind the housing. On a display
// without one, the bar's ends lose items, and so do the frontmost app's menus. Each display's lost
// items come left to right.
TEST(TrayOutOfSight, JudgesEachItemByItsDisplaysTopEdge)
{
    const struct {
        const char* name;
        TrayOutOfSight::Placed item;
        std::optional<Reason> lost;
        int display;
    } cases[] = {
        {"right of the housing", placed("seen", 900), std::nullopt, 0},
        {"flush with the housing's edge", placed("edge", 848.5), std::nullopt, 0},
        {"reaching into the housing", placed("into", 830), Reason::BehindHousing, 0},
        {"under the menus", placed("under", 300), Reason::BehindHousing, 0},
        {"off the laptop's left edge", placed("away", -80), Reason::BehindHousing, 0},
        {"on the external display's bar", placed("outside", 2500, -98), std::nullopt, 1},
        {"left of the external display's bar", placed("before", 1400, -98), Reason::OffBarEnd, 1},
        {"past the external display's right edge", placed("after", 3420, -98), Reason::OffBarEnd, 1},
        // Frames are whole points; half a point either way is rounding, a whole one is not.
        {"flush with the external display's right end", placed("last", 3402, -98), std::nullopt, 1},
        {"half a point past its right end", placed("last", 3402.5, -98), std::nullopt, 1},
        {"a point past its right end", placed("last", 3403, -98), Reason::OffBarEnd, 1},
        {"flush with its left end", placed("first", 1512, -98), std::nullopt, 1},
        {"a point before its left end", placed("first", 1511, -98), Reason::OffBarEnd, 1},
    };
    for (const auto& test : cases) {
        const TrayOutOfSight judged = TrayOutOfSight::judge({test.item}, displays());
        if (!test.lost) {
            EXPECT_TRUE(judged.isEmpty()) << test.name;
            continue;
        }
        ASSERT_EQ(judged.items.size(), 1) << test.name;
        EXPECT_EQ(judged.items[0].reason, *test.lost) << test.name;
        EXPECT_EQ(judged.items[0].display, test.display) << test.name;
    }

    const TrayOutOfSight all =
        TrayOutOfSight::judge({placed("before", 1400, -98), placed("into", 830), placed("seen", 900),
                               placed("under", 300), placed("into", 790)},
                              displays());
    QStringList order;
    for (const auto& item : all.items)
        order.append(item.title + QStringLiteral("@") + QString::number(item.display));
    EXPECT_EQ(order, (QStringList{QStringLiteral("under@0"), QStringLiteral("into@0"),
                                  QStringLiteral("into@0"), QStringLiteral("before@1")}));
    EXPECT_EQ(all.appNames(),
              (QStringList{QStringLiteral("UNDER"), QStringLiteral("INTO"), QStringLiteral("BEFORE")}));
    EXPECT_EQ(all.reasonFor(QStringLiteral("com.example.before")), Reason::OffBarEnd);
    EXPECT_EQ(all.reasonFor(QStringLiteral("com.example.seen")), std::nullopt);

    // Without a housing the same laptop display loses what leaves the bar, and what the frontmost
    // app's menus cover once it is known where they end; an item touching their end is seen.
    EXPECT_TRUE(TrayOutOfSight::judge({placed("under", 300)}, displays({{}, {}})).isEmpty());
    const TrayOutOfSight menus = TrayOutOfSight::judge(
        {placed("under", 300), placed("edge", 470), placed("free", 480)}, displays({{}, {}}, 480));
    ASSERT_EQ(menus.items.size(), 2);
    EXPECT_EQ(menus.items[0].reason, Reason::UnderMenus);
    EXPECT_EQ(menus.items[1].title, "edge") << "any part under the menus is out of sight";
    EXPECT_TRUE(TrayOutOfSight::judge({placed("any", 300)}, {}).isEmpty()) << "no displays, no judgement";
}

// With a bar on every display the items lie on the bar in use and every other bar shows them at
// the same distance from its own right end: an icon in sight on the external display can be lost
// behind the laptop's housing at once, and each display's menus cover their own bar's left part.
TEST(TrayOutOfSight, JudgesEveryDisplaysBarOnItsOwn)
{
    // On the external display's bar (in use): 2500 lies 932 points from its right end (3432), so
    // on the laptop's bar at 580, behind the housing; 3300 lies at 1380 there, in sight.
    const QList<TrayOutOfSight::Placed> items{placed("far", 2500, -98), placed("near", 3300, -98)};
    const TrayOutOfSight judged = TrayOutOfSight::judge(items, displays(tops, 2000, true));
    EXPECT_EQ(judged.display, 1);
    EXPECT_TRUE(judged.isEmpty()) << "both are in sight on the bar in use";
    ASSERT_EQ(judged.otherDisplays.size(), 1);
    EXPECT_EQ(judged.otherDisplays[0].title, "far");
    EXPECT_EQ(judged.otherDisplays[0].display, 0);
    EXPECT_EQ(judged.otherDisplays[0].reason, Reason::BehindHousing);
    EXPECT_TRUE(TrayOutOfSight::judge(items, displays(tops, 2000, false)).otherDisplays.isEmpty())
        << "one bar, on the main display only";

    // Menus reaching 500 points into the bar in use reach as far into the other bars.
    const TrayOutOfSight underMenus =
        TrayOutOfSight::judge({placed("left", 2000, -98)}, displays({{}, {}}, 2012, true));
    ASSERT_EQ(underMenus.items.size(), 1);
    EXPECT_EQ(underMenus.items[0].reason, Reason::UnderMenus);
    ASSERT_EQ(underMenus.otherDisplays.size(), 1);
    EXPECT_EQ(underMenus.otherDisplays[0].reason, Reason::UnderMenus) << "at x 80 of the laptop's bar";
}
