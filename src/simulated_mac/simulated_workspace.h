#pragma once

#include "platform/workspace.h"
#include "simulated_mac/scenario.h"

#include <QHash>
#include <QList>
#include <QMap>
#include <QStringList>

#include <deque>
#include <memory>

namespace velmor::platform {
class Scheduler;
} // namespace velmor::platform

namespace velmor::simulated_mac {

// One application of the simulated Mac, running or not.
struct SimulatedApplication {
    ScenarioApp config;
    // The current process identifier; a relaunch gets a new one, as on the Mac.
    qint32 pid = 0;
    bool running = false;
    // Whether it ever ran in this run: a launch after that gets a new process identifier.
    bool hasRun = false;
    // Apple's own processes and this app itself are never launched or quit by the world.
    bool system = false;
    bool own = false;
    // Whether the control center shows its items, as it last took over its tracked row.
    bool allowed = true;
    platform::Icon icon;

    // The bundle identifier, or the name for an app without one.
    QString owner() const { return config.bundleID.value_or(config.name); }
    platform::RunningApplication info() const;
};

// The running applications of the simulated Mac, launch notifications, and what the app asked
// the file browser and URL handlers to do (kept for tests and the runner).
class SimulatedWorkspace final : public platform::Workspace {
public:
    explicit SimulatedWorkspace(platform::Scheduler& scheduler);
    ~SimulatedWorkspace() override;

    QList<platform::RunningApplication> runningApplications() const override;
    ObserverId observeDidLaunch(LaunchHandler handler) override;
    ObserverId observeDidTerminate(LaunchHandler handler) override;
    std::optional<qint32> frontmostProcessIdentifier() const override { return m_frontmost; }
    ObserverId observeDidActivate(ActivationHandler handler) override;
    void removeObserver(ObserverId observer) override;
    // The app's process ended: its observers go with it.
    void removeAllObservers()
    {
        m_observers.clear();
        m_terminationObservers.clear();
        m_activationObservers.clear();
    }
    bool openUrl(const QUrl& url) override;
    void revealInFileBrowser(const QString& path) override;

    SimulatedApplication& add(SimulatedApplication application);
    // The app with this current process identifier, running or not.
    SimulatedApplication* application(qint32 pid);
    const SimulatedApplication* application(qint32 pid) const;
    // By bundle identifier, or by name for apps without one.
    SimulatedApplication* find(const QString& owner);
    std::deque<SimulatedApplication>& applications() { return m_applications; }
    const std::deque<SimulatedApplication>& applications() const { return m_applications; }

    // Marks the app running under a process identifier and tells the observers, on the scheduler.
    void launch(SimulatedApplication& application, qint32 pid, bool notify);
    // Marks the app quit and tells the termination observers, on the scheduler.
    void quit(SimulatedApplication& application);
    // A process identifier no application has used yet.
    qint32 unusedPid() const;
    // The desktop brought another app to the front; observers hear of it on the scheduler unless
    // `notify` is false (the first app in front when the Mac starts).
    void setFrontmost(qint32 pid, bool notify = true);

    // The system's handler of the URLs the app opens (the desktop's System Settings stand-in).
    void setUrlHandler(std::function<void(const QUrl&)> handler) { m_urlHandler = std::move(handler); }

    QList<QUrl> openedUrls() const { return m_openedUrls; }
    QStringList revealedPaths() const { return m_revealedPaths; }

private:
    platform::Scheduler& m_scheduler;
    std::deque<SimulatedApplication> m_applications;
    QMap<ObserverId, LaunchHandler> m_observers;
    QMap<ObserverId, LaunchHandler> m_terminationObservers;
    QMap<ObserverId, ActivationHandler> m_activationObservers;
    std::optional<qint32> m_frontmost;
    ObserverId m_nextObserver = 1;
    QList<QUrl> m_openedUrls;
    std::function<void(const QUrl&)> m_urlHandler;
    QStringList m_revealedPaths;
    qint32 m_highestPid = 0;
    // The apps by current process identifier (a deque keeps its elements where they are).
    QHash<qint32, SimulatedApplication*> m_byPid;
    std::shared_ptr<char> m_alive = std::make_shared<char>();
};

} // namespace velmor::simulated_mac
