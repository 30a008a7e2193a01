#pragma once

#include "app/simulated_run.h"

#include <QMap>
#include <QString>

#include <functional>
#include <memory>

namespace velmor {

class ShellWindowMirror;
class TrayScene;

// The app's real windows on the simulated Mac: every start of the app gets a TrayScene whose
// windows (settings, feedback, update settings) the simulated window server follows, and hiding
// the app hides its windows.
class SimulatedSceneWiring final {
public:
    explicit SimulatedSceneWiring(SimulatedRun& run);
    ~SimulatedSceneWiring();
    SimulatedSceneWiring(const SimulatedSceneWiring&) = delete;
    SimulatedSceneWiring& operator=(const SimulatedSceneWiring&) = delete;

    // The scene of the app's current process; null while it is not running.
    TrayScene* scene() const;
    // Told at every start of the app of its update framework's dialog, for the desktop to draw.
    void setUpdaterAlertHandler(std::function<void(simulated_mac::UpdaterAlert*)> handler)
    {
        m_updaterAlertHandler = std::move(handler);
    }

private:
    SimulatedRun& m_run;
    // One per kind of window: a window of a new process replaces its predecessor's.
    QMap<QString, std::shared_ptr<ShellWindowMirror>> m_mirrors;
    std::function<void(simulated_mac::UpdaterAlert*)> m_updaterAlertHandler;
    quint64 m_observer = 0;
};

} // namespace velmor
