#pragma once

#include <QImage>
#include <QQuickWindow>
#include <QString>

#include <functional>

namespace velmor {

class SimulatedRun;
class TrayScene;

// The suite's windows for the screenshots: the Feedback window (feedback; a copied bug report with
// its details; sending, sent and refused), the Update Settings window with
// its Startup section and the footer's privacy popover, the background-quit alert, and the update framework's
// dialog on the simulated Mac; and the organizer's shortcut recorders and the search window, with
// results and with none. Each picture is taken in the appearance the caller has set.
class SuiteScreenshots final {
public:
    // `save` writes a picture under a subject ("feedback", "update-settings" …).
    using Save = std::function<void(const QImage& image, const QString& subject, bool dark)>;

    SuiteScreenshots(SimulatedRun& run, TrayScene& scene, Save save);

    // Each state is set up once and drawn in both appearances, so no state of one picture leaks
    // into its pair.
    void shootWindows();
    // The framework's update-found dialog, as the simulated Mac's window draws it; `appearance`
    // switches the Mac's appearance.
    void shootUpdateDialog(QQuickWindow& desktop, const std::function<void(bool dark)>& appearance);

private:
    void shootSettingsPreferences();
    void shootFeedback();
    void shootUpdateSettings();
    void shootQuitAlert();
    void shootSending();
    void shootShortcuts();
    void shootSearch();
    void saveBoth(QQuickWindow& window, const char* subject);

    SimulatedRun& m_run;
    TrayScene& m_scene;
    Save m_save;
};

} // namespace velmor
