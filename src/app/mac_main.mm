// The composition root on the Mac: the app on the real system's services.
#include "app/qml_modules.h"
#include "app/suite_commands.h"
#include "app/tray_scene.h"
#include "mac/mac_services.h"
#include "platform/global_shortcuts.h"
#include "platform/workspace.h"
#include "suite_ui/dock_presence.h"
#include "suite_ui/velmor_signals.h"
#include "tray/tray_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include <memory>

namespace {

constexpr auto smokeTestOption = "smoke-test";
constexpr auto smokeTestDescription =
    "Start, create the status items, answer the trust check, try a global shortcut and quit.";
// Long enough for the controller's deferred start-up work to run once.
constexpr double smokeTestSeconds = 2.0;
// A combination no one is expected to hold; the hot key is given back at once.
constexpr auto smokeTestShortcut = "⌃⌥⇧⌘F19";

// What the system answered when the smoke test registered its hot key.
const char* describe(velmor::platform::GlobalShortcuts::Outcome outcome)
{
    switch (outcome) {
    case velmor::platform::GlobalShortcuts::Outcome::Registered:
        return "registered";
    case velmor::platform::GlobalShortcuts::Outcome::Taken:
        return "taken";
    case velmor::platform::GlobalShortcuts::Outcome::Unavailable:
        return "unavailable";
    }
    return "unavailable";
}

// Registers and removes the smoke test's hot key; what the system answered.
const char* tryGlobalShortcut(velmor::platform::GlobalShortcuts& shortcuts)
{
    const auto combination = velmor::platform::KeyCombination::parse(QString::fromUtf8(smokeTestShortcut));
    if (!combination)
        return "unavailable";
    const auto registration = shortcuts.add(*combination, [] {});
    if (registration.id != 0)
        shortcuts.remove(registration.id);
    return describe(registration.outcome);
}

// What the smoke test prints, one fact per line, and whether the run passed. The shortcut and the
// frontmost app are reported for the record; an idle runner may have neither to offer.
int reportSmokeTest(QTextStream& out, bool trusted, int itemsWhileRunning, int itemsAfterQuit,
                    const char* shortcut, bool frontmostKnown)
{
    out << "trusted: " << (trusted ? "yes" : "no") << '\n'
        << "status items while running: " << itemsWhileRunning << '\n'
        << "status items after quit: " << itemsAfterQuit << '\n'
        << "global shortcut " << QString::fromUtf8(smokeTestShortcut) << ": " << shortcut << '\n'
        << "frontmost app known: " << (frontmostKnown ? "yes" : "no") << '\n';
    const bool passed = itemsWhileRunning > 0 && itemsAfterQuit == 0;
    out << (passed ? "smoke test passed" : "smoke test failed") << '\n';
    return passed ? 0 : 1;
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Velmor Tray"));
    // The app lives in the menu bar: closing its last window does not quit it.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption(
        QCommandLineOption(QString::fromLatin1(smokeTestOption), QString::fromLatin1(smokeTestDescription)));
    parser.process(application);
    const bool smokeTest = parser.isSet(QString::fromLatin1(smokeTestOption));

    velmor::registerQmlModules();
    velmor::platform::mac::MacServices mac;
    const velmor::platform::Services& services = mac.services();
    velmor::VelmorSignals::installShared(*services.host, *services.userDefaults, *services.scheduler);
    velmor::DockPresence::installShared(*services.applicationShell, *services.scheduler);

    // The same scene as on the simulated Mac: the settings, Feedback and Update Settings windows.
    std::unique_ptr<velmor::TrayScene> scene;
    auto app = std::make_unique<velmor::TrayApp>(services, [&scene] {
        if (scene)
            scene->showSettingsWindow();
    });
    app->setSuite(velmor::SuiteCommands::of(app->updates()));
    scene = std::make_unique<velmor::TrayScene>(*app, services);
    QObject::connect(&application, &QCoreApplication::aboutToQuit, [&app] {
        if (app)
            app->willTerminate();
    });
    // The scene's windows show the app's state, so they go first.
    const auto shutDown = [&scene, &app] {
        scene.reset();
        app.reset();
        velmor::DockPresence::releaseShared();
        velmor::VelmorSignals::releaseShared();
    };
    app->didFinishLaunching();
    // Launched by a person, the app opens its window, as it does on the simulated Mac.
    app->openSettings();

    if (!smokeTest) {
        const int status = application.exec();
        shutDown();
        return status;
    }

    const bool trusted = services.accessibility->isProcessTrusted();
    const char* shortcut = tryGlobalShortcut(*services.globalShortcuts);
    const bool frontmostKnown = services.workspace->frontmostProcessIdentifier().has_value();
    int itemsWhileRunning = 0;
    services.scheduler->after(velmor::platform::seconds(smokeTestSeconds), [&] {
        itemsWhileRunning = mac.statusBar().itemCount();
        QCoreApplication::quit();
    });
    application.exec();
    shutDown();
    QTextStream out(stdout);
    return reportSmokeTest(out, trusted, itemsWhileRunning, mac.statusBar().itemCount(), shortcut,
                           frontmostKnown);
}
