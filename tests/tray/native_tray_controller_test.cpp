#include "foundation/uuid_text.h"
#include "platform/simulated/simulated_status_item.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_run_fixture.h"
#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_preference_error.h"

#include <QSignalSpy>

using namespace velmor;

namespace {

// Three single-icon apps, one with two icons, one that is not running yet and an Apple agent with
// an icon of its own, all right of where the app's chevron appears.
constexpr const char* perAppScenario = R"({
  "apps": [
    { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "width": 30, "position": 300 } ] },
    { "bundleID": "com.example.bravo", "name": "Bravo", "extras": [ { "title": "Bravo", "width": 30, "position": 200 } ] },
    { "bundleID": "com.example.charlie", "name": "Charlie", "extras": [ { "title": "Charlie", "width": 30, "position": 100 } ] },
    { "bundleID": "com.example.twin", "name": "Twin", "extras": [
        { "name": "Item-0", "title": "TwinA", "width": 24, "position": 60 },
        { "name": "Item-1", "title": "TwinB", "width": 24, "position": 50 } ] },
    { "bundleID": "com.example.delta", "name": "Delta", "running": false,
      "extras": [ { "title": "Delta", "width": 30, "position": 250 } ] },
    { "bundleID": "com.apple.inputagent", "name": "Input Agent", "extras": [ { "title": "Input", "width": 30, "position": 20 } ] }
  ] })";

const QString alpha = QStringLiteral("com.example.alpha");
const QString bravo = QStringLiteral("com.example.bravo");
const QString charlie = QStringLiteral("com.example.charlie");
const QString delta = QStringLiteral("com.example.delta");
const QString chevronName = QStringLiteral("VelmorTray.Native.regular");

