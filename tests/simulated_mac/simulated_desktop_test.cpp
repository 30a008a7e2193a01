#include "foundation/json.h"
#include "foundation/property_list.h"
#include "foundation/regular_file.h"
#include "simulated_mac/simulated_home.h"
#include "simulated_mac/simulated_status_item.h"
#include "support/simulated_world_fixture.h"

#include <QFile>
#include <QFileInfo>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;
using velmor::simulated_mac::testing::SimulatedWorldTest;

namespace {

// Alpha's extra has no stored position; Beta's first is seeded at 500; Gamma is known but not running.
const char* const threeApps = R"({
  "apps": [
    { "bundleID": "com.example.alpha", "name": "Alpha", "pid": 501,
      "extras": [ { "title": "A", "width": 30, "identifier": "alpha.main" } ] },
    { "bundleID": "com.example.beta", "name": "Beta", "pid": 502,
      "extras": [ { "title": "B1", "width": 20, "position": 500 },
                  { "title": "B2", "width": 20, "group": "pair" },
                  { "title": "B3", "width": 20, "group": "pair" } ] },
    { "bundleID": "com.example.gamma", "name": "Gamma", "pid": 503, "running": false,
      "extras": [ { "title": "G", "width": 25 } ] } ] })";

const QString alphaKey = QStringLiteral("status:com.example.alpha::Item-0");

} // namespace

class SimulatedDesktopTest : public SimulatedWorldTest {
protected:
    void SetUp() override { start(scenario(threeApps)); }
};

TEST_F(SimulatedDesktopTest, NewItemsAppearLeftmostAndLaunchesAndQuitsAreSeen)
{
    EXPECT_EQ(visibleTitles(), (QStringList{"B3", "B2", "A", "B1"}));
    EXPECT_EQ(desktop().domains().position(alphaKey), 540) << "40 beyond the largest stored position";
    EXPECT_EQ(desktop().snapshot().items.first().frame, QRectF(1302, 958, 20, 24));

    QList<RunningApplication> launched;
    desktop().workspace().observeDidLaunch([&](const RunningApplication& app) { launched.append(app); });
    ASSERT_TRUE(desktop().launch(QStringLiteral("com.example.gamma")));
    EXPECT_TRUE(launched.isEmpty()) << "notifications arrive as scheduler tasks";
    m_scheduler.runUntilIdle();
    ASSERT_EQ(launched.size(), 1);
    EXPECT_EQ(launched.first().processIdentifier, 503);
    EXPECT_EQ(visibleTitles().first(), QStringLiteral("G"));
    EXPECT_TRUE(desktop().workspace().runningApplication(503));

    ASSERT_TRUE(desktop().quit(QStringLiteral("com.example.gamma")));
    EXPECT_FALSE(desktop().workspace().runningApplication(503));
    EXPECT_FALSE(visibleTitles().contains(QStringLiteral("G")));
    EXPECT_FALSE(desktop().quit(QStringLiteral("com.example.gamma")));

    ASSERT_TRUE(desktop().launch(QStringLiteral("com.example.gamma")));
    m_scheduler.runUntilIdle();
    ASSERT_EQ(launched.size(), 2);
    EXPECT_NE(launched.last().processIdentifier, 503) << "a relaunch is a new process";
    EXPECT_EQ(visibleTitles().first(), QStringLiteral("G")) << "it comes back where it was stored";
    EXPECT_FALSE(desktop().launch(QStringLiteral("com.apple.controlcenter")));
}

