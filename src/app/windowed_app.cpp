#include "app/windowed_app.h"

#include "app/simulated_mac_view.h"
#include "app/simulated_run.h"
#include "app/simulated_scene_wiring.h"
#include "foundation/system_error.h"
#include "simulated_mac/views/simulated_mac_presenter.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTemporaryDir>

namespace velmor {
namespace {

constexpr const char* noWindowMessage = "The simulated Mac's window could not be loaded.";

} // namespace

WindowedApp::WindowedApp(Options options, QTextStream& errors)
    : m_options(std::move(options)), m_errors(errors)
{}

int WindowedApp::run()
{
    const std::optional<simulated_mac::Scenario> scenario =
        SimulatedRun::loadScenario(m_options.scenarioPath, m_errors);
    if (!scenario)
        return failed;
    QTemporaryDir temporaryHome;
    const QString home = m_options.homePath.isEmpty() ? temporaryHome.path() : m_options.homePath;

    std::unique_ptr<SimulatedRun> run;
    try {
        run = std::make_unique<SimulatedRun>(*scenario, home, m_options.defaultsToolPath,
                                             SimulatedRun::Clock::Real);
    } catch (const Error& error) {
        m_errors << error.description() << "\n";
        return failed;
    }
    simulated_mac::SimulatedDesktop& desktop = run->desktop();

    SimulatedSceneWiring wiring(*run);

    SimulatedMacView view(desktop, QFileInfo(m_options.scenarioPath).fileName());
    wiring.setUpdaterAlertHandler(
        [&view](simulated_mac::UpdaterAlert* alert) { view.presenter().setUpdaterAlert(alert); });
    view.presenter().sidePanel()->setOwnApp(simulated_mac::SidePanelPresenter::OwnApp{
        [&] { return run->isRunning(); }, [&] { run->launch(); }, [&] { run->quit(); }});
    QQuickWindow* window = view.window();
    if (!window) {
        m_errors << noWindowMessage << "\n";
        return failed;
    }
    // Closing the simulated Mac ends everything; the app's own windows do not.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(window, &QWindow::visibleChanged, window, [](bool visible) {
        if (!visible)
            QCoreApplication::quit();
    });
    // The app first: its settings window is what the person waits for, so it is exposed (and
    // drawn) before the much larger desktop.
    run->launch();
    window->show();

    const int status = QGuiApplication::exec();
    if (run->isRunning())
        run->quit();
    return status;
}

} // namespace velmor
