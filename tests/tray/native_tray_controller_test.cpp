#include "platform/status_bar.h"
#include "tray/native_tray_controller.h"
#include "tray/sample_apps.h"
#include "tray/tray_run_fixture.h"
#include "tray_visibility/tray_position_error.h"
#include "tray_visibility/tray_preference_error.h"
#include "tray_visibility/tray_recovery_paths.h"

using namespace velmor;

namespace {

// Three single-icon apps, one with two icons, one that is not running yet and an Apple agent,
// all right of where the app's chevron appears.
constexpr const char* perAppScenario = R"({ "apps": [
  { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "width": 30, "position": 300 } ] },
  { "bundleID": "com.example.bravo", "name": "Bravo", "extras": [ { "title": "Bravo", "width": 30, "position": 200 } ] },
  { "bundleID": "com.example.charlie", "name": "Charlie", "extras": [ { "title": "Charlie", "width": 30, "position": 100 } ] },
  { "bundleID": "com.example.twin", "name": "Twin", "extras": [ { "name": "Item-0", "title": "TwinA", "position": 60 },
                                                              { "name": "Item-1", "title": "TwinB", "position": 50 } ] },
  { "bundleID": "com.example.delta", "name": "Delta", "running": false, "extras": [ { "title": "Delta", "position": 250 } ] },
  { "bundleID": "com.apple.inputagent", "name": "Input Agent", "extras": [ { "title": "Input", "position": 20 } ] } ] })";

const QString charlie = QStringLiteral("com.example.charlie");
const QString alphaKey = QStringLiteral("status:com.example.alpha::Item-0");

class NativeTrayControllerTest : public test::TrayRunTest {
protected:
    void launchWith(const TraySectionMap& sections, const char* scenario = perAppScenario)
    {
        start(scenario);
        storeAppGroups(sections);
        launch();
    }
    // The settings window's "Apply grouping".
    void applyGrouping()
    {
        model().hooks().arrangeNative();
        run().settle();
    }
    void toggle()
    {
        click(chevronName);
        run().settle();
    }
    bool automaticOrder()
    {
        return desktop()
            .userDefaults()
            .boolValue(QStringLiteral("VelmorTray.Native.state.automaticOrder"))
            .value_or(false);
    }
    // Whether the item lies left of the chevron.
    bool leftOfChevron(const QString& key) { return frameOf(key).x() < frameOf(chevronKey()).x(); }
    // The chevron where a person put it with a Command-drag, left of every app's icon, rather than
    // at the right end where the app makes it: drags across it start right of it.
    void placeChevronLeftOfTheApps()
    {
        desktop().userDefaults().setValue(platform::StatusBar::preferredPositionKey(chevronName), 1000);
    }
    QPointF besideChevron(double dx) { return frameOf(chevronKey()).center() + QPointF(dx, 0); }
};

// Left click, request, edits through the stand-in, confirmation on screen, redraw and the collapse
// event. Applying grouping hides every known app first and shows the ones that stay visible in a
// second step. While a request is in flight clicks are ignored and the menu still opens.
TEST_F(NativeTrayControllerTest, TheRoadOfOneClick)
{
    launchWith({{alpha, TraySection::expandable},
                {bravo, TraySection::alwaysHidden},
                {charlie, TraySection::alwaysVisible}});
    EXPECT_EQ(controller().warning(), text(NativeTrayController::reviewGroupsWarning));
    EXPECT_FALSE(controller().markerItem()->isVisible());
    const double start = now();

    model().hooks().arrangeNative();
    EXPECT_TRUE(model().nativeBusy()) << "the settings window shows the request at once";
    EXPECT_EQ(hiddenApps(), (QStringList{alpha, bravo, charlie}));
    ASSERT_TRUE(waitUntil([&] { return controller().configured() && !controller().busy(); }));
    EXPECT_LT(now() - start, 1.5);
    EXPECT_EQ(hiddenApps(), (QStringList{alpha, bravo}));
    EXPECT_EQ(controller().chevronItem()->button()->symbolName(),
              text(NativeTrayController::collapsedSymbol));
    EXPECT_EQ(run().takeEvents(), QList<VelmorEvent>{VelmorEvent::trayCollapsed});

    click(chevronName);
    ASSERT_TRUE(controller().busy());
    const quint64 generation = controller().activationGeneration();
    click(chevronName);
    EXPECT_EQ(controller().activationGeneration(), generation) << "a click while busy is ignored";
    click(chevronName, true);
    EXPECT_EQ(menuTitles(), (QStringList{"Settings…", "Reveal all", "-", "Quit Velmor Tray"}));
    desktop().statusBar().closeMenu();
    run().settle();
    EXPECT_EQ(hiddenApps(), QStringList{bravo});
    EXPECT_TRUE(run().takeEvents().isEmpty()) << "expanding records nothing";

    toggle();
    EXPECT_EQ(hiddenApps(), (QStringList{alpha, bravo}));
    EXPECT_EQ(run().takeEvents(), QList<VelmorEvent>{VelmorEvent::trayCollapsed});
}