TEST_F(SimulatedDesktopTest, HiddenRowsVanishAndPositionsAreReadOnlyWhenShown)
{
    setStoredPosition(alphaKey, 10);
    m_scheduler.fastForwardBy(seconds(1));
    EXPECT_EQ(visibleTitles(), (QStringList{"B3", "B2", "A", "B1"})) << "a shown item keeps its place";

    const AccessibilityElement before =
        desktop().accessibility().itemElement(desktop().menuBar().entriesOf(501).first()->id);
    ASSERT_FALSE(before.isNull());

    setAllowed(QStringLiteral("com.example.alpha"), false);
    EXPECT_EQ(visibleTitles(), (QStringList{"B3", "B2", "B1"})) << "noticed at the next query";
    EXPECT_EQ(desktop().snapshot().hiddenApps, QStringList{QStringLiteral("com.example.alpha")});
    EXPECT_FALSE(desktop().accessibility().attribute(desktop().accessibility().applicationElement(501),
                                                     QStringLiteral("AXExtrasMenuBar")));
    EXPECT_FALSE(desktop().accessibility().attribute(before, QStringLiteral("AXTitle")));

    setAllowed(QStringLiteral("com.example.alpha"), true);
    EXPECT_EQ(visibleTitles(), (QStringList{"B3", "B2", "B1", "A"})) << "shown again, it read position 10";
    const AccessibilityElement after =
        desktop().accessibility().itemElement(desktop().menuBar().entriesOf(501).first()->id);
    EXPECT_FALSE(after == before) << "an item shown again is a new element";
    EXPECT_EQ(desktop().accessibility().attribute(after, QStringLiteral("AXTitle")),
              AccessibilityValue(QStringLiteral("A")));

    // A file that no longer parses changes nothing and is never rewritten.
    private_files::writeAtomically(desktop().domains().controlCenterPath(), "garbage");
    m_scheduler.fastForwardBy(seconds(1));
    EXPECT_EQ(visibleTitles().size(), 4);
    desktop().quit(QStringLiteral("com.example.beta"));
    desktop().launch(QStringLiteral("com.example.beta"));
    EXPECT_EQ(RegularFile::read(desktop().domains().controlCenterPath(), PropertyList::maximumBytes),
              QByteArray("garbage"));
}

// Apps an edit shows again together come back as they would one after another: each item without
// a stored position lands leftmost of everything before it, in the order of the apps.
TEST_F(SimulatedDesktopTest, AppsShownTogetherLandAsOneAfterAnother)
{
    start(scenario(R"({"apps":[
        {"bundleID":"com.example.alpha","name":"Alpha","extras":[{"title":"A"}]},
        {"bundleID":"com.example.beta","name":"Beta","extras":[{"title":"B"}]},
        {"bundleID":"com.example.gamma","name":"Gamma","extras":[{"title":"G"},{"name":"Item-1","title":"G2"}]}]})"));
    const auto setRows = [&](bool allowed) {
        editDomain(desktop().domains().controlCenterPath(), [&](PropertyList& domain) {
            PropertyList rows =
                PropertyList::decode(*domain.root().value(QStringLiteral("trackedApplications")).toData());
            const QList<PlistNode> elements = rows.root().elements();
            for (qsizetype i = 0; i + 1 < elements.size(); i += 2) {
                const auto bundle =
                    elements[i].value(QStringLiteral("bundle")).value(QStringLiteral("_0")).toString();
                if (bundle == QStringLiteral("com.example.alpha") ||
                    bundle == QStringLiteral("com.example.gamma"))
                    PlistNode(elements[i + 1]).setBool(QStringLiteral("isAllowed"), allowed);
            }
            domain.root().setEntry(QStringLiteral("trackedApplications"),
                                   PropertyList::data(rows.toBinary()));
        });
    };
    setRows(false);
    EXPECT_EQ(visibleTitles(), QStringList{"B"});
    editDomain(desktop().domains().menuBarPath(), [](PropertyList& domain) {
        PlistNode positions = domain.root().value(QStringLiteral("TrailingItemPreferredPositions"));
        for (const char* key : {"status:com.example.alpha::Item-0", "status:com.example.gamma::Item-0",
                                "status:com.example.gamma::Item-1"})
            positions.remove(QString::fromLatin1(key));
    });
    setRows(true);
    EXPECT_EQ(visibleTitles(), (QStringList{"G2", "G", "A", "B"}));
    const auto stored = [&](const char* key) {
        return *desktop().domains().position(QString::fromLatin1(key));
    };
    EXPECT_EQ(stored("status:com.example.gamma::Item-1") - stored("status:com.example.alpha::Item-0"), 80);
}

