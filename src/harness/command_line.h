#pragma once

#include "harness/headless_runner.h"

#include <QString>
#include <QStringList>

#include <variant>

namespace velmor {

// `velmor-tray`'s command line. Without --headless the simulated Mac opens in a window with the
// app on it; --headless plays a script and prints the menu bar; --screenshots renders the
// windows offscreen, after every step of the script, to PNG files.
class CommandLine final {
public:
    enum class Mode { Windowed, Headless, Screenshots };

    struct Options {
        Mode mode = Mode::Windowed;
        // The scenario, script, home and output format, as the runs read them.
        HeadlessRunner::Options run;
        QString screenshotsDirectory;
    };

    // What to print instead of running: help, the version, or why the command line is wrong.
    struct Exit {
        int status = 0;
        QString text;
    };

    static constexpr const char* defaultScenario = "scenarios/default.json";
    static constexpr const char* defaultScript = "scenarios/demo.script";

    // `arguments` starts with the program's name; `programDirectory` is the folder of the running
    // executable, where an installed copy finds its scenarios and the `defaults` stand-in. Help
    // and version texts need the application object only to name the program, so parse first
    // and build the application after.
    static std::variant<Options, Exit> parse(const QStringList& arguments,
                                             const QString& programDirectory = QString());
};

} // namespace velmor
