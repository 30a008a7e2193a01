#pragma once

#include <QImage>
#include <QQuickWindow>
#include <QString>

#include <functional>

namespace velmor {

class SimulatedRun;
class TrayScene;

// The suite's windows for the screenshots: the Feedback window (feedback; a copied bug report with
// its details; sending, in a build with a reporting service), the Update Settings window with its Startup
// section and the footer's privacy popover, the background-quit alert, and the update framework's dialog on
// the simulated Mac. Each picture is taken in the appearance the caller has set.
class SuiteScreenshots final {
public:
    // `save` writes a picture under a subject ("feedback", "update-settings" …).
    using Save = std::function<void(const QImage& image, const QString& subject)>;

    SuiteScreenshots(SimulatedRun& run, TrayScene& scene, Save save);

    void shootWindows(bool dark);
    // The framework's update-found dialog, as the simulated Mac's window draws it.
    void shootUpdateDialog(QQuickWindow& desktop);

private:
    void shootFeedback(bool dark);
    void shootUpdateSettings(bool dark);
    void shootQuitAlert(bool dark);

    SimulatedRun& m_run;
    TrayScene& m_scene;
    Save m_save;
};

} // namespace velmor
