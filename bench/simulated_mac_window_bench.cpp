// The simulated Mac's window with 40 and 200 apps, one extra each, drawn offscreen in software: one
// of this app's status items, the rightmost, is hidden, so every item left of it on the bar moves.
// Per hide: from the call to the frame that shows it (the desktop's change reaches the window on the
// event loop, as it does in the running app), the wall time and the main thread's CPU time, and the
// share of that CPU time the desktop spent laying out its bar.

#include "app/simulated_mac_view.h"
#include "foundation/json.h"
#include "platform/manual_scheduler.h"
#include "simulated_mac/scenario.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_host.h"
#include "simulated_mac/simulated_preference_domains.h"
#include "simulated_mac/simulated_status_item.h"
#include "window_bench.h"

#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;
using velmor::bench::threadSeconds;
using velmor::bench::waitForFrame;

namespace {

const QString itemName = QStringLiteral("Marker");

QByteArray scenario(int apps)
{
    Json list = Json::array();
    for (int i = 0; i < apps; ++i) {
        const QString id = QStringLiteral("com.example.app%1").arg(i, 3, 10, QLatin1Char('0'));
        list.push_back(Json{{"bundleID", json::toStd(id)},
                            {"name", json::toStd(QStringLiteral("App %1").arg(i))},
                            {"pid", 1000 + i},
                            {"extras", Json::array({Json{{"name", "Item-0"},
                                                         {"title", json::toStd(QStringLiteral("T%1").arg(i))},
                                                         {"width", 22}}})}});
    }
    return json::serialize(Json{{"apps", list}});
}

class MacWindow final {
public:
    explicit MacWindow(int apps)
        : m_desktop(
              Scenario::parse(scenario(apps)), m_home.path(), m_scheduler, [](Duration) {}, m_host),
          m_view(m_desktop, QStringLiteral("many.json"))
    {
        // Right of every extra, next to the system's items.
        m_desktop.domains().setPosition(QStringLiteral("status:local.velmor.tray::") + itemName, 1);
        m_item = m_desktop.statusBar().createItem(30);
        m_item->setAutosaveName(itemName);
        m_item->button()->setTitle(itemName);
        if (QQuickWindow* window = m_view.window()) {
            window->show();
            waitForFrame(window);
        }
    }

    QQuickWindow* window() { return m_view.window(); }

    struct Hide {
        double wall = 0;
        double cpu = 0;
        double desktopCpu = 0;
    };

    std::optional<Hide> hide()
    {
        Hide result;
        QElapsedTimer wall;
        wall.start();
        const double start = threadSeconds();
        m_item->setVisible(false);
        result.desktopCpu = threadSeconds() - start;
        if (!waitForFrame(window()))
            return std::nullopt;
        result.wall = double(wall.nsecsElapsed()) / 1e9;
        result.cpu = threadSeconds() - start;
        return result;
    }

    void show()
    {
        m_item->setVisible(true);
        waitForFrame(window());
    }

private:
    ManualScheduler m_scheduler;
    QTemporaryDir m_home;
    SimulatedHost m_host{SimulatedHost::Configuration{}};
    SimulatedDesktop m_desktop;
    SimulatedMacView m_view;
    std::shared_ptr<StatusItem> m_item;
};

void BM_StatusItemHiddenToFrame(benchmark::State& state)
{
    MacWindow mac(static_cast<int>(state.range(0)));
    if (!mac.window()) {
        state.SkipWithError("the window did not load");
        return;
    }
    MacWindow::Hide total;
    for (auto _ : state) {
        const auto hide = mac.hide();
        if (!hide) {
            state.SkipWithError("no frame after the hide");
            return;
        }
        state.SetIterationTime(hide->wall);
        total.wall += hide->wall;
        total.cpu += hide->cpu;
        total.desktopCpu += hide->desktopCpu;
        mac.show();
    }
    const double hides = double(state.iterations());
    state.counters["cpu_ms"] = total.cpu / hides * 1e3;
    state.counters["desktop_cpu_ms"] = total.desktopCpu / hides * 1e3;
    state.counters["wall_ms"] = total.wall / hides * 1e3;
}
BENCHMARK(BM_StatusItemHiddenToFrame)
    ->Arg(40)
    ->Arg(200)
    ->Iterations(20)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

VELMOR_WINDOW_BENCHMARK_MAIN()
