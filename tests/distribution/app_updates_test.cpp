#include "distribution/app_updates_fixture.h"
#include "distribution/update_menu_item.h"

namespace velmor {
namespace {

using test::validFeed;
using test::validKey;
namespace codes = platform::updater_error;

// The messages are written out as the user reads them, so a typo in a constant fails here.
class AppUpdatesTest : public test::AppUpdatesFixture {};

TEST_F(AppUpdatesTest, ReviewBuildsAndUnusableFeedsOrKeysNeverCreateAnUpdater)
{
    QVariantMap marked = info();
    marked.insert(QStringLiteral("VelmorReviewLibrary"), false);
    QVariantMap suffixed = info();
    suffixed.insert(QStringLiteral("CFBundleIdentifier"), QStringLiteral("local.velmor.tray.review"));
    for (const QVariantMap& bundle : {marked, suffixed}) {
        auto updates = make(bundle);
        updates->start([] { return false; });
        EXPECT_EQ(updates->message(), QStringLiteral("Updates are disabled in review builds."));
    }

    QVariantMap numberFeed = info();
    numberFeed.insert(QStringLiteral("SUFeedURL"), 7);
    const QList<QVariantMap> unusable{
        numberFeed,
        info(QStringLiteral("http://updates.example.com/appcast.xml")),
        info(QStringLiteral("HTTPS://updates.example.com/appcast.xml")),
        info(QStringLiteral("https:///appcast.xml")),
        info(QString()),
        info(validFeed, QString::fromLatin1(QByteArray(31, 'k').toBase64())),
        info(validFeed, QString::fromLatin1(QByteArray(33, 'k').toBase64())),
        info(validFeed, QStringLiteral("not base64 at all!")),
        info(validFeed, validKey.left(validKey.size() - 1)), // padding missing
        info(validFeed, validKey + u'\n'),
        info(validFeed, QString(validKey).replace(u'B', u'-')), // the URL-safe alphabet
    };
    for (const QVariantMap& bundle : unusable) {
        auto updates = make(bundle);
        QObject::connect(updates.get(), &AppUpdates::messageChanged,
                         [] { ADD_FAILURE() << "message changed"; });
        updates->start([] { return false; });
        scheduler.runUntilIdle();
        EXPECT_FALSE(updates->available());
        EXPECT_EQ(updates->message(), QStringLiteral("Updates are not published for this build yet."));
    }
    EXPECT_EQ(framework.created, 0);
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(AppUpdatesTest, StartingCreatesTheUpdaterOnceAndMirrorsItOnTheRunLoop)
{
    auto updates = make(info());
    int installs = 0;
    // Before start the host counts as busy.
    EXPECT_TRUE(updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; }));
    updates->start([] { return false; });
    ASSERT_EQ(framework.created, 1);
    test::FakeUpdaterController& controller = *framework.controller;
    EXPECT_FALSE(controller.sendsProfile);
    // The framework's values arrive on the main run loop, not inside its call.
    EXPECT_FALSE(updates->canCheck());
    scheduler.runUntilIdle();
    EXPECT_TRUE(updates->canCheck());
    EXPECT_EQ(installs, 1);

    controller.set(platform::UpdaterProperty::CanCheckForUpdates, false);
    scheduler.runUntilIdle();
    updates->check();
    EXPECT_EQ(controller.checksRequested, 0);
    updates->start([] { return true; });
    EXPECT_EQ(controller.starts, 1);
    // The second start replaced the busy test all the same.
    EXPECT_TRUE(updates->shouldPostponeRelaunchForUpdate(item(), [] {}));