QString text(const char* literal)
{
    return QString::fromUtf8(literal);
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

class NativeTrayControllerTest : public test::TrayRunTest {
protected:
    void launchWith(const TraySectionMap& sections, const char* scenario = perAppScenario)
    {
        start(scenario);
        storeAppGroups(sections);
        launch();
    }

    // The settings window's "Apply grouping", then the time until the request is confirmed.
    void applyGrouping()
    {
        model().hooks().arrangeNative();
        run().settle();
    }

    void click(const QString& name, bool right = false)
    {
        ASSERT_TRUE(desktop().click(name, right)) << qPrintable(name);
        run().scheduler().runUntilIdle();
    }

    // Runs due work one task at a time until `done` holds; false after `limit` seconds.
    bool waitUntil(const std::function<bool()>& done, double limit = 10)
    {
        platform::ManualScheduler& scheduler = run().scheduler();
        const double end = now() + limit;
        while (!done()) {
            const auto next = scheduler.nextDueTime();
            if (!next || platform::toSeconds(next->time_since_epoch()) > end)
                return false;
            scheduler.fastForwardBy(*next - scheduler.now());
        }
        return true;
    }

    QStringList menuTitles()
    {
        QStringList titles;
        for (const platform::MenuItem& item : desktop().statusBar().openMenu().value_or(platform::Menu{}))
            titles.append(item.separator ? QStringLiteral("-") : item.title);
        return titles;
    }

    double xOf(const QString& key)
    {
        const auto item = shown(key);
        return item ? item->frame.x() : -1;
    }

    QPointF centreOf(const QString& key)
    {
        const auto item = shown(key);
        return item ? item->frame.center() : QPointF();
    }

    bool automaticOrder()
    {
        return desktop()
            .userDefaults()
            .boolValue(QStringLiteral("VelmorTray.Native.state.automaticOrder"))
            .value_or(false);
    }

    QUuid storeGroups(const QList<std::pair<QString, QStringList>>& groups)
    {
        TrayAppGrouping grouping;
        for (const auto& [name, members] : groups) {
            const TrayNamedGroup group{uuid_text::random(), name, QStringLiteral("briefcase")};
            grouping.groups.append(group);
            for (const QString& member : members)
                grouping.memberships.insert(member, group.id);
        }
        desktop().userDefaults().setValue(QString::fromLatin1(TrayModel::namedGroupsKey),
                                          json::serialize(grouping.encode()));
        return grouping.groups.first().id;
    }
};

// Left click on the chevron, request, edit through the stand-in, confirmation on screen, redraw and
// the collapse event; while the request is in flight clicks are ignored and the menu still opens.
TEST_F(NativeTrayControllerTest, TheRoadOfOneClick)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::alwaysHidden}});
    EXPECT_EQ(controller().warning(), text(NativeTrayController::reviewGroupsWarning));
    EXPECT_FALSE(controller().configured());
    const int runsBefore = toolRuns();
    const double start = now();

    model().hooks().arrangeNative();
    EXPECT_TRUE(model().nativeBusy()) << "the settings window shows the request at once";
    ASSERT_TRUE(waitUntil([&] { return controller().configured() && !controller().busy(); }));
    const double applyToConfirmed = now() - start;
    const int runs = toolRuns() - runsBefore;
    RecordProperty("applyToConfirmedSeconds", QString::number(applyToConfirmed, 'f', 3).toStdString());
    RecordProperty("defaultsRuns", runs);
    EXPECT_LT(applyToConfirmed, 2.0);
    EXPECT_GT(runs, 0);
    EXPECT_FALSE(controller().expanded());
    EXPECT_EQ(sorted(hiddenApps()), (QStringList{alpha, bravo}));
    EXPECT_EQ(controller().chevronItem()->button()->symbolName(),
              text(NativeTrayController::collapsedSymbol));
    EXPECT_TRUE(model().nativeConfigured());
    EXPECT_FALSE(model().nativeWarning());
    EXPECT_EQ(run().takeEvents(), QList<VelmorEvent>{VelmorEvent::trayCollapsed});

    click(chevronName);
    ASSERT_TRUE(controller().busy());
    const quint64 generation = controller().activationGeneration();
    click(chevronName);
    EXPECT_EQ(controller().activationGeneration(), generation) << "a click while busy is ignored";
    click(chevronName, true);
    EXPECT_EQ(menuTitles(), (QStringList{text(NativeTrayController::settingsMenuTitle),
                                         text(NativeTrayController::revealMenuTitle), QStringLiteral("-"),
                                         text(NativeTrayController::quitMenuTitle)}));
    desktop().statusBar().closeMenu();
    run().settle();
    EXPECT_TRUE(controller().expanded());
    EXPECT_EQ(hiddenApps(), QStringList{bravo});
    EXPECT_TRUE(shownTitles().contains(QStringLiteral("Alpha")));
    EXPECT_TRUE(run().takeEvents().isEmpty()) << "expanding records nothing";

    click(chevronName);
    run().settle();
    EXPECT_FALSE(controller().expanded());
    EXPECT_EQ(sorted(hiddenApps()), (QStringList{alpha, bravo}));
    EXPECT_EQ(run().takeEvents(), QList<VelmorEvent>{VelmorEvent::trayCollapsed});
}

// An arrangement hides every known app first and shows the ones that stay visible in a second
// step; when the two sets are equal there is no second edit.
TEST_F(NativeTrayControllerTest, AnArrangementHidesEveryKnownAppFirst)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::alwaysVisible}});
    model().hooks().arrangeNative();
    EXPECT_EQ(sorted(hiddenApps()), (QStringList{alpha, bravo}));
    const int importsAfterFirstPhase = toolRuns("import");
    run().settle();
    EXPECT_EQ(hiddenApps(), QStringList{alpha});
    EXPECT_GT(toolRuns("import"), importsAfterFirstPhase);
    EXPECT_TRUE(controller().configured());

    run().quit();
    storeAppGroups({{alpha, TraySection::expandable}});
    launch();
    model().hooks().arrangeNative();
    const int importsAfterOnlyPhase = toolRuns("import");
    run().settle();
    EXPECT_EQ(hiddenApps(), QStringList{alpha});
    EXPECT_EQ(toolRuns("import"), importsAfterOnlyPhase) << "the target equals what is hidden already";
}

