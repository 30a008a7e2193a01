#include "platform/main_bundle.h"
#include "platform/manual_scheduler.h"
#include "simulated_mac/simulated_host.h"
#include "suite_ui/launch_at_login_settings.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace velmor {
namespace {

using platform::LoginItemStatus;
using Locations = LaunchAtLoginController::Locations;

// The system's login-item service, answering as the test says.
class FakeLoginItems final : public platform::LoginItems {
public:
    LoginItemStatus current = LoginItemStatus::NotRegistered;
    LoginItemStatus afterRegister = LoginItemStatus::Enabled;
    std::optional<QString> registerError;
    int registers = 0;
    int unregisters = 0;
    int settingsOpened = 0;
    Completion pendingUnregister;

    LoginItemStatus status() const override { return current; }
    std::optional<QString> registerMainApp() override
    {
        ++registers;
        if (!registerError) {
            current = afterRegister;
            statusChanged();
        }
        return registerError;
    }
    void unregisterMainApp(Completion completion) override
    {
        ++unregisters;
        pendingUnregister = std::move(completion);
    }
    void openSystemSettingsLoginItems() override { ++settingsOpened; }
    void answerUnregister(std::optional<QString> error)
    {
        if (!error)
            current = LoginItemStatus::NotRegistered;
        std::exchange(pendingUnregister, {})(error);
        statusChanged();
    }
};

class LaunchAtLoginTest : public ::testing::Test {
protected:
    platform::ManualScheduler scheduler;
    FakeLoginItems loginItems;
    QTemporaryDir root;
    Locations locations{root.filePath(QStringLiteral("Applications")),
                        root.filePath(QStringLiteral("home/Applications"))};
    const QString detail = QStringLiteral("Applies only to this app.");

