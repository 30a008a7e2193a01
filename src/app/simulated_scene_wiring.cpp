#include "app/simulated_scene_wiring.h"

#include "app/shell_window_mirror.h"
#include "app/tray_scene.h"

namespace velmor {

using Request = simulated_mac::SimulatedApplicationShell::WindowRequest;

SimulatedSceneWiring::SimulatedSceneWiring(SimulatedRun& run) : m_run(run)
{
    simulated_mac::SimulatedApplicationShell& shell = run.desktop().applicationShell();
    run.setWindowsFactory([this, &shell](TrayApp& app, const platform::Services& services) {
        auto scene = std::make_unique<TrayScene>(app, services);
        scene->setWindowCreated([this, &shell](QQuickWindow& window, const QString& kind) {
            // The old mirror lets go of the server before the new one takes over.
            m_mirrors.remove(kind);
            m_mirrors.insert(kind, std::make_shared<ShellWindowMirror>(window, shell, kind));
        });
        if (m_updaterAlertHandler)
            m_updaterAlertHandler(m_run.updaterAlert());
        return std::unique_ptr<AppWindows>(std::move(scene));
    });
    // The server asks by window id; only the mirror of that window acts.
    shell.setWindowRequestHandler([this](platform::WindowId window, Request request) {
        const auto mirrors = m_mirrors.values();
        for (const std::shared_ptr<ShellWindowMirror>& mirror : mirrors)
            mirror->request(window, static_cast<int>(request));
    });
    m_observer = run.desktop().observe([this, &shell] {
        const auto mirrors = m_mirrors.values();
        for (const std::shared_ptr<ShellWindowMirror>& mirror : mirrors)
            mirror->appHiddenChanged(shell.isHidden());
    });
}

SimulatedSceneWiring::~SimulatedSceneWiring()
{
    m_run.desktop().removeObserver(m_observer);
    m_run.desktop().applicationShell().setWindowRequestHandler({});
    m_run.setWindowsFactory({});
    m_mirrors.clear();
}

TrayScene* SimulatedSceneWiring::scene() const
{
    return dynamic_cast<TrayScene*>(m_run.windows());
}

} // namespace velmor
