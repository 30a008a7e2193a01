#include "app/simulated_scene_wiring.h"

#include "app/shell_window_mirror.h"
#include "app/tray_scene.h"

namespace velmor {

SimulatedSceneWiring::SimulatedSceneWiring(SimulatedRun& run) : m_run(run)
{
    platform::SimulatedApplicationShell& shell = run.desktop().applicationShell();
    run.setWindowsFactory([this, &shell](TrayApp& app, const platform::Services& services) {
        auto scene = std::make_unique<TrayScene>(app, services);
        scene->setWindowCreated([this, &shell](QQuickWindow& window) {
            // The old mirror lets go of the server before the new one takes over.
            m_mirror.reset();
            m_mirror =
                std::make_unique<ShellWindowMirror>(window, shell, QString::fromLatin1(settingsWindowKind));
        });
        return std::unique_ptr<AppWindows>(std::move(scene));
    });
    m_observer = run.desktop().observe([this, &shell] {
        if (m_mirror)
            m_mirror->appHiddenChanged(shell.isHidden());
    });
}

SimulatedSceneWiring::~SimulatedSceneWiring()
{
    m_run.desktop().removeObserver(m_observer);
    m_run.setWindowsFactory({});
    m_mirror.reset();
}

TrayScene* SimulatedSceneWiring::scene() const
{
    return dynamic_cast<TrayScene*>(m_run.windows());
}

} // namespace velmor
