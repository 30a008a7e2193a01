// The simulated menu bar's own cost: laying out a crowded bar, and one discovery-shaped walk of
// every app's extras through the simulated Accessibility interface (the model does one per 2 s
// refresh, so the simulation must stay far below the real system's per-call cost).

#include "platform/manual_scheduler.h"
#include "simulated_mac/menu_bar_layout.h"
#include "simulated_mac/scenario.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_host.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace velmor::platform;
using namespace velmor::simulated_mac;

namespace {

void layoutOfACrowdedBar(benchmark::State& state)
{
    std::vector<MenuBarLayout::Slot> slots;
    for (int i = 0; i < state.range(0); ++i)
        slots.push_back(MenuBarLayout::Slot{22.0 + i % 7, static_cast<double>((i * 7919) % 1000),
                                            static_cast<quint64>(i)});
    for (auto _ : state)
        benchmark::DoNotOptimize(MenuBarLayout::compute(slots, MenuBarLayout::Geometry{1392, 480}));
}
BENCHMARK(layoutOfACrowdedBar)->Arg(16)->Arg(96)->Arg(512);

void visit(Accessibility& accessibility, const AccessibilityElement& element, int depth)
{
    accessibility.attribute(element, QStringLiteral("AXRole"));
    accessibility.actionNames(element);
    if (depth > 1)
        return;
    const auto children = accessibility.attributeValues(element, QStringLiteral("AXChildren"), 0, 48);
    if (!children)
        return;
    for (const AccessibilityValue& child : *children)
        visit(accessibility, std::get<AccessibilityElement>(child), depth + 1);
}

void extrasWalkOfTheDefaultScenario(benchmark::State& state)
{
    ManualScheduler scheduler;
    QTemporaryDir home;
    SimulatedHost host(SimulatedHost::Configuration{});
    SimulatedDesktop desktop(
        Scenario::load(QStringLiteral(VELMOR_SOURCE_DIRECTORY "/scenarios/default.json")), home.path(),
        scheduler, {}, host);
    Accessibility& accessibility = desktop.accessibility();
    for (auto _ : state) {
        for (const RunningApplication& app : desktop.workspace().runningApplications()) {
            const auto bar = accessibility.attribute(accessibility.applicationElement(app.processIdentifier),
                                                     QStringLiteral("AXExtrasMenuBar"));
            if (bar && std::holds_alternative<AccessibilityElement>(*bar))
                visit(accessibility, std::get<AccessibilityElement>(*bar), 0);
        }
    }
}
BENCHMARK(extrasWalkOfTheDefaultScenario);

} // namespace

BENCHMARK_MAIN();