// With automatic order, expanding puts back left of the chevron only the icons that come back;
// collapsing arranges nothing; after the previous order is restored positions are left alone.
TEST_F(NativeTrayControllerTest, CollapseAndExpandKeepTheOrderOnlyWhenAutomatic)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::expandable}});
    const double charliePosition = *position(extraKey("com.example.charlie"));
    applyGrouping();
    ASSERT_TRUE(controller().configured());
    EXPECT_TRUE(automaticOrder());
    const double chevron = *position(chevronKey());
    EXPECT_GT(*position(extraKey("com.example.alpha")), chevron);
    EXPECT_GT(*position(extraKey("com.example.bravo")), chevron);

    // The user's own edit puts Alpha right of the chevron while it is hidden.
    desktop().domains().setPosition(extraKey("com.example.alpha"), chevron - 5);
    const double bravoPosition = *position(extraKey("com.example.bravo"));
    click(chevronName);
    run().settle();
    ASSERT_TRUE(controller().expanded());
    EXPECT_GT(*position(extraKey("com.example.alpha")), *position(chevronKey()));
    EXPECT_LT(xOf(extraKey("com.example.alpha")), xOf(chevronKey()));
    EXPECT_EQ(*position(extraKey("com.example.bravo")), bravoPosition) << "only misplaced icons move";
    EXPECT_EQ(*position(extraKey("com.example.charlie")), charliePosition);

    desktop().domains().setPosition(extraKey("com.example.alpha"), chevron - 5);
    click(chevronName);
    run().settle();
    ASSERT_FALSE(controller().expanded());
    EXPECT_EQ(*position(extraKey("com.example.alpha")), chevron - 5) << "collapsing arranges nothing";

    model().hooks().restorePreviousOrder();
    run().settle();
    EXPECT_FALSE(automaticOrder());
    EXPECT_TRUE(controller().configured());
    desktop().domains().setPosition(extraKey("com.example.alpha"), chevron - 5);
    click(chevronName);
    run().settle();
    ASSERT_TRUE(controller().expanded());
    EXPECT_EQ(*position(extraKey("com.example.alpha")), chevron - 5);
    click(chevronName);
    run().settle();
    EXPECT_FALSE(controller().expanded());
    EXPECT_EQ(*position(extraKey("com.example.alpha")), chevron - 5);
}

// Restoring the previous order puts the user's positions back, re-creates the chevron so the bar
// reads its place, keeps the tray's state and ends the position journal.
TEST_F(NativeTrayControllerTest, RestorePreviousOrder)
{
    launchWith({{alpha, TraySection::expandable}, {charlie, TraySection::expandable}});
    const double alphaBefore = *position(extraKey("com.example.alpha"));
    const double charlieBefore = *position(extraKey("com.example.charlie"));
    const double chevronBefore = *position(chevronKey());
    applyGrouping();
    ASSERT_TRUE(positionJournalExists());
    EXPECT_NE(*position(extraKey("com.example.charlie")), charlieBefore);
    const platform::StatusItem* chevronItem = controller().chevronItem();

    model().hooks().restorePreviousOrder();
    EXPECT_EQ(sorted(hiddenApps()), (QStringList{alpha, charlie}));
    run().settle();
    EXPECT_EQ(*position(extraKey("com.example.alpha")), alphaBefore);
    EXPECT_EQ(*position(extraKey("com.example.charlie")), charlieBefore);
    EXPECT_EQ(*position(chevronKey()), chevronBefore);
    EXPECT_FALSE(positionJournalExists());
    EXPECT_NE(controller().chevronItem(), chevronItem) << "the chevron is shown anew";
    EXPECT_EQ(controller().chevronItem()->autosaveName(), chevronName);
    EXPECT_TRUE(controller().configured());
    EXPECT_FALSE(controller().expanded());
    EXPECT_EQ(sorted(hiddenApps()), (QStringList{alpha, charlie}));
    EXPECT_TRUE(run().takeEvents().size() == 1) << "only the first collapse counts";
}

