#pragma once

#include <QPointer>
#include <QQmlEngine>
#include <QQuickWindow>

#include <memory>

namespace velmor {
namespace simulated_mac {
class SimulatedDesktop;
class SimulatedMacPresenter;
} // namespace simulated_mac

// The simulated Mac's window ("Simulated Mac — " and the scenario file's name), and on request
// the primary menu bar alone in a window of its own, which the screenshots use.
class SimulatedMacView final {
public:
    static constexpr const char* windowSource = "qrc:/qt/qml/Velmor/SimulatedMac/SimulatedMacWindow.qml";
    static constexpr const char* stripSource = "qrc:/qt/qml/Velmor/SimulatedMac/MenuBarStrip.qml";

    SimulatedMacView(simulated_mac::SimulatedDesktop& desktop, const QString& scenarioName);
    ~SimulatedMacView();

    // Null when the window's QML does not load.
    QQuickWindow* window();
    QQuickWindow* menuBarStrip();
    simulated_mac::SimulatedMacPresenter& presenter() { return *m_presenter; }
    QQmlEngine& engine() { return m_engine; }
    // Why a window's QML did not load (empty when every one did).
    const QStringList& loadErrors() const { return m_loadErrors; }

private:
    QQuickWindow* create(const char* source);

    QQmlEngine m_engine;
    QStringList m_loadErrors;
    std::unique_ptr<simulated_mac::SimulatedMacPresenter> m_presenter;
    QPointer<QQuickWindow> m_window;
    QPointer<QQuickWindow> m_strip;
};

} // namespace velmor
