// A laptop docked and undocked again and again, with 40 and 200 apps of one icon each: at the desk
// every fourth app is behind the chevron, on the lap every third. Each change of displays is one
// iteration: from the change to the other setup's layout applied and confirmed on screen (the
// displays settle for a second first). Per switch: the virtual time it takes, the main thread's
// CPU time split into the app's own and the simulator's (see cpu_split.h), and the `defaults` runs.

#include "foundation/json.h"
#include "foundation/regular_file.h"
#include "qt_benchmark_main.h"
#include "simulated_mac/simulated_home.h"
#include "split_world.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_delegate.h"
#include "tray/tray_display_layouts.h"
#include "tray/tray_model.h"
#include "tray/tray_section_map.h"

#include <QFileInfo>

#include <benchmark/benchmark.h>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;
using velmor::bench::CpuSplit;

namespace {

QString appID(int index)
{
    return QStringLiteral("com.example.app%1").arg(index, 3, 10, QLatin1Char('0'));
}

QByteArray scenario(int apps)
{
    Json list = Json::array();
    for (int i = 0; i < apps; ++i)
        list.push_back(Json{{"bundleID", json::toStd(appID(i))},
                            {"name", json::toStd(QStringLiteral("App %1").arg(i))},
                            {"pid", 1000 + i},
                            {"extras", Json::array({Json{{"name", "Item-0"},
                                                         {"title", json::toStd(QStringLiteral("T%1").arg(i))},
                                                         {"width", 4}}})}});
    const Json screens = Json::array(
        {Json{{"x", 0}, {"y", 0}, {"width", 2560}, {"height", 1440}, {"name", "Studio Display"}, {"builtIn", false}},
         Json{{"x", -1512}, {"y", 0}, {"width", 1512}, {"height", 982}, {"builtIn", true}}});
    return json::serialize(Json{{"screens", screens}, {"apps", list}});
}

ScenarioScreen studioDisplay()
{
    return ScenarioScreen::parse(R"({ "x": 1512, "y": 0, "width": 2560, "height": 1440, "name": "Studio Display" })",
                                 1, QStringLiteral("bench"));
}

class DockingWorld final {
public:
    explicit DockingWorld(int apps) : m_world(scenario(apps)), m_apps(apps)
    {
        m_cpu.on(CpuSplit::App, [&] {
            m_model = std::make_unique<TrayModel>(m_world.services());
            m_delegate = std::make_unique<TrayDelegate>(m_world.services());
            m_delegate->configure(m_model.get(), [] {});
        });
        arrange(4);
        layouts().saveCurrent();
        m_deskHidden = hidden();
        m_desktop.removeDisplay(0);
        m_world.settle([&] { return false; });
        m_scheduler.fastForwardBy(seconds(TrayDisplayLayouts::settleDelay + 0.1));
        arrange(3);
        layouts().saveCurrent();
        m_lapHidden = hidden();
    }
    ~DockingWorld()
    {
        m_delegate.reset();
        m_model.reset();
    }

    bool ready() const { return !m_deskHidden.isEmpty() && !m_lapHidden.isEmpty() && m_deskHidden != m_lapHidden; }

    struct Switch {
        double settle = 0;
        double ownCpu = 0;
        double simulatorCpu = 0;
        double runs = 0;
        bool correct = false;
    };

    // Docks when undocked, undocks when docked.
    Switch change()
    {
        const bool docking = m_desktop.screens().displays().size() == 1;
        const quint64 generation = controller().activationGeneration();
        const double own = m_cpu.seconds(CpuSplit::App);
        const double simulator = m_cpu.seconds(CpuSplit::Simulator);
        const int runs = m_world.toolRuns();
        const TimePoint start = m_scheduler.now();
        m_cpu.on(CpuSplit::Simulator, [&] {
            if (docking) {
                m_desktop.addDisplay(studioDisplay());
                m_desktop.makeMainDisplay(1);
            } else {
                m_desktop.removeDisplay(0);
            }
        });
        const TimePoint ended = m_world.settle(
            [&] { return controller().busy() || controller().activationGeneration() == generation; });
        Switch result;
        result.settle = toSeconds(ended - start);
        result.ownCpu = m_cpu.seconds(CpuSplit::App) - own;
        result.simulatorCpu = m_cpu.seconds(CpuSplit::Simulator) - simulator;
        result.runs = m_world.toolRuns() - runs;
        result.correct = !controller().warning() && hidden() == (docking ? m_deskHidden : m_lapHidden);
        return result;
    }

private:
    NativeTrayController& controller() { return *m_delegate->controller(); }
    TrayDisplayLayouts& layouts() { return *m_delegate->displayLayouts(); }
    QStringList hidden()
    {
        QStringList apps = m_desktop.snapshot().hiddenApps;
        apps.sort();
        return apps;
    }
    // Every `every`-th app behind the chevron, applied and confirmed.
    void arrange(int every)
    {
        TraySectionMap sections;
        for (int i = 0; i < m_apps; ++i)
            sections.insert(appID(i), i % every == 0 ? TraySection::expandable : TraySection::alwaysVisible);
        const quint64 generation = controller().activationGeneration();
        m_cpu.on(CpuSplit::App, [&] {
            m_model->adoptGrouping(sections, m_model->namedGrouping());
            m_model->hooks().appGroupsChanged();
        });
        m_world.settle([&] { return controller().busy() || controller().activationGeneration() == generation; });
    }

    bench::SplitWorld m_world;
    int m_apps;
    ManualScheduler& m_scheduler = m_world.scheduler();
    SimulatedDesktop& m_desktop = m_world.desktop();
    CpuSplit& m_cpu = m_world.cpu();
    std::unique_ptr<TrayModel> m_model;
    std::unique_ptr<TrayDelegate> m_delegate;
    QStringList m_deskHidden;
    QStringList m_lapHidden;
};

void BM_DisplaySetupSwitch(benchmark::State& state)
{
    const int apps = static_cast<int>(state.range(0));
    DockingWorld world(apps);
    if (!world.ready()) {
        state.SkipWithError("the two layouts could not be saved");
        return;
    }
    DockingWorld::Switch total;
    for (auto _ : state) {
        const DockingWorld::Switch change = world.change();
        if (!change.correct) {
            state.SkipWithError("a switch did not end in the setup's layout");
            return;
        }
        total.settle += change.settle;
        total.ownCpu += change.ownCpu;
        total.simulatorCpu += change.simulatorCpu;
        total.runs += change.runs;
    }
    const double switches = double(state.iterations());
    state.counters["settle_s"] = total.settle / switches;
    state.counters["own_cpu_ms"] = total.ownCpu / switches * 1e3;
    state.counters["sim_cpu_ms"] = total.simulatorCpu / switches * 1e3;
    state.counters["defaults_runs"] = total.runs / switches;
}
BENCHMARK(BM_DisplaySetupSwitch)->Arg(40)->Arg(200)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace
VELMOR_QT_BENCHMARK_MAIN()
