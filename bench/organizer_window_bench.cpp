// The organizer window on the simulated Mac with 40 and 200 apps, drawn offscreen in software:
// from launching the app to the window's first frame, from a card moved to the frame that shows it,
// and the resident memory the window with all its cards adds.

#include "app/qml_modules.h"
#include "app/simulated_run.h"
#include "app/simulated_scene_wiring.h"
#include "app/tray_scene.h"
#include "simulated_mac/scenario.h"
#include "support/many_apps_scenario.h"
#include "settings_window/tray_areas_block.h"
#include "settings_window/tray_settings_presenter.h"
#include "tray/grouped_app.h"
#include "tray/tray_model.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTimer>
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <ctime>
#include <memory>

namespace velmor {
namespace {

double residentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return -1;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.value(1).toDouble() * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

double processCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

// Runs the event loop until the window has presented a frame (or a generous limit passes).
bool waitForFrame(QQuickWindow* window)
{
    if (!window)
        return false;
    bool swapped = false;
    QEventLoop loop;
    const auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, &loop, [&] {
        swapped = true;
        loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    window->requestUpdate();
    loop.exec();
    QObject::disconnect(connection);
    return swapped;
}

struct Organizer {
    explicit Organizer(int apps)
        : run(simulated_mac::Scenario::parse(simulated_mac::testing::manyAppsScenario(apps, 1)), home.path(),
              QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults"))
    {
        wiring = std::make_unique<SimulatedSceneWiring>(run);
    }
    QQuickWindow* window() { return wiring->scene() ? wiring->scene()->settingsWindow() : nullptr; }

    QTemporaryDir home;
    SimulatedRun run;
    std::unique_ptr<SimulatedSceneWiring> wiring;
};

void launchToFirstFrame(benchmark::State& state)
{
    const int apps = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        auto organizer = std::make_unique<Organizer>(apps);
        state.ResumeTiming();
        organizer->run.launch();
        organizer->run.settle();
        if (!waitForFrame(organizer->window()))
            state.SkipWithError("no frame");
        state.PauseTiming();
        organizer.reset();
        state.ResumeTiming();
    }
}

// A card moved as a drop, a "Move to" action, the keyboard or an accessible press moves it: timed
// from the move to the frame that shows the card in its new area. "confirmed_ms" is the wall time
// from the move until the model holds it, the system's preferences edited by the `defaults` tool
// (it starts after that frame). "window_cpu_ms" is the process's CPU time from the move to the
// frame.
void cardMovedToFrame(benchmark::State& state)
{
    Organizer organizer(static_cast<int>(state.range(0)));
    organizer.run.launch();
    organizer.run.settle();
    QQuickWindow* window = organizer.window();
    TrayAreasBlock* areas = organizer.wiring->scene()->presenter().areas();
    TrayModel& model = organizer.run.app().model();
    waitForFrame(window);
    const QString app = QStringLiteral("com.example.app000");
    const QString places[] = {QStringLiteral("alwaysHidden"), QStringLiteral("alwaysVisible")};
    const auto destination = [&model, &app] {
        for (const GroupedApp& row : model.groupedApps()) {
            if (row.id == app)
                return model.destination(row);
        }
        return QString();
    };
    int move = 0;
    double windowCpu = 0;
    double confirmed = 0;
    for (auto _ : state) {
        const QString to = places[move++ % 2];
        QElapsedTimer moved;
        const double taken = processCpuSeconds();
        moved.start();
        areas->move(app, to);
        if (!waitForFrame(window) || areas->organizerAreas().cards(to)->indexOf(app) < 0)
            state.SkipWithError("no frame with the card");
        state.SetIterationTime(static_cast<double>(moved.nsecsElapsed()) / 1e9);
        windowCpu += processCpuSeconds() - taken;
        QEventLoop loop;
        while (areas->movePending() || destination() != to) {
            if (moved.elapsed() > 10000) {
                state.SkipWithError("the move was not confirmed");
                break;
            }
            loop.processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
        confirmed += static_cast<double>(moved.nsecsElapsed()) / 1e6;
        // The menu bar follows on its own time; let it finish outside the measurement.
        organizer.run.settle(0.5);
    }
    const double iterations = static_cast<double>(state.iterations());
    state.counters["window_cpu_ms"] = 1000 * windowCpu / iterations;
    state.counters["confirmed_ms"] = confirmed / iterations;
}

// The process with the simulated Mac before the app starts, then with the app and its window of
// cards on screen: the difference is the app's and its window's share.
void windowMemory(benchmark::State& state)
{
    for (auto _ : state) {
        Organizer organizer(static_cast<int>(state.range(0)));
        const double before = residentMegabytes();
        organizer.run.launch();
        organizer.run.settle();
        waitForFrame(organizer.window());
        state.counters["resident_MiB"] = residentMegabytes();
        state.counters["app_and_window_MiB"] = residentMegabytes() - before;
    }
}

BENCHMARK(launchToFirstFrame)->Arg(40)->Arg(200)->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(cardMovedToFrame)
    ->Arg(40)
    ->Arg(200)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(windowMemory)->Arg(40)->Arg(200)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace velmor

int main(int argc, char* argv[])
{
    // Offscreen and in software, as the screenshots are drawn: the same work on every machine.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_QUICK_BACKEND", "software");
    qputenv("QSG_RENDER_LOOP", "basic");
    QGuiApplication application(argc, argv);
    velmor::registerQmlModules();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
