#include "foundation/uuid_text.h"
#include "organizer_fixture.h"
#include "simulated_mac/simulated_desktop.h"

using namespace velmor;
using namespace velmor::test;

namespace {

QString statusItem(const char* bundleID)
{
    return QStringLiteral("statusItem:status:%1::Item-0").arg(QLatin1String(bundleID));
}

} // namespace

class OrganizerJourney : public OrganizerTest {};

// A first day with the app, from an empty home: no permission, the guide, Accessibility switched
// on in System Settings, the apps sorted by dragging, a group, grouping applied, expanded,
// the previous order restored and everything revealed.
TEST_F(OrganizerJourney, FromNoPermissionToAnOrganizedMenuBarAndBack)
{
    startWith([](QJsonObject& root) { setSystem(root, QStringLiteral("accessibilityTrusted"), false); });
    QQuickWindow* window = settingsWindow();
    ASSERT_FALSE(model().permission());
    ASSERT_TRUE(shown(QStringLiteral("setupCard")));
    EXPECT_FALSE(enabled(QStringLiteral("primaryButton")));

    click(window, require(window, QStringLiteral("setupButton")));
    ASSERT_TRUE(shown(QStringLiteral("accessGuideTitle")));
    click(window, require(window, QStringLiteral("openAccessibilitySettings")));
    ASSERT_TRUE(require(macWindow(), QStringLiteral("systemSettings"))->isVisible());
    QQuickItem* toggle = require(macWindow(), QStringLiteral("switch:Velmor Tray"));
    ASSERT_NE(toggle, nullptr);
    ASSERT_FALSE(toggle->property("checked").toBool());
    click(macWindow(), toggle);
    click(window, require(window, QStringLiteral("accessGuideRefresh")));
    settle(2);
    ASSERT_TRUE(model().permission());
    click(window, require(window, QStringLiteral("accessGuideDone")));
    EXPECT_FALSE(shown(QStringLiteral("accessGuideTitle")));
    EXPECT_FALSE(shown(QStringLiteral("setupCard")));
    ASSERT_NE(card(QStringLiteral("com.example.weather")), nullptr) << "the cards appear";

    dragCard(QStringLiteral("com.example.weather"), QStringLiteral("expandable"));
    dragCard(QStringLiteral("io.fernleaf.pulsemeter"), QStringLiteral("expandable"));
    dragCard(QStringLiteral("org.tinkerbox.twinclocks"), QStringLiteral("alwaysHidden"));
    click(window, require(window, QStringLiteral("createFirstGroupButton")));
    enterText(require(window, QStringLiteral("groupNameField")), QStringLiteral("Work"));
    click(window, require(window, QStringLiteral("groupSymbol:briefcase")));
    click(window, require(window, QStringLiteral("groupEditorSave")));
    ASSERT_EQ(model().namedGrouping().groups.size(), 1);
    const QString work =
        QStringLiteral("group:") + uuid_text::canonical(model().namedGrouping().groups.front().id);
    dragCard(QStringLiteral("net.quillwork.harborstats"), work);
    settle(2);
    EXPECT_EQ(destinationOf(QStringLiteral("com.example.weather")), QStringLiteral("expandable"));
    EXPECT_EQ(destinationOf(QStringLiteral("io.fernleaf.pulsemeter")), QStringLiteral("expandable"));
    EXPECT_EQ(destinationOf(QStringLiteral("org.tinkerbox.twinclocks")), QStringLiteral("alwaysHidden"));
    EXPECT_EQ(destinationOf(QStringLiteral("net.quillwork.harborstats")), work);

    // Moving cards applies their groups at once; the primary button applies what is saved.
    QQuickItem* primary = require(window, QStringLiteral("primaryButton"));
    if (primary->property("text").toString() == QLatin1String("Apply grouping"))
        click(window, primary);
    settle(2);
    ASSERT_TRUE(model().nativeConfigured());
    EXPECT_EQ(shownText(QStringLiteral("statusText")), QStringLiteral("Grouping active"));
    EXPECT_EQ(find(macWindow(), statusItem("com.example.weather")), nullptr) << "the menu bar is collapsed";
    EXPECT_EQ(find(macWindow(), statusItem("org.tinkerbox.twinclocks")), nullptr);
    EXPECT_EQ(find(macWindow(), statusItem("net.quillwork.harborstats")), nullptr);

    ASSERT_EQ(primary->property("text").toString(), QStringLiteral("Expand extras"));
    click(window, primary);
    settle(2);
    EXPECT_TRUE(model().nativeExpanded());
    EXPECT_NE(find(macWindow(), statusItem("com.example.weather")), nullptr);
    EXPECT_EQ(primary->property("text").toString(), QStringLiteral("Collapse extras"));

    click(window, require(window, QStringLiteral("orderButton")));
    click(window, require(window, QStringLiteral("restorePreviousOrder")));
    settle(2);
    EXPECT_TRUE(model().nativeConfigured()) << "restoring the order keeps the grouping";
    EXPECT_FALSE(shown(QStringLiteral("warningRow")));

    click(window, require(window, QStringLiteral("revealAllButton")));
    settle(2);
    EXPECT_FALSE(model().nativeConfigured());
    EXPECT_EQ(shownText(QStringLiteral("statusText")), QStringLiteral("Changes saved · Grouping off"));
    EXPECT_EQ(primary->property("text").toString(), QStringLiteral("Apply grouping"));
    for (const char* app : {"com.example.weather", "org.tinkerbox.twinclocks", "net.quillwork.harborstats"})
        EXPECT_NE(find(macWindow(), statusItem(app)), nullptr) << app << " is back in the menu bar";
}
