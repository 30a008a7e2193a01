#pragma once

#include <QString>
#include <QTextStream>

namespace velmor {

// `velmor-tray` with a display: the simulated Mac in a window, and the app running on it in real
// time with its settings window, until the simulated Mac's window is closed.
class WindowedApp final {
public:
    struct Options {
        QString scenarioPath;
        // Empty: a fresh temporary home removed at exit.
        QString homePath;
        QString defaultsToolPath;
    };
    static constexpr int failed = 1;

    WindowedApp(Options options, QTextStream& errors);

    // Runs the event loop; the exit status.
    int run();

private:
    Options m_options;
    QTextStream& m_errors;
};

} // namespace velmor
