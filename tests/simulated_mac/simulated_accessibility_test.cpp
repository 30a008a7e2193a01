#include "support/simulated_world_fixture.h"

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;
using velmor::simulated_mac::testing::SimulatedWorldTest;

namespace {

// Laid out right to left from x 1392: B1 at 1372, B2 at 1352, B3 at 1332, S at 1312.
const char* const accessibilityWorld = R"({
  "screens": [ { "width": 1512, "height": 982 }, { "x": -1000, "y": 100, "width": 1000, "height": 700 } ],
  "apps": [
    { "bundleID": "com.example.beta", "name": "Beta", "pid": 502, "axLatency": 0.25,
      "extras": [ { "title": "B1", "width": 20, "identifier": "b.one" },
                  { "title": "  ", "description": "Second", "width": 20, "group": "pair", "actions": ["AXShowMenu"] },
                  { "title": "B3", "width": 20, "group": "pair", "identifier": "b.one" } ] },
    { "bundleID": "com.example.stuck", "name": "Stuck", "pid": 503, "axUnresponsive": true,
      "extras": [ { "title": "S", "width": 20 } ] },
    { "bundleID": "com.example.empty", "name": "Empty", "pid": 504 } ] })";

QString text(const std::optional<AccessibilityValue>& value)
{
    return value && std::holds_alternative<QString>(*value) ? std::get<QString>(*value)
                                                            : QStringLiteral("(none)");
}

AccessibilityElement element(const std::optional<AccessibilityValue>& value)
{
    return value && std::holds_alternative<AccessibilityElement>(*value)
               ? std::get<AccessibilityElement>(*value)
               : AccessibilityElement();
}

} // namespace

class SimulatedAccessibilityTest : public SimulatedWorldTest {
protected:
    void SetUp() override { start(scenario(accessibilityWorld)); }

    Accessibility& ax() { return desktop().accessibility(); }

    std::vector<AccessibilityElement> children(const AccessibilityElement& parent)
    {
        std::vector<AccessibilityElement> result;
        const auto values = ax().attributeValues(parent, QStringLiteral("AXChildren"), 0, 48);
        if (!values)
            return result;
        for (const AccessibilityValue& value : *values)
            result.push_back(std::get<AccessibilityElement>(value));
        return result;
    }

    double elapsed(const std::function<void()>& call)
    {
        const TimePoint before = m_scheduler.now();
        call();
        return toSeconds(m_scheduler.now() - before);
    }
};

TEST_F(SimulatedAccessibilityTest, ExtrasFormATreeWithStableHandles)
{
    const AccessibilityElement app = ax().applicationElement(502);
    const AccessibilityElement bar = element(ax().attribute(app, QStringLiteral("AXExtrasMenuBar")));
    ASSERT_FALSE(bar.isNull());
    EXPECT_EQ(text(ax().attribute(bar, QStringLiteral("AXRole"))), QStringLiteral("AXMenuBar"));
    EXPECT_EQ(ax().attributeValueCount(bar, QStringLiteral("AXChildren")), 2);

    // Titles, descriptions, identifiers and groups as discovery reads them are discovery's tests.
    const auto top = children(bar);
    ASSERT_EQ(top.size(), 2u);
    EXPECT_EQ(text(ax().attribute(top[1], QStringLiteral("AXRole"))), QStringLiteral("AXGroup"));
    EXPECT_EQ(ax().actionNames(top[1]), QStringList());
    EXPECT_EQ(ax().attribute(top[1], QStringLiteral("AXPosition")), AccessibilityValue(QPointF(1332, 0)));
    EXPECT_EQ(ax().attribute(top[1], QStringLiteral("AXSize")), AccessibilityValue(QSizeF(40, 24)));

    const auto grouped = children(top[1]);
    ASSERT_EQ(grouped.size(), 2u);
    EXPECT_FALSE(ax().attribute(grouped[0], QStringLiteral("AXIdentifier"))) << "absent when empty";
    EXPECT_EQ(element(ax().attribute(grouped[1], QStringLiteral("AXParent"))), top[1]);
    EXPECT_EQ(element(ax().attribute(top[1], QStringLiteral("AXParent"))), bar);
    EXPECT_EQ(element(ax().attribute(bar, QStringLiteral("AXParent"))), app);
    EXPECT_EQ(children(bar)[1], top[1]) << "the same element on every query";
    EXPECT_EQ(ax().processIdentifier(grouped[0]), 502);

    EXPECT_EQ(ax().actionNames(grouped[0]), QStringList{QStringLiteral("AXShowMenu")});
    EXPECT_FALSE(ax().performAction(grouped[0], QStringLiteral("AXPress")));
    EXPECT_TRUE(ax().performAction(grouped[0], QStringLiteral("AXShowMenu")));
    ASSERT_EQ(desktop().accessibility().performedActions().size(), 1);
    EXPECT_EQ(desktop().accessibility().performedActions().first().key,
              QStringLiteral("status:com.example.beta::Item-1"));

    EXPECT_EQ(ax().attributeValues(bar, QStringLiteral("AXChildren"), 1, 5)->size(), 1u);
    EXPECT_FALSE(ax().attributeValues(bar, QStringLiteral("AXChildren"), 3, 5));
    EXPECT_FALSE(ax().attribute(ax().applicationElement(504), QStringLiteral("AXExtrasMenuBar")))
        << "an app without extras has no extras bar";
    EXPECT_FALSE(ax().attribute(ax().applicationElement(999), QStringLiteral("AXRole")));
}