// "Reveal all" from the chevron's menu (and the settings window) gives every icon back.
TEST_F(NativeTrayControllerTest, RevealAll)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::alwaysHidden}});
    applyGrouping();
    ASSERT_TRUE(visibilityJournalExists());
    click(chevronName, true);
    ASSERT_TRUE(desktop().statusBar().chooseMenuItem(text(NativeTrayController::revealMenuTitle)));
    EXPECT_FALSE(controller().configured());
    EXPECT_TRUE(controller().expanded());
    EXPECT_FALSE(controller().warning());
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(visibilityJournalExists());
    EXPECT_TRUE(shownTitles().contains(QStringLiteral("Bravo")));

    applyGrouping();
    model().hooks().revealNative();
    EXPECT_FALSE(controller().configured());
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(model().nativeConfigured());
}

// A named group's button: its look, a click while unconfigured, disabled while busy, renaming
// and deleting groups.
TEST_F(NativeTrayControllerTest, GroupButtons)
{
    start(perAppScenario);
    const QUuid work = storeGroups({{QStringLiteral("Work"), {charlie}}, {QStringLiteral("Play"), {bravo}}});
    storeAppGroups({{alpha, TraySection::expandable}});
    launch();
    const QUuid play = model().namedGrouping().groups.at(1).id;
    platform::StatusItem* workItem = controller().groupItem(work);
    ASSERT_TRUE(workItem);
    ASSERT_TRUE(controller().groupItem(play));
    EXPECT_EQ(workItem->autosaveName(), QStringLiteral("VelmorTray.Group.") + uuid_text::canonical(work));
    EXPECT_EQ(workItem->button()->title(), QStringLiteral("⌄"));
    EXPECT_EQ(workItem->button()->toolTip(), QStringLiteral("Work — expanded; click to collapse"));
    EXPECT_EQ(workItem->button()->accessibilityLabel(), workItem->button()->toolTip());
    EXPECT_EQ(workItem->button()->symbolName(), QStringLiteral("briefcase"));

    // Unconfigured, every group counts as shown: the click hides only that group.
    click(workItem->autosaveName());
    ASSERT_TRUE(controller().busy());
    EXPECT_FALSE(workItem->button()->isEnabled());
    const quint64 generation = controller().activationGeneration();
    click(controller().groupItem(play)->autosaveName());
    EXPECT_EQ(controller().activationGeneration(), generation) << "a disabled button does nothing";
    controller().toggleNamed(play);
    EXPECT_EQ(controller().activationGeneration(), generation) << "a click while busy does nothing";
    run().settle();
    EXPECT_EQ(hiddenApps(), QStringList{charlie});
    EXPECT_TRUE(controller().expanded());
    EXPECT_TRUE(workItem->button()->isEnabled());
    EXPECT_EQ(workItem->button()->title(), QStringLiteral("›"));
    EXPECT_EQ(workItem->button()->toolTip(), QStringLiteral("Work — collapsed; click to expand"));
    EXPECT_EQ(controller().groupItem(play)->button()->title(), QStringLiteral("⌄"));

    click(workItem->autosaveName());
    run().settle();
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_EQ(workItem->button()->title(), QStringLiteral("⌄"));

    model().saveNamedGroup(work, QStringLiteral("Office"), QStringLiteral("hammer"));
    run().settle();
    EXPECT_EQ(controller().groupItem(work), workItem) << "renaming keeps the button";
    EXPECT_EQ(workItem->button()->toolTip(), QStringLiteral("Office — expanded; click to collapse"));
    EXPECT_EQ(workItem->button()->symbolName(), QStringLiteral("hammer"));

    const QString playName = controller().groupItem(play)->autosaveName();
    const auto workPosition =
        position(QStringLiteral("status:local.velmor.tray::") + workItem->autosaveName());
    model().deleteNamedGroup(play);
    run().settle();
    EXPECT_FALSE(controller().groupItem(play));
    EXPECT_FALSE(desktop().statusBar().item(playName));
    EXPECT_EQ(controller().groupItem(work), workItem);
    EXPECT_EQ(position(QStringLiteral("status:local.velmor.tray::") + workItem->autosaveName()),
              workPosition);
    EXPECT_FALSE(controller().expandedNamedGroups().contains(play));
}

