#include "tray/native_tray_controller.h"
#include "tray/tray_place_keeper.h"
#include "tray/tray_pointer_reveal.h"
#include "tray/tray_reveal_preferences.h"
#include "tray/tray_run_fixture.h"

using namespace velmor;

namespace {

constexpr const char* markerScenario = R"({ "system": { "version": "26.0.0" },
  "screens": [ { "x": 0, "y": 0, "width": 1512, "height": 982 }, { "x": 1512, "y": 0, "width": 1920, "height": 1080 } ],
  "apps": [
    { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "width": 30, "position": 300 } ] },
    { "bundleID": "com.example.bravo", "name": "Bravo", "extras": [ { "title": "Bravo", "width": 30, "position": 200 } ] },
    { "bundleID": "com.example.charlie", "name": "Charlie", "extras": [ { "title": "Charlie", "width": 30, "position": 100 } ] } ] })";

const QString stateKey = QStringLiteral("VelmorTray.Native.state");
const QStringList everyTitle{"Alpha", "Bravo", "Charlie"};

class MarkerModeTest : public test::TrayRunTest {
protected:
    void SetUp() override { start(markerScenario); }

    QPointF leftEdgeOf(const char* owner) { return QPointF(frameOf(extraKey(owner)).left(), 970); }
    // Alpha | H | Bravo | chevron | Charlie, by Command-dragging the app's own two items.
    void arrange()
    {
        model().hooks().arrangeNative();
        ASSERT_TRUE(controller().managing());
        ASSERT_TRUE(desktop().commandDrag(chevronKey(), leftEdgeOf("com.example.charlie")));
        run().settle();
        ASSERT_TRUE(
            desktop().commandDrag(ownKey("VelmorTray.Native.hidden"), leftEdgeOf("com.example.bravo")));
        run().settle();
        ASSERT_LT(frameOf(extraKey("com.example.alpha")).x(),
                  frameOf(ownKey("VelmorTray.Native.hidden")).x());
        ASSERT_LT(frameOf(extraKey("com.example.bravo")).x(), frameOf(chevronKey()).x());
        ASSERT_GT(frameOf(extraKey("com.example.charlie")).x(), frameOf(chevronKey()).x());
    }
    // Closing the settings window finishes arranging at the model's next tick.
    void finishArranging()
    {
        run().closeSettingsWindow();
        advance(TrayModel::refreshIntervalSeconds);
    }
    QVariantMap savedState()
    {
        return desktop().userDefaults().dictionaryValue(stateKey).value_or(QVariantMap{});
    }
};

// Arranged, collapsed with the icons really off screen, expanded, and restored after a relaunch
// only while the marker still lies left of the chevron.
TEST_F(MarkerModeTest, ArrangeCollapseExpandAndRelaunch)
{
    launch();
    ASSERT_FALSE(controller().perAppMode());
    arrange();
    EXPECT_TRUE(savedState().isEmpty()) << "nothing is written while arranging";
    finishArranging();
    ASSERT_TRUE(controller().configured());
    EXPECT_FALSE(controller().warning());
    EXPECT_EQ(titles(false), QStringList{"Alpha"});
    EXPECT_EQ(savedState(), (QVariantMap{{"configured", true}, {"expanded", true}}));

    click(QStringLiteral("VelmorTray.Native.regular"));
    EXPECT_EQ(titles(false), (QStringList{"Alpha", "Bravo"}));
    EXPECT_EQ(run().takeEvents(), QList<VelmorEvent>{VelmorEvent::trayCollapsed});
    EXPECT_EQ(savedState(), (QVariantMap{{"configured", true}, {"expanded", false}}));
    // The stretched chevron keeps its right end, with its image, in view: a click expands.
    click(QStringLiteral("VelmorTray.Native.regular"));
    EXPECT_EQ(titles(), (QStringList{"Bravo", "Charlie"}));
    model().hooks().toggleNative();

    run().quit();
    EXPECT_EQ(titles(), everyTitle);
    run().launch();
    advance(0.3);
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(titles(), everyTitle);
    advance(0.1);
    EXPECT_FALSE(controller().expanded());
    EXPECT_EQ(titles(), QStringList{"Charlie"});

    // Between runs the marker was moved right of the chevron.
    run().quit();
    desktop().domains().setPosition(ownKey("VelmorTray.Native.hidden"), *position(chevronKey()) - 1);
    launch();
    EXPECT_EQ(controller().warning(), text(NativeTrayController::invalidOrderWarning));
    EXPECT_EQ(titles(), everyTitle);
    EXPECT_EQ(savedState(), (QVariantMap{{"configured", false}, {"expanded", true}}));
}

