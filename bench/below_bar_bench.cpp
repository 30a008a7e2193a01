// A reveal on a notched laptop with 40 and 200 apps, one icon each, every fourth app behind the
// chevron: expanding reveals them, they land behind the camera housing and the bar below the menu
// bar opens (discovery finds at most 96 icons in a pass, the revealed apps' among them). Per reveal: the
// app's own CPU time from the click until the bar is shown (the engine: request, confirmation, the judgement
// of what is out of sight, the panel's entries; see cpu_split.h), the simulator's, the virtual time until it
// is shown, and the first frame of the simulated Mac's window that draws it (offscreen, in software), in wall
// and CPU time.

#include "app/simulated_mac_view.h"
#include "foundation/json.h"
#include "simulated_mac/views/simulated_mac_presenter.h"
#include "split_world.h"
#include "tray/native_tray_controller.h"
#include "tray/tray_delegate.h"
#include "tray/tray_model.h"
#include "tray/tray_section_map.h"
#include "window_bench.h"

#include <QElapsedTimer>

#include <memory>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;
using velmor::bench::CpuSplit;
using velmor::bench::threadSeconds;
using velmor::bench::waitForFrame;

namespace {

QString appID(int index)
{
    return QStringLiteral("com.example.app%1").arg(index, 3, 10, QLatin1Char('0'));
}

bool behindChevron(int index)
{
    return index % 4 == 3;
}

QByteArray scenario(int apps)
{
    Json list = Json::array();
    for (int i = 0; i < apps; ++i)
        list.push_back(
            Json{{"bundleID", json::toStd(appID(i))},
                 {"name", json::toStd(QStringLiteral("App %1").arg(i))},
                 {"pid", 1000 + i},
                 {"extras", Json::array({Json{{"name", "Item-0"},
                                              {"title", json::toStd(QStringLiteral("T%1").arg(i))},
                                              {"identifier", json::toStd(QStringLiteral("x%1").arg(i))},
                                              {"width", 22}}})}});
    const Json screen{{"width", 1512}, {"height", 982}, {"housing", Json{{"width", 185}}}};
    return json::serialize(
        Json{{"screens", Json::array({screen})}, {"menuBar", Json{{"height", 37}}}, {"apps", list}});
}

// The engine on the notched laptop, wired as the application delegate wires it, grouping applied
// (the bar starts collapsed), and the simulated Mac's window that draws the bar below.
class RevealWorld final {
public:
    explicit RevealWorld(int apps)
        : m_world(scenario(apps)), m_view(m_desktop, QStringLiteral("notched.json"))
    {
        TraySectionMap sections;
        for (int i = 0; i < apps; ++i) {
            if (behindChevron(i)) {
                sections.insert(appID(i), TraySection::expandable);
                ++m_revealed;
            }
        }
        m_desktop.userDefaults().setValue(QString::fromLatin1(TrayModel::appGroupsKey),
                                          json::serialize(tray_section_map::encode(sections)));
        m_cpu.on(CpuSplit::App, [&] {
            m_model = std::make_unique<TrayModel>(m_world.services());
            m_delegate = std::make_unique<TrayDelegate>(m_world.services());
            m_delegate->configure(m_model.get(), [] {});
            m_model->hooks().arrangeNative();
        });
        settle();
        if (QQuickWindow* window = m_view.window()) {
            window->show();
            waitForFrame(window);
        }
    }
    ~RevealWorld()
    {
        m_delegate.reset();
        m_model.reset();
    }

    NativeTrayController& controller() { return *m_delegate->controller(); }
    bool collapsed() { return controller().configured() && !controller().expanded(); }
    QQuickWindow* window() { return m_view.window(); }
    int revealed() const { return m_revealed; }

    void settle()
    {
        m_world.settle([&] { return controller().busy(); });
    }

    // The organizer's "Expand extras" and "Collapse extras": on a bar this full the chevron
    // itself may lie behind the housing, where no click reaches it.
    void toggle()
    {
        m_cpu.on(CpuSplit::App, [&] { m_model->hooks().toggleNative(); });
    }

    struct Reveal {
        double ownCpu = 0;
        double simulatorCpu = 0;
        double virtualSeconds = 0;
        double frameWall = 0;
        double frameCpu = 0;
        int entries = 0;
    };

    std::optional<Reveal> reveal()
    {
        Reveal result;
        const double own = m_cpu.seconds(CpuSplit::App);
        const double simulator = m_cpu.seconds(CpuSplit::Simulator);
        const TimePoint start = m_scheduler.now();
        toggle();
        settle();
        if (!m_desktop.belowBarPanel().isShown())
            return std::nullopt;
        result.ownCpu = m_cpu.seconds(CpuSplit::App) - own;
        result.simulatorCpu = m_cpu.seconds(CpuSplit::Simulator) - simulator;
        result.virtualSeconds = toSeconds(m_scheduler.now() - start);
        result.entries = static_cast<int>(m_desktop.belowBarPanel().entries().size());

        QElapsedTimer wall;
        wall.start();
        const double cpu = threadSeconds();
        m_view.presenter().refresh();
        if (!waitForFrame(window()))
            return std::nullopt;
        result.frameWall = double(wall.nsecsElapsed()) / 1e9;
        result.frameCpu = threadSeconds() - cpu;
        return result;
    }

    // Back to collapsed, the bar below closed and drawn so.
    void collapse()
    {
        toggle();
        settle();
        m_view.presenter().refresh();
        waitForFrame(window());
    }

private:
    bench::SplitWorld m_world;
    ManualScheduler& m_scheduler = m_world.scheduler();
    SimulatedDesktop& m_desktop = m_world.desktop();
    CpuSplit& m_cpu = m_world.cpu();
    SimulatedMacView m_view;
    std::unique_ptr<TrayModel> m_model;
    std::unique_ptr<TrayDelegate> m_delegate;
    int m_revealed = 0;
};

void BM_RevealToBarBelow(benchmark::State& state)
{
    const int apps = static_cast<int>(state.range(0));
    RevealWorld world(apps);
    if (!world.collapsed() || !world.window()) {
        state.SkipWithError("applying the grouping failed");
        return;
    }
    RevealWorld::Reveal total;
    for (auto _ : state) {
        const auto reveal = world.reveal();
        if (!reveal || reveal->entries == 0) {
            state.SkipWithError("the reveal did not show its icons below the menu bar");
            return;
        }
        state.SetIterationTime(reveal->ownCpu + reveal->frameWall);
        total.ownCpu += reveal->ownCpu;
        total.simulatorCpu += reveal->simulatorCpu;
        total.virtualSeconds += reveal->virtualSeconds;
        total.frameWall += reveal->frameWall;
        total.frameCpu += reveal->frameCpu;
        total.entries += reveal->entries;
        world.collapse();
    }
    const double reveals = double(state.iterations());
    state.counters["revealed_apps"] = world.revealed();
    state.counters["entries"] = double(total.entries) / reveals;
    state.counters["own_cpu_ms"] = total.ownCpu / reveals * 1e3;
    state.counters["sim_cpu_ms"] = total.simulatorCpu / reveals * 1e3;
    state.counters["virtual_s"] = total.virtualSeconds / reveals;
    state.counters["frame_ms"] = total.frameWall / reveals * 1e3;
    state.counters["frame_cpu_ms"] = total.frameCpu / reveals * 1e3;
}
BENCHMARK(BM_RevealToBarBelow)
    ->Arg(40)
    ->Arg(200)
    ->Iterations(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VELMOR_WINDOW_BENCHMARK_MAIN()