TEST_F(SimulatedDesktopTest, EditsAreHonouredAfterTheDelayOrNever)
{
    start(scenario(R"({ "menuBar": { "honourEdits": 2 },
                        "apps": [ { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "A" } ] } ] })"));
    setAllowed(QStringLiteral("com.example.alpha"), false);
    m_scheduler.fastForwardBy(seconds(0.15)); // the poll notices the edit
    m_scheduler.fastForwardBy(seconds(1.8));
    EXPECT_EQ(visibleTitles(), QStringList{QStringLiteral("A")});
    m_scheduler.fastForwardBy(seconds(0.2));
    EXPECT_TRUE(visibleTitles().isEmpty());

    start(scenario(R"({ "menuBar": { "honourEdits": "never" },
                        "apps": [ { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "A" } ] } ] })"));
    EXPECT_TRUE(visibleTitles().isEmpty()) << "a new run reads the row left off by the last one";
    setAllowed(QStringLiteral("com.example.alpha"), true);
    m_scheduler.fastForwardBy(seconds(10));
    EXPECT_TRUE(visibleTitles().isEmpty()) << "the system saved the edit but does not update the bar";
    EXPECT_EQ(storedRow(QStringLiteral("com.example.alpha"))->allowed, true) << "the file keeps the edit";
}

TEST_F(SimulatedDesktopTest, OwnItemsTakePartInTheLayout)
{
    const auto chevron = desktop().statusBar().createItem(26);
    chevron->setAutosaveName(QStringLiteral("VelmorTray.Native.regular"));
    const QString chevronKey = QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");
    EXPECT_EQ(desktop().domains().position(chevronKey), 700) << "first filed as Item-0 (660), then anew";
    EXPECT_EQ(visibleTitles().first(), QStringLiteral("VelmorTray.Native.regular"));
    EXPECT_EQ(chevron->buttonWindowFrame(), QRectF(1276, 958, 26, 24));
    EXPECT_TRUE(storedRow(QStringLiteral("local.velmor.tray"))) << "an app that shows an item gets a row";

    setStoredPosition(chevronKey, 515); // between B1 (500) and A (540)
    chevron->setAutosaveName(QStringLiteral("VelmorTray.Native.regular"));
    EXPECT_EQ(visibleTitles(), (QStringList{"B3", "B2", "A", "VelmorTray.Native.regular", "B1"}));

    // Stretched, it pushes what lies left of it off screen: the layout's own test has the rules, the
    // marker's tests the stretched item's window and the items it pushed off.
    chevron->setVisible(false);
    EXPECT_FALSE(chevron->buttonWindowFrame());
    EXPECT_EQ(visibleTitles().size(), 4);
    chevron->setVisible(true);
    desktop().statusBar().removeItem(chevron);
    EXPECT_FALSE(chevron->buttonWindowFrame());
    EXPECT_EQ(visibleTitles().size(), 4);
}

TEST_F(SimulatedDesktopTest, ClicksSendActionsOrOpenMenus)
{
    const auto item = desktop().statusBar().createItem(26);
    item->setAutosaveName(QStringLiteral("Chevron"));
    QList<MouseEventType> seen;
    int actions = 0;
    item->button()->setAction(
        [&] {
            ++actions;
            seen.append(desktop().mouseEvents().currentEventType());
        },
        ButtonTrigger::LeftMouseUp);
    QList<MouseEventType> local;
    desktop().mouseEvents().addLocalMonitor(~0ull,
                                            [&](const MouseEvent& event) { local.append(event.type); });

    ASSERT_TRUE(desktop().click(QStringLiteral("Chevron")));
    EXPECT_EQ(actions, 0);
    m_scheduler.runUntilIdle();
    EXPECT_EQ(actions, 1);
    EXPECT_EQ(seen, QList<MouseEventType>{MouseEventType::LeftMouseUp});
    EXPECT_EQ(local, (QList<MouseEventType>{MouseEventType::LeftMouseDown, MouseEventType::LeftMouseUp}));
    EXPECT_EQ(desktop().mouseEvents().currentEventType(), MouseEventType::Other);

    desktop().click(QStringLiteral("Chevron"), true);
    m_scheduler.runUntilIdle();
    EXPECT_EQ(actions, 1) << "the action is not sent on right-mouse-up";

    // An attached menu and its entries: the chevron's menu in the controller's tests.
    item->setMenu(Menu{MenuItem{QStringLiteral("Quit Velmor Tray"), [] {}}});
    desktop().click(QStringLiteral("Chevron"));
    m_scheduler.runUntilIdle();
    EXPECT_EQ(actions, 1) << "an attached menu opens instead";
    desktop().statusBar().closeMenu();
    item->setMenu(std::nullopt);

    item->button()->performClick();
    EXPECT_EQ(actions, 2);
    item->button()->setEnabled(false);
    desktop().click(QStringLiteral("Chevron"));
    m_scheduler.runUntilIdle();
    EXPECT_EQ(actions, 2);
}

