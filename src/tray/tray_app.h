#pragma once

#include <QObject>

#include <functional>
#include <memory>

namespace velmor {
namespace platform {
struct Services;
}

class AppUpdates;
class TrayDelegate;
class TrayModel;

// The application: it owns the tray model, the update controller and the delegate for the whole run and
// starts the suite's services when the settings window is first shown. The composition root (the app's main
// or the headless runner) builds it on a backend and tells it what the window system does.
class TrayApp final : public QObject {
    Q_OBJECT

public:
    static constexpr const char* settingsWindowIdentifier = "tray-settings";
    static constexpr const char* settingsWindowTitle = "Velmor Tray";
    static constexpr const char* appearanceKey = "appearance";

    // `showSettingsWindow` puts the settings window on screen (the window system's part).
    TrayApp(const platform::Services& services, std::function<void()> showSettingsWindow,
            QObject* parent = nullptr);
    ~TrayApp() override;

    void didFinishLaunching();
    // The settings window's content appeared: starts the signals hub and configures the delegate
    // (both only the first time).
    void settingsWindowAppeared();
    // Opens the settings window and brings the app forward; what the controller's menu calls.
    void openSettings();
    // The application is about to terminate (a clean quit).
    void willTerminate();

    TrayModel& model() { return *m_model; }
    TrayDelegate& delegate() { return *m_delegate; }
    AppUpdates& updates() { return *m_updates; }

private:
    const platform::Services& m_services;
    std::function<void()> m_showSettingsWindow;
    std::unique_ptr<TrayModel> m_model;
    std::unique_ptr<AppUpdates> m_updates;
    std::unique_ptr<TrayDelegate> m_delegate;
};

} // namespace velmor