// At login the bar may not be laid out yet (here the display sleeps): the launch check keeps the
// saved arrangement and restores it once the bar appears; a bar that never appears is given up,
// with the warning, a minute later.
TEST_F(MarkerModeTest, TheLaunchCheckWaitsForTheBar)
{
    launch();
    arrange();
    finishArranging();
    ASSERT_EQ(titles(false), QStringList{"Alpha"});
    run().quit();

    desktop().setDisplayAsleep(true);
    run().launch();
    advance(5);
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(savedState(), (QVariantMap{{"configured", true}, {"expanded", true}}));
    desktop().setDisplayAsleep(false);
    advance(NativeTrayController::launchRestoreRetryInterval);
    EXPECT_TRUE(controller().configured());
    EXPECT_EQ(titles(false), QStringList{"Alpha"});
    run().quit();

    desktop().setDisplayAsleep(true);
    run().launch();
    const double limit = NativeTrayController::launchRestoreDelay + NativeTrayController::launchRestoreLimit;
    advance(limit - 0.1);
    EXPECT_FALSE(controller().warning());
    advance(0.1);
    EXPECT_EQ(controller().warning(), text(NativeTrayController::invalidOrderWarning));
    EXPECT_EQ(savedState(), (QVariantMap{{"configured", false}, {"expanded", true}}));
}

// On a display 6016 points wide the stretched items still push the icons on their left off
// the bar: a stretch is only useful when it is wider than the bar has room.
TEST_F(MarkerModeTest, TheStretchOutgrowsAWideDisplay)
{
    QByteArray wide(markerScenario);
    wide.replace(R"("width": 1512, "height": 982 }, { "x": 1512)",
                 R"("width": 6016, "height": 982 }, { "x": 6016)");
    start(wide.constData());
    launch();
    arrange();
    finishArranging();
    EXPECT_EQ(titles(false), QStringList{"Alpha"});
    click(QStringLiteral("VelmorTray.Native.regular"));
    EXPECT_EQ(titles(), QStringList{"Charlie"});

    // The stretched items are what make the bar right of the menus look empty: the pointer resting
    // there reveals, when that preference is on.
    delegate().revealPreferences().setRevealOnHover(true);
    desktop().movePointer(QPointF(600, desktop().menuBar().frame().center().y()));
    advance(TrayPointerReveal::restSeconds);
    run().settle();
    EXPECT_TRUE(controller().expanded());
    EXPECT_EQ(titles(), (QStringList{"Bravo", "Charlie"}));
}

// A click on the unconfigured chevron starts arranging and opens the settings; finishing with the
// marker right of the chevron switches hiding off and says why; the menu reveals and arranges.
TEST_F(MarkerModeTest, ArrangingFromTheChevron)
{
    launch();
    run().closeSettingsWindow();
    click(QStringLiteral("VelmorTray.Native.regular"));
    EXPECT_TRUE(model().nativeManaging());
    EXPECT_EQ(controller().warning(), text(NativeTrayController::arrangeWarning));
    EXPECT_EQ(desktop().applicationShell().windows().size(), 1);
    const QPointF charlieRight(frameOf(extraKey("com.example.charlie")).right() - 2, 970);
    ASSERT_TRUE(desktop().commandDrag(ownKey("VelmorTray.Native.hidden"), charlieRight));
    run().settle();
    finishArranging();
    EXPECT_FALSE(controller().configured());
    EXPECT_EQ(controller().markerItem()->length(), NativeTrayController::compactLength);

    arrange();
    finishArranging();
    ASSERT_EQ(titles(false), QStringList{"Alpha"});
    click(QStringLiteral("VelmorTray.Native.regular"), true);
    EXPECT_EQ(menuTitles(), (QStringList{"Settings…", "Reveal all and arrange…", "-", "Quit Velmor Tray"}));
    ASSERT_TRUE(desktop().statusBar().chooseMenuItem(text(NativeTrayController::arrangeMenuTitle)));
    EXPECT_TRUE(controller().managing());
    EXPECT_EQ(titles(), everyTitle);
    EXPECT_EQ(desktop().applicationShell().windows().size(), 1);
}

// Only a Boolean true "configured" is restored at launch, a missing "expanded" meaning expanded;
// arranging within the first 0.4 s is not overridden.
TEST_F(MarkerModeTest, SavedStateAtLaunch)
{
    const QList<std::pair<QVariantMap, std::optional<bool>>> cases = {
        {{}, std::nullopt},
        {{{"configured", false}, {"expanded", false}}, std::nullopt},
        {{{"configured", QStringLiteral("true")}}, std::nullopt},
        {{{"configured", 1}}, std::nullopt},
        {{{"configured", true}}, true},
        {{{"configured", true}, {"expanded", QStringLiteral("no")}}, true},
        {{{"configured", true}, {"expanded", false}}, false},
    };
    for (const auto& [saved, expanded] : cases) {
        desktop().userDefaults().setValue(stateKey, saved);
        launch();
        EXPECT_EQ(controller().configured(), expanded.has_value()) << saved.size();
        EXPECT_EQ(controller().expanded(), expanded.value_or(true)) << saved.size();
        run().quit();
    }
    desktop().userDefaults().setValue(stateKey, QVariantMap{{"configured", true}, {"expanded", false}});
    run().launch();
    model().hooks().arrangeNative();
    run().settle();
    EXPECT_TRUE(controller().managing());
    EXPECT_EQ(titles(), everyTitle);
}