TEST_F(SimulatedDesktopTest, CommandDragMovesItemsAndFeedsTheMonitors)
{
    QList<MouseEvent> global;
    QList<MouseEvent> local;
    desktop().mouseEvents().addGlobalMonitor(MouseEvents::leftButtonMask,
                                             [&](const MouseEvent& event) { global.append(event); });
    desktop().mouseEvents().addLocalMonitor(MouseEvents::leftButtonMask,
                                            [&](const MouseEvent& event) { local.append(event); });

    ASSERT_TRUE(desktop().commandDrag(alphaKey, QPointF(1290, 970)));
    EXPECT_EQ(visibleTitles(), (QStringList{"B3", "B2", "A", "B1"})) << "nothing moves before the events ran";
    m_scheduler.runUntilIdle();
    EXPECT_EQ(visibleTitles(), (QStringList{"A", "B3", "B2", "B1"}));
    EXPECT_EQ(desktop().domains().position(alphaKey), 660);
    ASSERT_EQ(global.size(), 7);
    EXPECT_EQ(global.first().type, MouseEventType::LeftMouseDown);
    EXPECT_EQ(global.first().location, QPointF(1357, 970)) << "the centre of A, screen coordinates";
    EXPECT_EQ(global[3].type, MouseEventType::LeftMouseDragged);
    EXPECT_EQ(global.last().type, MouseEventType::LeftMouseUp);
    EXPECT_EQ(global.last().location, QPointF(1290, 970));
    for (const MouseEvent& event : global)
        EXPECT_TRUE(event.command);
    EXPECT_TRUE(local.isEmpty()) << "another app's item: only global monitors see it";

    const QString b1 = QStringLiteral("status:com.example.beta::Item-0");
    desktop().commandDrag(b1, QPointF(1375, 970)); // right of B2's centre: where it is
    m_scheduler.runUntilIdle();
    EXPECT_EQ(visibleTitles(), (QStringList{"A", "B3", "B2", "B1"})) << "dropped where it already fits";
    desktop().commandDrag(b1, QPointF(1362, 970)); // on B2, whose place it takes
    m_scheduler.runUntilIdle();
    EXPECT_EQ(visibleTitles(), (QStringList{"A", "B3", "B1", "B2"}));
    EXPECT_EQ(desktop().domains().position(b1), 600) << "halfway between its new neighbours";
    for (const auto& item : desktop().snapshot().items) {
        if (item.key == b1) {
            EXPECT_TRUE(item.frame.contains(QPointF(1362, 970))) << "it lands under the pointer";
        }
    }

    desktop().commandDrag(b1, QPointF(1320, 500));
    m_scheduler.runUntilIdle();
    EXPECT_EQ(desktop().domains().position(b1), 600) << "dropped away from the bar, it goes back";

    const auto own = desktop().statusBar().createItem(26);
    own->setAutosaveName(QStringLiteral("Chevron"));
    global.clear();
    desktop().commandDrag(QStringLiteral("status:local.velmor.tray::Chevron"), QPointF(1385, 970));
    m_scheduler.runUntilIdle();
    EXPECT_EQ(local.size(), 7) << "the app's own item: local monitors see it too";
    EXPECT_EQ(visibleTitles().last(), QStringLiteral("Chevron"));
    EXPECT_FALSE(
        desktop().commandDrag(QStringLiteral("status:com.example.gamma::Item-0"), QPointF(1300, 970)));
}

