#pragma once

#include <QPointer>
#include <QQmlEngine>
#include <QQuickWindow>

#include <memory>

namespace velmor {
namespace platform {
class SimulatedDesktop;
class SimulatedMacPresenter;
} // namespace platform

// The simulated Mac's window ("Simulated Mac — " and the scenario file's name), and on request
// the primary menu bar alone in a window of its own, which the screenshots use.
class SimulatedMacView final {
public:
    static constexpr const char* windowSource = "qrc:/qt/qml/Velmor/SimulatedMac/SimulatedMacWindow.qml";
    static constexpr const char* stripSource = "qrc:/qt/qml/Velmor/SimulatedMac/MenuBarStrip.qml";

    SimulatedMacView(platform::SimulatedDesktop& desktop, const QString& scenarioName);
    ~SimulatedMacView();

    // Null when the window's QML does not load.
    QQuickWindow* window();
    QQuickWindow* menuBarStrip();
    platform::SimulatedMacPresenter& presenter() { return *m_presenter; }
    QQmlEngine& engine() { return m_engine; }
    // Why a window's QML did not load (empty when every one did).
    const QStringList& loadErrors() const { return m_loadErrors; }

private:
    QQuickWindow* create(const char* source);

    QQmlEngine m_engine;
    QStringList m_loadErrors;
    std::unique_ptr<platform::SimulatedMacPresenter> m_presenter;
    QPointer<QQuickWindow> m_window;
    QPointer<QQuickWindow> m_strip;
};

} // namespace velmor
