#pragma once

#include "app/app_windows.h"

#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickWindow>

#include <functional>
#include <memory>

namespace velmor {
namespace platform {
struct Services;
}

class TraySettingsPresenter;
class TrayApp;

// The application scene on Qt Quick: the one settings window ("Velmor Tray", 860 × 760, never
// duplicated: closing hides it and opening shows the same one), whose every appearance runs the
// app's on-appear action; the stored appearance applied to the window (following the system's
// unless "light" or "dark"); the content's locale; and the menu commands the app declares.
class TrayScene final : public QObject, public AppWindows {
    Q_OBJECT

public:
    static constexpr const char* settingsWindowSource =
        "qrc:/qt/qml/Velmor/SettingsWindow/SettingsWindow.qml";

    TrayScene(TrayApp& app, const platform::Services& services);
    ~TrayScene() override;

    void showSettingsWindow() override;
    void closeSettingsWindow() override;

    // Null until the window is first shown.
    QQuickWindow* settingsWindow() const { return m_window; }
    bool dark() const;
    QQmlEngine& engine() { return m_engine; }
    TraySettingsPresenter& presenter() { return *m_presenter; }
    // Why a window's QML did not load (empty when every one did).
    const QStringList& loadErrors() const { return m_loadErrors; }

    // Told once the settings window exists, so a simulated window server can follow it.
    void setWindowCreated(std::function<void(QQuickWindow&)> handler)
    {
        m_windowCreated = std::move(handler);
    }

private:
    void applyAppearance();
    QQuickWindow* createWindow();

    TrayApp& m_app;
    const platform::Services& m_services;
    QQmlEngine m_engine;
    QStringList m_loadErrors;
    std::unique_ptr<TraySettingsPresenter> m_presenter;
    QPointer<QQuickWindow> m_window;
    std::function<void(QQuickWindow&)> m_windowCreated;
    quint64 m_appearanceObserver = 0;
};

} // namespace velmor
