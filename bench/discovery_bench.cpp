// Discovery on a crowded simulated desktop: one scan of 128 apps with 3 extras each, with the
// Accessibility calls it makes (on a Mac each message is a round trip to another process) and the
// CPU time split into ours and the simulated desktop's; then one model refresh over 40 apps, with
// and without the catalog, whose `defaults` run is measured on its own.
//
// The split: one pass is run while every call it makes into the simulated desktop (Accessibility,
// Workspace, user defaults) is recorded; each iteration then runs the pass, and apart from it
// replays the recorded calls straight on the desktop. The replay's CPU time is the desktop's share
// and the rest of the pass's CPU time is ours.

#include "platform/accessibility.h"
#include "platform/manual_scheduler.h"
#include "platform/user_defaults.h"
#include "platform/workspace.h"
#include "qt_benchmark_main.h"
#include "simulated_mac/scenario.h"
#include "simulated_mac/simulated_desktop.h"
#include "simulated_mac/simulated_host.h"
#include "support/many_apps_scenario.h"
#include "tray/tray_discovery.h"
#include "tray/tray_model.h"
#include "tray_visibility/mac_tray_preference_store.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSet>
#include <QTemporaryDir>
#include <sys/resource.h>

#include <benchmark/benchmark.h>

#include <ctime>
#include <functional>
#include <memory>
#include <vector>

using namespace velmor;
using namespace velmor::platform;
using namespace velmor::simulated_mac;

namespace {

double threadCpuSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) / 1e9;
}

double childrenCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The calls made into the simulated desktop while recording, to be made again without our code
// in between: the replay's CPU time is the desktop's share of a pass.
struct CallLog {
    bool recording = false;
    std::vector<std::function<void()>> calls;

    template <typename Call> auto pass(Call call)
    {
        if (recording)
            calls.push_back([call] { call(); });
        return call();
    }
    void replay() const
    {
        for (const auto& call : calls)
            call();
    }
};

class RecordedAccessibility final : public Accessibility {
public:
    RecordedAccessibility(Accessibility& inner, CallLog& log) : m_inner(inner), m_log(log) {}

    bool isProcessTrusted() const override
    {
        return m_log.pass([&inner = m_inner] { return inner.isProcessTrusted(); });
    }
    bool requestTrust() override
    {
        return m_log.pass([&inner = m_inner] { return inner.requestTrust(); });
    }
    AccessibilityElement applicationElement(qint32 pid) override
    {
        ++m_applications;
        return m_log.pass([&inner = m_inner, pid] { return inner.applicationElement(pid); });
    }
    AccessibilityElement systemWideElement() override
    {
        return m_log.pass([&inner = m_inner] { return inner.systemWideElement(); });
    }
    std::optional<AccessibilityValue> attribute(const AccessibilityElement& element,
                                                const QString& name) override
    {
        return m_log.pass([&inner = m_inner, element, name] { return inner.attribute(element, name); });
    }
    std::optional<int> attributeValueCount(const AccessibilityElement& element, const QString& name) override
    {
        return m_log.pass(
            [&inner = m_inner, element, name] { return inner.attributeValueCount(element, name); });
    }
    std::optional<std::vector<AccessibilityValue>>
    attributeValues(const AccessibilityElement& element, const QString& name, int index, int maximum) override
    {
        return m_log.pass([&inner = m_inner, element, name, index, maximum] {
            return inner.attributeValues(element, name, index, maximum);
        });
    }
    std::optional<QStringList> actionNames(const AccessibilityElement& element) override
    {
        return m_log.pass([&inner = m_inner, element] { return inner.actionNames(element); });
    }
    bool performAction(const AccessibilityElement& element, const QString& action) override
    {
        return m_log.pass(
            [&inner = m_inner, element, action] { return inner.performAction(element, action); });
    }
    void setMessagingTimeout(const AccessibilityElement& element, double seconds) override
    {
        m_log.pass([&inner = m_inner, element, seconds] { inner.setMessagingTimeout(element, seconds); });
    }
    std::optional<AccessibilityElement> elementAtPosition(const AccessibilityElement& systemWide,
                                                          QPointF point) override
    {
        return m_log.pass(
            [&inner = m_inner, systemWide, point] { return inner.elementAtPosition(systemWide, point); });
    }
    std::optional<qint32> processIdentifier(const AccessibilityElement& element) override
    {
        return m_log.pass([&inner = m_inner, element] { return inner.processIdentifier(element); });
    }
    MenuObserverId observeMenus(qint32 pid, MenuHandler handler) override
    {
        return m_inner.observeMenus(pid, std::move(handler));
    }
    void removeMenuObserver(MenuObserverId observer) override { m_inner.removeMenuObserver(observer); }

