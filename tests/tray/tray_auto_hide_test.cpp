#include "simulated_mac/simulated_accessibility.h"
#include "tray/reveal_run_fixture.h"

using namespace velmor;

class TrayAutoHideTest : public test::RevealRunTest {
protected:
    QString weatherKey() { return extraKey("com.example.weather"); }
    // Seconds until the tray starts hiding again by itself; absent when it has not within `limit`.
    std::optional<double> secondsUntilHidden(double limit = 120)
    {
        const double from = now();
        if (!waitUntil([this] { return hiding(); }, limit))
            return std::nullopt;
        return now() - from;
    }
};

// Revealed icons hide again after each of the delays offered, measured from the moment the reveal
// settled; Off leaves them, whatever comes to the front.
TEST_F(TrayAutoHideTest, RevealedIconsHideAgainAfterTheChosenDelay)
{
    launchCollapsed();
    EXPECT_EQ(preferences().rehideDelay(), 10) << "the default";
    for (const int delay : {5, 10, 30, 60}) {
        SCOPED_TRACE(delay);
        preferences().setRehideDelay(delay);
        ASSERT_TRUE(reveal());
        EXPECT_TRUE(hiddenApps().size() < 4) << "revealed";
        const auto hidden = secondsUntilHidden();
        ASSERT_TRUE(hidden);
        EXPECT_NEAR(*hidden, delay, 0.001);
        ASSERT_TRUE(settled());
        EXPECT_FALSE(controller().expanded());
        EXPECT_TRUE(controller().configured());
    }
    preferences().setRehideDelay(0);
    ASSERT_TRUE(reveal());
    EXPECT_FALSE(secondsUntilHidden(300));
    EXPECT_FALSE(autoHide().armed() && autoHide().counting());
    ASSERT_TRUE(desktop().activate(clock()));
    run().scheduler().runUntilIdle();
    EXPECT_FALSE(hiding()) << "nor another app coming to the front";
}

// Another app coming to the front hides the icons at once; the app's own windows (the search, the
// organizer) coming forward do not.
TEST_F(TrayAutoHideTest, SwitchingToAnotherAppHidesThemAtOnce)
{
    launchCollapsed();
    ASSERT_TRUE(desktop().activate(clock()));
    run().scheduler().runUntilIdle();
    ASSERT_TRUE(reveal());
    // The app itself comes forward from another one, as its search or organizer window opens.
    desktop().applicationShell().activate(false);
    run().openSettingsWindow();
    run().scheduler().runUntilIdle();
    EXPECT_FALSE(hiding());

    ASSERT_TRUE(desktop().activate(clock()));
    run().scheduler().runUntilIdle();
    EXPECT_TRUE(hiding());
    ASSERT_TRUE(settled());
    EXPECT_FALSE(controller().expanded());
}

// Never while the pointer is over the revealed icons or the tray's button: the delay starts again
// when the pointer leaves.
TEST_F(TrayAutoHideTest, ThePointerOverTheRevealedIconsHoldsThem)
{
    launchCollapsed();
    ASSERT_TRUE(reveal());
    advance(3);
    pointerTo(overChevron());
    EXPECT_FALSE(secondsUntilHidden(60));
    pointerTo(frameOf(weatherKey()).center());
    EXPECT_FALSE(secondsUntilHidden(20)) << "over a revealed icon";
    // Leaving for another app at the same time still waits for the pointer.
    ASSERT_TRUE(desktop().activate(clock()));
    run().scheduler().runUntilIdle();
    EXPECT_FALSE(hiding());

    pointerTo(awayFromBar());
    const auto hidden = secondsUntilHidden();
    ASSERT_TRUE(hidden);
    EXPECT_NEAR(*hidden, 10, 0.001) << "a full delay after the pointer left";
}

// Never while a menu of a revealed icon is open (a click on it, or an entry of the bar below):
// the delay starts again when the menu closes.
TEST_F(TrayAutoHideTest, AnOpenMenuOfARevealedIconHoldsThem)
{
    launchCollapsed();
    ASSERT_TRUE(reveal());
    ASSERT_TRUE(desktop().clickExtra(weatherKey()));
    run().scheduler().runUntilIdle();
    EXPECT_FALSE(secondsUntilHidden(60));
    ASSERT_TRUE(desktop().extraMenu());

    advance(2);
    desktop().closeExtraMenu();
    const auto hidden = secondsUntilHidden();
    ASSERT_TRUE(hidden);
    EXPECT_NEAR(*hidden, 10, 0.001);

    // A menu of an app that stays in the menu bar holds nothing.
    ASSERT_TRUE(settled());
    ASSERT_TRUE(reveal());
    ASSERT_TRUE(desktop().clickExtra(extraKey("com.example.clock")));
    EXPECT_NEAR(secondsUntilHidden().value_or(0), 10, 0.001);
}