TEST_F(SimulatedDesktopTest, SystemSettingsOpensForTheAppsLinksAndItsSwitchesGrantAtOnce)
{
    using Pane = SimulatedDesktop::SettingsPane;
    int changes = 0;
    desktop().observe([&] { ++changes; });
    desktop().workspace().openUrl(
        QUrl(QStringLiteral("x-apple.systempreferences:com.apple.preference.security?Privacy_AllFiles")));
    EXPECT_EQ(desktop().openSettingsPane(), Pane::FullDiskAccess);
    desktop().workspace().openUrl(QUrl(QStringLiteral("https://example.com/help")));
    EXPECT_EQ(desktop().openSettingsPane(), Pane::FullDiskAccess) << "other links open other apps";
    EXPECT_GT(changes, 0);
    const QString own = QStringLiteral("/Applications/Velmor Tray.app");

    // Without Full Disk Access from the start the app is not in that list until it is added.
    desktop().setFullDiskAccess(false);
    EXPECT_TRUE(desktop().privacyEntries(Pane::FullDiskAccess).first().own) << "a revoked grant stays listed";
    start(scenario(R"({ "system": { "fullDiskAccess": false },
                        "apps": [ { "bundleID": "com.example.alpha", "name": "Alpha" } ] })"));
    EXPECT_TRUE(desktop().privacyEntries(Pane::FullDiskAccess).isEmpty());
    EXPECT_FALSE(desktop().setPrivacySwitch(Pane::FullDiskAccess, own, true)) << "no switch to turn on yet";
    EXPECT_FALSE(desktop().addToFullDiskAccess(QStringLiteral("/Applications/notes.txt")));
    EXPECT_FALSE(desktop().addToFullDiskAccess(QStringLiteral("relative/Velmor Tray.app")));
    EXPECT_TRUE(desktop().addToFullDiskAccess(QStringLiteral("/Applications/Alpha.app")));
    EXPECT_FALSE(desktop().hasFullDiskAccess()) << "another app's entry grants this one nothing";
    EXPECT_TRUE(
        desktop().addToFullDiskAccess(QStringLiteral("/Applications/../Applications/Velmor Tray.app")));
    EXPECT_TRUE(desktop().hasFullDiskAccess());
    EXPECT_EQ(json::parse(RegularFile::read(simulated_home::systemSwitchesPath(desktop().home()),
                                            PropertyList::maximumBytes)),
              Json::parse(R"({"fullDiskAccess": true})"))
        << "the `defaults` stand-in sees the grant";
    EXPECT_FALSE(desktop().addToFullDiskAccess(own)) << "listed once";
    EXPECT_EQ(desktop().privacyEntries(Pane::FullDiskAccess).size(), 2);

    // The login items' own link opens their pane.
    desktop().loginItems().openSystemSettingsLoginItems();
    EXPECT_EQ(desktop().openSettingsPane(), Pane::LoginItems);
}

// The system lists an app for Accessibility once it asked for trust with the prompt, switched off.
TEST_F(SimulatedDesktopTest, AnAppJoinsTheAccessibilityListByAskingForTrust)
{
    using Pane = SimulatedDesktop::SettingsPane;
    start(scenario(R"({ "system": { "accessibilityTrusted": false } })"));
    const QString own = QStringLiteral("/Applications/Velmor Tray.app");
    EXPECT_TRUE(desktop().privacyEntries(Pane::Accessibility).isEmpty());
    EXPECT_FALSE(desktop().setPrivacySwitch(Pane::Accessibility, own, true)) << "no switch before it asked";
    EXPECT_FALSE(desktop().accessibility().requestTrust()) << "the user answers later";
    EXPECT_EQ(desktop().accessibility().promptCount(), 1);
    const auto entries = desktop().privacyEntries(Pane::Accessibility);
    ASSERT_EQ(entries.size(), 1);
    EXPECT_TRUE(entries.first().own);
    EXPECT_FALSE(entries.first().enabled);
    EXPECT_TRUE(desktop().setPrivacySwitch(Pane::Accessibility, own, true));
    EXPECT_TRUE(desktop().accessibility().isProcessTrusted());
    EXPECT_TRUE(desktop().accessibility().requestTrust());
    EXPECT_EQ(desktop().accessibility().promptCount(), 1) << "a trusted app is not prompted";
}
