// A person clicks the chevron again and again on a crowded bar: 40, 120 and 200 apps with one
// icon each, every fourth app in the expandable section, two apps that answer Accessibility slowly
// (0.2 s a call) and an app in that section that shows no icon. The whole engine runs on the
// simulated Mac with virtual time and the real `defaults` stand-in. Per click (collapse and expand
// alternate): the virtual time until the controller confirms the new state, the longest stall of
// the main thread (virtual time spent inside one task), the Accessibility messages, the
// `defaults` runs, and the main thread's CPU time split into the app's own and the simulator's
// (see cpu_split.h); the wall time the click waits for the tool is what neither side spends.

#include "foundation/json.h"
#include "foundation/private_files.h"
#include "foundation/regular_file.h"
#include "qt_benchmark_main.h"
#include "simulated_mac/simulated_home.h"
#include "split_world.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"
#include "tray/tray_section_map.h"

#include <QElapsedTimer>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <algorithm>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;
using velmor::bench::CpuSplit;

namespace {

constexpr double slowLatency = 0.2;
const QString quietApp = QStringLiteral("com.example.quiet");

QString appID(int index)
{
    return QStringLiteral("com.example.app%1").arg(index, 3, 10, QLatin1Char('0'));
}

bool sectioned(int index)
{
    return index % 4 == 3;
}

QByteArray scenario(int apps)
{
    Json list = Json::array();
    for (int i = 0; i < apps; ++i) {
        Json app{{"bundleID", json::toStd(appID(i))},
                 {"name", json::toStd(QStringLiteral("App %1").arg(i))},
                 {"pid", 1000 + i},
                 {"extras", Json::array({Json{{"name", "Item-0"},
                                              {"title", json::toStd(QStringLiteral("T%1").arg(i))},
                                              {"identifier", json::toStd(QStringLiteral("x%1").arg(i))},
                                              {"width", 4}}})}};
        if (i == 1 || i == 2)
            app["axLatency"] = slowLatency;
        list.push_back(std::move(app));
    }
    list.push_back(Json{{"bundleID", json::toStd(quietApp)}, {"name", "Quiet"}, {"pid", 1000 + apps}});
    return json::serialize(Json{{"apps", list}});
}

// The engine on a simulated Mac, wired the way the application delegate wires it, with the
// grouping applied (so the bar starts collapsed).
class ClickWorld final {
public:
    explicit ClickWorld(int apps) : m_world(scenario(apps))
    {
        TraySectionMap sections{{quietApp, TraySection::expandable}};
        for (int i = 0; i < apps; ++i) {
            if (sectioned(i)) {
                sections.insert(appID(i), TraySection::expandable);
                m_expandable.append(appID(i));
            }
        }
        m_expandable.append(quietApp);
        m_expandable.sort();
        m_desktop.userDefaults().setValue(QString::fromLatin1(TrayModel::appGroupsKey),
                                          json::serialize(tray_section_map::encode(sections)));
        m_cpu.on(CpuSplit::App, [&] {
            m_model = std::make_unique<TrayModel>(m_world.services());
            m_delegate = std::make_unique<TrayDelegate>(m_world.services());
            m_delegate->configure(m_model.get(), [] {});
        });
        const quint64 generation = controller().activationGeneration();
        m_cpu.on(CpuSplit::App, [&] { m_model->hooks().arrangeNative(); });
        settle(generation);
    }
    ~ClickWorld()
    {
        m_delegate.reset();
        m_model.reset();
    }

    NativeTrayController& controller() { return *m_delegate->controller(); }
    bool collapsed() { return controller().configured() && !controller().expanded(); }

    // Lets virtual time pass until a request newer than `generation` is confirmed (or given up);
    // the work it leaves for right after runs too.
    void settle(quint64 generation)
    {
        m_settledAt = m_world.settle(
            [&] { return controller().busy() || controller().activationGeneration() == generation; });
    }

    struct Click {
        double settle = 0;
        double stall = 0;
        double messages = 0;
        double runs = 0;
        double ownCpu = 0;
        double simulatorCpu = 0;
        double wall = 0;
        bool correct = false;
    };