    // Apps whose elements were asked for.
    quint64 applications() const { return m_applications; }

private:
    Accessibility& m_inner;
    CallLog& m_log;
    quint64 m_applications = 0;
};

class RecordedWorkspace final : public Workspace {
public:
    RecordedWorkspace(Workspace& inner, CallLog& log) : m_inner(inner), m_log(log) {}

    QList<RunningApplication> runningApplications() const override
    {
        return m_log.pass([&inner = m_inner] { return inner.runningApplications(); });
    }
    ObserverId observeDidLaunch(LaunchHandler handler) override
    {
        return m_inner.observeDidLaunch(std::move(handler));
    }
    ObserverId observeDidTerminate(LaunchHandler handler) override
    {
        return m_inner.observeDidTerminate(std::move(handler));
    }
    std::optional<qint32> frontmostProcessIdentifier() const override
    {
        return m_inner.frontmostProcessIdentifier();
    }
    ObserverId observeDidActivate(ActivationHandler handler) override
    {
        return m_inner.observeDidActivate(std::move(handler));
    }
    void removeObserver(ObserverId observer) override { m_inner.removeObserver(observer); }
    bool openUrl(const QUrl& url) override { return m_inner.openUrl(url); }
    void revealInFileBrowser(const QString& path) override { m_inner.revealInFileBrowser(path); }

private:
    Workspace& m_inner;
    CallLog& m_log;
};

class RecordedUserDefaults final : public UserDefaults {
public:
    RecordedUserDefaults(UserDefaults& inner, CallLog& log) : m_inner(inner), m_log(log) {}

    QVariant value(const QString& key) const override
    {
        return m_log.pass([&inner = m_inner, key] { return inner.value(key); });
    }
    void setValue(const QString& key, const QVariant& value) override
    {
        m_log.pass([&inner = m_inner, key, value] { inner.setValue(key, value); });
    }
    void remove(const QString& key) override
    {
        m_log.pass([&inner = m_inner, key] { inner.remove(key); });
    }

private:
    UserDefaults& m_inner;
    CallLog& m_log;
};

// A simulated desktop with every service the scan and the model use behind a recorder.
struct RecordedWorld {
    explicit RecordedWorld(const Scenario& scenario)
        : host([] {
              SimulatedHost::Configuration configuration;
              configuration.defaultsToolPath = QStringLiteral(VELMOR_TOOL_DIRECTORY "/velmor-defaults");
              return configuration;
          }()),
          desktop(
              scenario, home.path(), scheduler, [this](Duration cost) { scheduler.advanceClock(cost); },
              host),
          accessibility(desktop.accessibility(), log), workspace(desktop.workspace(), log),
          userDefaults(desktop.userDefaults(), log)
    {
        services = desktop.services();
        services.accessibility = &accessibility;
        services.workspace = &workspace;
        services.userDefaults = &userDefaults;
    }

    // Runs `pass` once while recording what it asks of the desktop.
    template <typename Pass> void record(Pass pass)
    {
        log.calls.clear();
        log.recording = true;
        pass();
        log.recording = false;
    }

    ManualScheduler scheduler;
    QTemporaryDir home;
    SimulatedHost host;
    SimulatedDesktop desktop;
    CallLog log;
    RecordedAccessibility accessibility;
    RecordedWorkspace workspace;
    RecordedUserDefaults userDefaults;
    Services services;
};

// CPU seconds of one run of `work` on this thread.
template <typename Work> double cpuOf(Work work)
{
    const double start = threadCpuSeconds();
    work();
    return threadCpuSeconds() - start;
}