// An app launched while grouping is in force is hidden when its section says so; a newer request
// replaces one in flight; while nothing is configured a launch requests nothing.
TEST_F(NativeTrayControllerTest, AnAppLaunchedWhileGroupingIsActive)
{
    launchWith({{alpha, TraySection::expandable}, {delta, TraySection::expandable}});
    const quint64 generation = controller().activationGeneration();
    ASSERT_TRUE(desktop().launch(delta));
    run().settle();
    EXPECT_EQ(controller().activationGeneration(), generation);
    EXPECT_TRUE(shownTitles().contains(QStringLiteral("Delta")));
    ASSERT_TRUE(desktop().quit(delta));

    applyGrouping();
    ASSERT_TRUE(controller().configured());
    run().takeEvents();
    ASSERT_TRUE(desktop().launch(delta));
    run().scheduler().runUntilIdle();
    EXPECT_TRUE(controller().busy());
    run().settle();
    EXPECT_EQ(sorted(hiddenApps()), (QStringList{alpha, delta}));
    EXPECT_FALSE(shownTitles().contains(QStringLiteral("Delta")));

    // Expanding, then a launch while that request is in flight: the first request's confirmation
    // (due 0.4 s after the click) has no effect, the second one's decides.
    ASSERT_TRUE(desktop().quit(delta));
    click(chevronName);
    ASSERT_TRUE(controller().busy());
    advance(0.2);
    ASSERT_TRUE(desktop().launch(delta));
    run().scheduler().runUntilIdle();
    advance(0.3);
    EXPECT_TRUE(controller().busy());
    EXPECT_FALSE(controller().expanded());
    run().settle();
    EXPECT_FALSE(controller().busy());
    EXPECT_TRUE(controller().expanded());
    EXPECT_TRUE(hiddenApps().isEmpty());
}

// A grouping change while a request is in flight starts from what was requested.
TEST_F(NativeTrayControllerTest, AGroupChangeInFlightStartsFromTheRequest)
{
    launchWith({{alpha, TraySection::expandable}});
    applyGrouping();
    click(chevronName);
    ASSERT_TRUE(controller().busy());
    assign(charlie, QStringLiteral("expandable"));
    run().settle();
    EXPECT_TRUE(controller().expanded());
    EXPECT_TRUE(hiddenApps().isEmpty());
    click(chevronName);
    run().settle();
    EXPECT_EQ(sorted(hiddenApps()), (QStringList{alpha, charlie}));
}

// The chevron's menu: settings, and a quit that gives every icon back; the rewritten positions
// keep their journal. A click on the unconfigured chevron opens the settings.
TEST_F(NativeTrayControllerTest, TheChevronsMenu)
{
    launchWith({{alpha, TraySection::expandable}});
    run().closeSettingsWindow();
    click(chevronName);
    EXPECT_EQ(desktop().applicationShell().windows().size(), 1);
    run().closeSettingsWindow();
    click(chevronName, true);
    ASSERT_TRUE(desktop().statusBar().chooseMenuItem(text(NativeTrayController::settingsMenuTitle)));
    EXPECT_EQ(desktop().applicationShell().windows().size(), 1);

    applyGrouping();
    ASSERT_EQ(hiddenApps(), QStringList{alpha});
    click(chevronName, true);
    ASSERT_TRUE(desktop().statusBar().chooseMenuItem(text(NativeTrayController::quitMenuTitle)));
    run().scheduler().runUntilIdle();
    EXPECT_FALSE(run().isRunning());
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(visibilityJournalExists());
    EXPECT_TRUE(positionJournalExists());
    EXPECT_FALSE(desktop().statusBar().item(chevronName));
}

