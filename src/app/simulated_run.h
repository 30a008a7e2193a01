#pragma once

#include "app/app_windows.h"
#include "platform/manual_scheduler.h"
#include "platform/qt_scheduler.h"
#include "platform/services.h"
#include "simulated_mac/scenario.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_host.h"
#include "telemetry/velmor_event.h"
#include "tray/tray_app.h"

#include <QList>
#include <QSslConfiguration>
#include <QString>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

namespace velmor {
namespace simulated_mac {
class SimulatedUpdaterFramework;
class UpdaterAlert;
} // namespace simulated_mac

// The whole app on the simulated Mac: the desktop, the signals hub and the application, built the
// way the real app is built, with the controls a tour or a test needs to start, kill and restart
// the app's process on the same home. Tests and the headless runner use virtual time; the
// windowed app runs on real time, where the desktop hears of file edits instead of polling.
class SimulatedRun final {
public:
    enum class Clock { Virtual, Real };
    // Makes the app's windows each time the app starts; without one the settings window exists
    // only in the simulated window server's list.
    using WindowsFactory = std::function<std::unique_ptr<AppWindows>(TrayApp&, const platform::Services&)>;

    // The longest a step waits for the controller to settle, in virtual seconds.
    static constexpr double settleLimitSeconds = 60;

    SimulatedRun(const simulated_mac::Scenario& scenario, const QString& home, const QString& defaultsToolPath,
                 Clock clock = Clock::Virtual);
    // The scenario at `path`, or nothing after saying why on `errors` ("path: reason"), so every
    // way of starting a run words a bad scenario alike.
    static std::optional<simulated_mac::Scenario> loadScenario(const QString& path, QTextStream& errors);
    ~SimulatedRun();
    SimulatedRun(const SimulatedRun&) = delete;
    SimulatedRun& operator=(const SimulatedRun&) = delete;

    void setWindowsFactory(WindowsFactory factory) { m_windowsFactory = std::move(factory); }

    // Starts the app's process: launch, then the settings window opens and its content appears.
    void launch();
    // A clean quit: the app terminates the way the system asks it to.
    void quit();
    // The app's process dies without shutting anything down.
    void kill();
    bool isRunning() const { return m_app != nullptr; }
    // What the simulated installer does once an update is verified: the app on disk becomes the new
    // release, and the app quits and opens again on the same home.
    void installAndRelaunch(const QString& buildVersion, const QString& displayVersion);

    void openSettingsWindow();
    void closeSettingsWindow();

    // Runs what is due, then lets virtual time pass until the controller is idle (at least
    // `minimum` seconds).
    void settle(double minimum = 1.0);

    TrayApp& app() { return *m_app; }
    simulated_mac::SimulatedDesktop& desktop() { return *m_desktop; }
    // Virtual time; only meaningful for a run on the virtual clock.
    platform::ManualScheduler& scheduler() { return m_scheduler; }
    AppWindows* windows() { return m_windows.get(); }
    const platform::Services& services() const { return m_services; }
    // The host as the next launch finds it (its bundle's Info.plist among others).
    simulated_mac::SimulatedHost& host() { return m_host; }
    // Whom the update framework trusts for feeds and archives (the system's roots unless set).
    void setUpdateTrust(const QSslConfiguration& tls) { m_updateTrust = tls; }
    // Whom the usage and report client trusts (the system's roots unless set).
    void setTelemetryTrust(const QSslConfiguration& tls) { m_telemetryTrust = tls; }
    // The update framework's dialog of the running app; null while it does not run.
    simulated_mac::UpdaterAlert* updaterAlert();
    // The usage events recorded since the last call.
    QList<VelmorEvent> takeEvents();

private:
    void tearDownApp();

    platform::ManualScheduler m_scheduler;
    std::unique_ptr<platform::QtScheduler> m_realTime;
    simulated_mac::SimulatedHost m_host;
    std::unique_ptr<simulated_mac::SimulatedDesktop> m_desktop;
    platform::Services m_services;
    QSslConfiguration m_updateTrust = QSslConfiguration::defaultConfiguration();
    std::optional<QSslConfiguration> m_telemetryTrust;
    std::unique_ptr<simulated_mac::SimulatedUpdaterFramework> m_updater;
    WindowsFactory m_windowsFactory;
    std::unique_ptr<TrayApp> m_app;
    std::unique_ptr<AppWindows> m_windows;
    QList<VelmorEvent> m_events;
    bool m_windowAppeared = false;
};

} // namespace velmor
