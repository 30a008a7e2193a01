// The search window on the simulated Mac with 200 apps of three items each, drawn offscreen in
// software. It lists what the app knows: the 96 items a discovery pass finds at most. A person
// types "app 012" into the field one key at a time and takes it back with Backspace, from every
// item listed to a few and back again. Per keystroke: the app's own CPU time from the key press to
// the frame that shows the filtered results (see cpu_split.h), and of it the key press's own
// handling (the field, the ranking, the results model and the list following it; the rest is the
// window's layout and drawing); the simulator's share; the wall time to that frame (offscreen, a
// requested frame comes some 5 ms later); and how many results that frame shows.

#include "app/tray_scene.h"
#include "settings_window/tray_search_presenter.h"
#include "settings_window/tray_search_result_model.h"
#include "split_world.h"
#include "support/many_apps_scenario.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_app.h"
#include "tray/tray_delegate.h"
#include "tray/tray_discovery.h"
#include "window_bench.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

#include <algorithm>
#include <memory>
#include <optional>

using namespace velmor;
using velmor::bench::CpuSplit;
using velmor::bench::waitForFrame;

namespace {

constexpr int itemsPerApp = 3;
// Typed a key at a time, then taken back: every item while the app's name is typed, then the
// eleven apps whose number begins with "01" or holds it, then one app, and back.
const QString typed = QStringLiteral("app 012");

// The app launched on the simulated Mac, its services split from the simulator's, and
// its search window on screen with an empty field (the settings window is never drawn).
class SearchWorld final {
public:
    explicit SearchWorld(int apps) : m_world(simulated_mac::testing::manyAppsScenario(apps, itemsPerApp))
    {
        m_cpu.on(CpuSplit::App, [&] {
            m_app = std::make_unique<TrayApp>(m_world.services(), [] {});
            m_scene = std::make_unique<TrayScene>(*m_app, m_world.services());
            m_app->didFinishLaunching();
            m_app->settingsWindowAppeared();
        });
        m_world.settle([&] {
            const NativeTrayController* controller = m_app->delegate().controller();
            return controller && controller->busy();
        });
        m_cpu.on(CpuSplit::App, [&] { m_scene->showSearchWindow(); });
        waitForFrame(window());
    }
    ~SearchWorld()
    {
        // The windows go before the app they show.
        m_scene.reset();
        m_app.reset();
    }

    QQuickWindow* window() const { return m_scene->searchWindow(); }
    TraySearchPresenter& search() { return m_scene->searchPresenter(); }
    int listed() { return search().results()->rowCount(); }

    struct Keystroke {
        double ownCpu = 0;
        double keyCpu = 0;
        double simulatorCpu = 0;
        double frameWall = 0;
        int results = 0;
    };

    // One key pressed and released in the window, as the window system delivers it, until the
    // window has drawn what it changed.
    std::optional<Keystroke> press(int key, const QString& text)
    {
        Keystroke result;
        const QString before = search().query();
        const double own = m_cpu.seconds(CpuSplit::App);
        const double simulator = m_cpu.seconds(CpuSplit::Simulator);
        QElapsedTimer wall;
        wall.start();
        const bool drawn = m_cpu.on(CpuSplit::App, [&] {
            const double start = bench::threadSeconds();
            QKeyEvent down(QEvent::KeyPress, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(window(), &down);
            QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
            QCoreApplication::sendEvent(window(), &up);
            result.keyCpu = bench::threadSeconds() - start;
            return waitForFrame(window());
        });
        result.frameWall = double(wall.nsecsElapsed()) / 1e9;
        result.ownCpu = m_cpu.seconds(CpuSplit::App) - own;
        result.simulatorCpu = m_cpu.seconds(CpuSplit::Simulator) - simulator;
        result.results = listed();
        // A key the field did not take measured nothing.
        if (!drawn || search().query() == before)
            return std::nullopt;
        return result;
    }

private:
    bench::SplitWorld m_world;
    CpuSplit& m_cpu = m_world.cpu();
    std::unique_ptr<TrayApp> m_app;
    std::unique_ptr<TrayScene> m_scene;
};

void BM_KeystrokeToFilteredFrame(benchmark::State& state)
{
    const int apps = static_cast<int>(state.range(0));
    SearchWorld world(apps);
    const int known = std::min(apps * itemsPerApp, TrayDiscovery::maximumItems);
    if (!world.window() || world.listed() != known) {
        state.SkipWithError("the search window did not list every item");
        return;
    }
    SearchWorld::Keystroke total;
    qsizetype at = 0;
    bool erasing = false;
    for (auto _ : state) {
        const auto keystroke = erasing
                                   ? world.press(Qt::Key_Backspace, QString())
                                   : world.press(Qt::Key(typed[at].toUpper().unicode()), typed.mid(at, 1));
        if (!keystroke) {
            state.SkipWithError("a keystroke did not reach the search field, or drew no frame");
            return;
        }
        state.SetIterationTime(keystroke->frameWall);
        total.ownCpu += keystroke->ownCpu;
        total.keyCpu += keystroke->keyCpu;
        total.simulatorCpu += keystroke->simulatorCpu;
        total.frameWall += keystroke->frameWall;
        total.results += keystroke->results;
        at += erasing ? -1 : 1;
        if (at == typed.size() || at == 0)
            erasing = !erasing;
    }
    const double keystrokes = double(state.iterations());
    state.counters["items"] = known;
    state.counters["results"] = double(total.results) / keystrokes;
    state.counters["own_cpu_ms"] = total.ownCpu / keystrokes * 1e3;
    state.counters["key_cpu_ms"] = total.keyCpu / keystrokes * 1e3;
    state.counters["sim_cpu_ms"] = total.simulatorCpu / keystrokes * 1e3;
    state.counters["frame_ms"] = total.frameWall / keystrokes * 1e3;
}
// Two rounds of typing the query and taking it back.
BENCHMARK(BM_KeystrokeToFilteredFrame)
    ->Arg(200)
    ->Iterations(28)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VELMOR_WINDOW_BENCHMARK_MAIN()
