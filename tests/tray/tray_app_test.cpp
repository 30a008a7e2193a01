#include "distribution/app_updates.h"
#include "suite_ui/velmor_signals.h"
#include "tray_run_fixture.h"

using namespace velmor;
using namespace velmor::test;

namespace {

const char* const oneApp =
    R"({ "apps": [ { "bundleID": "com.example.a", "name": "A", "extras": [ {} ] } ] })";

} // namespace

class TrayAppTest : public TrayRunTest {};

// Each showing of the settings window starts the hub and the updates and configures the
// delegate; only the first showing creates the controller.
TEST_F(TrayAppTest, TheWindowsOnAppearActionStartsTheSuiteAndConfiguresOnce)
{
    start(oneApp);
    run().launch();
    run().settle();
    EXPECT_TRUE(VelmorSignals::shared() && VelmorSignals::shared()->started());
    EXPECT_FALSE(run().app().updates().message().isEmpty()) << "the update controller started";
    const NativeTrayController* controller = run().app().delegate().controller();
    ASSERT_NE(controller, nullptr);

    run().closeSettingsWindow();
    run().app().openSettings();
    run().settle();
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
