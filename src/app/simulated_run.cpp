#include "app/simulated_run.h"

#include "app/suite_commands.h"
#include "distribution/app_updates.h"
#include "foundation/system_error.h"
#include "simulated_mac/updater/simulated_updater_framework.h"
#include "suite_ui/dock_presence.h"
#include "suite_ui/velmor_signals.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_app.h"
#include "tray/tray_delegate.h"

namespace velmor {
namespace {

simulated_mac::SimulatedHost::Configuration hostConfiguration(const QString& defaultsToolPath)
{
    simulated_mac::SimulatedHost::Configuration configuration;
    configuration.defaultsToolPath = defaultsToolPath;
    return configuration;
}

// The "Update Settings" window as the simulated window server keeps it.
class UpdateSettingsWindow final : public AppUpdates::SettingsWindow {
public:
    explicit UpdateSettingsWindow(simulated_mac::SimulatedApplicationShell& shell) : m_shell(shell) {}

    void makeKeyAndOrderFront() override
    {
        platform::WindowInfo window;
        window.id = m_id;
        window.title = QString::fromUtf8(AppUpdates::SettingsWindowStyle::title);
        window.kind = QString::fromUtf8(AppUpdates::SettingsWindowStyle::kind);
        window.visible = true;
        m_id = m_shell.setWindow(window);
        m_shell.makeKey(m_id);
    }

private:
    simulated_mac::SimulatedApplicationShell& m_shell;
    platform::WindowId m_id = 0;
};

} // namespace

std::optional<simulated_mac::Scenario> SimulatedRun::loadScenario(const QString& path, QTextStream& errors)
{
    try {
        return simulated_mac::Scenario::load(path);
    } catch (const SystemError& error) {
        errors << path << ": " << error.description() << "\n";
        return std::nullopt;
    }
}

SimulatedRun::SimulatedRun(const simulated_mac::Scenario& scenario, const QString& home,
                           const QString& defaultsToolPath, Clock clock)
    : m_host(hostConfiguration(defaultsToolPath))
{
    if (clock == Clock::Real) {
        m_realTime = std::make_unique<platform::QtScheduler>();
        // Real calls cost real time by themselves.
        m_desktop = std::make_unique<simulated_mac::SimulatedDesktop>(
            scenario, home, *m_realTime, [](platform::Duration) {}, m_host);
        m_desktop->watchFilesInsteadOfPolling();
    } else {
        m_desktop = std::make_unique<simulated_mac::SimulatedDesktop>(
            scenario, home, m_scheduler, [this](platform::Duration cost) { m_scheduler.advanceClock(cost); },
            m_host);
    }
    m_services = m_desktop->services();
    m_desktop->applicationShell().setTerminateHandler([this] {
        // The app asked to quit (its menu): terminate once the current event is done.
        m_services.scheduler->post([this] {
            if (m_app)
                quit();
        });
    });
}

SimulatedRun::~SimulatedRun()
{
    tearDownApp();
}

void SimulatedRun::launch()
{
    if (m_app)
        return;
    std::unique_ptr<NavrelClient> client;
    if (m_telemetryTrust)
        client = std::make_unique<NavrelClient>(VelmorSignals::configurationOf(m_host),
                                                VelmorSignals::contextOf(m_host), *m_services.scheduler,
                                                NavrelSession(*m_telemetryTrust));
    VelmorSignals& hub = VelmorSignals::installShared(m_host, *m_services.userDefaults, *m_services.scheduler,
                                                      std::move(client));
    DockPresence::installShared(m_desktop->applicationShell(), *m_services.scheduler);
    QObject::connect(&hub, &VelmorSignals::tracked, &hub,
                     [this](VelmorEvent event) { m_events.append(event); });
    simulated_mac::SimulatedUpdaterFramework::Configuration updater;
    updater.tls = m_updateTrust;
    updater.install = [this](const platform::UpdateItem& item) {
        installAndRelaunch(item.versionString, item.displayVersionString);
    };
    m_updater = std::make_unique<simulated_mac::SimulatedUpdaterFramework>(
        *m_services.scheduler, m_host, *m_services.userDefaults, std::move(updater));
    m_services.updater = m_updater.get();
    m_app = std::make_unique<TrayApp>(m_services, [this] { openSettingsWindow(); });
    m_app->setSuite(SuiteCommands::of(m_app->updates()));
    m_app->updates().setSettingsWindowFactory([this](AppUpdates&) {
        return std::make_unique<UpdateSettingsWindow>(m_desktop->applicationShell());
    });
    if (m_windowsFactory)
        m_windows = m_windowsFactory(*m_app, m_services);
    m_windowAppeared = false;
    m_app->didFinishLaunching();
    // The system brings an app it launched to the front.
    m_desktop->applicationShell().activate(false);
    openSettingsWindow();
}

void SimulatedRun::openSettingsWindow()
{
    if (!m_app)
        return;
    if (m_windows) {
        m_windows->showSettingsWindow();
        return;
    }
    platform::WindowInfo window;
    window.title = QString::fromUtf8(TrayApp::settingsWindowTitle);
    window.visible = true;
    window.kind = QStringLiteral("settings");
    m_desktop->applicationShell().setWindow(window);
    m_windowAppeared = true;
    m_app->settingsWindowAppeared();
}

void SimulatedRun::closeSettingsWindow()
{
    if (m_windows) {
        m_windows->closeSettingsWindow();
        return;
    }
    m_desktop->applicationShell().removeWindow(QString::fromUtf8(TrayApp::settingsWindowTitle));
}

void SimulatedRun::quit()
{
    if (!m_app)
        return;
    m_app->willTerminate();
    tearDownApp();
}

void SimulatedRun::kill()
{
    if (!m_app)
        return;
    tearDownApp();
}

void SimulatedRun::installAndRelaunch(const QString& buildVersion, const QString& displayVersion)
{
    platform::MainBundle& bundle = m_host.configuration().mainBundle;
    bundle.setInfoValue(QStringLiteral("CFBundleVersion"), buildVersion);
    bundle.setInfoValue(QStringLiteral("CFBundleShortVersionString"), displayVersion);
    // The installer waits for the app to quit; the app is not torn down inside its own call.
    m_services.scheduler->post([this] {
        if (!m_app)
            return;
        quit();
        launch();
    });
}

simulated_mac::UpdaterAlert* SimulatedRun::updaterAlert()
{
    return m_updater ? &m_updater->alert() : nullptr;
}

void SimulatedRun::tearDownApp()
{
    // The windows go with the process, before the objects they show.
    m_windows.reset();
    m_app.reset();
    m_services.updater = nullptr;
    m_updater.reset();
    VelmorSignals::releaseShared();
    DockPresence::releaseShared();
    if (m_desktop)
        m_desktop->ownProcessEnded();
}

void SimulatedRun::settle(double minimum)
{
    m_scheduler.runUntilIdle();
    const double step = 0.1;
    double waited = 0;
    auto busy = [this] {
        const NativeTrayController* controller = m_app ? m_app->delegate().controller() : nullptr;
        return controller && controller->busy();
    };
    while ((waited < minimum || busy()) && waited < settleLimitSeconds) {
        m_scheduler.fastForwardBy(platform::seconds(step));
        waited += step;
    }
}

QList<VelmorEvent> SimulatedRun::takeEvents()
{
    return std::exchange(m_events, {});
}

} // namespace velmor
