#include "distribution/app_distribution_settings.h"
#include "distribution/app_updates_fixture.h"
#include "distribution/check_for_app_updates.h"
#include "distribution/pending_terminal_update_notice.h"
#include "distribution/pending_work_update_notice.h"

#include <QSignalSpy>

namespace velmor {
namespace {

using Command = CheckForAppUpdates::Command;

class UpdateViewsTest : public test::AppUpdatesFixture {};

QString text(const char* value)
{
    return QString::fromUtf8(value);
}

QStringList titles(const CheckForAppUpdates& menu)
{
    QStringList result;
    for (const QVariant& command : menu.commands())
        result.append(command.toMap().value(QStringLiteral("title")).toString());
    return result;
}

TEST_F(UpdateViewsTest, TurningAutomaticChecksOffDisablesDownloadsWithoutChangingThem)
{
    bool busy = false;
    auto updates = started(busy);
    AppDistributionSettings settings(*updates);
    ASSERT_TRUE(settings.automaticDownloadsEnabled());
    QSignalSpy changed(&settings, &AppDistributionSettings::changed);

    settings.setAutomaticChecks(false);
    scheduler.runUntilIdle();
    EXPECT_GT(changed.count(), 0);
    EXPECT_FALSE(settings.automaticDownloadsEnabled());
    EXPECT_TRUE(settings.automaticDownloads());
    // A disabled toggle reached by keyboard or assistive technology changes nothing either.
    settings.setAutomaticDownloads(false);
    scheduler.runUntilIdle();
    EXPECT_TRUE(framework.controller->automaticallyDownloadsUpdates());
}

TEST_F(UpdateViewsTest, TheOverridesShowExactlyWhileAnUpdateIsHeldBack)
{
    bool busy = true;
    auto updates = started(busy);
    int resolved = 0;
    int installs = 0;
    updates->configurePendingWorkAction(QStringLiteral("Stop Recording"), QStringLiteral("Waiting."),
                                        [&] { ++resolved; });
    updates->configureSessionClosureConfirmation([] { return false; });
    CheckForAppUpdates menu(*updates);
    AppDistributionSettings settings(*updates);
    PendingWorkUpdateNotice work(*updates);
    PendingTerminalUpdateNotice terminal(*updates);
    const QStringList always{text(AppUpdates::checkTitle), text(AppUpdates::preferencesTitle)};
    const auto nothingShown = [&] {
        EXPECT_EQ(titles(menu), always);
        EXPECT_FALSE(settings.closeSessionsShown());
        EXPECT_FALSE(settings.pendingWorkShown());
        EXPECT_FALSE(work.shown());
        EXPECT_FALSE(terminal.shown());
        EXPECT_TRUE(terminal.message().isEmpty());
    };

    // Configured titles while nothing is held back: nothing, and nothing to trigger.
    nothingShown();
    work.activate();
    menu.trigger(Command::PendingWork);
    settings.resolvePendingWork();
    EXPECT_EQ(resolved, 0);

    const auto holdBack = [&] { updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; }); };
    holdBack();
    const QStringList overrides{text(AppUpdates::closeSessionsTitle), QStringLiteral("Stop Recording")};
    EXPECT_EQ(titles(menu), always + overrides);
    EXPECT_TRUE(settings.closeSessionsShown());
    EXPECT_EQ(settings.pendingWorkTitle(), QStringLiteral("Stop Recording"));
    EXPECT_EQ(work.buttonTitle(), QStringLiteral("Stop Recording"));
    EXPECT_EQ(terminal.message(), text(AppUpdates::waitingForSessionsMessage));
    work.activate();
    menu.trigger(Command::PendingWork);
    EXPECT_EQ(resolved, 2);

    updates->didAbortWithError(framework.error(platform::updater_error::download));
    nothingShown();

    // Gone too once the installation starts.
    holdBack();
    busy = false;
    scheduler.fastForwardBy(platform::seconds(1));
    EXPECT_EQ(installs, 1);
    nothingShown();
}

} // namespace
} // namespace velmor
