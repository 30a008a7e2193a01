#pragma once

#include "suite_ui/support_window.h"
#include "telemetry/app_signal_context.h"
#include "telemetry/navrel_client.h"
#include "telemetry/telemetry_session.h"
#include "telemetry/velmor_event.h"

#include <QObject>

#include <deque>
#include <functional>
#include <memory>
#include <optional>

namespace velmor::platform {
class ApplicationShell;
class Host;
class Scheduler;
class Screens;
class UserDefaults;
} // namespace velmor::platform

namespace velmor {

// The one way an app of the suite records usage events, reads and changes the user's consent
// choices and sends feedback. It owns the telemetry client and the restart markers, and feeds
// every client call through one ordered chain on the main thread, so consent changes and events
// reach the client in the order the user caused them. A consent change cancels every operation
// scheduled before it that has not yet reached the client, except a withdrawal, which always
// runs.
class VelmorSignals final : public QObject {
    Q_OBJECT

public:
    static constexpr auto installationKey = "velmor.installation.v1";

    using SupportWindowFactory = std::function<std::unique_ptr<SupportWindow>(const SupportWindow::Request&)>;

    // `client` is for tests; absent means the hub builds its own from the bundle's configuration.
    VelmorSignals(const platform::Host& host, platform::UserDefaults& defaults,
                  platform::Scheduler& scheduler, std::unique_ptr<NavrelClient> client = nullptr);
    ~VelmorSignals() override;

    // The process's hub. The composition root creates it once, with the platform services, and
    // releases it before the application object goes away; later calls return the same hub.
    static VelmorSignals& installShared(const platform::Host& host, platform::UserDefaults& defaults,
                                        platform::Scheduler& scheduler,
                                        std::unique_ptr<NavrelClient> client = nullptr);
    // Null until installed.
    static VelmorSignals* shared();
    static void releaseShared();

    // What the hub reads from the host: the request context and the service configuration.
    static AppSignalContext contextOf(const platform::Host& host);
    static std::optional<NavrelConfiguration> configurationOf(const platform::Host& host);

    // Once per run, after launch; later calls do nothing.
    void start();
    void track(VelmorEvent event);
    void setEnabled(bool enabled);
    void setLocationEnabled(bool enabled);
    // Sends a report at once; `done` runs on the main thread with the service's answer.
    void feedback(const QString& message, bool bug, std::function<void(bool accepted)> done);

    // Where the Feedback window comes from: the composition root's window system. Until then
    // (and in a run without windows) the window cannot be opened.
    void installSupportWindows(platform::ApplicationShell& shell, const platform::Screens& screens,
                               SupportWindowFactory factory);
    bool canShowSupport() const { return static_cast<bool>(m_supportWindowFactory); }
    // Opens the Feedback window with the report type preselected, creating it the first time, and
    // brings it to the front (an open form switches its type).
    void showSupport(bool bug);
    SupportWindow* supportWindow() const { return m_supportWindow.get(); }
    // The app's name as the feedback form shows it.
    const QString& appName() const { return m_appName; }

    void recordUpdateInstallation(const QString& version);
    void clearUpdateInstallation();
    // The application is about to terminate (also called on the application's quit notification).
    void finish();

    bool enabled() const { return m_enabled; }
    bool locationEnabled() const { return m_locationEnabled; }
    bool feedbackIsBug() const { return m_feedbackIsBug; }
    void setFeedbackIsBug(bool bug);
    bool configured() const { return m_configured; }
    bool started() const { return m_started; }
    const AppSignalContext& context() const { return m_context; }
    // The details shown to the user under a report.
    QString reviewedMetadata() const;
    // Client operations scheduled and not yet finished.
    bool hasPendingOperations() const { return m_chainRunning || !m_chain.empty(); }

Q_SIGNALS:
    // Every event the app asks to record, before consent and configuration decide whether it is
    // sent; observers (the headless runner) list them.
    void tracked(velmor::VelmorEvent event);
    void enabledChanged(bool enabled);
    void locationEnabledChanged(bool enabled);
    void feedbackIsBugChanged(bool bug);
    void supportWindowsInstalled();

private:
    using Continue = std::function<void()>;
    using Operation = std::function<void(Continue finish)>;

    QString installation();
    void schedule(Operation operation);
    void runNext();
    // A callback for the client's thread that resumes `step` on the main thread while the hub lives.
    Continue resume(Continue step);

    platform::UserDefaults& m_defaults;
    platform::Scheduler& m_scheduler;
    bool m_enabled = true;
    bool m_locationEnabled = true;
    bool m_feedbackIsBug = false;
    bool m_configured = false;
    AppSignalContext m_context;
    std::unique_ptr<NavrelClient> m_client;
    bool m_started = false;
    quint64 m_preferenceRevision = 0;
    std::deque<Operation> m_chain;
    bool m_chainRunning = false;
    std::unique_ptr<TelemetrySession> m_telemetrySession;
    QString m_currentBuild;
    QString m_appName;
    platform::ApplicationShell* m_shell = nullptr;
    const platform::Screens* m_screens = nullptr;
    SupportWindowFactory m_supportWindowFactory;
    std::unique_ptr<SupportWindow> m_supportWindow;
    // Lets answers that arrive from the client's thread find out whether the hub still lives.
    std::shared_ptr<int> m_lifetime = std::make_shared<int>(0);
};

} // namespace velmor
