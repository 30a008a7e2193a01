#include "suite_ui/velmor_signals.h"
#include "tray_run_fixture.h"

using namespace velmor;
using namespace velmor::test;

namespace {

const char* const oneApp =
    R"({ "apps": [ { "bundleID": "com.example.a", "name": "A", "extras": [ {} ] } ] })";

} // namespace

class TrayAppTest : public TrayRunTest {};

// Each showing of the settings window starts the hub, then the updates (never held back), then
// configures the delegate; only the first showing creates the controller.
TEST_F(TrayAppTest, TheWindowsOnAppearActionRunsInOrderEveryTimeAndConfiguresOnce)
{
    start(oneApp);
    QStringList steps;
    int starts = 0;
    TrayApp::Suite suite;
    suite.startDockPresence = [&] { steps.append(QStringLiteral("dock")); };
    suite.prepareToShow = [&] { steps.append(QStringLiteral("prepare")); };
    suite.startUpdates = [&](std::function<bool()> isBusy) {
        steps.append(QStringLiteral("updates"));
        EXPECT_TRUE(VelmorSignals::shared() && VelmorSignals::shared()->started()) << "the hub first";
        if (++starts == 1) {
            EXPECT_EQ(run().app().delegate().controller(), nullptr) << "configure comes after";
        }
        EXPECT_FALSE(isBusy()) << "the tray never holds an update back";
    };
    run().setSuite(suite);
    run().launch();
    run().settle();
    EXPECT_EQ(steps, (QStringList{"dock", "updates"}));
    const NativeTrayController* controller = run().app().delegate().controller();
    ASSERT_NE(controller, nullptr);

    steps.clear();
    run().closeSettingsWindow();
    run().app().openSettings();
    run().settle();
    EXPECT_EQ(steps, (QStringList{"prepare", "updates"})) << "prepare before the window shows";
    EXPECT_EQ(run().app().delegate().controller(), controller);
    EXPECT_TRUE(desktop().applicationShell().lastActivationIgnoredOtherApps());
}

TEST_F(TrayAppTest, OnlyLightAndDarkOverrideTheSystemsAppearance)
{
    start(oneApp);
    const QString key = QString::fromLatin1(TrayApp::appearanceKey);
    for (const auto& [stored, systemDark, dark] : std::initializer_list<std::tuple<QVariant, bool, bool>>{
             {QVariant(), true, true},
             {QVariant(QStringLiteral("light")), true, false},
             {QVariant(QStringLiteral("dark")), false, true},
             {QVariant(QStringLiteral("Dark")), false, false},
             {QVariant(QStringLiteral("system")), true, true},
             {QVariant(42), true, true}}) {
        if (stored.isValid())
            desktop().userDefaults().setValue(key, stored);
        else
            desktop().userDefaults().remove(key);
        TrayApp app(run().services(), {});
        EXPECT_EQ(app.prefersDark(systemDark), dark) << stored.toString().toStdString();
    }
    TrayApp app(run().services(), {});
    app.setAppearance(QStringLiteral("dark"));
    EXPECT_EQ(desktop().userDefaults().stringValue(key), QStringLiteral("dark"));
}
