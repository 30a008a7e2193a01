#include "platform/manual_scheduler.h"
#include "simulated_mac/simulated_application_shell.h"
#include "suite_ui/background_quit_confirmation.h"
#include "suite_ui/dock_presence.h"

#include <gtest/gtest.h>

namespace velmor {
namespace {

using Choice = BackgroundQuitConfirmation::Choice;
using platform::ActivationPolicy;

class BackgroundQuitConfirmationTest : public ::testing::Test {
protected:
    platform::ManualScheduler scheduler;
    simulated_mac::SimulatedApplicationShell shell;
    DockPresence presence{shell, scheduler};
    platform::WindowId editor = shell.setWindow({0, QStringLiteral("Editor"), true, false, {}, false, true});
    platform::WindowId palette = shell.setWindow({0, QStringLiteral("Palette"), true, false, {}, true, true});

    void SetUp() override { presence.start(); }
    bool visible(platform::WindowId id) const
    {
        const QList<platform::WindowInfo> windows = shell.windows();
        return std::any_of(windows.cbegin(), windows.cend(), [id](const platform::WindowInfo& window) {
            return window.id == id && window.visible;
        });
    }
};

TEST_F(BackgroundQuitConfirmationTest, ABusyAppSaysSoAndCannotBeQuitFromTheAlert)
{
    BackgroundQuitConfirmation busy(QStringLiteral("Scribe %1"), true, shell, &presence);
    EXPECT_EQ(busy.messageText(), "Keep Scribe %1 running?");
    EXPECT_EQ(busy.informativeText(),
              "Keep running in background closes the window. The menu bar icon and enabled shortcuts stay "
              "available. Your current task will continue. Finish or cancel it before quitting the app.");
    busy.request();
    busy.choose(Choice::Quit);
    EXPECT_TRUE(busy.isOpen()) << "the disabled button does nothing";
    EXPECT_FALSE(shell.terminateRequested());
    EXPECT_TRUE(busy.keyPressed(Qt::Key_Escape));
    EXPECT_FALSE(busy.isOpen());
    EXPECT_TRUE(visible(editor)) << "Escape cancels";

    BackgroundQuitConfirmation idle(QStringLiteral("Scribe"), false, shell, &presence);
    EXPECT_FALSE(idle.informativeText().contains(QStringLiteral("Your current task")));
    idle.request();
    idle.choose(Choice::Quit);
    EXPECT_TRUE(shell.terminateRequested());
}

TEST_F(BackgroundQuitConfirmationTest, KeepingItRunningClosesTheWindowsAndDropsTheDockIcon)
{
    BackgroundQuitConfirmation alert(QStringLiteral("Scribe"), false, shell, &presence);
    alert.choose(Choice::KeepRunning);
    EXPECT_TRUE(visible(editor)) << "an alert that is not open decides nothing";

    alert.request();
    EXPECT_EQ(shell.activationCount(), 1);
    EXPECT_TRUE(shell.lastActivationIgnoredOtherApps());
    EXPECT_FALSE(alert.keyPressed(Qt::Key_Q));
    EXPECT_TRUE(alert.keyPressed(Qt::Key_Return)) << "the default button";
    EXPECT_FALSE(visible(editor));
    EXPECT_TRUE(visible(palette)) << "panels stay";
    scheduler.runUntilIdle();
    EXPECT_EQ(shell.activationPolicy(), ActivationPolicy::Accessory);
    shell.makeKey(editor);
    EXPECT_EQ(shell.activationPolicy(), ActivationPolicy::Regular);
}

} // namespace
} // namespace velmor
