#pragma once

#include "app/headless_runner.h"

#include <QTextStream>

namespace velmor {

// `velmor-tray` with a display: the simulated Mac in a window, and the app running on it in real
// time with its settings window, until the simulated Mac's window is closed.
class WindowedApp final {
public:
    WindowedApp(HeadlessRunner::Options options, QTextStream& errors);

    // Runs the event loop; the exit status.
    int run();

private:
    HeadlessRunner::Options m_options;
    QTextStream& m_errors;
};

} // namespace velmor
