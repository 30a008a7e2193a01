// The tracked-applications transform per row at three list sizes (it must stay linear), the
// position planner over 2000 keys, and hides and releases through the `defaults` stand-in, with
// the wall time split into the tool runs and our own work.

#include "../tests/support/fake_workspace.h"
#include "../tests/support/simulated_home.h"
#include "../tests/support/tracked_applications_fixture.h"
#include "foundation/property_list.h"
#include "qt_benchmark_main.h"
#include "tray_visibility/tray_position_preferences.h"
#include "tray_visibility/tray_preference_visibility.h"
#include "tray_visibility/tray_tracked_applications.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <sys/resource.h>

#include <benchmark/benchmark.h>

using namespace velmor;
using namespace velmor::test;

namespace {

const QString kOwn = QStringLiteral("local.velmor.tray");

QString bundleOf(int i)
{
    return QStringLiteral("com.example.vendor%1.app%2").arg(i % 37).arg(i);
}

struct Sample {
    QByteArray list;
    TrayTrackedApplications::Executables running;
    QSet<QString> hidden;
    QSet<QString> visible;
};

// Rows shaped like the control center's: bundle keys with a location, some with menu items, some
// identified only by their executable; a third of the apps hidden, a third kept visible.
Sample sample(int rows)
{
    Sample result;
    TrackedList list;
    for (int i = 0; i < rows; ++i) {
        const QString bundle = bundleOf(i);
        const QString executable = QStringLiteral("/Applications/App %1.app/Contents/MacOS/App").arg(i);
        result.running.insert(bundle, {executable});
        if (i % 3 == 0)
            result.hidden.insert(bundle);
        else if (i % 3 == 1)
            result.visible.insert(bundle);
        TrackedList::Row row{i % 10 == 9 ? adhocLocation(QStringLiteral("file://") + executable)
                                         : bundleLocation(bundle),
                             true,
                             bundleLocation(bundle),
                             {}};
        if (i % 4 == 0)
            row.menuItems = {bundleLocation(bundle), bundleLocation(bundle)};
        list.add(row);
    }
    result.list = list.toBinary();
    return result;
}

void BM_ApplyRestoreVerify(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const Sample input = sample(rows);
    for (auto _ : state) {
        const auto applied =
            TrayTrackedApplications::applying(input.hidden, input.running, kOwn, input.list, input.visible);
        const QByteArray restored = TrayTrackedApplications::restoring(applied.changes, applied.data);
        benchmark::DoNotOptimize(
            TrayTrackedApplications::verifiesVisibilityChange(input.list, applied.data, applied.data));
        benchmark::DoNotOptimize(restored);
    }
    state.counters["per_row"] =
        benchmark::Counter(rows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ApplyRestoreVerify)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);

// The property-list decode and encode inside the above (four decodes and two encodes a round),
// to tell the transform's own cost from the codec's.
void BM_DecodeEncode(benchmark::State& state)
{
    const int rows = static_cast<int>(state.range(0));
    const QByteArray list = sample(rows).list;
    for (auto _ : state)
        benchmark::DoNotOptimize(PropertyList::decode(list).toBinary());
    state.counters["per_row"] =
        benchmark::Counter(rows, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeEncode)->Arg(50)->Arg(500)->Arg(5000)->Unit(benchmark::kMicrosecond);

void BM_Plan2000Keys(benchmark::State& state)
{
    constexpr int keys = 2000;
    TrayPositionStore::Positions current;
    TrayPositionPreferences::Aliases aliases;
    TrayPositionPreferences::Request request;
    request.chevronKey = QStringLiteral("status:local.velmor.tray::VelmorTray.Native.regular");
    current.insert(request.chevronKey, 500);
    for (int i = 0; i < keys - 1; ++i) {
        const QString bundle = bundleOf(i);
        const QString name = QStringLiteral("App %1").arg(i);
        aliases.insert(bundle, {bundle, name});
        current.insert(QStringLiteral("status:%1::item").arg(i % 2 ? bundle : name), (i * 7919) % 3000);
        (i % 3 == 0 ? request.hiddenBundleIDs : request.visibleBundleIDs).insert(bundle);
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(TrayPositionPreferences::plan(current, request, aliases));
    state.counters["keys"] = keys;
}
BENCHMARK(BM_Plan2000Keys)->Unit(benchmark::kMicrosecond);

double cpuSeconds(int who)
{
    rusage usage{};
    getrusage(who, &usage);
    const auto seconds = [](const timeval& t) { return double(t.tv_sec) + double(t.tv_usec) / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// Wall time of the tool runs is what our own CPU does not account for: the editor waits for
// every run to finish, so everything else it does is its own CPU work on this thread.
//
// The hides of chevron clicks, one after another: a third of the apps hidden, then none, each
// reading, writing and verifying the list; our CPU per hide beside the tool's time.
void BM_HideThroughTheStandIn(benchmark::State& state)
{
    SimulatedHome home;
    const Sample input = sample(60);
    home.writeTrackedApplications(input.list);
    const simulated_mac::SimulatedHost host(home.hostConfiguration());
    const FakeWorkspace workspace;
    TrayPreferenceVisibility visibility(host, workspace);
    const QSet<QString> requests[2] = {input.hidden, {}};
    home.resetRuns();
    double wall = 0;
    double own = 0;
    int runs = 0;
    int hides = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double ownBefore = cpuSeconds(RUSAGE_SELF);
        const int runsBefore = home.runs("export") + home.runs("import");
        visibility.apply(requests[hides % 2], input.visible, input.running, kOwn);
        own += cpuSeconds(RUSAGE_SELF) - ownBefore;
        wall += double(timer.nsecsElapsed()) / 1e9;
        runs += home.runs("export") + home.runs("import") - runsBefore;
        ++hides;
    }
    (void)visibility.release();
    const double iterations = double(state.iterations());
    state.counters["runs"] = runs / iterations;
    state.counters["tool_ms"] = (wall - own) / iterations * 1e3;
    state.counters["own_cpu_ms"] = own / iterations * 1e3;
    state.counters["own_pct"] = own / (wall - own) * 100;
}
BENCHMARK(BM_HideThroughTheStandIn)->Unit(benchmark::kMillisecond)->Iterations(40);

void BM_HideAndReleaseThroughTheStandIn(benchmark::State& state)
{
    SimulatedHome home;
    const Sample input = sample(60);
    home.writeTrackedApplications(input.list);
    const simulated_mac::SimulatedHost host(home.hostConfiguration());
    const FakeWorkspace workspace;
    TrayPreferenceVisibility visibility(host, workspace);
    home.resetRuns();
    double wall = 0;
    double own = 0;
    double toolCpu = 0;
    int hideRuns = 0;
    int releaseRuns = 0;
    const auto runs = [&home] { return home.runs("export") + home.runs("import"); };
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double ownBefore = cpuSeconds(RUSAGE_SELF);
        const double childrenBefore = cpuSeconds(RUSAGE_CHILDREN);
        const int runsBefore = runs();
        visibility.apply(input.hidden, input.visible, input.running, kOwn);
        const int runsBetween = runs();
        if (const auto error = visibility.release()) {
            state.SkipWithError(error->description().toStdString().c_str());
            return;
        }
        own += cpuSeconds(RUSAGE_SELF) - ownBefore;
        toolCpu += cpuSeconds(RUSAGE_CHILDREN) - childrenBefore;
        wall += double(timer.nsecsElapsed()) / 1e9;
        hideRuns += runsBetween - runsBefore;
        releaseRuns += runs() - runsBetween;
    }
    const double iterations = double(state.iterations());
    state.counters["hide_runs"] = hideRuns / iterations;
    state.counters["release_runs"] = releaseRuns / iterations;
    state.counters["wall_ms"] = wall / iterations * 1e3;
    state.counters["tool_ms"] = (wall - own) / iterations * 1e3;
    state.counters["tool_cpu_ms"] = toolCpu / iterations * 1e3;
    state.counters["own_cpu_ms"] = own / iterations * 1e3;
    state.counters["own_pct"] = own / (wall - own) * 100;
}
BENCHMARK(BM_HideAndReleaseThroughTheStandIn)->Unit(benchmark::kMillisecond)->Iterations(20);

} // namespace

VELMOR_QT_BENCHMARK_MAIN()
