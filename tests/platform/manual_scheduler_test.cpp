#include "platform/manual_scheduler.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

using namespace velmor::platform;
using ::testing::ElementsAre;

TEST(ManualScheduler, RunsDueTasksInDueOrderWithTiesInPostingOrder)
{
    ManualScheduler scheduler;
    std::vector<std::string> ran;
    scheduler.after(seconds(0.4), [&] { ran.push_back("b@0.4"); });
    scheduler.after(seconds(0.2), [&] { ran.push_back("a@0.2"); });
    scheduler.after(seconds(0.4), [&] { ran.push_back("c@0.4"); });
    scheduler.post([&] { ran.push_back("now"); });

    scheduler.fastForwardBy(seconds(0.3));
    EXPECT_THAT(ran, ElementsAre("now", "a@0.2"));
    EXPECT_EQ(scheduler.now().time_since_epoch(), seconds(0.3));

    scheduler.fastForwardBy(seconds(0.1));
    EXPECT_THAT(ran, ElementsAre("now", "a@0.2", "b@0.4", "c@0.4"));
}

TEST(ManualScheduler, TasksSeeTheirOwnDueTimeAndMayPostMoreWork)
{
    ManualScheduler scheduler;
    std::vector<double> times;
    scheduler.after(seconds(1), [&] {
        times.push_back(toSeconds(scheduler.now().time_since_epoch()));
        scheduler.post([&] { times.push_back(toSeconds(scheduler.now().time_since_epoch())); });
        scheduler.after(seconds(0.5),
                        [&] { times.push_back(toSeconds(scheduler.now().time_since_epoch())); });
    });
    scheduler.fastForwardBy(seconds(1.2));
    EXPECT_THAT(times, ElementsAre(1.0, 1.0));
    scheduler.fastForwardBy(seconds(1));
    EXPECT_THAT(times, ElementsAre(1.0, 1.0, 1.5));
    EXPECT_EQ(scheduler.pendingTaskCount(), 0u);
}

TEST(ManualScheduler, CancelledTasksNeverRun)
{
    ManualScheduler scheduler;
    int ran = 0;
    TaskHandle later = scheduler.after(seconds(1), [&] { ++ran; });
    TaskHandle soon = scheduler.post([&] { ++ran; });
    // A task cancelled by an earlier task due at the same moment must not run either.
    TaskHandle sameMoment;
    scheduler.after(seconds(2), [&] { sameMoment.cancel(); });
    sameMoment = scheduler.after(seconds(2), [&] { ++ran; });

    soon.cancel();
    later.cancel();
    EXPECT_FALSE(later.isPending());
    scheduler.fastForwardBy(seconds(5));
    EXPECT_EQ(ran, 0);
    EXPECT_EQ(scheduler.pendingTaskCount(), 0u);
}

TEST(ManualScheduler, RepeatingTaskKeepsItsPeriodUntilCancelled)
{
    ManualScheduler scheduler;
    std::vector<double> ticks;
    TaskHandle timer;
    timer = scheduler.every(seconds(2), [&] {
        ticks.push_back(toSeconds(scheduler.now().time_since_epoch()));
        scheduler.advanceClock(seconds(0.3)); // slow work inside a tick must not shift the period
        if (ticks.size() == 3)
            timer.cancel();
    });
    scheduler.fastForwardBy(seconds(20));
    EXPECT_THAT(ticks, ElementsAre(2.0, 4.0, 6.0));
    EXPECT_TRUE(timer.isCancelled());
}

TEST(ManualScheduler, RunUntilIdleRunsOnlyWhatIsDueNow)
{
    ManualScheduler scheduler;
    int ran = 0;
    scheduler.post([&] { scheduler.post([&] { ++ran; }); });
    scheduler.after(seconds(0.1), [&] { ran += 10; });
    scheduler.runUntilIdle();
    EXPECT_EQ(ran, 1);
    EXPECT_EQ(scheduler.nextDueTime()->time_since_epoch(), seconds(0.1));
}

TEST(ManualScheduler, PostFromAnotherThreadRunsOnTheOwnersTurn)
{
    ManualScheduler scheduler;
    std::thread::id ranOn;
    std::thread worker([&] { scheduler.post([&] { ranOn = std::this_thread::get_id(); }); });
    worker.join();
    EXPECT_EQ(ranOn, std::thread::id());
    scheduler.runUntilIdle();
    EXPECT_EQ(ranOn, std::this_thread::get_id());
}