// With automatic order, expanding puts the icons that come back left of the chevron again, and
// only those; collapsing arranges nothing; a failed upkeep only warns. After the previous order is
// restored (positions, chevron and journal) collapsing and expanding leave positions alone. (The
// organizer's order menu turns automatic order on again, in its press table.)
TEST_F(NativeTrayControllerTest, AutomaticOrderAndThePreviousOrder)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::expandable}});
    const QString bravoKey = extraKey("com.example.bravo");
    const QString charlieKey = extraKey("com.example.charlie");
    const double bravoBefore = *position(bravoKey), charlieBefore = *position(charlieKey);
    const double chevronBefore = *position(chevronKey());
    applyGrouping();
    ASSERT_TRUE(automaticOrder());
    const double chevron = *position(chevronKey());
    EXPECT_GT(*position(bravoKey), chevron);

    // The user put Alpha right of the chevron while it was hidden.
    desktop().domains().setPosition(alphaKey, chevron - 5);
    const double bravoArranged = *position(bravoKey);
    toggle();
    ASSERT_TRUE(controller().expanded());
    EXPECT_TRUE(leftOfChevron(alphaKey));
    EXPECT_EQ(*position(bravoKey), bravoArranged) << "only misplaced icons move";
    EXPECT_EQ(*position(charlieKey), charlieBefore);
    desktop().domains().setPosition(alphaKey, chevron - 5);
    toggle();
    ASSERT_FALSE(controller().expanded());
    EXPECT_EQ(*position(alphaKey), chevron - 5) << "collapsing arranges nothing";

    setToolFaults(R"({"export": {"exitStatus": 1}})");
    click(chevronName);
    EXPECT_FALSE(controller().busy());
    EXPECT_FALSE(controller().expanded());
    EXPECT_EQ(controller().warning(), text(NativeTrayController::orderUpkeepPrefix) +
                                          TrayPositionError(TrayPositionError::Case::access).description());
    setToolFaults("{}");

    const platform::StatusItem* chevronItem = controller().chevronItem();
    model().hooks().restorePreviousOrder();
    const int imports = toolRuns("import");
    run().settle();
    EXPECT_EQ(toolRuns("import"), imports) << "everything it hid first stays hidden: no second step";
    EXPECT_EQ(*position(bravoKey), bravoBefore);
    EXPECT_EQ(*position(alphaKey), chevron - 5) << "the user's own edit survives";
    EXPECT_EQ(*position(chevronKey()), chevronBefore);
    EXPECT_FALSE(positionJournalExists());
    EXPECT_FALSE(automaticOrder());
    EXPECT_NE(controller().chevronItem(), chevronItem) << "the chevron is shown anew";
    EXPECT_TRUE(controller().configured());

    toggle();
    toggle();
    EXPECT_EQ(*position(alphaKey), chevron - 5);
    EXPECT_EQ(hiddenApps(), (QStringList{alpha, bravo}));
}