    Click click()
    {
        const bool wasCollapsed = collapsed();
        const quint64 generation = controller().activationGeneration();
        const quint64 messages = m_desktop.accessibility().messageCount();
        const int runs = m_world.toolRuns();
        const double own = m_cpu.seconds(CpuSplit::App);
        const double simulator = m_cpu.seconds(CpuSplit::Simulator);
        m_desktop.mainThread().takeLongestStall();
        const TimePoint start = m_scheduler.now();
        QElapsedTimer wall;
        wall.start();
        const QString chevron = QString::fromLatin1(TrayDelegate::autosavePrefix) +
                                QString::fromLatin1(NativeTrayController::regularSuffix);
        if (!m_cpu.on(CpuSplit::Simulator, [&] { return m_desktop.click(chevron); }))
            return {};
        settle(generation);
        Click result;
        result.wall = double(wall.nsecsElapsed()) / 1e9;
        result.settle = toSeconds(m_settledAt - start);
        result.stall = toSeconds(m_desktop.mainThread().takeLongestStall());
        result.messages = double(m_desktop.accessibility().messageCount() - messages);
        result.runs = m_world.toolRuns() - runs;
        result.ownCpu = m_cpu.seconds(CpuSplit::App) - own;
        result.simulatorCpu = m_cpu.seconds(CpuSplit::Simulator) - simulator;
        QStringList hidden = m_desktop.snapshot().hiddenApps;
        hidden.sort();
        result.correct = collapsed() == !wasCollapsed && !controller().warning() &&
                         hidden == (collapsed() ? m_expandable : QStringList{});
        return result;
    }

    // A person looks at the bar for a second before the next click.
    void pause()
    {
        m_cpu.on(CpuSplit::Simulator, [&] { m_scheduler.fastForwardBy(seconds(1)); });
    }

private:

    bench::SplitWorld m_world;
    ManualScheduler& m_scheduler = m_world.scheduler();
    SimulatedDesktop& m_desktop = m_world.desktop();
    CpuSplit& m_cpu = m_world.cpu();
    std::unique_ptr<TrayModel> m_model;
    std::unique_ptr<TrayDelegate> m_delegate;
    QStringList m_expandable;
    TimePoint m_settledAt;
};

void BM_ChevronClicks(benchmark::State& state)
{
    const int apps = static_cast<int>(state.range(0));
    ClickWorld world(apps);
    if (!world.collapsed()) {
        state.SkipWithError("applying the grouping failed");
        return;
    }
    ClickWorld::Click total;
    double longestStall = 0;
    for (auto _ : state) {
        const ClickWorld::Click click = world.click();
        if (!click.correct) {
            state.SkipWithError("a click did not reach the state it asked for");
            return;
        }
        total.settle += click.settle;
        total.stall += click.stall;
        total.messages += click.messages;
        total.runs += click.runs;
        total.ownCpu += click.ownCpu;
        total.simulatorCpu += click.simulatorCpu;
        total.wall += click.wall;
        longestStall = std::max(longestStall, click.stall);
        state.PauseTiming();
        world.pause();
        state.ResumeTiming();
    }
    const double clicks = double(state.iterations());
    state.counters["settle_s"] = total.settle / clicks;
    state.counters["stall_s"] = total.stall / clicks;
    state.counters["stall_max_s"] = longestStall;
    state.counters["ax_messages"] = total.messages / clicks;
    state.counters["defaults_runs"] = total.runs / clicks;
    state.counters["own_cpu_ms"] = total.ownCpu / clicks * 1e3;
    state.counters["own_us_per_app"] = total.ownCpu / clicks / apps * 1e6;
    state.counters["sim_cpu_ms"] = total.simulatorCpu / clicks * 1e3;
    state.counters["tool_wait_ms"] = (total.wall - total.ownCpu - total.simulatorCpu) / clicks * 1e3;
}
BENCHMARK(BM_ChevronClicks)->Arg(40)->Arg(120)->Arg(200)->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

VELMOR_QT_BENCHMARK_MAIN()
