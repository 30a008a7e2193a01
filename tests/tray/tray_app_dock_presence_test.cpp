#include "simulated_mac/simulated_application_shell.h"
#include "tray/tray_run_fixture.h"

using namespace velmor;

namespace {

constexpr const char* dockScenario = R"({ "apps": [
  { "bundleID": "com.example.alpha", "name": "Alpha", "extras": [ { "title": "Alpha", "position": 300 } ] } ] })";

class TrayAppDockPresenceTest : public test::TrayRunTest {
protected:
    platform::ActivationPolicy policy() { return desktop().applicationShell().activationPolicy(); }
};

// The app shows a Dock icon only while its settings window is open, and gets it before the
// window shows.
TEST_F(TrayAppDockPresenceTest, TheSettingsWindowBringsTheDockIcon)
{
    start(dockScenario);
    launch();
    EXPECT_EQ(policy(), platform::ActivationPolicy::Regular);

    run().closeSettingsWindow();
    run().settle();
    EXPECT_EQ(policy(), platform::ActivationPolicy::Accessory);

    run().app().openSettings();
    EXPECT_EQ(policy(), platform::ActivationPolicy::Regular) << "without waiting for a pass";
    run().settle();
    EXPECT_EQ(policy(), platform::ActivationPolicy::Regular);
}

} // namespace