// Command-drags across the chevron move an app between the expandable and the always-visible
// sections; dropped left while collapsed, the icon goes at once.
TEST_F(NativeTrayControllerTest, CommandDragsAcrossTheChevron)
{
    launchWith({{alpha, TraySection::expandable}});
    applyGrouping();
    click(chevronName);
    run().settle();
    ASSERT_TRUE(controller().expanded());
    ASSERT_LT(xOf(extraKey("com.example.alpha")), xOf(chevronKey()));
    ASSERT_GT(xOf(extraKey("com.example.bravo")), xOf(chevronKey()));

    const QPointF leftOfChevron = centreOf(chevronKey()) - QPointF(20, 0);
    ASSERT_TRUE(desktop().commandDrag(extraKey("com.example.bravo"), leftOfChevron));
    run().settle();
    EXPECT_EQ(model().appGroups().value(bravo), TraySection::expandable);
    EXPECT_LT(xOf(extraKey("com.example.bravo")), xOf(chevronKey()));
    EXPECT_TRUE(hiddenApps().isEmpty()) << "expanded, the icon stays";

    ASSERT_TRUE(
        desktop().commandDrag(extraKey("com.example.alpha"), centreOf(chevronKey()) + QPointF(30, 0)));
    run().settle();
    EXPECT_EQ(model().appGroups().value(alpha), TraySection::alwaysVisible);

    click(chevronName);
    run().settle();
    ASSERT_FALSE(controller().expanded());
    EXPECT_EQ(hiddenApps(), QStringList{bravo});
    ASSERT_TRUE(
        desktop().commandDrag(extraKey("com.example.charlie"), centreOf(chevronKey()) - QPointF(20, 0)));
    run().settle();
    EXPECT_EQ(model().appGroups().value(charlie), TraySection::expandable);
    EXPECT_EQ(sorted(hiddenApps()), (QStringList{bravo, charlie})) << "collapsed, the icon goes at once";
    EXPECT_TRUE(controller().configured());
}

// Drags the controller must not take for a move between sections; each one does cross the
// chevron on the bar.
TEST_F(NativeTrayControllerTest, CommandDragsThatChangeNothing)
{
    start(perAppScenario);
    storeGroups({{QStringLiteral("Work"), {charlie}}});
    storeAppGroups({{bravo, TraySection::alwaysHidden}});
    launch();
    const QPointF leftOfChevron = centreOf(chevronKey()) - QPointF(20, 0);
    auto crossed = [&](const QString& key) { return xOf(key) < xOf(chevronKey()); };

    // A press that moves less than 4 points is no drag, even when the icon ends up elsewhere.
    auto pressMoveAndDrop = [&](const QString& key, double moved, double dropX) {
        const QPointF press = centreOf(key);
        controller().handleManualDrag(platform::MouseEventType::LeftMouseDown, true, press);
        controller().handleManualDrag(platform::MouseEventType::LeftMouseDragged, true,
                                      press + QPointF(0, moved));
        for (const platform::MenuBarEntry* entry : desktop().menuBar().leftToRight()) {
            if (entry->key() == key)
                desktop().menuBar().drop(entry->id, dropX);
        }
        controller().handleManualDrag(platform::MouseEventType::LeftMouseUp, true, centreOf(key));
        run().settle();
    };
    const QString alphaKey = extraKey("com.example.alpha");
    pressMoveAndDrop(alphaKey, 3.9, leftOfChevron.x());
    ASSERT_TRUE(crossed(alphaKey));
    EXPECT_FALSE(model().appGroups().contains(alpha));
    pressMoveAndDrop(alphaKey, 4, centreOf(extraKey("com.example.twin", "Item-1")).x());
    ASSERT_FALSE(crossed(alphaKey));
    EXPECT_EQ(model().appGroups().value(alpha), TraySection::alwaysVisible) << "4 points are a drag";

    const TraySectionMap before = model().appGroups();
    for (const QString& key : {extraKey("com.apple.inputagent"), extraKey("com.example.charlie"),
                               extraKey("com.example.bravo"), extraKey("com.example.twin")}) {
        ASSERT_TRUE(desktop().commandDrag(key, centreOf(chevronKey()) - QPointF(20, 0)));
        run().settle();
        ASSERT_TRUE(crossed(key)) << qPrintable(key);
    }
    ASSERT_TRUE(desktop().commandDrag(chevronKey(), centreOf(extraKey("com.example.twin", "Item-1"))));
    run().settle();
    EXPECT_EQ(model().appGroups(), before);
    EXPECT_FALSE(controller().configured());

    // Within 0.8 s of the app's own visibility change a drag is not the user's.
    model().hooks().revealNative();
    run().scheduler().runUntilIdle();
    ASSERT_TRUE(desktop().commandDrag(alphaKey, centreOf(chevronKey()) - QPointF(20, 0)));
    run().settle();
    ASSERT_TRUE(crossed(alphaKey));
    EXPECT_EQ(model().appGroups(), before);
    ASSERT_TRUE(desktop().commandDrag(alphaKey, centreOf(chevronKey()) + QPointF(20, 0)));
    run().settle();
    ASSERT_TRUE(desktop().commandDrag(alphaKey, centreOf(chevronKey()) - QPointF(20, 0)));
    run().settle();
    EXPECT_EQ(model().appGroups().value(alpha), TraySection::expandable) << "later it counts";
}