// The geometry rules at their edges.
TEST(MarkerGeometry, OrderAndSectionRules)
{
    const QRectF chevron(200, 958, 26, 24);
    EXPECT_TRUE(NativeTrayController::validCompactOrder(QRectF(100, 958, 32, 24), chevron));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(QRectF(100, 958, 33, 24), chevron));
    EXPECT_TRUE(NativeTrayController::validCompactOrder(QRectF(174, 958, 26, 24), chevron));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(QRectF(175, 958, 26, 24), chevron));
    EXPECT_TRUE(NativeTrayController::validCompactOrder(QRectF(100, 950.1, 26, 24), chevron));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(QRectF(100, 950, 26, 24), chevron));
    EXPECT_FALSE(NativeTrayController::validCompactOrder(QRectF(qQNaN(), 958, 26, 24), chevron));

    // Short button windows, so that an icon's centre can sit at their x without lying inside them.
    const QRectF h(100, 962, 26, 16);
    const QRectF c(200, 962, 26, 16);
    auto at = [&](double x, double y = 960) {
        return NativeTrayController::section(QRectF(x - 15, y - 12, 30, 24), h, c);
    };
    EXPECT_EQ(at(99.9), TraySection::alwaysHidden);
    EXPECT_EQ(at(100), TraySection::expandable);
    EXPECT_EQ(at(199.9), TraySection::expandable);
    EXPECT_EQ(at(200), TraySection::alwaysVisible);
    EXPECT_FALSE(at(110, 970)) << "centre inside the marker";
    EXPECT_FALSE(at(300, 945)) << "another row";
    EXPECT_FALSE(NativeTrayController::section(QRectF(50, 958, 30, 24), c, h)) << "marker right of chevron";
}

// Classification reads Accessibility frames against the live items, on the chevron's display only,
// and not while the configured tray may have pushed icons off screen.
TEST_F(MarkerModeTest, ClassificationOnTheChevronsDisplay)
{
    launch();
    const double right = controller().chevronItem()->buttonWindowFrame()->right();
    EXPECT_EQ(controller().classify(QRectF(right + 40, 0, 30, 24)), TraySection::alwaysVisible);
    EXPECT_FALSE(controller().classify(QRectF(1600, 0, 30, 24))) << "an icon on the second display";
    model().hooks().arrangeNative();
    finishArranging();
    ASSERT_TRUE(controller().configured());
    EXPECT_FALSE(controller().classify(QRectF(right + 40, 0, 30, 24)));
}

} // namespace

// The menu bar forgets Bravo's place when Bravo quits; launched again, its icon would appear at
// the left end, among the always hidden ones. It comes back between the marker and the chevron,
// with one journalled edit per quit, and where the person Command-dragged it since.
TEST_F(MarkerModeTest, AnAppThatQuitsComesBackOnItsSideOfTheMarker)
{
    QByteArray scenario(markerScenario);
    scenario.replace(R"("title": "Bravo",)", R"("title": "Bravo", "forgetsPlace": true,)");
    m_run.reset();
    start(scenario.constData());
    launch();
    arrange();
    finishArranging();
    ASSERT_TRUE(controller().configured());
    const QString bravo = extraKey("com.example.bravo");
    const QString marker = ownKey("VelmorTray.Native.hidden");
    const auto side = [&] {
        const double place = position(bravo).value_or(-1);
        if (place > *position(marker))
            return TraySection::alwaysHidden;
        return place > *position(chevronKey()) ? TraySection::expandable : TraySection::alwaysVisible;
    };
    ASSERT_EQ(side(), TraySection::expandable);
    ASSERT_TRUE(delegate().placeKeeper()->remembered().contains(bravo));
    const auto relaunch = [&] {
        ASSERT_TRUE(desktop().quit(QStringLiteral("com.example.bravo")));
        run().settle();
        ASSERT_TRUE(desktop().launch(QStringLiteral("com.example.bravo")));
        run().settle();
    };

    relaunch();
    EXPECT_EQ(side(), TraySection::expandable);
    EXPECT_EQ(delegate().placeKeeper()->placedAgain(), 1);
    EXPECT_TRUE(positionJournalExists());

    // The person Command-drags it right of the chevron: that is its place from now on.
    ASSERT_TRUE(controller().expanded());
    ASSERT_TRUE(
        desktop().commandDrag(bravo, QPointF(frameOf(extraKey("com.example.charlie")).right() + 2, 970)));
    advance(NativeTrayController::dragQuietPeriod + 0.1);
    run().settle();
    ASSERT_EQ(side(), TraySection::alwaysVisible);
    relaunch();
    EXPECT_EQ(side(), TraySection::alwaysVisible);
    EXPECT_EQ(delegate().placeKeeper()->placedAgain(), 2);

    // Charlie's place the menu bar keeps: nothing is written for it.
    ASSERT_TRUE(desktop().quit(QStringLiteral("com.example.charlie")));
    run().settle();
    EXPECT_EQ(delegate().placeKeeper()->placedAgain(), 2);
}
