#pragma once

#include "app/app_windows.h"
#include "suite_ui/system_clipboard.h"

#include <QObject>
#include <QPointer>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QVariantMap>

#include <functional>
#include <memory>

namespace velmor {
namespace platform {
struct Services;
}

class TraySearchPresenter;
class TraySettingsPresenter;
class AppDistributionSettings;
class BetaSupportView;
class LaunchAtLoginSettings;
class SupportSettingsFooter;
class TrayApp;

// The application scene on Qt Quick: the one settings window ("Velmor Tray", 860 × 760, never
// duplicated: closing hides it and opening shows the same one), whose every appearance runs the
// app's on-appear action; the one "Feedback" window the signals hub asks for; the one "Update
// Settings" window; the stored appearance applied to every window (following the system's unless
// "light" or "dark"); the content's locale; and the menu commands the app declares, set again
// whenever the update controller or the feedback commands change.
class TrayScene final : public QObject, public AppWindows {
    Q_OBJECT

public:
    static constexpr const char* settingsWindowSource =
        "qrc:/qt/qml/Velmor/SettingsWindow/SettingsWindow.qml";
    static constexpr const char* feedbackWindowSource = "qrc:/qt/qml/Velmor/SuiteUi/FeedbackWindow.qml";
    static constexpr const char* updateSettingsWindowSource =
        "qrc:/qt/qml/Velmor/Distribution/UpdateSettingsWindow.qml";
    static constexpr const char* searchWindowSource =
        "qrc:/qt/qml/Velmor/SettingsWindow/MenuBarSearchWindow.qml";
    static constexpr int searchWindowWidth = 480;
    static constexpr int searchWindowHeight = 400;
    // How the window server names the app's windows.
    static constexpr const char* settingsWindowKind = "settings";
    static constexpr const char* feedbackWindowKind = "feedback";
    static constexpr const char* searchWindowKind = "search";

    TrayScene(TrayApp& app, const platform::Services& services);
    ~TrayScene() override;

    void showSettingsWindow() override;
    void closeSettingsWindow() override;
    // Shows the search window (made the first time) with an empty field, in front.
    void showSearchWindow();

    // Null until the window is first shown.
    QQuickWindow* settingsWindow() const { return m_window; }
    QQuickWindow* feedbackWindow() const { return m_feedbackWindow; }
    QQuickWindow* updateSettingsWindow() const { return m_updatesWindow; }
    QQuickWindow* searchWindow() const { return m_searchWindow; }
    TraySearchPresenter& searchPresenter() { return *m_search; }
    // The Feedback window's form and the footer of the Update Settings window; null until shown.
    BetaSupportView* feedbackForm() const { return m_feedback.get(); }
    SupportSettingsFooter* updateSettingsFooter() const { return m_footer.get(); }
    bool dark() const;
    QQmlEngine& engine() { return m_engine; }
    TraySettingsPresenter& presenter() { return *m_presenter; }
    // Why a window's QML did not load (empty when every one did).
    const QStringList& loadErrors() const { return m_loadErrors; }

    // Told each time one of the app's windows is created (with its kind), so a simulated window
    // server can follow it.
    void setWindowCreated(std::function<void(QQuickWindow&, const QString& kind)> handler)
    {
        m_windowCreated = std::move(handler);
    }

    // Shows the window (restoring it from the Dock) and gives it the keyboard.
    static void bringForward(QQuickWindow& window);
    // A titled, closable window of the size it was made with: it can be neither resized, zoomed
    // nor minimized.
    static void fixSize(QQuickWindow& window);

private:
    void applyAppearance();
    void refreshMenu();
    QQuickWindow* createWindow(const char* source, QVariantMap properties, const QString& kind);
    QQuickWindow* createSettingsWindow();
    QQuickWindow* createFeedbackWindow(const QString& title, QSizeF size, const QString& appName);
    QQuickWindow* createUpdateSettingsWindow();
    QQuickWindow* createSearchWindow();

    TrayApp& m_app;
    const platform::Services& m_services;
    QQmlEngine m_engine;
    QStringList m_loadErrors;
    std::unique_ptr<TraySettingsPresenter> m_presenter;
    std::unique_ptr<TraySearchPresenter> m_search;
    SystemClipboard m_clipboard;
    std::unique_ptr<BetaSupportView> m_feedback;
    std::unique_ptr<LaunchAtLoginSettings> m_startup;
    std::unique_ptr<SupportSettingsFooter> m_footer;
    std::unique_ptr<AppDistributionSettings> m_updateSettings;
    // The footer the settings window shows in its slot.
    std::unique_ptr<SupportSettingsFooter> m_settingsFooter;
    QPointer<QQuickWindow> m_window;
    QPointer<QQuickWindow> m_feedbackWindow;
    QPointer<QQuickWindow> m_updatesWindow;
    QPointer<QQuickWindow> m_searchWindow;
    std::function<void(QQuickWindow&, const QString&)> m_windowCreated;
    quint64 m_appearanceObserver = 0;
};

} // namespace velmor
