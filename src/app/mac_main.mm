// The composition root on the Mac: the app on the real system's services.
#include "platform/mac/mac_services.h"
#include "suite_ui/velmor_signals.h"
#include "tray/tray_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QTextStream>

#include <memory>

namespace {

constexpr auto smokeTestOption = "smoke-test";
constexpr auto smokeTestDescription = "Start, create the status items, answer the trust check and quit.";
// Long enough for the controller's deferred start-up work to run once.
constexpr double smokeTestSeconds = 2.0;

// What the smoke test prints, one fact per line, and whether the run passed.
int reportSmokeTest(QTextStream& out, bool trusted, int itemsWhileRunning, int itemsAfterQuit)
{
    out << "trusted: " << (trusted ? "yes" : "no") << '\n'
        << "status items while running: " << itemsWhileRunning << '\n'
        << "status items after quit: " << itemsAfterQuit << '\n';
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

    velmor::platform::mac::MacServices mac;
    const velmor::platform::Services& services = mac.services();
    velmor::VelmorSignals::installShared(*services.host, *services.userDefaults, *services.scheduler);

    // The settings window is the windowed app's; until it is joined here, opening it only brings
    // the app forward.
    auto app = std::make_unique<velmor::TrayApp>(services, [] {});
    QObject::connect(&application, &QCoreApplication::aboutToQuit, [&app] {
        if (app)
            app->willTerminate();
    });
    app->didFinishLaunching();
    app->settingsWindowAppeared();

    if (!smokeTest)
        return application.exec();

    const bool trusted = services.accessibility->isProcessTrusted();
    int itemsWhileRunning = 0;
    services.scheduler->after(velmor::platform::seconds(smokeTestSeconds), [&] {
        itemsWhileRunning = mac.statusBar().itemCount();
        QCoreApplication::quit();
    });
    application.exec();
    app.reset();
    velmor::VelmorSignals::releaseShared();
    QTextStream out(stdout);
    return reportSmokeTest(out, trusted, itemsWhileRunning, mac.statusBar().itemCount());
}
