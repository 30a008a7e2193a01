#pragma once

#include "app/run_script.h"

#include <QString>
#include <QTextStream>

#include <memory>
#include <optional>

namespace velmor {

class SimulatedRun;

// `velmor-tray --headless`: the whole app on the simulated Mac with virtual time, driven by a
// script, printing the menu bar and the controller's state after every step.
class HeadlessRunner final {
public:
    enum class Format { Text, Json };

    struct Options {
        QString scenarioPath;
        QString scriptPath;
        // Empty: a fresh temporary home removed at exit.
        QString homePath;
        Format format = Format::Text;
        QString defaultsToolPath;
    };

    // Exit statuses.
    static constexpr int succeeded = 0;
    static constexpr int failed = 1;
    static constexpr int badScript = 2;
    static constexpr int badUsage = 64;

    // Reads the command line (the arguments after the program name). Absent after printing the
    // reason to `errors`.
    static std::optional<Options> parseArguments(const QStringList& arguments, QTextStream& errors);

    HeadlessRunner(Options options, QTextStream& out, QTextStream& errors);
    ~HeadlessRunner();

    int run();

private:
    void execute(const ScriptCommand& command);
    void print(int step, const QString& command);
    void requireApp(const ScriptCommand& command) const;

    Options m_options;
    QTextStream& m_out;
    QTextStream& m_errors;
    std::unique_ptr<SimulatedRun> m_run;
    // Virtual seconds on the run's clock when the app was first launched.
    double m_launchedAt = 0;
};

} // namespace velmor