// What slow and unresponsive apps cost a scan is discovery's test, on the same clock; here the
// defaults it does not set.
TEST_F(SimulatedAccessibilityTest, CallsCostVirtualTime)
{
    const AccessibilityElement beta = ax().applicationElement(502);
    EXPECT_DOUBLE_EQ(elapsed([&] { ax().processIdentifier(beta); }), 0) << "a local call";
    const AccessibilityElement stuck = ax().applicationElement(503);
    std::optional<AccessibilityValue> answer;
    EXPECT_DOUBLE_EQ(elapsed([&] { answer = ax().attribute(stuck, QStringLiteral("AXExtrasMenuBar")); }), 6);
    EXPECT_FALSE(answer) << "an unresponsive app's call fails";

    ax().setMessagingTimeout(ax().systemWideElement(), 1);
    const AccessibilityElement item =
        desktop().accessibility().itemElement(desktop().menuBar().entriesOf(503).first()->id);
    EXPECT_DOUBLE_EQ(elapsed([&] { ax().actionNames(item); }), 1)
        << "the system-wide time-out is the default";
    std::optional<AccessibilityElement> hit;
    EXPECT_DOUBLE_EQ(
        elapsed([&] { hit = ax().elementAtPosition(ax().systemWideElement(), QPointF(1320, 10)); }), 1);
    EXPECT_FALSE(hit) << "the owner of the point does not answer";

    desktop().setAccessibilityTrusted(false);
    EXPECT_DOUBLE_EQ(elapsed([&] { ax().attribute(stuck, QStringLiteral("AXRole")); }), 0);
}

TEST_F(SimulatedAccessibilityTest, HitTestingUsesTopLeftCoordinates)
{
    const AccessibilityElement systemWide = ax().systemWideElement();
    const auto b1 = ax().elementAtPosition(systemWide, QPointF(1382, 12));
    ASSERT_TRUE(b1);
    EXPECT_EQ(text(ax().attribute(*b1, QStringLiteral("AXTitle"))), QStringLiteral("B1"));
    EXPECT_EQ(ax().processIdentifier(*b1), 502);
    EXPECT_EQ(ax().elementAtPosition(systemWide, QPointF(1372, 0)), b1)
        << "an item owns its left and top edges";
    EXPECT_NE(ax().elementAtPosition(systemWide, QPointF(1371.5, 0)), b1);
    EXPECT_FALSE(ax().elementAtPosition(systemWide, QPointF(1382, 24))) << "below the bar";

    const auto empty = ax().elementAtPosition(systemWide, QPointF(700, 5));
    ASSERT_TRUE(empty);
    EXPECT_EQ(text(ax().attribute(*empty, QStringLiteral("AXRole"))), QStringLiteral("AXMenuBar"));
    EXPECT_NE(ax().processIdentifier(*empty), 502);
    const auto controlCenter = ax().elementAtPosition(systemWide, QPointF(1400, 10));
    ASSERT_TRUE(controlCenter);
    EXPECT_EQ(text(ax().attribute(*controlCenter, QStringLiteral("AXDescription"))),
              QStringLiteral("Control Center"));
    EXPECT_EQ(
        desktop().workspace().runningApplication(*ax().processIdentifier(*controlCenter))->bundleIdentifier,
        QStringLiteral("com.apple.controlcenter"));

    // A point on the second screen, left of and below the primary's top edge.
    EXPECT_FALSE(ax().elementAtPosition(systemWide, QPointF(-500, 300)));
    EXPECT_EQ(desktop().screens().frames().size(), 2);
    EXPECT_EQ(desktop().screens().mainVisibleFrame(), QRectF(0, 64, 1512, 982 - 24 - 64));

    desktop().accessibility().reassignOwner(*b1, 777);
    EXPECT_EQ(ax().processIdentifier(*ax().elementAtPosition(systemWide, QPointF(1382, 12))), 777)
        << "an element that changed owner reports its new process";
}