// A click on an unconfigured chevron opens the settings; the menu's quit gives every icon back
// while the rewritten positions keep their journal. (Its other entries act in the on-screen
// journeys.)
TEST_F(NativeTrayControllerTest, TheChevronsMenu)
{
    launchWith({{alpha, TraySection::expandable}});
    run().closeSettingsWindow();
    click(chevronName);
    EXPECT_EQ(desktop().applicationShell().windows().size(), 1) << "unconfigured, a click opens the settings";

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

// A named group's button: its look, a click while unconfigured hides only that group, disabled
// while busy, renaming keeps the button, deleting removes exactly its button.
TEST_F(NativeTrayControllerTest, GroupButtons)
{
    start(perAppScenario);
    const QUuid work = storeGroups({{QStringLiteral("Work"), {charlie}}, {QStringLiteral("Play"), {bravo}}});
    storeAppGroups({{alpha, TraySection::expandable}});
    launch();
    const QUuid play = model().namedGrouping().groups.at(1).id;
    platform::StatusItem* workItem = controller().groupItem(work);
    ASSERT_TRUE(workItem && controller().groupItem(play));
    const QString workName = workItem->autosaveName();
    EXPECT_EQ(workName, QStringLiteral("VelmorTray.Group.") + uuid_text::canonical(work));
    EXPECT_EQ(workItem->button()->title(), QStringLiteral("⌄"));
    EXPECT_EQ(workItem->button()->toolTip(), QStringLiteral("Work — expanded; click to collapse"));
    EXPECT_EQ(workItem->button()->accessibilityLabel(), workItem->button()->toolTip());

    click(workName);
    ASSERT_TRUE(controller().busy());
    EXPECT_FALSE(workItem->button()->isEnabled());
    const quint64 generation = controller().activationGeneration();
    controller().toggleNamed(play);
    EXPECT_EQ(controller().activationGeneration(), generation) << "a click while busy does nothing";
    run().settle();
    EXPECT_EQ(hiddenApps(), QStringList{charlie});
    EXPECT_TRUE(workItem->button()->isEnabled());
    EXPECT_EQ(workItem->button()->toolTip(), QStringLiteral("Work — collapsed; click to expand"));
    EXPECT_EQ(controller().groupItem(play)->button()->title(), QStringLiteral("⌄"));
    click(workName);
    run().settle();
    EXPECT_TRUE(hiddenApps().isEmpty());

    model().saveNamedGroup(work, QStringLiteral("Office"), QStringLiteral("hammer"));
    run().settle();
    EXPECT_EQ(controller().groupItem(work), workItem) << "renaming keeps the button";
    EXPECT_EQ(workItem->button()->toolTip(), QStringLiteral("Office — expanded; click to collapse"));
    EXPECT_EQ(workItem->button()->symbolName(), QStringLiteral("hammer"));

    const QString playName = controller().groupItem(play)->autosaveName();
    const auto workPosition = position(QStringLiteral("status:local.velmor.tray::") + workName);
    model().deleteNamedGroup(play);
    run().settle();
    EXPECT_FALSE(desktop().statusBar().item(playName));
    EXPECT_EQ(position(QStringLiteral("status:local.velmor.tray::") + workName), workPosition);
    EXPECT_EQ(controller().expandedNamedGroups(), QSet<QUuid>{work}) << "a deleted group leaves the request";
}

// Requests in flight: an app launched while grouping is in force is hidden (while nothing is
// configured a launch requests nothing); a newer request replaces one in flight, and a grouping
// change starts from the requested state.
TEST_F(NativeTrayControllerTest, RequestsInFlight)
{
    launchWith({{alpha, TraySection::expandable}, {delta, TraySection::expandable}});
    const quint64 generation = controller().activationGeneration();
    ASSERT_TRUE(desktop().launch(delta));
    run().settle();
    EXPECT_EQ(controller().activationGeneration(), generation);
    ASSERT_TRUE(desktop().quit(delta));

    applyGrouping();
    ASSERT_TRUE(desktop().launch(delta));
    run().settle();
    EXPECT_EQ(hiddenApps(), (QStringList{alpha, delta}));

    // The first request's confirmation, due 0.4 s after the click, ends without effect.
    ASSERT_TRUE(desktop().quit(delta));
    click(chevronName);
    const quint64 clicked = controller().activationGeneration();
    model().hooks().organizeAutomatically();
    model().hooks().restorePreviousOrder();
    EXPECT_EQ(controller().activationGeneration(), clicked) << "refused while busy";
    advance(0.2);
    ASSERT_TRUE(desktop().launch(delta));
    run().scheduler().runUntilIdle();
    advance(0.3);
    EXPECT_FALSE(controller().expanded());
    run().settle();
    EXPECT_TRUE(hiddenApps().isEmpty());

    click(chevronName);
    model().setDestination(GroupedApp{charlie, {}, {}, {}}, QStringLiteral("expandable"));
    run().settle();
    EXPECT_FALSE(controller().expanded());
    EXPECT_EQ(hiddenApps(), (QStringList{alpha, charlie, delta}));
}

// Failures on the road give every icon back and say why: the library's error in the first step, in
// the second step after an arrangement, Accessibility or Full Disk Access missing, trust withdrawn
// while the edit is made, and a restore of positions that cannot be done. (Trust withdrawn while
// grouping is in force is noticed at the model's next tick: the delegate's test and the on-screen
// journey.)
TEST_F(NativeTrayControllerTest, FailuresGiveEveryIconBackAndSayWhy)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::alwaysVisible}});
    const QString unconfirmed = TrayPreferenceError(TrayPreferenceError::Case::verification).description();
    auto ignoreImport = [&](int skipped) {
        setToolFaults(QStringLiteral(R"({"import": {"afterRuns": %1, "times": 1, "ignore": true}})")
                          .arg(toolRuns("import") + skipped)
                          .toUtf8());
    };
    auto expectRevealed = [&](const QString& warning) {
        EXPECT_FALSE(controller().busy());
        EXPECT_FALSE(controller().configured());
        EXPECT_EQ(controller().warning(), warning);
        EXPECT_TRUE(hiddenApps().isEmpty());
        EXPECT_FALSE(visibilityJournalExists());
    };

    ignoreImport(1); // the positions' import lands, the list's does not
    applyGrouping();
    expectRevealed(unconfirmed);

    model().hooks().arrangeNative();
    ASSERT_EQ(hiddenApps(), (QStringList{alpha, bravo})) << "first every known app";
    ignoreImport(0);
    run().settle();
    expectRevealed(unconfirmed);

    desktop().setAccessibilityTrusted(false);
    applyGrouping();
    expectRevealed(text(NativeTrayController::unsupportedWarning));
    desktop().setAccessibilityTrusted(true);
    desktop().setFullDiskAccess(false);
    applyGrouping();
    expectRevealed(text(NativeTrayController::organizeFailurePrefix) +
                   TrayPositionError(TrayPositionError::Case::access).description());
    desktop().setFullDiskAccess(true);

    const auto connection = QObject::connect(&model(), &TrayModel::nativeBusyChanged, &model(),
                                             [&] { desktop().setAccessibilityTrusted(false); });
    model().hooks().arrangeNative();
    QObject::disconnect(connection);
    expectRevealed(text(NativeTrayController::trustLostWarning));
    desktop().setAccessibilityTrusted(true);

    private_files::writeAtomically(
        tray_recovery_paths::positionJournal(m_home.path()),
        R"([{"key":"k","original":1,"applied":2},{"key":"k","original":1,"applied":2}])");
    model().hooks().restorePreviousOrder();
    run().settle();
    expectRevealed(text(NativeTrayController::organizeFailurePrefix) +
                   TrayPositionError(TrayPositionError::Case::unsupported).description());
}

