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
    // A laptop with a camera housing and a full bar: grouping applied, then the chevron reveals
    // icons that land behind the housing, so the bar below the menu bar opens and the organizer
    // names the lost apps.
    int shootNotched();
    // Plays `script` on `scenarioPath` in a fresh home and hands the last step to `shoot`.
    int playAside(const QString& scenarioPath, const QByteArray& script,
                  const std::function<void(SimulatedRun&)>& shoot);
    void saveSettingsWindow(SimulatedRun& run, const QString& subject);
    bool save(const QImage& image, const QString& name);

    CommandLine::Options m_options;
    QTextStream& m_out;
    QTextStream& m_errors;
    int m_lastStep = 0;
    QStringList m_written;
    bool m_failed = false;
};

} // namespace velmor