TEST_F(NativeTrayControllerTest, WithoutAccessibilityNothingIsHidden)
{
    start(R"({ "system": { "accessibilityTrusted": false },
               "apps": [ { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha" } ] } ] })");
    storeAppGroups({{alpha, TraySection::expandable}});
    launch();
    applyGrouping();
    EXPECT_FALSE(controller().configured());
    EXPECT_FALSE(controller().busy());
    EXPECT_EQ(controller().warning(), text(NativeTrayController::unsupportedWarning));
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(visibilityJournalExists());
}

// Trust withdrawn while a request is confirmed, and while grouping is in force (the model
// notices at its next tick and the delegate gives every icon back).
TEST_F(NativeTrayControllerTest, AccessibilityWithdrawn)
{
    launchWith({{alpha, TraySection::expandable}});
    model().hooks().arrangeNative();
    desktop().setAccessibilityTrusted(false);
    ASSERT_TRUE(waitUntil([&] { return !controller().busy(); }));
    EXPECT_EQ(controller().warning(), text(NativeTrayController::trustLostWarning));
    EXPECT_FALSE(controller().configured());
    EXPECT_TRUE(hiddenApps().isEmpty());
    desktop().setAccessibilityTrusted(true);
    run().settle(TrayModel::refreshIntervalSeconds);

    applyGrouping();
    ASSERT_EQ(hiddenApps(), QStringList{alpha});
    desktop().setAccessibilityTrusted(false);
    advance(TrayModel::refreshIntervalSeconds + 0.1);
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(controller().warning(), text(TrayDelegate::trustChangedMessage));
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(visibilityJournalExists());
}

TEST_F(NativeTrayControllerTest, WithoutFullDiskAccessTheBarIsNotOrganized)
{
    start(R"({ "system": { "fullDiskAccess": false },
               "apps": [ { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha" } ] } ] })");
    storeAppGroups({{alpha, TraySection::expandable}});
    launch();
    EXPECT_EQ(controller().warning(), text(NativeTrayController::reviewGroupsWarning));
    applyGrouping();
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(controller().warning(), text(NativeTrayController::organizeFailurePrefix) +
                                          TrayPositionError(TrayPositionError::Case::access).description());
    EXPECT_TRUE(hiddenApps().isEmpty());
}

// Full Disk Access taken away while icons are hidden: a start cannot give them back and says
// why, the journal stays, and once access is back "Reveal all" does it.
TEST_F(NativeTrayControllerTest, WithoutFullDiskAccessNothingCanBeReleased)
{
    launchWith({{alpha, TraySection::expandable}});
    applyGrouping();
    run().kill();
    desktop().setFullDiskAccess(false);
    launch();
    const QString accessDenied = TrayPreferenceError(TrayPreferenceError::Case::access).description();
    EXPECT_EQ(controller().warning(), accessDenied);
    EXPECT_EQ(hiddenApps(), QStringList{alpha});
    EXPECT_TRUE(visibilityJournalExists());
    model().hooks().revealNative();
    EXPECT_EQ(controller().warning(), accessDenied) << "the release error replaces the message";
    EXPECT_TRUE(visibilityJournalExists());

    desktop().setFullDiskAccess(true);
    click(chevronName, true);
    ASSERT_TRUE(desktop().statusBar().chooseMenuItem(text(NativeTrayController::revealMenuTitle)));
    EXPECT_FALSE(controller().warning());
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(visibilityJournalExists());
}

// The order upkeep before an expand fails: nothing changes but the warning.
TEST_F(NativeTrayControllerTest, AFailedOrderUpkeepOnlyWarns)
{
    launchWith({{alpha, TraySection::expandable}});
    applyGrouping();
    ASSERT_TRUE(automaticOrder());
    setToolFaults(R"({"export": {"exitStatus": 1}})");
    const int imports = toolRuns("import");
    click(chevronName);
    EXPECT_FALSE(controller().busy());
    EXPECT_TRUE(controller().configured());
    EXPECT_FALSE(controller().expanded());
    EXPECT_TRUE(controller().warning()->startsWith(text(NativeTrayController::orderUpkeepPrefix)));
    EXPECT_EQ(model().nativeWarning(), controller().warning());
    run().settle();
    EXPECT_EQ(hiddenApps(), QStringList{alpha});
    EXPECT_EQ(toolRuns("import"), imports);

    setToolFaults("{}");
    click(chevronName);
    run().settle();
    EXPECT_TRUE(controller().expanded());
    EXPECT_FALSE(controller().warning());
}

// The system keeps the edit but never updates the bar: four checks 0.4 s apart, then every icon
// comes back with the sentence that says so. The app started after the tray had looked at the
// bar, so only a fresh look sees its icon.
TEST_F(NativeTrayControllerTest, TheSystemNeverUpdatesTheBar)
{
    start(R"({ "menuBar": { "honourEdits": "never" },
               "apps": [ { "bundleID": "com.example.delta", "name": "Delta", "running": false,
                           "extras": [ { "title": "Delta" } ] } ] })");
    storeAppGroups({{delta, TraySection::expandable}});
    launch();
    ASSERT_TRUE(desktop().launch(delta));
    run().settle();
    const double start = now();
    model().hooks().arrangeNative();
    ASSERT_TRUE(waitUntil([&] { return !controller().busy(); }));
    EXPECT_GE(now() - start, 0.4 + 0.4 + 3 * 0.4);
    EXPECT_LT(now() - start, 3.0);
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(controller().warning(), text(NativeTrayController::notUpdatedWarning));
    EXPECT_FALSE(visibilityJournalExists());
    EXPECT_TRUE(run().takeEvents().isEmpty());
    run().scheduler().runUntilIdle();
    const int runs = toolRuns();
    advance(5);
    EXPECT_EQ(toolRuns(), runs) << "no polling after the request ended";
}

// A kill in the middle of a request, then a start: every icon back, the visibility journal gone;
// the rewritten positions stay with their journal until the previous order is restored.
TEST_F(NativeTrayControllerTest, AKillDuringGroupingThenAStartGivesEveryIconBack)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::alwaysHidden}});
    const double alphaBefore = *position(extraKey("com.example.alpha"));
    applyGrouping();
    click(chevronName);
    ASSERT_TRUE(controller().busy());
    run().kill();
    run().settle();
    EXPECT_FALSE(hiddenApps().isEmpty());

    launch();
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(visibilityJournalExists());
    EXPECT_TRUE(positionJournalExists());
    EXPECT_EQ(controller().warning(), text(NativeTrayController::reviewGroupsWarning));
    EXPECT_FALSE(controller().configured());
    model().hooks().restorePreviousOrder();
    run().settle();
    EXPECT_EQ(*position(extraKey("com.example.alpha")), alphaBefore);
    EXPECT_FALSE(positionJournalExists());
}

// A quit while a request is in flight releases everything, and nothing of that request comes
// back afterwards (its second step would hide Alpha again).
TEST_F(NativeTrayControllerTest, AQuitDuringARequestReleasesEverything)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::alwaysVisible}});
    model().hooks().arrangeNative();
    ASSERT_TRUE(controller().busy());
    run().app().willTerminate();
    EXPECT_TRUE(hiddenApps().isEmpty());
    advance(3);
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(visibilityJournalExists());
    EXPECT_FALSE(controller().chevronItem());
    EXPECT_FALSE(controller().configured());
    EXPECT_FALSE(controller().warning());
}

} // namespace