// An order upkeep that fails while a request is in flight, here for an app launched meanwhile,
// only warns: the request in flight has already expanded the bar and is still confirmed.
TEST_F(NativeTrayControllerTest, AFailedUpkeepLeavesTheRequestInFlight)
{
    launchWith({{alpha, TraySection::expandable}, {delta, TraySection::expandable}});
    applyGrouping();
    ASSERT_TRUE(automaticOrder());
    click(chevronName);
    ASSERT_TRUE(controller().busy());
    setToolFaults(R"({"export": {"exitStatus": 1}})");
    ASSERT_TRUE(desktop().launch(delta));
    run().scheduler().runUntilIdle();
    setToolFaults("{}");
    const QString upkeepFailed = text(NativeTrayController::orderUpkeepPrefix) +
                                 TrayPositionError(TrayPositionError::Case::access).description();
    EXPECT_TRUE(controller().busy());
    run().settle();
    EXPECT_TRUE(controller().configured());
    EXPECT_TRUE(controller().expanded()) << "the state the bar shows";
    EXPECT_EQ(controller().warning(), upkeepFailed);
}

// Command-drags across the chevron move an app between the expandable and the always-visible
// sections; dropped left while collapsed, the icon goes at once.
TEST_F(NativeTrayControllerTest, CommandDragsAcrossTheChevron)
{
    start(perAppScenario);
    placeChevronLeftOfTheApps();
    storeAppGroups({{alpha, TraySection::expandable}});
    launch();
    applyGrouping();
    toggle();
    ASSERT_TRUE(controller().expanded());
    ASSERT_TRUE(leftOfChevron(alphaKey));

    ASSERT_TRUE(desktop().commandDrag(extraKey("com.example.bravo"), besideChevron(-20)));
    run().settle();
    EXPECT_EQ(model().appGroups().value(bravo), TraySection::expandable);
    EXPECT_TRUE(hiddenApps().isEmpty()) << "expanded, the icon stays";

    ASSERT_TRUE(desktop().commandDrag(alphaKey, besideChevron(30)));
    run().settle();
    EXPECT_EQ(model().appGroups().value(alpha), TraySection::alwaysVisible);

    toggle();
    ASSERT_EQ(hiddenApps(), QStringList{bravo});
    ASSERT_TRUE(desktop().commandDrag(extraKey("com.example.charlie"), besideChevron(-20)));
    run().settle();
    EXPECT_EQ(model().appGroups().value(charlie), TraySection::expandable);
    EXPECT_EQ(hiddenApps(), (QStringList{bravo, charlie})) << "collapsed, the icon goes at once";

    model().hooks().revealNative();
    run().settle();
    ASSERT_TRUE(desktop().commandDrag(extraKey("com.example.charlie"), besideChevron(30)));
    run().settle();
    EXPECT_EQ(model().appGroups().value(charlie), TraySection::alwaysVisible) << "icons given back count";
}

