#include "platform/manual_scheduler.h"
#include "simulated_mac/simulated_application_shell.h"
#include "suite_ui/dock_presence.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

using platform::ActivationPolicy;

class DockPresenceTest : public ::testing::Test {
protected:
    platform::ManualScheduler scheduler;
    simulated_mac::SimulatedApplicationShell shell;
    DockPresence presence{shell, scheduler};

    void SetUp() override { shell.setActivationPolicy(ActivationPolicy::Accessory); }

    platform::WindowId open(const QString& title, bool panel = false, bool titled = true, bool visible = true)
    {
        const platform::WindowId id = shell.setWindow({0, title, visible, false, title, panel, titled});
        shell.applicationDidUpdate();
        return id;
    }
    ActivationPolicy policy() const { return shell.activationPolicy(); }
    void pass() { scheduler.runUntilIdle(); }
};

TEST_F(DockPresenceTest, OnlyAnOrdinaryWindowOnScreenKeepsTheDockIcon)
{
    presence.start();
    presence.prepareToShow();
    EXPECT_EQ(policy(), ActivationPolicy::Regular) << "regular before the window shows";
    const platform::WindowId settings = open(QStringLiteral("Settings"));
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Regular);

    shell.removeWindow(settings);
    EXPECT_EQ(policy(), ActivationPolicy::Regular) << "nothing changes before the pass";
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Accessory);

    open(QStringLiteral("Palette"), true);
    const platform::WindowId hud = open(QStringLiteral("HUD"), false, false);
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Accessory) << "panels and borderless windows never count";
    presence.registerEditorWindow(hud);
    shell.applicationDidUpdate();
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Regular) << "a registered editor counts whatever its style";
}

TEST_F(DockPresenceTest, AMiniaturizedWindowKeepsTheIconAndAHiddenAppIsLeftAlone)
{
    const platform::WindowId settings = open(QStringLiteral("Settings"), false, true, false);
    presence.start();
    shell.setMiniaturized(settings, true);
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Regular) << "the Dock is where it is restored from";

    shell.setHidden(true);
    shell.removeWindow(settings);
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Regular) << "a hidden app keeps its policy";
    shell.setHidden(false);
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Accessory) << "unhiding asks for a pass";
}

TEST_F(DockPresenceTest, ABurstOfNotificationsQueuesOnePassThatSeesTheLastState)
{
    presence.start();
    presence.start();
    pass();
    const std::size_t before = scheduler.pendingTaskCount();
    const platform::WindowId settings = open(QStringLiteral("Settings"));
    for (int i = 0; i < 50; ++i)
        shell.applicationDidUpdate();
    shell.setMiniaturized(settings, true);
    shell.setMiniaturized(settings, false);
    EXPECT_EQ(scheduler.pendingTaskCount(), before + 1);
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Regular);
    EXPECT_EQ(scheduler.pendingTaskCount(), before);

    // A manager that is gone ignores its queued pass and later notifications.
    auto shortLived = std::make_unique<DockPresence>(shell, scheduler);
    shortLived->start();
    shortLived.reset();
    shell.removeWindow(settings);
    open(QStringLiteral("Other"));
    pass();
}

TEST_F(DockPresenceTest, AWindowSentToTheBackgroundGetsTheIconBackWhenItComesToTheFront)
{
    const platform::WindowId settings = open(QStringLiteral("Settings"));
    const platform::WindowId other = open(QStringLiteral("Other"));
    presence.didChooseBackground();
    presence.start();
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Regular) << "a choice before start() is not remembered";

    presence.didChooseBackground();
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Accessory);
    shell.makeKey(settings);
    EXPECT_EQ(policy(), ActivationPolicy::Regular) << "at once, without waiting for a pass";
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Regular);

    // A background window closed later leaves no trace on a new window of the same name.
    shell.removeWindow(settings);
    shell.removeWindow(other);
    open(QStringLiteral("Other"));
    pass();
    EXPECT_EQ(policy(), ActivationPolicy::Regular);
}

} // namespace
} // namespace velmor
