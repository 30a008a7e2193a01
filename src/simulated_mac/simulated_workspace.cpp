#include "simulated_mac/simulated_workspace.h"

#include "platform/scheduler.h"

#include <QColor>

namespace velmor::simulated_mac {
namespace {

constexpr int iconSize = 32;

// A plain tile per app, its hue taken from the name, so that views have something to draw.
platform::Icon makeIcon(const QString& name)
{
    platform::Icon icon(iconSize, iconSize, QImage::Format_ARGB32_Premultiplied);
    icon.fill(QColor::fromHsv(static_cast<int>(qHash(name) % 360), 140, 210));
    return icon;
}

} // namespace

platform::RunningApplication SimulatedApplication::info() const
{
    platform::RunningApplication info;
    info.processIdentifier = pid;
    info.bundleIdentifier = config.bundleID;
    info.localizedName = config.name;
    info.executablePath = config.executable;
    info.icon = icon;
    info.terminated = !running;
    return info;
}

SimulatedWorkspace::SimulatedWorkspace(platform::Scheduler& scheduler) : m_scheduler(scheduler) {}

SimulatedWorkspace::~SimulatedWorkspace() = default;

QList<platform::RunningApplication> SimulatedWorkspace::runningApplications() const
{
    QList<platform::RunningApplication> result;
    for (const SimulatedApplication& application : m_applications) {
        if (application.running)
            result.append(application.info());
    }
    return result;
}

platform::Workspace::ObserverId SimulatedWorkspace::observeDidLaunch(LaunchHandler handler)
{
    const ObserverId id = m_nextObserver++;
    m_observers.insert(id, std::move(handler));
    return id;
}

platform::Workspace::ObserverId SimulatedWorkspace::observeDidTerminate(LaunchHandler handler)
{
    const ObserverId id = m_nextObserver++;
    m_terminationObservers.insert(id, std::move(handler));
    return id;
}

platform::Workspace::ObserverId SimulatedWorkspace::observeDidActivate(ActivationHandler handler)
{
    const ObserverId id = m_nextObserver++;
    m_activationObservers.insert(id, std::move(handler));
    return id;
}

void SimulatedWorkspace::removeObserver(ObserverId observer)
{
    m_observers.remove(observer);
    m_terminationObservers.remove(observer);
    m_activationObservers.remove(observer);
}

void SimulatedWorkspace::setFrontmost(qint32 pid, bool notify)
{
    if (m_frontmost == pid)
        return;
    m_frontmost = pid;
    if (!notify)
        return;
    for (auto it = m_activationObservers.cbegin(); it != m_activationObservers.cend(); ++it) {
        m_scheduler.post([this, alive = std::weak_ptr<char>(m_alive), id = it.key(), pid] {
            if (alive.expired() || !m_activationObservers.contains(id))
                return;
            const ActivationHandler handler = m_activationObservers.value(id);
            handler(pid);
        });
    }
}

bool SimulatedWorkspace::openUrl(const QUrl& url)
{
    if (!url.isValid() || url.scheme().isEmpty())
        return false;
    m_openedUrls.append(url);
    if (m_urlHandler)
        m_urlHandler(url);
    return true;
}

void SimulatedWorkspace::revealInFileBrowser(const QString& path)
{
    m_revealedPaths.append(path);
}

SimulatedApplication& SimulatedWorkspace::add(SimulatedApplication application)
{
    application.icon = makeIcon(application.config.name);
    m_highestPid = std::max(m_highestPid, application.pid);
    m_applications.push_back(std::move(application));
    SimulatedApplication& added = m_applications.back();
    // The first app with a process identifier keeps it.
    if (!m_byPid.contains(added.pid))
        m_byPid.insert(added.pid, &added);
    return added;
}

SimulatedApplication* SimulatedWorkspace::application(qint32 pid)
{
    return m_byPid.value(pid, nullptr);
}

const SimulatedApplication* SimulatedWorkspace::application(qint32 pid) const
{
    return const_cast<SimulatedWorkspace*>(this)->application(pid);
}

SimulatedApplication* SimulatedWorkspace::find(const QString& owner)
{
    for (SimulatedApplication& application : m_applications) {
        if (application.owner() == owner)
            return &application;
    }
    return nullptr;
}

void SimulatedWorkspace::launch(SimulatedApplication& application, qint32 pid, bool notify)
{
    if (m_byPid.value(application.pid) == &application)
        m_byPid.remove(application.pid);
    m_byPid.insert(pid, &application);
    application.pid = pid;
    application.running = true;
    application.hasRun = true;
    m_highestPid = std::max(m_highestPid, pid);
    if (!notify)
        return;
    const platform::RunningApplication info = application.info();
    for (auto it = m_observers.cbegin(); it != m_observers.cend(); ++it) {
        // An observer removed before delivery hears nothing more.
        m_scheduler.post([this, alive = std::weak_ptr<char>(m_alive), id = it.key(), info] {
            if (alive.expired() || !m_observers.contains(id))
                return;
            const LaunchHandler handler = m_observers.value(id);
            handler(info);
        });
    }
}

void SimulatedWorkspace::quit(SimulatedApplication& application)
{
    application.running = false;
    platform::RunningApplication info = application.info();
    info.terminated = true;
    for (auto it = m_terminationObservers.cbegin(); it != m_terminationObservers.cend(); ++it) {
        m_scheduler.post([this, alive = std::weak_ptr<char>(m_alive), id = it.key(), info] {
            if (alive.expired() || !m_terminationObservers.contains(id))
                return;
            const LaunchHandler handler = m_terminationObservers.value(id);
            handler(info);
        });
    }
}

qint32 SimulatedWorkspace::unusedPid() const
{
    return m_highestPid + 1;
}

} // namespace velmor::simulated_mac