// Drags the controller must not take for a move between sections, though each one does cross the
// chevron on the bar.
TEST_F(NativeTrayControllerTest, CommandDragsThatChangeNothing)
{
    start(perAppScenario);
    placeChevronLeftOfTheApps();
    storeGroups({{QStringLiteral("Work"), {charlie}}});
    storeAppGroups({{bravo, TraySection::alwaysHidden}});
    launch();

    // A press that moves less than 4 points is no drag, even when the icon ends up elsewhere.
    auto pressMoveAndDrop = [&](double moved, double dropX) {
        const QPointF press = frameOf(alphaKey).center();
        controller().handleManualDrag(platform::MouseEventType::LeftMouseDown, true, press);
        controller().handleManualDrag(platform::MouseEventType::LeftMouseDragged, true,
                                      press + QPointF(0, moved));
        for (const simulated_mac::MenuBarEntry* entry : desktop().menuBar().leftToRight()) {
            if (entry->key() == alphaKey)
                desktop().menuBar().drop(entry->id, dropX);
        }
        controller().handleManualDrag(platform::MouseEventType::LeftMouseUp, true,
                                      frameOf(alphaKey).center());
        run().settle();
    };
    pressMoveAndDrop(3.9, besideChevron(-20).x());
    ASSERT_TRUE(leftOfChevron(alphaKey));
    EXPECT_FALSE(model().appGroups().contains(alpha));
    pressMoveAndDrop(4, frameOf(extraKey("com.example.twin", "Item-1")).center().x());
    ASSERT_FALSE(leftOfChevron(alphaKey));
    EXPECT_EQ(model().appGroups().value(alpha), TraySection::alwaysVisible) << "4 points are a drag";

    const TraySectionMap before = model().appGroups();
    for (const QString& key : {extraKey("com.apple.inputagent"), extraKey("com.example.charlie"),
                               extraKey("com.example.bravo"), extraKey("com.example.twin")}) {
        ASSERT_TRUE(desktop().commandDrag(key, besideChevron(-20)));
        run().settle();
        ASSERT_TRUE(leftOfChevron(key)) << qPrintable(key);
    }
    ASSERT_TRUE(
        desktop().commandDrag(chevronKey(), frameOf(extraKey("com.example.twin", "Item-1")).center()));
    run().settle();
    EXPECT_EQ(model().appGroups(), before);

    // Within 0.8 s of the app's own visibility change a drag is not the user's.
    model().hooks().revealNative();
    run().scheduler().runUntilIdle();
    ASSERT_TRUE(desktop().commandDrag(alphaKey, besideChevron(-20)));
    run().settle();
    ASSERT_TRUE(leftOfChevron(alphaKey));
    EXPECT_EQ(model().appGroups(), before);
    ASSERT_TRUE(desktop().commandDrag(alphaKey, besideChevron(20)));
    run().settle();
    ASSERT_TRUE(desktop().commandDrag(alphaKey, besideChevron(-20)));
    run().settle();
    EXPECT_EQ(model().appGroups().value(alpha), TraySection::expandable) << "later it counts";
}