    void SetUp() override
    {
        for (const char* folder : {"Applications/Real.app", "home/Applications", "Downloads/Velmor Tray.app",
                                   "home/Downloads/Velmor Tray.app"})
            ASSERT_TRUE(QDir().mkpath(path(folder)));
    }
    QString path(const char* relative) const { return root.filePath(QString::fromUtf8(relative)); }
    std::unique_ptr<LaunchAtLoginSettings>
    section(const QString& url, const QString& identifier = QStringLiteral("local.velmor.tray"))
    {
        const platform::MainBundle bundle({{QStringLiteral("CFBundleIdentifier"), identifier}}, url);
        return std::make_unique<LaunchAtLoginSettings>(loginItems, bundle, locations, scheduler, detail);
    }
    std::unique_ptr<LaunchAtLoginSettings> installedSection()
    {
        return section(path("Applications/Velmor Tray.app"));
    }
    bool installed(const QString& bundlePath) const
    {
        return LaunchAtLoginController::isInstalled(bundlePath, locations);
    }
};

TEST_F(LaunchAtLoginTest, OnlyACopyInAnApplicationsFolderMayLaunchAtLogin)
{
    auto downloaded = section(path("Downloads/Velmor Tray.app"));
    EXPECT_EQ(downloaded->explanation(),
              "Move this app to Applications and reopen it to enable launch at login.");
    EXPECT_FALSE(downloaded->toggleEnabled());
    downloaded->toggle(true);
    scheduler.runUntilIdle();
    EXPECT_EQ(loginItems.registers, 0);
    EXPECT_EQ(section(path("home/Applications/Velmor Tray.app"))->explanation(), detail);

    EXPECT_TRUE(installed(QStringLiteral("file://") + path("Applications/Velmor Tray.app")));
    EXPECT_FALSE(installed(path("ApplicationsOld/Velmor Tray.app"))) << "the folder's name is only a prefix";
    EXPECT_FALSE(installed(path("Applications/../Downloads/Velmor Tray.app")));
    EXPECT_FALSE(installed(path("Applications/velmor-tray")));
    EXPECT_FALSE(installed(QStringLiteral("Applications/Velmor Tray.app"))) << "a relative path";

    // Where a copy really is counts, not the name it was started under, on both sides.
    ASSERT_TRUE(QFile::link(path("Applications/Real.app"), path("Downloads/Link.app")));
    ASSERT_TRUE(QFile::link(path("Downloads/Velmor Tray.app"), path("Applications/Alias.app")));
    ASSERT_TRUE(QFile::link(path("home"), path("linked-home")));
    EXPECT_TRUE(installed(path("Downloads/Link.app")));
    EXPECT_FALSE(installed(path("Applications/Alias.app")));
    EXPECT_TRUE(LaunchAtLoginController::isInstalled(path("home/Applications/Velmor Tray.app"),
                                                     {{}, path("linked-home/Applications")}));

    simulated_mac::SimulatedHost::Configuration configuration;
    configuration.homeDirectory = path("home");
    const Locations mac = Locations::of(simulated_mac::SimulatedHost(configuration));
    EXPECT_FALSE(
        LaunchAtLoginController::isInstalled(QStringLiteral("/ApplicationsOld/Velmor Tray.app"), mac));
    EXPECT_TRUE(LaunchAtLoginController::isInstalled(path("home/Applications/Velmor Tray.app"), mac));
    EXPECT_FALSE(LaunchAtLoginController::isInstalled(path("home/Velmor Tray.app"), mac));
}

TEST_F(LaunchAtLoginTest, AReviewBuildIsNeverOffered)
{
    const QString review = QStringLiteral("Launch at login is unavailable in review builds.");
    EXPECT_EQ(installedSection()->explanation(), detail);
    EXPECT_EQ(section(path("Applications/Velmor Tray.app"), QStringLiteral("local.velmor.tray.review"))
                  ->explanation(),
              review);
    EXPECT_EQ(section(path("Downloads/Velmor Tray.app"), QStringLiteral("a.review.b"))->explanation(),
              review);
    EXPECT_FALSE(LaunchAtLoginController::isReviewBuild(platform::MainBundle(
        {{QStringLiteral("CFBundleIdentifier"), QStringLiteral("local.velmor.trayreview")}}, {})));
    EXPECT_TRUE(LaunchAtLoginController::isReviewBuild(
        platform::MainBundle({{QStringLiteral("VelmorReviewNotes"), 1}}, {})));
}

TEST_F(LaunchAtLoginTest, ApprovalStillNeededKeepsTheToggleOnAndPointsToTheSettings)
{
    loginItems.afterRegister = LoginItemStatus::RequiresApproval;
    auto startup = installedSection();
    startup->toggle(true);
    EXPECT_TRUE(startup->showsProgress());
    EXPECT_FALSE(startup->toggleEnabled());
    scheduler.runUntilIdle();
    EXPECT_FALSE(startup->showsProgress());
    EXPECT_TRUE(startup->toggleOn());
    EXPECT_EQ(startup->explanation(),
              "Approval is needed in System Settings before this app can launch at login.");
    EXPECT_TRUE(startup->showsApprovalButton());
    startup->openLoginItemsSettings();
    EXPECT_EQ(loginItems.settingsOpened, 1);

    // The user approves in the system's settings and comes back.
    loginItems.current = LoginItemStatus::Enabled;
    EXPECT_TRUE(startup->showsApprovalButton());
    startup->setSceneActive(true);
    EXPECT_EQ(startup->explanation(), detail);
    EXPECT_FALSE(startup->showsApprovalButton());
}

TEST_F(LaunchAtLoginTest, AFailedChangeIsShownWithTheSystemsReason)
{
    loginItems.registerError = QStringLiteral("The operation couldn’t be completed.");
    auto startup = installedSection();
    startup->toggle(true);
    scheduler.runUntilIdle();
    EXPECT_EQ(startup->errorText(), "Could not change launch at login: The operation couldn’t be completed.");
    EXPECT_FALSE(startup->toggleOn());
    EXPECT_TRUE(startup->toggleEnabled());

    loginItems.registerError.reset();
    startup->toggle(true);
    EXPECT_FALSE(startup->showsError()) << "a new attempt clears the old failure";
    scheduler.runUntilIdle();
    startup->toggle(false);
    scheduler.runUntilIdle();
    EXPECT_TRUE(startup->showsProgress()) << "until the system answers";
    loginItems.answerUnregister(QStringLiteral("Denied."));
    EXPECT_FALSE(startup->showsProgress());
    EXPECT_EQ(startup->errorText(), "Could not change launch at login: Denied.");
    EXPECT_TRUE(startup->toggleOn()) << "the status as the service reports it";
}

TEST_F(LaunchAtLoginTest, AToggleToTheStateInEffectOrDuringAChangeDoesNothing)
{
    loginItems.current = LoginItemStatus::Enabled;
    auto startup = installedSection();
    startup->toggle(true);
    // Removed in the system's settings meanwhile: the toggle reads that before it acts.
    loginItems.current = LoginItemStatus::NotRegistered;
    startup->toggle(false);
    scheduler.runUntilIdle();
    EXPECT_EQ(loginItems.registers + loginItems.unregisters, 0);
    EXPECT_FALSE(startup->toggleOn());

    loginItems.current = LoginItemStatus::Enabled;
    startup->toggle(false);
    startup->toggle(true);
    startup->toggle(false);
    scheduler.runUntilIdle();
    EXPECT_EQ(loginItems.unregisters, 1);
    EXPECT_EQ(loginItems.registers, 0);

    // The section closes before the system answers; a change not yet started is dropped.
    startup.reset();
    loginItems.answerUnregister(std::nullopt);
    auto closing = installedSection();
    closing->toggle(true);
    closing.reset();
    scheduler.runUntilIdle();
    EXPECT_EQ(loginItems.registers, 0);
}

} // namespace
} // namespace velmor