    framework.startError = framework.error(codes::appcast);
    auto failing = make(info());
    failing->start([] { return false; });
    EXPECT_FALSE(failing->available());
    EXPECT_EQ(failing->message(), QStringLiteral("Updates could not start: ") + QStringLiteral("failed"));
    EXPECT_EQ(events, QList<VelmorEvent>{VelmorEvent::updateFailed});
}

TEST_F(AppUpdatesTest, AHeldBackInstallationWaitsForIdleAndInstallsOnce)
{
    bool busy = false;
    auto updates = started(busy);
    int installs = 0;
    EXPECT_FALSE(updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; }));

    busy = true;
    int asked = 0;
    updates->start([&] {
        ++asked;
        return busy;
    });
    EXPECT_TRUE(updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; }));
    EXPECT_EQ(updates->message(), QStringLiteral("Update ready. Waiting for active work to finish."));
    asked = 0;
    scheduler.fastForwardBy(platform::seconds(10.5));
    EXPECT_EQ(installs, 0);
    EXPECT_EQ(asked, 11); // at once, then once a second
    // A second offer replaces the first; still one waiter.
    EXPECT_TRUE(updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; }));
    busy = false;
    scheduler.fastForwardBy(platform::seconds(1));
    EXPECT_EQ(installs, 1);
    EXPECT_EQ(updates->message(), QStringLiteral("Installing update…"));
    updates->resolvePendingWork();
    updates->closeSessionsAndInstallUpdate();
    scheduler.fastForwardBy(platform::seconds(5));
    EXPECT_EQ(installs, 1);
}

TEST_F(AppUpdatesTest, SessionClosureInstallsOnlyWhenConfirmed)
{
    bool busy = true;
    auto updates = started(busy);
    int installs = 0;
    int asked = 0;
    bool answer = false;
    updates->configureSessionClosureConfirmation([&] {
        ++asked;
        // While the dialog is open the waiting task must not install, even when the host is idle.
        busy = false;
        scheduler.fastForwardBy(platform::seconds(3));
        busy = true;
        return answer;
    });
    updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; });
    EXPECT_EQ(updates->message(), QStringLiteral("Update ready. Waiting for open terminal and SSH sessions "
                                                 "to close. An open connection may be idle."));

    updates->closeSessionsAndInstallUpdate();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(installs, 0);
    EXPECT_TRUE(updates->hasPendingInstallation());
    EXPECT_FALSE(updates->consumeSessionClosureApproval());
    // Declined, the waiting task goes on.
    busy = false;
    scheduler.fastForwardBy(platform::seconds(1));
    EXPECT_EQ(installs, 1);

    busy = true;
    answer = true;
    updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; });
    updates->closeSessionsAndInstallUpdate();
    EXPECT_EQ(installs, 2);
    EXPECT_TRUE(updates->consumeSessionClosureApproval());
    EXPECT_FALSE(updates->consumeSessionClosureApproval());

    // An idle host is not asked, and nobody approved closing live sessions.
    updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; });
    busy = false;
    updates->closeSessionsAndInstallUpdate();
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(installs, 3);
    EXPECT_FALSE(updates->consumeSessionClosureApproval());
}

TEST_F(AppUpdatesTest, ResolvingPendingWorkInstallsWhenTheWorkIsDone)
{
    bool busy = true;
    auto updates = started(busy);
    int installs = 0;
    bool finishes = false;
    updates->configurePendingWorkAction(QStringLiteral("Stop"), QStringLiteral("Waiting for the recording."),
                                        [&] { busy = !finishes; });
    updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; });
    EXPECT_EQ(updates->message(), QStringLiteral("Waiting for the recording."));
    updates->resolvePendingWork();
    EXPECT_EQ(installs, 0);
    finishes = true;
    updates->resolvePendingWork();
    EXPECT_EQ(installs, 1);
}

