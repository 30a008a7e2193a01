// Runs one hide or one arrange against a simulated home through the `defaults` stand-in and ends
// itself with SIGKILL when the edit reaches the given step, as a crash at that point would.
//
//   tray_visibility_crash_helper hide|arrange <home> <temporary> <tool> <step>
//
// <step> is a TrayEditStep by number. Exit status 0: the edit finished without reaching the
// step; 1: the edit failed; 64: wrong arguments.

#include "simulated_mac/simulated_host.h"
#include "support/fake_workspace.h"
#include "tray_visibility/tray_position_preferences.h"
#include "tray_visibility/tray_preference_visibility.h"

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

using namespace velmor;

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 6)
        return 64;
    const QString mode = arguments[1];
    simulated_mac::SimulatedHost::Configuration configuration;
    configuration.homeDirectory = arguments[2];
    configuration.temporaryDirectory = arguments[3];
    configuration.defaultsToolPath = arguments[4];
    const int killStep = arguments[5].toInt();
    const simulated_mac::SimulatedHost host(configuration);
    const test::FakeWorkspace workspace;
    const auto observer = [killStep](TrayEditStep step) {
        if (static_cast<int>(step) == killStep)
            std::raise(SIGKILL);
    };
    const QString a = QStringLiteral("com.example.a");
    const QString b = QStringLiteral("com.example.b");
    try {
        if (mode == QLatin1String("hide")) {
            TrayPreferenceVisibility visibility(host, workspace);
            visibility.setStepObserver(observer);
            visibility.apply({a, b}, {}, TrayTrackedApplications::Executables{{a, {}}, {b, {}}},
                             QStringLiteral("local.velmor.tray"));
        } else if (mode == QLatin1String("arrange")) {
            TrayPositionPreferences positions(host, workspace);
            positions.setStepObserver(observer);
            TrayPositionPreferences::Request request;
            request.hiddenBundleIDs = {a, b};
            request.chevronKey = QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");
            positions.arrange(request, {{a, {a}}, {b, {b}}});
        } else {
            return 64;
        }
    } catch (const Error& error) {
        std::fprintf(stderr, "%s\n", error.what());
        return 1;
    }
    return 0;
}
