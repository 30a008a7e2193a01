#pragma once

#include "app/simulated_run.h"

#include <memory>

namespace velmor {

class ShellWindowMirror;
class TrayScene;

// The app's real windows on the simulated Mac: every start of the app gets a TrayScene whose
// settings window the simulated window server follows, and hiding the app hides its windows.
class SimulatedSceneWiring final {
public:
    static constexpr const char* settingsWindowKind = "settings";

    explicit SimulatedSceneWiring(SimulatedRun& run);
    ~SimulatedSceneWiring();
    SimulatedSceneWiring(const SimulatedSceneWiring&) = delete;
    SimulatedSceneWiring& operator=(const SimulatedSceneWiring&) = delete;

    // The scene of the app's current process; null while it is not running.
    TrayScene* scene() const;

private:
    SimulatedRun& m_run;
    std::unique_ptr<ShellWindowMirror> m_mirror;
    quint64 m_observer = 0;
};

} // namespace velmor
