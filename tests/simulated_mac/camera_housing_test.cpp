#include "support/simulated_world_fixture.h"

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;
using velmor::simulated_mac::testing::SimulatedWorldTest;

namespace {

// A built-in display with a 200-point housing (x 400 to 600) and an external one to its right.
// Status items end at x 900, where the system's items begin: A, B and C fill the 300 points right
// of the housing; D would reach into it and E lies further left.
const char* const housingWorld = R"({
  "screens": [ { "width": 1000, "height": 1000, "housing": { "width": 200 } },
               { "x": 1000, "y": 0, "width": 1600, "height": 1000 } ],
  "menuBar": { "systemItemsWidth": 100 },
  "apps": [
    { "bundleID": "com.example.a", "name": "A", "pid": 601, "extras": [ { "title": "A", "width": 100, "position": 100 } ] },
    { "bundleID": "com.example.b", "name": "B", "pid": 602, "extras": [ { "title": "B", "width": 100, "position": 200 } ] },
    { "bundleID": "com.example.c", "name": "C", "pid": 603, "extras": [ { "title": "C", "width": 100, "position": 300 } ] },
    { "bundleID": "com.example.d", "name": "D", "pid": 604, "extras": [ { "title": "D", "width": 50, "position": 400 } ] },
    { "bundleID": "com.example.e", "name": "E", "pid": 605, "extras": [ { "title": "E", "width": 50, "position": 500 } ] } ] })";

const QString dKey = QStringLiteral("status:com.example.d::Item-0");
const QString cKey = QStringLiteral("status:com.example.c::Item-0");

} // namespace

class CameraHousingTest : public SimulatedWorldTest {
protected:
    void SetUp() override { start(scenario(housingWorld)); }

    QStringList offScreenTitles()
    {
        QStringList titles;
        for (const auto& item : desktop().snapshot().offScreen)
            titles.append(item.title);
        return titles;
    }
    AccessibilityElement itemOf(qint32 pid)
    {
        Accessibility& ax = desktop().accessibility();
        const auto bar = ax.attribute(ax.applicationElement(pid), QStringLiteral("AXExtrasMenuBar"));
        if (!bar || !std::holds_alternative<AccessibilityElement>(*bar))
            return {};
        const auto items =
            ax.attributeValues(std::get<AccessibilityElement>(*bar), QStringLiteral("AXChildren"), 0, 1);
        return items && !items->empty() ? std::get<AccessibilityElement>(items->front())
                                        : AccessibilityElement();
    }
};

// The system does not draw an item that would reach into the housing, nor those left of it, and a
// click cannot reach them; yet they keep their windows: Accessibility still reports them where
// they are laid out, and a press still opens their menus.
TEST_F(CameraHousingTest, ItemsThatDoNotFitRightOfTheHousingAreOutOfSightButKeepTheirElements)
{
    EXPECT_EQ(visibleTitles(), (QStringList{QStringLiteral("C"), QStringLiteral("B"), QStringLiteral("A")}));
    EXPECT_EQ(offScreenTitles(), (QStringList{QStringLiteral("E"), QStringLiteral("D")}));

    const ScreenTopArea top = desktop().screens().topAreas().first();
    EXPECT_EQ(top, (ScreenTopArea{24, QRectF(0, 976, 400, 24), QRectF(600, 976, 400, 24)}));
    EXPECT_EQ(top.housing(), QRectF(400, 976, 200, 24));
    EXPECT_EQ(desktop().screens().topAreas()[1], ScreenTopArea{}) << "the external display has no housing";

    Accessibility& ax = desktop().accessibility();
    const AccessibilityElement d = itemOf(604);
    ASSERT_FALSE(d.isNull());
    EXPECT_EQ(ax.attribute(d, QStringLiteral("AXPosition")), AccessibilityValue(QPointF(550, 0)));
    const auto hit = ax.elementAtPosition(ax.systemWideElement(), QPointF(575, 12));
    EXPECT_TRUE(!hit || *hit != d) << "hit testing never finds an item out of sight";
    EXPECT_FALSE(desktop().clickExtra(dKey)) << "nor can a person click it";

    EXPECT_TRUE(ax.performAction(d, QStringLiteral("AXPress")));
    ASSERT_TRUE(desktop().extraMenu());
    EXPECT_EQ(desktop().extraMenu()->owner, QStringLiteral("com.example.d"));
    EXPECT_TRUE(desktop().clickExtra(cKey)) << "another item's menu replaces it";
    EXPECT_EQ(desktop().extraMenu()->owner, QStringLiteral("com.example.c"));
    EXPECT_EQ(desktop().extraMenu()->items.last().title, QStringLiteral("Quit C"));
    EXPECT_TRUE(desktop().chooseExtraMenuItem(static_cast<int>(desktop().extraMenu()->items.size()) - 1));
    EXPECT_FALSE(desktop().extraMenu());
    EXPECT_FALSE(desktop().workspace().find(QStringLiteral("com.example.c"))->running);
}
