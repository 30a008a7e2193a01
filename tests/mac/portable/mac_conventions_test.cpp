#include "mac/portable/accessibility_arguments.h"
#include "mac/portable/mac_conventions.h"
#include "platform/key_combination.h"
#include "simulated_mac/simulated_mouse_events.h"

#include <QSet>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <utility>

using namespace velmor::platform;
using namespace velmor::platform::mac;
using namespace velmor::simulated_mac;

namespace {

// NSEventTypeRightMouseDragged: a type the interface does not name.
constexpr quint64 rightMouseDraggedType = 7;
constexpr quint64 shiftFlag = quint64(1) << 17;
constexpr quint64 optionFlag = quint64(1) << 19;

} // namespace

TEST(MacConventionsTest, MonitorsHandOnOnlyTheLeftButtonEventsTheyAskedFor)
{
    const quint64 mask = MouseEvents::leftButtonMask;
    const QPointF where(700, 970);
    for (const quint64 type : {MacConventions::leftMouseDownType, MacConventions::leftMouseUpType,
                               MacConventions::leftMouseDraggedType}) {
        const auto event = MacConventions::monitoredEvent(mask, type, 0, where);
        ASSERT_TRUE(event) << type;
        EXPECT_EQ(event->type, MacConventions::mouseEventType(type));
        EXPECT_EQ(event->location, where);
        EXPECT_FALSE(event->command);
    }
    // Global monitors may see more than their mask; what the interface does not name never passes.
    EXPECT_FALSE(MacConventions::monitoredEvent(mask, MacConventions::rightMouseUpType, 0, where));
    EXPECT_FALSE(MacConventions::monitoredEvent(mask, MacConventions::mouseMovedType, 0, where));
    EXPECT_FALSE(MacConventions::monitoredEvent(~quint64(0), rightMouseDraggedType, 0, where));
    EXPECT_TRUE(MacConventions::monitoredEvent(MouseEvents::mouseMovedMask, MacConventions::mouseMovedType, 0,
                                               where));
    EXPECT_FALSE(MacConventions::monitoredEvent(~quint64(0), 200, 0, where)) << "types past the mask's width";
    EXPECT_FALSE(MacConventions::monitoredEvent(MacConventions::maskOf(MacConventions::leftMouseUpType),
                                                MacConventions::leftMouseDownType, 0, where));

    // Only the Command key makes a Command-drag.
    const auto dragged = MacConventions::leftMouseDraggedType;
    EXPECT_TRUE(
        MacConventions::monitoredEvent(mask, dragged, MacConventions::commandModifierFlag | shiftFlag, {})
            ->command);
    EXPECT_FALSE(MacConventions::monitoredEvent(mask, dragged, shiftFlag | optionFlag, {})->command);
}

TEST(MacConventionsTest, TheInterfaceAndTheSimulatedMacUseTheMacsEventMasks)
{
    EXPECT_EQ(MouseEvents::leftButtonMask, MacConventions::maskOf(MacConventions::leftMouseDownType) |
                                               MacConventions::maskOf(MacConventions::leftMouseUpType) |
                                               MacConventions::maskOf(MacConventions::leftMouseDraggedType));
    for (const quint64 type : {MacConventions::leftMouseDownType, MacConventions::leftMouseUpType,
                               MacConventions::rightMouseDownType, MacConventions::rightMouseUpType,
                               MacConventions::leftMouseDraggedType, MacConventions::mouseMovedType})
        EXPECT_EQ(SimulatedMouseEvents::maskOf(MacConventions::mouseEventType(type)),
                  MacConventions::maskOf(type));
    EXPECT_EQ(MouseEvents::mouseMovedMask, MacConventions::maskOf(MacConventions::mouseMovedType));
    EXPECT_EQ(MouseEvents::leftMouseDownMask, MacConventions::maskOf(MacConventions::leftMouseDownType));
    // The chevron sends its action on both mouse-ups, and a right click must reach it.
    const quint64 both = MacConventions::actionMask(ButtonTrigger::LeftAndRightMouseUp);
    EXPECT_TRUE(MacConventions::monitoredEvent(both, MacConventions::rightMouseUpType, 0, {}));
    EXPECT_TRUE(MacConventions::monitoredEvent(both, MacConventions::leftMouseUpType, 0, {}));
    EXPECT_FALSE(MacConventions::monitoredEvent(MacConventions::actionMask(ButtonTrigger::LeftMouseUp),
                                                MacConventions::rightMouseUpType, 0, {}));
}

