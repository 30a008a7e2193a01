#pragma once

#include "platform/menu.h"
#include "suite_ui/app_theme.h"

#include <QObject>

#include <functional>
#include <memory>
#include <optional>

namespace velmor {
namespace platform {
struct Services;
}

class AppUpdates;
class TrayDelegate;
class TrayModel;
class TrayShortcuts;

// The application: it owns the tray model, the update controller and the delegate for the whole
// run, declares the one settings window and the menu commands, and starts the suite's services
// when the settings window's content appears. The composition root (the app's main, the headless
// runner, the screenshots) builds it on a backend and tells it what the window system does.
class TrayApp final : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString appearance READ appearance WRITE setAppearance NOTIFY appearanceChanged)

public:
    static constexpr const char* settingsWindowIdentifier = "tray-settings";
    static constexpr const char* settingsWindowTitle = "Velmor Tray";
    static constexpr const char* appearanceKey = "appearance";
    static constexpr const char* defaultAppearance = AppTheme::systemAppearance;
    // The window's content is always shown in English.
    static constexpr const char* locale = "en";
    static constexpr int settingsWindowWidth = 860;
    static constexpr int settingsWindowHeight = 760;
    // The menu the system titles with the app's name, and the Help menu.
    static constexpr const char* applicationMenuTitle = "Velmor Tray";
    static constexpr const char* helpMenuTitle = "Help";

    // The menu commands the suite's shell contributes; the composition root fills them. Either
    // may stay empty: the menu then goes without them.
    struct Suite {
        // The update commands (placed after the application-info item) and the feedback
        // commands (after the Help menu's items).
        std::function<platform::Menu()> updateCommands;
        std::function<platform::Menu()> feedbackCommands;
    };

    // `showSettingsWindow` puts the settings window on screen (the window system's part).
    TrayApp(const platform::Services& services, std::function<void()> showSettingsWindow,
            QObject* parent = nullptr);
    ~TrayApp() override;

    void setSuite(Suite suite);
    // Puts the search window on screen (the window system's part); without one the search is not
    // offered.
    void setShowSearchWindow(std::function<void()> show) { m_showSearchWindow = std::move(show); }

    void didFinishLaunching();
    // The settings window's content appeared (every showing): starts the signals hub and the
    // update controller and configures the delegate; the hub and the delegate act only the first
    // time.
    void settingsWindowAppeared();
    // Opens the settings window and brings the app forward; what the controller's menu calls.
    void openSettings();
    // Opens the search of the menu bar's items in front of whatever app is in front.
    void openSearch();
    // The application is about to terminate (a clean quit).
    void willTerminate();

    // The stored "appearance": "light", "dark", or anything else to follow the system.
    QString appearance() const { return m_appearance; }
    void setAppearance(const QString& appearance);
    // The colour scheme of the app's windows; absent to follow the system's appearance.
    std::optional<AppTheme::ColorScheme> colorScheme() const { return AppTheme::scheme(m_appearance); }
    bool prefersDark(bool systemIsDark) const;

    // The commands the app declares for the menu bar: the application menu's and the Help
    // menu's. The system adds its standard items around them.
    platform::MainMenu mainMenu() const;

    TrayModel& model() { return *m_model; }
    TrayDelegate& delegate() { return *m_delegate; }
    AppUpdates& updates() { return *m_updates; }
    TrayShortcuts& shortcuts() { return *m_shortcuts; }

Q_SIGNALS:
    void appearanceChanged();

private:
    const platform::Services& m_services;
    std::function<void()> m_showSettingsWindow;
    std::function<void()> m_showSearchWindow;
    Suite m_suite;
    QString m_appearance;
    std::unique_ptr<TrayModel> m_model;
    std::unique_ptr<AppUpdates> m_updates;
    std::unique_ptr<TrayDelegate> m_delegate;
    std::unique_ptr<TrayShortcuts> m_shortcuts;
};

} // namespace velmor