void BM_ScanOf128AppsWithThreeExtras(benchmark::State& state)
{
    RecordedWorld world(Scenario::parse(velmor::simulated_mac::testing::manyAppsScenario(128, 3)));
    const SimulatedAccessibility& simulated = world.desktop.accessibility();
    const quint64 callsBefore = simulated.callCount();
    const quint64 messagesBefore = simulated.messageCount();
    const quint64 applicationsBefore = world.accessibility.applications();
    QList<TrayItem> found;
    world.record([&] { found = TrayDiscovery::scan(world.services); });
    const double calls = double(simulated.callCount() - callsBefore);
    const double messages = double(simulated.messageCount() - messagesBefore);
    const double apps = double(world.accessibility.applications() - applicationsBefore);
    const double items = double(found.size());

    double scan = 0;
    double replay = 0;
    for (auto _ : state) {
        scan += cpuOf([&] { benchmark::DoNotOptimize(TrayDiscovery::scan(world.services)); });
        state.PauseTiming();
        replay += cpuOf([&] { world.log.replay(); });
        state.ResumeTiming();
    }
    const double iterations = double(state.iterations());
    state.counters["items"] = items;
    state.counters["apps"] = apps;
    state.counters["calls_per_item"] = calls / items;
    state.counters["calls_per_app"] = calls / apps;
    state.counters["messages_per_item"] = messages / items;
    state.counters["messages_per_app"] = messages / apps;
    state.counters["scan_cpu_ms"] = scan / iterations * 1e3;
    state.counters["sim_cpu_ms"] = replay / iterations * 1e3;
    state.counters["ours_cpu_ms"] = (scan - replay) / iterations * 1e3;
}
BENCHMARK(BM_ScanOf128AppsWithThreeExtras)->Unit(benchmark::kMillisecond);

// One refresh over 40 apps with two extras each (80 items, under the item cap, so every app is
// seen). Argument 1 runs the catalog refresh too, which reads the control center's list through
// one `defaults` run; that process's CPU time is reported as the tool's, and the wall time shows
// what waiting for it costs.
void BM_ModelRefreshOf40Apps(benchmark::State& state)
{
    RecordedWorld world(Scenario::parse(velmor::simulated_mac::testing::manyAppsScenario(40, 2)));
    TrayModel model(world.services);
    model.setNativePerApp(state.range(0) != 0);
    model.refresh();
    world.record([&] { model.refresh(); });

    double refresh = 0;
    double replay = 0;
    double tool = 0;
    double wall = 0;
    for (auto _ : state) {
        QElapsedTimer timer;
        timer.start();
        const double childrenBefore = childrenCpuSeconds();
        refresh += cpuOf([&] { model.refresh(); });
        tool += childrenCpuSeconds() - childrenBefore;
        wall += double(timer.nsecsElapsed()) / 1e9;
        state.PauseTiming();
        replay += cpuOf([&] { world.log.replay(); });
        state.ResumeTiming();
    }
    const double iterations = double(state.iterations());
    state.counters["items"] = double(model.items().size());
    state.counters["rows"] = double(model.groupedApps().size());
    state.counters["wall_ms"] = wall / iterations * 1e3;
    state.counters["tool_cpu_ms"] = tool / iterations * 1e3;
    state.counters["refresh_cpu_ms"] = refresh / iterations * 1e3;
    state.counters["sim_cpu_ms"] = replay / iterations * 1e3;
    state.counters["ours_cpu_ms"] = (refresh - replay) / iterations * 1e3;
}
BENCHMARK(BM_ModelRefreshOf40Apps)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The catalog's `defaults` run on its own: one export of the control center's domain.
void BM_DefaultsReadOfTheControlCenter(benchmark::State& state)
{
    RecordedWorld world(Scenario::parse(velmor::simulated_mac::testing::manyAppsScenario(40, 2)));
    MacTrayPreferenceStore store(world.host);
    double ours = 0;
    double tool = 0;
    for (auto _ : state) {
        const double childrenBefore = childrenCpuSeconds();
        ours += cpuOf([&] { benchmark::DoNotOptimize(store.read()); });
        tool += childrenCpuSeconds() - childrenBefore;
    }
    const double iterations = double(state.iterations());
    state.counters["ours_cpu_ms"] = ours / iterations * 1e3;
    state.counters["tool_cpu_ms"] = tool / iterations * 1e3;
}
BENCHMARK(BM_DefaultsReadOfTheControlCenter)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

VELMOR_QT_BENCHMARK_MAIN()