// A drag is abandoned when Command is let go, and a press does not start one without Command or
// while a request is in flight; a request of the app's own, which moves icons, abandons a drag in
// progress and a drop not judged yet.
TEST_F(NativeTrayControllerTest, AbandonedCommandDrags)
{
    launchWith({{alpha, TraySection::expandable}});
    applyGrouping();
    toggle();
    const QString bravoKey = extraKey("com.example.bravo");
    auto press = [&](bool command) {
        controller().handleManualDrag(platform::MouseEventType::LeftMouseDown, command,
                                      frameOf(bravoKey).center());
        return controller().manualDrag().has_value();
    };
    auto drag = [&](bool command) {
        controller().handleManualDrag(platform::MouseEventType::LeftMouseDragged, command,
                                      frameOf(bravoKey).center() - QPointF(10, 0));
    };
    advance(NativeTrayController::dragQuietPeriod);
    EXPECT_FALSE(press(false));
    ASSERT_TRUE(press(true));
    drag(false);
    EXPECT_FALSE(controller().manualDrag()) << "Command let go";

    // The settings window's toggle: a request without a click, whose mouse-down would end the
    // drag by itself.
    ASSERT_TRUE(press(true));
    model().hooks().toggleNative();
    ASSERT_TRUE(controller().busy());
    drag(true);
    EXPECT_FALSE(controller().manualDrag());
    EXPECT_FALSE(press(true)) << "busy";
    run().settle();
    model().hooks().toggleNative();
    run().settle();

    // Dropped left of the chevron; a request starts before the drop is judged (it moves nothing
    // near the icon, which lies right of Alpha).
    advance(NativeTrayController::dragQuietPeriod);
    ASSERT_TRUE(desktop().commandDrag(bravoKey, besideChevron(-20)));
    run().scheduler().runUntilIdle();
    ASSERT_TRUE(leftOfChevron(bravoKey));
    model().hooks().toggleNative();
    run().settle();
    EXPECT_FALSE(model().appGroups().contains(bravo));
}

// The system keeps the edit but never updates the bar: four checks 0.4 s apart, then every icon
// comes back with the sentence that says so. The app started after the tray had last looked at
// the bar, so only a fresh look sees its icon.
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
    EXPECT_EQ(controller().warning(), text(NativeTrayController::notUpdatedWarning));
    EXPECT_FALSE(visibilityJournalExists());
    run().scheduler().runUntilIdle();
    const int runs = toolRuns();
    advance(5);
    EXPECT_EQ(toolRuns(), runs) << "no polling after the request ended";
}

// A kill in the middle of a request. A start without Full Disk Access cannot give the icons back
// and says why; the next start with it does, and removes the journal. The rewritten positions keep
// their journal across runs until the previous order is restored.
TEST_F(NativeTrayControllerTest, AKillDuringGroupingThenAStartGivesEveryIconBack)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::alwaysHidden}});
    const double alphaBefore = *position(alphaKey);
    applyGrouping();
    click(chevronName);
    ASSERT_TRUE(controller().busy());
    run().kill();
    ASSERT_FALSE(hiddenApps().isEmpty());

    desktop().setFullDiskAccess(false);
    launch();
    const QString denied = TrayPreferenceError(TrayPreferenceError::Case::access).description();
    EXPECT_EQ(controller().warning(), denied);
    EXPECT_EQ(hiddenApps(), QStringList{bravo}) << "the expand was made before the kill";
    model().hooks().revealNative();
    EXPECT_EQ(controller().warning(), denied) << "the release error replaces the message";
    run().quit();
    EXPECT_TRUE(visibilityJournalExists());

    desktop().setFullDiskAccess(true);
    launch();
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(visibilityJournalExists());
    ASSERT_TRUE(positionJournalExists());
    model().hooks().restorePreviousOrder();
    run().settle();
    EXPECT_EQ(*position(alphaKey), alphaBefore);
    EXPECT_FALSE(positionJournalExists());
}

// A quit while a request is in flight releases everything, and nothing of that request comes
// back afterwards (its second step would hide Alpha again).
TEST_F(NativeTrayControllerTest, AQuitDuringARequestReleasesEverything)
{
    launchWith({{alpha, TraySection::expandable}, {bravo, TraySection::alwaysVisible}});
    model().hooks().arrangeNative();
    run().app().willTerminate();
    advance(3);
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(visibilityJournalExists());
    EXPECT_FALSE(controller().configured());
    EXPECT_FALSE(controller().warning());
}

} // namespace
