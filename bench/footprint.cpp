// Measures the windowed app on the simulated Mac, the way `velmor-tray` runs it with a display:
// process start to the settings window's first frame, resident memory with the settings window
// open and closed, and CPU time over an idle minute with the window closed. With
// --simulator-only the app is never started, so the simulator's own share can be told apart.
// Run by scripts/measure-footprint; never part of ctest.

#include "app/qml_modules.h"
#include "app/simulated_mac_renderer.h"
#include "app/simulated_mac_view.h"
#include "app/simulated_run.h"
#include "app/simulated_scene_wiring.h"
#include "app/tray_scene.h"
#include "simulated_mac/scenario.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <sys/resource.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <utility>
#include <vector>

namespace {

// Seconds since this process started, from the kernel's record of its start.
double secondsSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble();
    timespec boot{};
    clock_gettime(CLOCK_BOOTTIME, &boot);
    return boot.tv_sec + boot.tv_nsec / 1e9 - startTicks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_utime.tv_usec / 1e6 + usage.ru_stime.tv_sec +
           usage.ru_stime.tv_usec / 1e6;
}

void runFor(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

int main(int argc, char* argv[])
{
    const bool simulatorOnly = argc > 1 && QByteArray(argv[1]) == "--simulator-only";
    const int idleSeconds = argc > 2 ? QByteArray(argv[2]).toInt() : 60;
    // Where the start's CPU goes, phase by phase (milliseconds of CPU since process start).
    std::vector<std::pair<const char*, double>> phases;
    const auto phase = [&phases](const char* name) { phases.emplace_back(name, cpuSeconds() * 1000); };
    velmor::chooseSimulatedMacRenderer();
    QGuiApplication application(argc, argv);
    velmor::registerQmlModules();
    phase("application");

    QTemporaryDir home;
    velmor::SimulatedRun run(
        velmor::simulated_mac::Scenario::load(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json")),
        home.path(), QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults"),
        velmor::SimulatedRun::Clock::Real);
    phase("simulated Mac");
    velmor::SimulatedSceneWiring wiring(run);
    velmor::SimulatedMacView view(run.desktop(), QStringLiteral("default.json"));
    phase("its window built");
    QObject::connect(view.window(), &QQuickWindow::frameSwapped, view.window(), [&phases, &phase] {
        if (std::none_of(phases.begin(), phases.end(),
                         [](const auto& each) { return std::string_view(each.first) == "its first frame"; }))
            phase("its first frame");
    });

    if (!simulatorOnly) {
        double firstFrame = -1;
        double firstFrameCpu = -1;
        QEventLoop shown;
        run.launch();
        phase("app launched");
        view.window()->show();
        QQuickWindow* settings = wiring.scene()->settingsWindow();
        QObject::connect(settings, &QQuickWindow::frameSwapped, &shown, [&] {
            if (firstFrame < 0) {
                firstFrame = secondsSinceProcessStart();
                firstFrameCpu = cpuSeconds();
            }
            shown.quit();
        });
        QTimer::singleShot(30000, &shown, &QEventLoop::quit);
        shown.exec();
        std::printf("first frame of the settings window: %.0f ms after process start (%.0f ms of CPU)\n",
                    firstFrame * 1000, firstFrameCpu * 1000);
        for (const auto& [name, milliseconds] : phases)
            std::printf("  CPU by the end of %s: %.0f ms\n", name, milliseconds);
        runFor(5000);
        std::printf("resident memory, settings window open: %.1f MiB\n", residentMegabytes());
        settings->close();
        runFor(5000);
        std::printf("resident memory, settings window closed: %.1f MiB\n", residentMegabytes());
    } else {
        view.window()->show();
        runFor(10000);
        std::printf("resident memory, simulator alone: %.1f MiB\n", residentMegabytes());
    }
    const double before = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    runFor(idleSeconds * 1000);
    const double used = cpuSeconds() - before;
    std::printf("CPU over %d idle seconds%s: %.3f s (%.2f %% of one core)\n", idleSeconds,
                simulatorOnly ? " (simulator alone)" : " (settings window closed)", used,
                100.0 * used / (static_cast<double>(wall.elapsed()) / 1000.0));
    if (run.isRunning())
        run.quit();
    return 0;
}