// "Reveal all" is a recovery, not a peek: nothing hides it again, not the delay, not another app.
TEST_F(TrayAutoHideTest, RevealAllIsNeverHiddenByItself)
{
    launchCollapsed();
    preferences().setRehideDelay(5);
    controller().revealAll(std::nullopt);
    ASSERT_TRUE(settled());
    ASSERT_TRUE(desktop().activate(clock()));
    advance(120);
    EXPECT_FALSE(controller().configured());
    EXPECT_TRUE(hiddenApps().isEmpty());
    EXPECT_FALSE(autoHide().armed());

    // Nor does a reveal right after grouping is applied again count until it is a reveal.
    model().hooks().arrangeNative();
    ASSERT_TRUE(settled());
    EXPECT_FALSE(autoHide().armed());
}

// Resting the pointer 0.3 s on empty menu bar space reveals the expandable menu; 0.2 s does not,
// passing over it does not, and the frontmost app's menus never do. Off by default.
TEST_F(TrayAutoHideTest, RestingOnEmptyMenuBarSpaceReveals)
{
    launchCollapsed();
    pointerTo(emptyBar());
    advance(5);
    EXPECT_FALSE(controller().busy() || controller().expanded()) << "off by default";

    preferences().setRevealOnHover(true);
    pointerTo(overMenus());
    advance(2);
    EXPECT_FALSE(controller().busy() || controller().expanded()) << "over the app's menus";
    pointerTo(frameOf(extraKey("com.example.clock")).center());
    advance(2);
    EXPECT_FALSE(controller().busy() || controller().expanded()) << "over a status item";

    pointerTo(emptyBar());
    advance(0.2);
    EXPECT_FALSE(controller().busy() || controller().expanded());
    // Moving on along the bar starts the rest again.
    pointerTo(emptyBar() + QPointF(40, 0));
    advance(0.2);
    EXPECT_FALSE(controller().busy() || controller().expanded());
    advance(0.1);
    EXPECT_TRUE(controller().busy()) << "rested 0.3 s";
    ASSERT_TRUE(settled());
    EXPECT_TRUE(controller().expanded());
    // It hides again by itself, as any reveal does.
    EXPECT_NEAR(secondsUntilHidden().value_or(0), 10, 0.001);
}

// A click on empty menu bar space reveals at once, when that preference is on; a click on the
// app's menus does not.
TEST_F(TrayAutoHideTest, AClickOnEmptyMenuBarSpaceReveals)
{
    launchCollapsed();
    ASSERT_TRUE(desktop().clickBar(emptyBar()));
    run().scheduler().runUntilIdle();
    EXPECT_FALSE(controller().busy()) << "off by default";

    preferences().setRevealOnClick(true);
    ASSERT_TRUE(desktop().clickBar(overMenus()));
    run().scheduler().runUntilIdle();
    EXPECT_FALSE(controller().busy());
    ASSERT_TRUE(desktop().clickBar(emptyBar()));
    run().scheduler().runUntilIdle();
    EXPECT_TRUE(controller().busy());
    ASSERT_TRUE(settled());
    EXPECT_TRUE(controller().expanded());
    // A second click there leaves it revealed.
    ASSERT_TRUE(desktop().clickBar(emptyBar()));
    run().scheduler().runUntilIdle();
    EXPECT_FALSE(controller().busy());
}

// The frontmost app says how many menus it has, and one that reports more than any app has is not
// believed: where its menus end is unknown, so no part of the bar counts as empty and a rest there
// reveals nothing, and none of its menus is asked where it is, at every look. At 64 it is believed.
TEST_F(TrayAutoHideTest, AnAppReportingMoreMenusThanAnyAppHasLeavesNoEmptySpace)
{
    using simulated_mac::SimulatedAccessibility;
    const struct {
        int menus;
        bool believed;
    } cases[] = {{64, true}, {65, false}};
    for (const auto& test : cases) {
        SCOPED_TRACE(test.menus);
        m_run.reset();
        launchCollapsed();
        // The same stretch of the bar as the app's own menus, in as many menus as it claims.
        const QRectF bar = desktop().menuBar().frame();
        const QRectF span = desktop().menuBar().toAccessibility(
            QRectF(bar.x(), bar.y(), desktop().menuBar().menusEnd() - bar.x(), bar.height()));
        desktop().accessibility().setApplicationMenus(
            [this, count = test.menus,
             span](qint32 pid) -> std::optional<SimulatedAccessibility::ApplicationMenus> {
                if (pid != desktop().frontmostPid())
                    return std::nullopt;
                return SimulatedAccessibility::ApplicationMenus{count, span};
            });
        preferences().setRevealOnClick(true);

        // A click on the menus reveals nothing either way; what its look cost the app is what
        // every look costs.
        const quint64 before = desktop().accessibility().messageCount();
        ASSERT_TRUE(desktop().clickBar(overMenus()));
        run().scheduler().runUntilIdle();
        const quint64 messages = desktop().accessibility().messageCount() - before;
        EXPECT_FALSE(controller().busy());
        if (test.believed) {
            EXPECT_GT(messages, quint64(test.menus)) << "each menu is asked where it is";
        } else {
            EXPECT_LT(messages, quint64(test.menus)) << "no menu is asked";
        }

        preferences().setRevealOnHover(true);
        pointerTo(emptyBar());
        advance(0.3);
        EXPECT_EQ(controller().busy(), test.believed) << "resting there";
    }
}