TEST_F(AppUpdatesTest, AbortsAndCyclesSayWhatHappenedAndReportOnlyFailures)
{
    bool busy = true;
    auto updates = started(busy);
    updates->didAbortWithError(framework.error(codes::noUpdate));
    EXPECT_EQ(updates->message(), QStringLiteral("You're up to date."));
    for (const qint64 code : {codes::installationCanceled, codes::installationAuthorizeLater}) {
        updates->didAbortWithError(framework.error(code));
        EXPECT_EQ(updates->message(),
                  QStringLiteral("Update installation postponed. You can check again when ready."));
    }
    EXPECT_TRUE(events.isEmpty());
    updates->didAbortWithError(framework.error(codes::signature));
    EXPECT_EQ(updates->message(),
              QStringLiteral("The update was not installed. You can check for updates again."));
    EXPECT_EQ(events, QList<VelmorEvent>{VelmorEvent::updateFailed});
    // "No update" from another domain is a failure like any other.
    updates->didAbortWithError(
        {QStringLiteral("NSURLErrorDomain"), codes::noUpdate, QStringLiteral("offline")});
    EXPECT_EQ(events.size(), 2);

    // A cycle that ends normally while an installation waits means it was put off.
    updates->shouldPostponeRelaunchForUpdate(item(), [] {});
    updates->didFinishUpdateCycle(platform::UpdateCheck::Updates, framework.error(codes::download));
    EXPECT_EQ(updates->message(), QStringLiteral("Update ready. Waiting for active work to finish."));
    updates->didFinishUpdateCycle(platform::UpdateCheck::UpdatesInBackground, std::nullopt);
    EXPECT_EQ(updates->message(),
              QStringLiteral("Update installation postponed. You can check again when ready."));
}

TEST_F(AppUpdatesTest, NothingOfAnAbortedInstallationInstallsLater)
{
    bool busy = true;
    auto updates = started(busy);
    int installs = 0;
    // A confirmation answered after the framework gave the installation up.
    updates->configureSessionClosureConfirmation([&] {
        updates->didAbortWithError(framework.error(codes::download));
        return true;
    });
    updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; });
    updates->closeSessionsAndInstallUpdate();
    EXPECT_FALSE(updates->consumeSessionClosureApproval());
    // Work resolved while the framework gives up.
    updates->configurePendingWorkAction(QStringLiteral("Stop"), QString(), [&] {
        busy = false;
        updates->didAbortWithError(framework.error(codes::noUpdate));
    });
    busy = true;
    updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; });
    updates->resolvePendingWork();
    // The waiting task of an aborted installation.
    busy = true;
    updates->shouldPostponeRelaunchForUpdate(item(), [&] { ++installs; });
    updates->didAbortWithError(framework.error(codes::installationCanceled));
    busy = false;
    scheduler.fastForwardBy(platform::seconds(5));
    EXPECT_EQ(installs, 0);
    EXPECT_FALSE(updates->hasPendingInstallation());
}

TEST_F(AppUpdatesTest, MenuItemsFollowTheControllerAndOutliveIt)
{
    bool busy = true;
    auto updates = make(info());
    auto check = updates->menuItem();
    EXPECT_FALSE(updates->validateMenuItem(*check));
    EXPECT_EQ(updates->pendingWorkMenuItem(), nullptr);
    updates->start([&] { return busy; });
    scheduler.runUntilIdle();
    EXPECT_TRUE(updates->validateMenuItem(*check));

    updates->configurePendingWorkAction(QStringLiteral("Finish Export"), QStringLiteral("Exporting."), [] {});
    auto work = updates->pendingWorkMenuItem();
    ASSERT_NE(work, nullptr);
    EXPECT_TRUE(work->isHidden());
    EXPECT_FALSE(updates->validateMenuItem(*work));
    updates->shouldPostponeRelaunchForUpdate(item(), [] {});
    EXPECT_FALSE(work->isHidden());
    EXPECT_TRUE(updates->validateMenuItem(*work));
    updates->didAbortWithError(framework.error(codes::download));
    EXPECT_TRUE(work->isHidden());

    updates.reset();
    check->trigger();
    work->trigger();
}

} // namespace
} // namespace velmor
