#pragma once

#include "app/simulated_run.h"
#include "harness/run_script.h"

#include <QString>
#include <QTextStream>

#include <functional>
#include <memory>
#include <optional>

namespace velmor {

// `velmor-tray --headless`: the whole app on the simulated Mac with virtual time, driven by a
// script, printing the menu bar and the controller's state after every step.
class HeadlessRunner final {
public:
    enum class Format { Text, JsonObjects };

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

    // Told after every step has been printed (step 0 is the launch), while the run still lives.
    using StepObserver = std::function<void(int step, const QString& command, SimulatedRun& run)>;

    HeadlessRunner(Options options, QTextStream& out, QTextStream& errors);
    ~HeadlessRunner();

    void setWindowsFactory(SimulatedRun::WindowsFactory factory) { m_windowsFactory = std::move(factory); }
    void setStepObserver(StepObserver observer) { m_stepObserver = std::move(observer); }

    int run();

private:
    void execute(const ScriptCommand& command);
    void print(int step, const QString& command);
    void requireApp(const ScriptCommand& command) const;

    Options m_options;
    QTextStream& m_out;
    QTextStream& m_errors;
    SimulatedRun::WindowsFactory m_windowsFactory;
    StepObserver m_stepObserver;
    std::unique_ptr<SimulatedRun> m_run;
    // Virtual seconds on the run's clock when the app was first launched.
    double m_launchedAt = 0;
};

} // namespace velmor