TEST(MacConventionsTest, SystemStatesTheInterfaceDoesNotKnowFallBackSafely)
{
    EXPECT_EQ(MacConventions::loginItemStatus(MacConventions::requiresApprovalStatus),
              LoginItemStatus::RequiresApproval);
    EXPECT_EQ(MacConventions::loginItemStatus(MacConventions::enabledStatus), LoginItemStatus::Enabled);
    EXPECT_EQ(MacConventions::loginItemStatus(MacConventions::notRegisteredStatus),
              LoginItemStatus::NotRegistered);
    EXPECT_EQ(MacConventions::loginItemStatus(4), LoginItemStatus::NotFound);
    EXPECT_EQ(MacConventions::loginItemStatus(-1), LoginItemStatus::NotFound);

    for (const auto policy :
         {ActivationPolicy::Regular, ActivationPolicy::Accessory, ActivationPolicy::Prohibited})
        EXPECT_EQ(MacConventions::activationPolicy(MacConventions::activationPolicyValue(policy)), policy);
    EXPECT_EQ(MacConventions::activationPolicy(9), ActivationPolicy::Regular);
}

TEST(MacConventionsTest, FolderPathsLoseTheirTrailingSlashesButTheRootStays)
{
    EXPECT_EQ(MacConventions::directoryPath("/var/folders/xy/T/"), "/var/folders/xy/T");
    EXPECT_EQ(MacConventions::directoryPath("/Users/ana//"), "/Users/ana");
    EXPECT_EQ(MacConventions::directoryPath("/"), "/");
    EXPECT_EQ(MacConventions::directoryPath("/Users/ana"), "/Users/ana");
}

TEST(AccessibilityArgumentsTest, TimeOutsNeverMeanTheSystemsLongDefaultByAccident)
{
    EXPECT_EQ(AccessibilityArguments::messagingTimeout(0.25), 0.25f);
    for (const double noWait : {0.0, -1.0, -0.0}) {
        const auto timeout = AccessibilityArguments::messagingTimeout(noWait);
        ASSERT_TRUE(timeout);
        EXPECT_GT(*timeout, 0.0f) << noWait << " must not become the global default";
    }
    EXPECT_FALSE(AccessibilityArguments::messagingTimeout(std::nan("")));
    EXPECT_FALSE(AccessibilityArguments::messagingTimeout(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(AccessibilityArguments::messagingTimeout(1e300));
}

TEST(AccessibilityArgumentsTest, RangesAndPointsOutsideWhatTheCallsTakeAreNotAsked)
{
    EXPECT_FALSE(AccessibilityArguments::valueRange(-1, 4));
    EXPECT_FALSE(AccessibilityArguments::valueRange(0, 0));
    const auto range = AccessibilityArguments::valueRange(3, 2);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->location, 3);
    EXPECT_EQ(range->length, 2);

    EXPECT_TRUE(AccessibilityArguments::hitTestPoint({-1512, 12}));
    EXPECT_FALSE(AccessibilityArguments::hitTestPoint({std::nan(""), 12}));
    EXPECT_FALSE(AccessibilityArguments::hitTestPoint({1e40, 12}));
}

// The Carbon hot key of every key a shortcut may use: each has a virtual key code, and the
// modifiers come out as the Carbon flags. (The Mac build checks the codes against the SDK's.)
TEST(KeyCombinationTest, EveryUsableKeyHasAMacKeyCode)
{
    QList<int> keys;
    // The printable keys, then Qt's special keys (Escape to the function keys and beyond).
    for (const auto& [first, last] :
         {std::pair(0, 0x7f), std::pair(int(Qt::Key_Escape), Qt::Key_Escape + 0xff)}) {
        for (int key = first; key <= last; ++key) {
            if (KeyCombination::isUsableKey(key))
                keys.append(key);
        }
    }
    EXPECT_EQ(keys.size(), 26 + 10 + 11 + 20 + 14);
    QSet<quint32> codes;
    for (const int key : keys) {
        const auto code = MacConventions::ansiKeyCode(key);
        ASSERT_TRUE(code) << KeyCombination::keyText(key).toStdString();
        codes.insert(*code);
    }
    EXPECT_EQ(codes.size(), keys.size()) << "no two keys share a code";
    EXPECT_EQ(MacConventions::carbonModifiers(*KeyCombination::parse(QString::fromUtf8("⌃⌥⇧⌘K"))),
              MacConventions::carbonControlKey | MacConventions::carbonOptionKey |
                  MacConventions::carbonShiftKey | MacConventions::carbonCommandKey);
    EXPECT_EQ(MacConventions::carbonModifiers(*KeyCombination::parse(QString::fromUtf8("⌘K"))),
              MacConventions::carbonCommandKey);
}
