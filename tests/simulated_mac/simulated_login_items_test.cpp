#include "platform/manual_scheduler.h"
#include "simulated_mac/simulated_login_items.h"

#include <gtest/gtest.h>

using namespace velmor::platform;
using namespace velmor::simulated_mac;

namespace {

ScenarioLoginItems behaviour(bool requiresApproval, std::optional<QString> registerError = {},
                             std::optional<QString> unregisterError = {})
{
    ScenarioLoginItems result;
    result.requiresApproval = requiresApproval;
    result.registerError = std::move(registerError);
    result.unregisterError = std::move(unregisterError);
    return result;
}

} // namespace

TEST(SimulatedLoginItems, RegisteringWaitsForApprovalThatOnlyThePaneGives)
{
    ManualScheduler scheduler;
    SimulatedLoginItems items(scheduler, behaviour(true));
    int changes = 0;
    items.observe([&] { ++changes; });
    EXPECT_FALSE(items.setApproved(true)) << "nothing to approve before registering";

    EXPECT_EQ(items.registerMainApp(), std::nullopt);
    EXPECT_EQ(items.registerMainApp(), std::nullopt);
    EXPECT_EQ(items.status(), LoginItemStatus::RequiresApproval) << "registering again approves nothing";
    EXPECT_TRUE(items.setApproved(true));
    EXPECT_TRUE(items.setApproved(false));
    EXPECT_EQ(items.status(), LoginItemStatus::RequiresApproval);
    EXPECT_EQ(changes, 3);

    bool opened = false;
    items.setOpenSettingsHandler([&] { opened = true; });
    items.openSystemSettingsLoginItems();
    EXPECT_TRUE(opened);
}

TEST(SimulatedLoginItems, FailuresCarryTheScenariosReasonAndLeaveTheStatus)
{
    ManualScheduler scheduler;
    SimulatedLoginItems failing(scheduler,
                                behaviour(false, QStringLiteral("The operation couldn’t be completed."),
                                          QStringLiteral("Not permitted.")));
    EXPECT_EQ(failing.registerMainApp(), QStringLiteral("The operation couldn’t be completed."));
    EXPECT_EQ(failing.status(), LoginItemStatus::NotRegistered);

    SimulatedLoginItems items(scheduler, behaviour(false));
    ASSERT_EQ(items.registerMainApp(), std::nullopt);
    ASSERT_EQ(items.status(), LoginItemStatus::Enabled);
    std::optional<std::optional<QString>> answer;
    items.unregisterMainApp([&](std::optional<QString> error) { answer = error; });
    EXPECT_FALSE(answer) << "the system answers later, on the main thread";
    EXPECT_EQ(items.status(), LoginItemStatus::Enabled);
    scheduler.runUntilIdle();
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, std::nullopt);
    EXPECT_EQ(items.status(), LoginItemStatus::NotRegistered);

    ScenarioLoginItems enabled = behaviour(false, std::nullopt, QStringLiteral("Not permitted."));
    enabled.status = LoginItemStatus::Enabled;
    SimulatedLoginItems stuck(scheduler, enabled);
    stuck.unregisterMainApp([&](std::optional<QString> error) { answer = error; });
    scheduler.runUntilIdle();
    EXPECT_EQ(*answer, QStringLiteral("Not permitted."));
    EXPECT_EQ(stuck.status(), LoginItemStatus::Enabled);

    // A service released before it answers never calls back into a gone caller.
    answer.reset();
    {
        SimulatedLoginItems released(scheduler, enabled);
        released.unregisterMainApp([&](std::optional<QString> error) { answer = error; });
    }
    scheduler.runUntilIdle();
    EXPECT_FALSE(answer);
}
