#pragma once

#include "harness/command_line.h"

#include <QTextStream>

#include <functional>

namespace velmor {

class SimulatedRun;

// `velmor-tray --screenshots DIR`: plays the script like --headless and renders, offscreen, the
// menu bar after every step and at the end every window (the simulated Mac, the settings window and
// the suite's windows and dialogs), each in the light and the dark appearance, as PNG files.
class ScreenshotRunner final {
public:
    ScreenshotRunner(CommandLine::Options options, QTextStream& out, QTextStream& errors);

    int run();

    // "menubar-03-dark.png", "settings-light.png" …
    static QString fileName(const QString& subject, bool dark);

private:
    void shoot(int step, SimulatedRun& run, bool last);
    // The organizer's other faces at the end of the tour: the permission guide, then the window
    // once Accessibility is switched off.
    void shootOrganizerStates(SimulatedRun& run);
    // The organizer in marker mode: the same scenario on an older system, nothing played.
    int shootMarkerMode();
    // A laptop with a camera housing and a full bar: grouping applied, then the chevron reveals the
    // expandable icons; the organizer names the apps the housing swallows.
    int shootNotched();
    // The laptop docked to a Studio Display: both bars, the laptop's in use with the bar below.
    int shootDocked();
    // The docked laptop's day: a layout saved at the desk and one on the lap, docked again; the
    // organizer with the saved layouts and the line about the switch, then its preferences.
    int shootLayouts();
    // Plays `script` on the scenario of that name (beside the run's, else in the source tree) and
    // draws the simulated Mac in both appearances, then the settings window unless
    // `settingsPicture` is empty.
    int shootScenario(const char* scenarioName, const char* script, const QString& macPicture,
                      const QString& settingsPicture);
    // Plays `script` on `scenarioPath` in a fresh home and hands the last step to `shoot`.
    int playAside(const QString& scenarioPath, const QByteArray& script,
                  const std::function<void(SimulatedRun&)>& shoot);
    void saveSettingsWindow(SimulatedRun& run, const QString& subject);
    // The scenario of that name beside the run's, else the one in the source tree.
    QString scenarioBeside(const char* name) const;
    bool save(const QImage& image, const QString& name);

    CommandLine::Options m_options;
    QTextStream& m_out;
    QTextStream& m_errors;
    int m_lastStep = 0;
    QStringList m_written;
    bool m_failed = false;
};

} // namespace velmor
